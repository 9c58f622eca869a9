// Backs up keys and files with the removal's backup, deleting each one after
// its backup the way the removal does; for the backup tests under Wine.
//
//   BackupProbe.exe [--keep] BASE|- PROGID ITEM...
//     ITEM: key:PATH (below HKEY_CLASSES_ROOT), key32:PATH (the 32-bit
//     view), file:PATH, "run:" to start another run, or "in-use:" to print
//     "in-use TAB 1" (or 0) as the undo window finds the run's folder now;
//     BASE "-" for the default folder. --keep: back up only, delete nothing.
//
// Prints "folder TAB <run folder>" at the end of each run and exits 0; on
// the first failed backup prints "failed TAB <reason>" and exits 1, deleting
// nothing more. Arguments and output are UTF-8 text.
#include "catalogue/Registry.h"
#include "catalogue/Win32Platform.h"
#include "catalogue/Win32Text.h"
#include "removal/Win32Backup.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// The command line's arguments after the program's name, in UTF-8.
std::vector<std::string> Arguments()
{
    std::vector<std::string> arguments;
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            arguments.push_back(qob::NarrowText(wide[i]));
        ::LocalFree(wide);
    }
    return arguments;
}

}  // namespace

int main()
{
    std::vector<std::string> args = Arguments();
    const bool keep = !args.empty() && args[0] == "--keep";
    if (keep)
        args.erase(args.begin());
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: BackupProbe [--keep] BASE|- PROGID ITEM...\n");
        return 2;
    }
    _setmode(_fileno(stdout), _O_BINARY);
    const std::wstring base = args[0] == "-" ? std::wstring() : qob::WidenText(args[0]);
    const std::string& progId = args[1];
    auto backup = std::make_unique<qob::Win32RemovalBackup>(progId, base);
    qob::Win32KeyStore store;
    qob::Win32FileSystem files;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& item = args[i];
        if (item == "in-use:") {
            std::printf("in-use\t%d\n", qob::BackupFolderInUse(qob::WidenText(backup->Folder())) ? 1 : 0);
            continue;
        }
        if (item == "run:") {
            std::printf("folder\t%s\n", backup->Folder().c_str());
            backup = std::make_unique<qob::Win32RemovalBackup>(progId, base);
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
                files.RemoveFile(path);
        } else {
            const auto view = kind == "key32" ? qob::RegistryView::Wow64_32 : qob::RegistryView::Native;
            saved = backup->SaveKey(path, view, reason);
            if (saved && !keep) {
                qob::TRegistry registry(store);
                registry.SetRootKey(qob::kClassesRoot);
                registry.SetViewFlags(qob::ViewFlags(view));
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
