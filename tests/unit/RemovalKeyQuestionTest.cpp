// The questions the removal asks about a class key and a type library key:
// the lines they add for a key other entries name, and for a key that is
// there but cannot be read; the key Windows protects, never asked about; the
// restart as administrator offered after a refusal an administrator would
// not meet.
#include "catalogue/EntryRefresh.h"
#include "catalogue/KeyOwner.h"
#include "catalogue/Scan.h"
#include "removal/Removal.h"
#include "tests/support/RemovalWorld.h"

#include <gtest/gtest.h>

namespace qob {
namespace {

const std::string kQ = "\rを削除しますか";
const std::string kFaultFree = "E yn このキーにエラーはありません。削除しますか？";

class RemovalKeyQuestionTest : public ::testing::Test, public RemovalWorld {
protected:
    void SetUp() override
    {
        // A versioned and a version-independent ProgID of one class, and a
        // third entry naming the class in other case; its type library is
        // read through the class.
        for (const char* progId : {"App.Shared.1", "App.Shared"})
            Text(std::string(progId) + "\\CLSID", "{S}");
        Text("App.Other\\CLSID", "{s}");
        Text("CLSID\\{S}\\TypeLib", "{TS}");
        Text("TypeLib\\{TS}\\1.0", "shared library");
        // Two classes of their own with one type library.
        for (const char* name : {"Alone", "Beside"}) {
            const std::string clsid = std::string("{") + name + "}";
            Text(std::string("App.") + name + "\\CLSID", clsid);
            Text("CLSID\\" + clsid + "\\TypeLib", "{TA}");
        }
        Text("TypeLib\\{TA}\\1.0", "library of two classes");

        // Keys that are there but cannot be read.
        Text("App.Locked\\CLSID", "{K}");
        store.CreateKey(kClassesRoot, "CLSID\\{K}");
        store.DenyReading(kClassesRoot, "CLSID\\{K}");
        Text("App.LockedLib\\CLSID", "{L}");
        Text("CLSID\\{L}\\TypeLib", "{TL}");
        store.CreateKey(kClassesRoot, "TypeLib\\{TL}\\1.0");
        store.DenyReading(kClassesRoot, "TypeLib\\{TL}");
        store.DenyReading(kClassesRoot, "TypeLib\\{TL}\\1.0");

        RunRegistrationScan(tree, store, order, *this);
    }
    // Runs the command on an entry with the given answers, its dialogs and
    // saves noted afresh.
    void Remove(const std::string& name, std::deque<int> answers)
    {
        host.dialogs.clear();
        host.saved.clear();
        host.answers = std::move(answers);
        RegistrationRemoval(tree, store, files, host).Run(Entry(name));
    }
};

TEST_F(RemovalKeyQuestionTest, AKeyOtherEntriesNameSaysHowManyBeforeItGoes)
{
    Remove("App.Shared.1", {mrYes, mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs, (std::vector<std::string>{
                                kFaultFree,
                                "I yn HKEY_CLASSES_ROOT\\App.Shared.1" + kQ,
                                "I yn HKEY_CLASSES_ROOT\\CLSID\\{S}" + kQ + "\r他の 2 個の登録もこのクラスを使っています。",
                                "I yn HKEY_CLASSES_ROOT\\TypeLib\\{TS}" + kQ +
                                    "\r他の 2 個の登録もこのタイプ ライブラリを使っています。",
                            }));
    EXPECT_FALSE(store.KeyExists(kClassesRoot, "CLSID\\{S}")) << "Yes deletes a shared key as any other";
    EXPECT_FALSE(store.KeyExists(kClassesRoot, "TypeLib\\{TS}"));

    // The others that name them show at once that they are gone.
    for (const char* other : {"App.Shared", "App.Other"})
        EXPECT_EQ(Entry(other)->ImageIndex(), kIconFaultyEntry) << other;

    // Registered again: the entry removed no longer counts.
    Text("CLSID\\{S}\\TypeLib", "{TS}");
    Text("TypeLib\\{TS}\\1.0", "shared library");
    for (const char* other : {"App.Shared", "App.Other"})
        RereadEntry(tree, *Entry(other), store, files, nullptr);
    Remove("App.Shared", {mrYes, mrYes, mrNo, mrNo});
    ASSERT_EQ(host.dialogs.size(), 4u);
    EXPECT_EQ(host.dialogs[2], "I yn HKEY_CLASSES_ROOT\\CLSID\\{S}" + kQ + "\r他の 1 個の登録もこのクラスを使っています。");
    EXPECT_EQ(host.dialogs[3],
              "I yn HKEY_CLASSES_ROOT\\TypeLib\\{TS}" + kQ + "\r他の 1 個の登録もこのタイプ ライブラリを使っています。");

    // A class no other entry names adds no line.
    Remove("App.Alone", {mrYes, mrYes, mrNo, mrNo});
    ASSERT_EQ(host.dialogs.size(), 4u);
    EXPECT_EQ(host.dialogs[2], "I yn HKEY_CLASSES_ROOT\\CLSID\\{Alone}" + kQ);
}

TEST_F(RemovalKeyQuestionTest, TheLinesComeFromTheTableInTheSelectedLanguage)
{
    struct InEnglish {
        InEnglish() { SelectLanguage(Language::English); }
        ~InEnglish() { SelectLanguage(Language::Japanese); }
    } inEnglish;
    Remove("App.Other", {mrYes, mrYes, mrNo, mrNo});
    ASSERT_EQ(host.dialogs.size(), 4u);
    EXPECT_EQ(host.dialogs[2],
              "I yn HKEY_CLASSES_ROOT\\CLSID\\{s}\rDelete this key?\r2 other registrations use this class.");
    Remove("App.Alone", {mrYes, mrYes, mrNo, mrNo});
    ASSERT_EQ(host.dialogs.size(), 4u);
    EXPECT_EQ(host.dialogs[3], "I yn HKEY_CLASSES_ROOT\\TypeLib\\{TA}\rDelete this key?"
                               "\r1 other registration uses this type library.");
    Remove("App.Locked", {mrYes, mrYes, mrNo});
    ASSERT_EQ(host.dialogs.size(), 3u);
    EXPECT_EQ(host.dialogs[2], "I yn HKEY_CLASSES_ROOT\\CLSID\\{K}\rDelete this key?\rThe key cannot be read.");
}

TEST_F(RemovalKeyQuestionTest, AKeyThatCannotBeReadIsSaidSoAndYesDeletesNothing)
{
    // Neither entry is marked for its key, so each starts at the fault-free
    // question.
    Remove("App.Locked", {mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs, (std::vector<std::string>{
                                kFaultFree,
                                "I yn HKEY_CLASSES_ROOT\\App.Locked" + kQ,
                                "I yn HKEY_CLASSES_ROOT\\CLSID\\{K}" + kQ + "\rキーを読み取れません。",
                            }))
        << "no failure is listed either";
    EXPECT_TRUE(store.KeyExists(kClassesRoot, "CLSID\\{K}"));
    EXPECT_EQ(host.saved, (std::vector<std::string>{"key App.Locked"}));
    EXPECT_EQ(Entry("App.Locked"), nullptr);

    Remove("App.LockedLib", {mrYes, mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs, (std::vector<std::string>{
                                kFaultFree,
                                "I yn HKEY_CLASSES_ROOT\\App.LockedLib" + kQ,
                                "I yn HKEY_CLASSES_ROOT\\CLSID\\{L}" + kQ,
                                "I yn HKEY_CLASSES_ROOT\\TypeLib\\{TL}" + kQ + "\rキーを読み取れません。",
                            }));
    EXPECT_TRUE(store.KeyExists(kClassesRoot, "TypeLib\\{TL}"));
    EXPECT_FALSE(store.KeyExists(kClassesRoot, "CLSID\\{L}"));
    EXPECT_EQ(host.saved, (std::vector<std::string>{"key App.LockedLib", "key CLSID\\{L}"}));
}

TEST_F(RemovalKeyQuestionTest, AKeyWindowsProtectsIsNeverAskedAboutNorDeleted)
{
    // A class key of TrustedInstaller: one line at the end instead of its
    // question, and the run goes on with the type library.
    store.SetOwner(kClassesRoot, "CLSID\\{Alone}", kTrustedInstallerSid);
    Remove("App.Alone", {mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs, (std::vector<std::string>{
                                kFaultFree,
                                "I yn HKEY_CLASSES_ROOT\\App.Alone" + kQ,
                                "I yn HKEY_CLASSES_ROOT\\TypeLib\\{TA}" + kQ +
                                    "\r他の 1 個の登録もこのタイプ ライブラリを使っています。",
                                "E ok 次の削除はできませんでした。\rWindows が保護しているため削除できません: "
                                "HKEY_CLASSES_ROOT\\CLSID\\{Alone}",
                            }));
    EXPECT_TRUE(store.KeyExists(kClassesRoot, "CLSID\\{Alone}\\TypeLib"));
    EXPECT_FALSE(store.KeyExists(kClassesRoot, "TypeLib\\{TA}"));
    EXPECT_EQ(host.saved, (std::vector<std::string>{"key App.Alone", "key TypeLib\\{TA}"}));

    // A ProgID key of TrustedInstaller: said at once, before any question.
    store.SetOwner(kClassesRoot, "App.Beside", kTrustedInstallerSid);
    Remove("App.Beside", {mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs, (std::vector<std::string>{
                                "E ok Windows が保護しているため削除できません: HKEY_CLASSES_ROOT\\App.Beside"}));
    EXPECT_TRUE(host.saved.empty());
    EXPECT_TRUE(store.KeyExists(kClassesRoot, "App.Beside\\CLSID"));
    EXPECT_NE(Entry("App.Beside"), nullptr);
}

TEST_F(RemovalKeyQuestionTest, ARefusedKeyOfTheWholeComputerOffersTheRestartAsAdministrator)
{
    host.canRestart = true;
    store.ProtectKey(kClassesRoot, "CLSID\\{Alone}");
    Remove("App.Alone", {mrYes, mrYes, mrYes, mrNo, mrYes});
    EXPECT_EQ(host.dialogs.back(), "E yn 次の削除はできませんでした。\rHKEY_CLASSES_ROOT\\CLSID\\{Alone}: error 5"
                                   "\r管理者として実行すれば削除できます。管理者として再起動しますか?");
    EXPECT_EQ(host.restarts, 1);

    // The ProgID key's own message offers it too; No starts nothing.
    store.ProtectKey(kClassesRoot, "App.Shared");
    Remove("App.Shared", {mrYes, mrYes, mrNo});
    EXPECT_EQ(host.dialogs.back(), "E yn HKEY_CLASSES_ROOT\\App.Shared\rを削除できませんでした。\rerror 5"
                                   "\r管理者として実行すれば削除できます。管理者として再起動しますか?");
    EXPECT_EQ(host.restarts, 1);

    // No offer for a key of the user's own classes, which elevation would
    // not help, nor where the program cannot restart elevated.
    store.CreateKey(kCurrentUser, "Software\\Classes\\CLSID\\{Beside}");
    store.ProtectKey(kClassesRoot, "CLSID\\{Beside}");
    Remove("App.Beside", {mrYes, mrYes, mrYes, mrNo});
    EXPECT_EQ(host.dialogs.back(), "E ok 次の削除はできませんでした。\rHKEY_CLASSES_ROOT\\CLSID\\{Beside}: error 5");
    host.canRestart = false;
    store.ProtectKey(kClassesRoot, "App.Shared.1");
    Remove("App.Shared.1", {mrYes, mrYes});
    EXPECT_EQ(host.dialogs.back(), "E ok HKEY_CLASSES_ROOT\\App.Shared.1\rを削除できませんでした。\rerror 5");
    EXPECT_EQ(host.restarts, 1);
}

// Where the classes root merges the user's classes over the machine's, a
// key the user holds a copy of is asked about by that copy's name, with a
// line that says so: that copy is the one that goes, and the machine's then
// shows through.
TEST_F(RemovalKeyQuestionTest, TheUsersCopyIsNamedAndIsTheOneThatGoes)
{
    store.MergeUserClasses();
    const std::string user = "Software\\Classes\\CLSID\\{Alone}";
    store.SetValue(kCurrentUser, user + "\\TypeLib", "", kRegSz, std::string("{TA}") + '\0');
    Remove("App.Alone", {mrYes, mrYes, mrYes, mrNo, mrOk});
    ASSERT_EQ(host.dialogs.size(), 5u);
    EXPECT_EQ(host.dialogs[1], "I yn HKEY_CLASSES_ROOT\\App.Alone" + kQ) << "the machine's alone";
    EXPECT_EQ(host.dialogs[2], "I yn HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\{Alone}" + kQ + "\rユーザーごとの登録");
    EXPECT_NE(host.dialogs[4].find("HKEY_CLASSES_ROOT\\CLSID\\{Alone}を削除しましたが"), std::string::npos)
        << host.dialogs[4];
    EXPECT_FALSE(store.KeyExists(kCurrentUser, user));
    EXPECT_TRUE(store.KeyExists(kLocalMachine, user)) << "the machine's copy stays";

    struct InEnglish {
        InEnglish() { SelectLanguage(Language::English); }
        ~InEnglish() { SelectLanguage(Language::Japanese); }
    } inEnglish;
    store.CreateKey(kCurrentUser, "Software\\Classes\\TypeLib\\{TA}");
    Remove("App.Beside", {mrYes, mrYes, mrNo, mrNo});
    ASSERT_EQ(host.dialogs.size(), 4u);
    EXPECT_EQ(host.dialogs[3], "I yn HKEY_CURRENT_USER\\Software\\Classes\\TypeLib\\{TA}\rDelete this key?"
                               "\rThis user's registration");
}

}  // namespace
}  // namespace qob
