// SectionDeleteBench: the deletion of 1,000 checked broken class keys with
// their backup, as the window of other broken registrations makes it, timed
// from inside the process under Wine. Prints the figures; not a test.
//
//   tests/wine/winerun.sh build/windows/SectionDeleteBench.exe [KEYS] [REPEATS]
//
// Each repeat seeds KEYS class keys below HKEY_CLASSES_ROOT\CLSID (a
// description, an InprocServer32 subkey naming a file that is not there, a
// threading model), then deletes them all in one run: each examined again,
// saved into the run's backup folder and deleted. The time of the whole run,
// and apart the examinations, the saves and the deletions. Removes the keys
// and the folders at the end.
#include "catalogue/Win32Platform.h"
#include "removal/Win32Backup.h"
#include "sections/SectionDeletion.h"
#include "sections/SectionScan.h"
#include "tools/bench/BenchFolders.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const wchar_t* const kBase = L"C:\\qobbench-sections";

double Now() { return static_cast<double>(qob::MonotonicMicroseconds()) / 1e6; }

std::wstring ClassId(int n)
{
    wchar_t id[64];
    std::swprintf(id, 64, L"{0B0BDE1E-0000-4000-8000-%012d}", n);
    return id;
}

void SetText(HKEY key, const wchar_t* name, const std::wstring& text)
{
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::vector<qob::BrokenKey> Seed(int count)
{
    std::vector<qob::BrokenKey> keys;
    for (int n = 0; n < count; ++n) {
        const std::wstring path = L"CLSID\\" + ClassId(n);
        HKEY top = nullptr;
        HKEY server = nullptr;
        ::RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &top, nullptr);
        SetText(top, nullptr, L"Bench class " + std::to_wstring(n));
        ::RegCreateKeyExW(top, L"InprocServer32", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &server, nullptr);
        SetText(server, nullptr, L"C:\\qobbench\\gone\\server" + std::to_wstring(n) + L".dll");
        SetText(server, L"ThreadingModel", L"Both");
        ::RegCloseKey(server);
        ::RegCloseKey(top);
        qob::BrokenKey key;
        key.path = key.name = "CLSID\\" + std::string(path.begin() + 6, path.end());
        key.description = "Bench class " + std::to_string(n);
        keys.push_back(std::move(key));
    }
    return keys;
}

// The run's backup, its saves timed.
class TimedBackup final : public qob::RemovalBackup {
public:
    explicit TimedBackup(qob::RemovalBackup& backup) : backup_(backup) {}
    bool SaveKey(const std::string& path, qob::RegistryView view, std::string& reason) override
    {
        const double start = Now();
        const bool saved = backup_.SaveKey(path, view, reason);
        seconds += Now() - start;
        return saved;
    }
    bool SaveValue(const std::string& path, qob::RegistryView view, const std::string& name,
                   std::string& reason) override
    {
        const double start = Now();
        const bool saved = backup_.SaveValue(path, view, name, reason);
        seconds += Now() - start;
        return saved;
    }
    bool SaveFile(const std::string& path, std::string& reason) override { return backup_.SaveFile(path, reason); }
    std::string Folder() const override { return backup_.Folder(); }
    double seconds = 0;

private:
    qob::RemovalBackup& backup_;
};

}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    qob::Win32KeyStore store;
    qob::Win32FileSystem files;
    qob::Win32NameOrder order;
    qob::bench::RemoveFolder(kBase);
    int result = 0;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        const std::vector<qob::BrokenKey> keys = Seed(count);
        qob::Win32RemovalBackup folder("Bench", kBase);
        TimedBackup backup(folder);
        qob::SectionExamination examination(store, files, order);
        double examining = 0;
        std::size_t told = 0;
        qob::SectionDeletion deletion(
            store, backup,
            [&](const qob::BrokenKey& key) {
                const double start = Now();
                auto verdict = examination.ExamineAgain(key);
                examining += Now() - start;
                return verdict;
            },
            [](long code) { return "error " + std::to_string(code); });
        const std::atomic<bool> cancel{false};
        const double start = Now();
        const qob::SectionDeletionOutcome outcome =
            deletion.Run(keys, [&told](std::size_t, std::size_t) { ++told; }, cancel);
        const double total = Now() - start;
        std::printf("run %d: %zu of %d keys deleted in %.2f s (%.2f ms a key): examined again %.2f s, saved %.2f s, "
                    "deleted %.2f s; %zu progress calls; %zu problems\n",
                    repeat + 1, outcome.gone.size(), count, total, 1000 * total / count, examining, backup.seconds,
                    total - examining - backup.seconds, told, outcome.problems.size());
        if (outcome.gone.size() != keys.size()) {
            result = 1;
            for (std::size_t i = 0; i < outcome.problems.size() && i < 5; ++i)
                std::printf("  %s\n", outcome.problems[i].c_str());
        }
        for (const qob::BrokenKey& key : keys)
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, std::wstring(key.path.begin(), key.path.end()).c_str());
    }
    qob::bench::RemoveFolder(kBase);
    return result;
}
