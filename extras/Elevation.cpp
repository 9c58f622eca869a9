#include "extras/Elevation.h"

#include "catalogue/OpenedKey.h"
#include "texts/Texts.h"

#include <cstdint>

namespace qob {

namespace {

// The User Account Control policies of the machine.
constexpr const char* kPoliciesKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// EnableLUA as set: 0 turns UAC off, 1 (the default) on. -1 when it is not
// there, not a DWORD or cannot be read.
long long EnableLuaValue(KeyStore& store)
{
    const OpenedKey key(store, kLocalMachine, kPoliciesKey, kKeyRead);
    std::uint32_t type = 0;
    std::string data;
    if (!key || store.QueryValue(key.get(), "EnableLUA", type, data) != kErrorSuccess || type != kRegDword ||
        data.size() != 4)
        return -1;
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
    return value;
}

}  // namespace

bool SystemHasUac(ElevationType type, KeyStore& store)
{
    // Only UAC splits an administrator's token in two: a full or a limited
    // token means it is on ("TOKEN_ELEVATION_TYPE enumeration", Microsoft
    // Learn, winnt.h). A default token is also that of a standard user with
    // UAC on; UAC is off only where the policy EnableLUA under
    // HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Policies\System is 0
    // ("EnableLUA", [MS-GPSB] 2.2.11.6: 0 disables the administrator in
    // Admin Approval Mode and every other UAC policy; 1 is the default).
    if (type != ElevationType::Default)
        return true;
    return EnableLuaValue(store) != 0;
}

bool OffersRestartAsAdministrator(const Elevation& elevation, KeyStore& store)
{
    return !elevation.Elevated() && SystemHasUac(elevation.Type(), store);
}

RestartOutcome RestartAsAdministrator(Elevation& elevation, const std::function<std::string(long)>& errorText)
{
    const long result = elevation.StartElevated();
    RestartOutcome outcome;
    outcome.started = result == kErrorSuccess;
    if (result != kErrorSuccess && result != kErrorCancelled)
        outcome.message = Text(TextId::RestartAsAdministratorFailed, {errorText(result)});
    return outcome;
}

}  // namespace qob
