// The token and the restart as administrator under Wine, for
// elevation_restart.sh: prints what the program reads of its token and
// whether it would offer the restart; with "restart", starts itself again
// through the same call as the Registry menu's command (the copy it starts
// has no argument and only prints).
#include "catalogue/Win32Platform.h"
#include "extras/Win32Elevation.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    using namespace qob;
    Win32Elevation elevation;
    Win32KeyStore store;
    std::printf("elevated=%d type=%d uac=%d offered=%d\n", elevation.Elevated() ? 1 : 0,
                static_cast<int>(elevation.Type()), SystemHasUac(elevation.Type(), store) ? 1 : 0,
                OffersRestartAsAdministrator(elevation, store) ? 1 : 0);
    if (argc > 1 && std::strcmp(argv[1], "restart") == 0)
        std::printf("restart=%ld\n", elevation.StartElevated());
    return 0;
}
