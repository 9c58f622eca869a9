// BackupBench: the removal's backup of one class key with 100 subkeys and
// 1,000 values, timed from inside the process under Wine. Prints the figures;
// not a test.
//
//   tests/wine/winerun.sh build/windows/BackupBench.exe [REPEATS]
//
// Seeds HKEY_CLASSES_ROOT\CLSID\{0B0BBE7C-...} (10 values in each of 100
// subkeys: strings, expandable strings, multi-strings, DWORDs, binaries),
// then for each repeat makes a new backup (a new run folder) and times its
// SaveKey: the whole call, and apart the read of the key and the writing of
// the text. Removes the key and the folders at the end.
#include "catalogue/Win32Platform.h"
#include "removal/BackupFormat.h"
#include "removal/Win32Backup.h"
#include "tools/bench/BenchFolders.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const wchar_t* const kClassKey = L"CLSID\\{0B0BBE7C-0000-4000-8000-000000000100}";
const char* const kClassPath = "CLSID\\{0B0BBE7C-0000-4000-8000-000000000100}";
const wchar_t* const kBase = L"C:\\qobbench-backup";

double Now() { return static_cast<double>(qob::MonotonicMicroseconds()) / 1e6; }

void Seed()
{
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
    HKEY top = nullptr;
    ::RegCreateKeyExW(HKEY_CLASSES_ROOT, kClassKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &top, nullptr);
    for (int k = 0; k < 100; ++k) {
        HKEY sub = nullptr;
        const std::wstring name = L"Sub" + std::to_wstring(k);
        ::RegCreateKeyExW(top, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
        for (int v = 0; v < 10; ++v) {
            const std::wstring valueName = L"Value " + std::to_wstring(v) + L" 表示";
            std::wstring text = L"C:\\Program Files\\Qob Bench\\server" + std::to_wstring(k * 10 + v) + L".dll";
            text.push_back(L'\0');
            const DWORD type = v % 5 == 0 ? REG_SZ : v % 5 == 1 ? REG_EXPAND_SZ : v % 5 == 2 ? REG_MULTI_SZ
                                                     : v % 5 == 3 ? REG_DWORD : REG_BINARY;
            if (type == REG_MULTI_SZ)
                text.push_back(L'\0');
            const DWORD number = static_cast<DWORD>(k * 10 + v);
            const BYTE* data = type == REG_DWORD ? reinterpret_cast<const BYTE*>(&number)
                                                 : reinterpret_cast<const BYTE*>(text.data());
            const DWORD size = type == REG_DWORD ? 4 : static_cast<DWORD>(text.size() * sizeof(wchar_t));
            ::RegSetValueExW(sub, valueName.c_str(), 0, type, data, size);
        }
        ::RegCloseKey(sub);
    }
    ::RegCloseKey(top);
}

struct Figures {
    std::vector<double> times;
    void Print(const char* what) const
    {
        std::vector<double> sorted = times;
        std::sort(sorted.begin(), sorted.end());
        std::printf("%-34s median %7.1f ms   min %7.1f ms   max %7.1f ms\n", what,
                    1000 * sorted[sorted.size() / 2], 1000 * sorted.front(), 1000 * sorted.back());
    }
};

}  // namespace

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    Seed();
    qob::bench::RemoveFolder(kBase);
    Figures save, read, write;
    std::size_t bytes = 0;
    std::size_t keys = 0;
    std::size_t values = 0;
    for (int i = 0; i < repeats; ++i) {
        qob::Win32KeyTreeReader reader;
        qob::KeyTree tree;
        double start = Now();
        reader.Read(kClassPath, qob::RegistryView::Native, tree);
        read.times.push_back(Now() - start);
        std::u16string text;
        std::u16string bad;
        start = Now();
        qob::AppendRegKeys(tree, text, bad);
        write.times.push_back(Now() - start);
        bytes = text.size() * 2;
        keys = tree.keys.size();
        values = 0;
        for (const qob::SavedKey& key : tree.keys)
            values += key.values.size();

        qob::Win32RemovalBackup backup("Qob.Bench", kBase);
        std::string reason;
        start = Now();
        const bool saved = backup.SaveKey(kClassPath, qob::RegistryView::Native, reason);
        save.times.push_back(Now() - start);
        if (!saved) {
            std::printf("SaveKey failed: %s\n", reason.c_str());
            return 1;
        }
    }
    std::printf("class key: %zu keys, %zu values, %zu bytes of .reg text; %d repeats\n", keys, values, bytes,
                repeats);
    save.Print("SaveKey (new run folder, .reg)");
    read.Print("  read of the key (W functions)");
    write.Print("  .reg text of it");
    qob::bench::RemoveFolder(kBase);
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
    return 0;
}
