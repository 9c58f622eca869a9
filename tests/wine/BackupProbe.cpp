// Backs up keys and files with the removal's backup, deleting each one after
// its backup the way the removal does; for the backup tests under Wine.
//
//   BackupProbe.exe [--keep] BASE|- PROGID ITEM...
//     ITEM: key:PATH (below HKEY_CLASSES_ROOT), key32:PATH (the 32-bit
//     view), file:PATH, or "run:" to start another run; BASE "-" for the
//     default folder. --keep: back up only, delete nothing.
//
// Prints "folder TAB <run folder>" at the end of each run and exits 0; on
// the first failed backup prints "failed TAB <reason>" and exits 1, deleting
// nothing more.
#include "catalogue/Registry.h"
#include "catalogue/Win32Platform.h"
#include "catalogue/Win32Text.h"
#include "removal/Win32Backup.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <memory>

int main(int argc, char** argv)
{
    const bool keep = argc > 1 && std::strcmp(argv[1], "--keep") == 0;
    if (keep) {
        --argc;
        ++argv;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: BackupProbe [--keep] BASE|- PROGID ITEM...\n");
        return 2;
    }
    _setmode(_fileno(stdout), _O_BINARY);
    const std::wstring base = std::strcmp(argv[1], "-") == 0 ? std::wstring() : qob::WidenText(argv[1]);
    auto backup = std::make_unique<qob::Win32RemovalBackup>(argv[2], base);
    qob::Win32KeyStore store;
    for (int i = 3; i < argc; ++i) {
        const std::string item = argv[i];
        if (item == "run:") {
            std::printf("folder\t%s\n", backup->Folder().c_str());
            backup = std::make_unique<qob::Win32RemovalBackup>(argv[2], base);
            continue;
        }
        const std::size_t colon = item.find(':');
        const std::string kind = item.substr(0, colon);
        const std::string path = item.substr(colon + 1);
        std::string reason;
        bool saved = false;
        if (kind == "file") {
            saved = backup->SaveFile(path, reason);
            if (saved && !keep)
                ::DeleteFileA(path.c_str());
        } else {
            const auto view = kind == "key32" ? qob::RegistryView::Wow64_32 : qob::RegistryView::Native;
            saved = backup->SaveKey(path, view, reason);
            if (saved && !keep) {
                qob::TRegistry registry(store);
                registry.SetRootKey(qob::kClassesRoot);
                registry.SetViewFlags(view == qob::RegistryView::Wow64_32 ? qob::kKeyWow64_32Key : 0);
                registry.DeleteKey(path);
            }
        }
        if (!saved) {
            std::printf("failed\t%s\n", reason.c_str());
            return 1;
        }
    }
    std::printf("folder\t%s\n", backup->Folder().c_str());
    return 0;
}
