// Whether the program runs as administrator, and its restart as one. The
// token and the restart are the platform's (Win32Elevation); what the
// program makes of them is decided here, portably: without elevation on a
// system with UAC, the status bar says so after the scan, the Registry menu
// offers the restart, and a deletion refused on a key of the whole computer
// offers it in its message.
#pragma once

#include "catalogue/KeyStore.h"

#include <functional>
#include <string>

namespace qob {

// TOKEN_ELEVATION_TYPE: Default when the token has no linked token (UAC off,
// a standard user, or the built-in Administrator), Full for the elevated
// half of a split token, Limited for its filtered half.
enum class ElevationType { Default = 1, Full = 2, Limited = 3 };

// ERROR_CANCELLED: the user said No to the consent prompt.
constexpr long kErrorCancelled = 1223;

class Elevation {
public:
    virtual ~Elevation() = default;
    // GetTokenInformation(TokenElevation): TokenIsElevated of this process.
    virtual bool Elevated() const = 0;
    // GetTokenInformation(TokenElevationType).
    virtual ElevationType Type() const = 0;
    // Starts the program's own file again with the verb "runas": 0 once the
    // new process has started, kErrorCancelled when the user refused, or
    // another Win32 error code.
    virtual long StartElevated() = 0;
};

// True when the system has UAC, from the token's elevation type and the
// policy value EnableLUA of the machine (read from `store`).
bool SystemHasUac(ElevationType type, KeyStore& store);

// True when the program runs without elevation on a system with UAC: it then
// offers to restart as administrator.
bool OffersRestartAsAdministrator(const Elevation& elevation, KeyStore& store);

// What a restart came to: the new program started (this one closes), the
// user refused (nothing is said), or it failed (`message` says why).
struct RestartOutcome {
    bool started = false;
    std::string message;  // empty unless it failed
};
RestartOutcome RestartAsAdministrator(Elevation& elevation, const std::function<std::string(long)>& errorText);

}  // namespace qob
