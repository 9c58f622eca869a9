#include "extras/Elevation.h"
#include "tests/support/MemoryKeyStore.h"

#include <gtest/gtest.h>

namespace qob {
namespace {

// The token as scripted, and the restarts asked of it.
class ScriptedElevation final : public Elevation {
public:
    bool Elevated() const override { return elevated; }
    ElevationType Type() const override { return type; }
    long StartElevated() override
    {
        ++starts;
        return startResult;
    }

    bool elevated = false;
    ElevationType type = ElevationType::Limited;
    long startResult = 0;
    int starts = 0;
};

constexpr const char* kPolicies = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

std::string Dword(std::uint32_t value)
{
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>(value >> shift & 0xFF);
    return bytes;
}

TEST(Elevation, TheRestartIsOfferedOnlyWithoutElevationOnASystemWithUac)
{
    // EnableLUA as set on the machine: -1 when not there.
    struct Case {
        bool elevated;
        ElevationType type;
        int enableLua;
        std::uint32_t luaType;
        bool uac;
        bool offered;
    };
    const Case cases[] = {
        // A split token exists only with UAC, whatever the value says.
        {false, ElevationType::Limited, -1, kRegDword, true, true},
        {false, ElevationType::Limited, 0, kRegDword, true, true},
        {true, ElevationType::Full, -1, kRegDword, true, false},
        // A token without a linked one: a standard user with UAC, or UAC off.
        {false, ElevationType::Default, 1, kRegDword, true, true},
        {false, ElevationType::Default, -1, kRegDword, true, true},
        {false, ElevationType::Default, 0, kRegDword, false, false},
        {false, ElevationType::Default, 0, kRegSz, true, true},  // not a DWORD: the default, on
        // Elevated as Wine runs every program.
        {true, ElevationType::Default, 0, kRegDword, false, false},
        {true, ElevationType::Default, 1, kRegDword, true, false},
    };
    for (const Case& c : cases) {
        MemoryKeyStore store;
        store.CreateKey(kLocalMachine, kPolicies);
        if (c.enableLua >= 0)
            store.SetValue(kLocalMachine, kPolicies, "EnableLUA", c.luaType, Dword(c.enableLua));
        ScriptedElevation token;
        token.elevated = c.elevated;
        token.type = c.type;
        const std::string what = std::to_string(static_cast<int>(c.type)) + " " + std::to_string(c.enableLua);
        EXPECT_EQ(SystemHasUac(c.type, store), c.uac) << what;
        EXPECT_EQ(OffersRestartAsAdministrator(token, store), c.offered) << what;
    }
}

TEST(Elevation, ARefusedRestartSaysNothingAndAFailedOneSaysWhy)
{
    ScriptedElevation token;
    const auto errorText = [](long code) { return "error " + std::to_string(code); };
    RestartOutcome outcome = RestartAsAdministrator(token, errorText);
    EXPECT_TRUE(outcome.started);
    EXPECT_EQ(outcome.message, "");

    token.startResult = kErrorCancelled;
    outcome = RestartAsAdministrator(token, errorText);
    EXPECT_FALSE(outcome.started);
    EXPECT_EQ(outcome.message, "") << "the user said No";

    token.startResult = kErrorFileNotFound;
    outcome = RestartAsAdministrator(token, errorText);
    EXPECT_FALSE(outcome.started);
    EXPECT_EQ(outcome.message, "管理者として再起動できませんでした。\rerror 2");
    EXPECT_EQ(token.starts, 3);
}

}  // namespace
}  // namespace qob
