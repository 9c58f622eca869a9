// The owner of a key, as the key store reads it, and a key that Windows
// protects. Beside KeyStoreContract.cpp, which is full; the same sandbox.
#include "catalogue/KeyOwner.h"
#include "catalogue/Registry.h"
#include "tests/contract/ContractPlatform.h"

#include <gtest/gtest.h>

namespace qob::contract {
namespace {

class KeyOwnerContract : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform = MakeContractPlatform();
        platform->CreateKey(Key());
    }
    void TearDown() override
    {
        TRegistry cleaner(platform->Store());
        cleaner.SetRootKey(kClassesRoot);
        cleaner.DeleteKey(std::string("\\") + kSandbox);
    }
    static std::string Key() { return std::string(kSandbox) + "\\Owned"; }
    std::string Owner(const std::string& path) { return ReadKeyOwner(platform->Store(), path, RegistryView::Native); }

    std::unique_ptr<ContractPlatform> platform;
};

TEST_F(KeyOwnerContract, AKeyReadsItsOwnerAndTrustedInstallerMakesItProtected)
{
    // Whoever made the key owns it: under Wine the Administrators
    // (S-1-5-32-544), as the in-memory store has it.
    const std::string owner = Owner(Key());
    RecordProperty("owner", owner);
    EXPECT_EQ(owner, "S-1-5-32-544");
    EXPECT_FALSE(ProtectedByWindows(platform->Store(), Key(), RegistryView::Native));
    EXPECT_EQ(Owner(Key() + "\\Missing"), kUnknownOwner);

    const long result = platform->SetOwner(Key(), kTrustedInstallerSid);
    RecordProperty("set_owner_result", static_cast<int>(result));
    ASSERT_EQ(result, 0);
    EXPECT_EQ(Owner(Key()), kTrustedInstallerSid);
    EXPECT_TRUE(ProtectedByWindows(platform->Store(), Key(), RegistryView::Native));
}

}  // namespace
}  // namespace qob::contract
