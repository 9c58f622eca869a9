#include "removal/KeyDeletion.h"
#include "tests/support/MemoryKeyStore.h"

#include <gtest/gtest.h>

namespace qob {
namespace {

// Saves nothing once the disk is full; names the folder once something is saved.
class CountingBackup final : public RemovalBackup {
public:
    bool SaveKey(const std::string& path, RegistryView view, std::string& reason) override
    {
        if (full) {
            reason = "disk full";
            return false;
        }
        saved.push_back(path + (view == RegistryView::Wow64_32 ? " (32)" : ""));
        return true;
    }
    bool SaveValue(const std::string&, RegistryView, const std::string&, std::string&) override { return false; }
    bool SaveFile(const std::string&, std::string&) override { return false; }
    std::string Folder() const override { return saved.empty() ? "" : "C:\\backup"; }

    std::vector<std::string> saved;
    bool full = false;
};

// The wording the caller chooses, told apart from the fixed texts.
constexpr KeyDeletionTexts kTexts{TextId::RemovalProgIdNotBackedUp, TextId::RemovalProgIdNotDeleted};

class KeyDeletionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* key : {"CLSID\\{W}\\InprocServer32", "Wow6432Node\\CLSID\\{W}\\InprocServer32",
                                "Wow6432Node\\CLSID\\{W}\\ProgID"})
            store.CreateKey(kClassesRoot, key);
    }
    KeyDeletionOutcome Delete(const std::string& path = "CLSID\\{W}", RegistryView view = RegistryView::Wow64_32)
    {
        const KeyDeletion deletion(store, backup, [](long code) { return "error " + std::to_string(code); });
        return deletion.Delete(path, view, kTexts);
    }
    bool Exists(const std::string& path) { return store.KeyExists(kClassesRoot, path); }
    // The 32-bit class's keys are all there as they were.
    bool ClassWhole()
    {
        return Exists("Wow6432Node\\CLSID\\{W}\\InprocServer32") && Exists("Wow6432Node\\CLSID\\{W}\\ProgID");
    }

    MemoryKeyStore store;
    CountingBackup backup;
};

TEST_F(KeyDeletionTest, AKeySavedIsDeletedWholeInItsViewOnly)
{
    const KeyDeletionOutcome outcome = Delete();
    EXPECT_TRUE(outcome.saved);
    EXPECT_TRUE(outcome.gone);
    EXPECT_FALSE(outcome.changed);
    EXPECT_EQ(outcome.problem, "");
    EXPECT_EQ(backup.saved, (std::vector<std::string>{"CLSID\\{W} (32)"}));
    EXPECT_FALSE(Exists("Wow6432Node\\CLSID\\{W}"));
    EXPECT_TRUE(Exists("CLSID\\{W}\\InprocServer32")) << "the native class of the same id stays";

    // A key that is not there (any more) is as good as deleted.
    EXPECT_TRUE(Delete("CLSID\\{none}").gone);
}

TEST_F(KeyDeletionTest, NothingChangesWithoutTheBackupOrWhenAKeyBelowWillNotOpen)
{
    backup.full = true;
    KeyDeletionOutcome outcome = Delete();
    EXPECT_FALSE(outcome.saved);
    EXPECT_FALSE(outcome.gone);
    EXPECT_FALSE(outcome.changed);
    EXPECT_EQ(outcome.problem, Text(kTexts.notSaved, {"Wow6432Node\\CLSID\\{W}", "disk full"}));
    EXPECT_TRUE(ClassWhole());

    backup.full = false;
    store.ProtectKey(kClassesRoot, "Wow6432Node\\CLSID\\{W}\\ProgID");
    outcome = Delete();
    EXPECT_TRUE(outcome.saved);
    EXPECT_FALSE(outcome.gone);
    EXPECT_FALSE(outcome.changed);
    EXPECT_EQ(outcome.problem, Text(kTexts.refused, {"Wow6432Node\\CLSID\\{W}\\ProgID", "error 5"}));
    EXPECT_TRUE(ClassWhole());
}

TEST_F(KeyDeletionTest, WhatIsLeftAfterADeletionIsToBeReadAgain)
{
    // A key below no longer goes once the deletion has begun.
    store.FailDeletion(kClassesRoot, "Wow6432Node\\CLSID\\{W}\\ProgID", kErrorAccessDenied);
    KeyDeletionOutcome outcome = Delete();
    EXPECT_TRUE(outcome.saved);
    EXPECT_FALSE(outcome.gone);
    EXPECT_TRUE(outcome.changed);
    EXPECT_EQ(outcome.problem, Text(TextId::RemovalKeyPartlyDeleted,
                                    {"Wow6432Node\\CLSID\\{W}", "error 5",
                                     "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{W}, "
                                     "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{W}\\ProgID",
                                     "C:\\backup"}));

    // Another registration of the same name shows through.
    store.ShadowKey(kClassesRoot, "CLSID\\{W}");
    outcome = Delete("CLSID\\{W}", RegistryView::Native);
    EXPECT_TRUE(outcome.saved);
    EXPECT_FALSE(outcome.gone);
    EXPECT_TRUE(outcome.changed);
    EXPECT_EQ(outcome.problem, Text(TextId::RemovalSameNameRemains, {"HKEY_CLASSES_ROOT\\CLSID\\{W}"}));
}

}  // namespace
}  // namespace qob
