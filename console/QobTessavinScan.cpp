// QobTessavinScan: runs the registration scan on HKEY_CLASSES_ROOT and
// writes the resulting tree to standard output, for audits from scripts.
//
//   QobTessavinScan.exe [--faulty] [--threads N]
//   QobTessavinScan.exe --restore <folder>   puts a removal's backup back
//
// --threads sets the number of threads that read the registry (1 to 8; 1
// reads everything on the main thread); without it the number is chosen from
// the machine's processors.
//
// Exit status 0 when the scan completed, 1 when it ended by an error (the
// partial tree is written, the message goes to standard error), 2 for a bad
// command line.
#include "catalogue/Scan.h"
#include "catalogue/TreeDump.h"
#include "catalogue/Win32Platform.h"
#include "catalogue/Win32Text.h"
#include "removal/Restore.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>

namespace {

// A thread count from 1 to kMaxScanThreads, in decimal digits only.
bool ParseThreads(const char* text, unsigned& threads)
{
    unsigned value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || value > qob::kMaxScanThreads)
            return false;
        value = value * 10 + static_cast<unsigned>(*p - '0');
    }
    if (*text == '\0' || value < 1 || value > qob::kMaxScanThreads)
        return false;
    threads = value;
    return true;
}

// `--restore <folder>` (argv[1] is "--restore"); 2 for a bad command line.
int RestoreCommand(int argc, char** argv)
{
    if (argc != 3 || argv[2][0] == '\0') {
        std::fprintf(stderr, "usage: QobTessavinScan --restore <folder>\n");
        return 2;
    }
    // The folder as typed, in UTF-16: a profile path may hold characters
    // outside the code page.
    std::wstring folder = qob::WidenText(argv[2]);
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        if (count == 3)
            folder = wide[2];
        ::LocalFree(wide);
    }
    return qob::RestoreBackup(folder, stdout, stderr);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--restore") == 0) {
        _setmode(_fileno(stdout), _O_BINARY);
        return RestoreCommand(argc, argv);
    }
    bool faultyOnly = false;
    unsigned threads = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--faulty") == 0) {
            faultyOnly = true;
        } else if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc && ParseThreads(argv[i + 1], threads)) {
            ++i;
        } else {
            std::fprintf(stderr, "usage: QobTessavinScan [--faulty] [--threads N] | --restore <folder>\n");
            return 2;
        }
    }
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    qob::Win32KeyStore store;
    qob::Win32NameOrder order;
    qob::Win32FileSystem files;
    qob::CheckedServers servers(files);
    qob::TTreeNodes tree;
    int status = 0;
    std::string error;
    try {
        qob::RunRegistrationScan(tree, store, order, servers, threads, {qob::MonotonicMicroseconds});
    } catch (const std::exception& e) {
        error = e.what();
        status = 1;
    }
    const std::string text = qob::DumpTree(tree, faultyOnly);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    if (status != 0)
        std::fprintf(stderr, "%s\n", error.c_str());
    return status;
}
