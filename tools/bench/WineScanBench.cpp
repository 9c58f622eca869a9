// WineScanBench: the registration scan on the real HKEY_CLASSES_ROOT, timed
// from inside the process. Prints name=value lines for tools/bench/scan_bench.sh.
//
//   WineScanBench.exe noop      start and end at once (the start-up cost)
//   WineScanBench.exe scan [N]  the scan as the console scanner runs it (on N
//                               reading threads; the default number without
//                               N), then the tree dump; times, sizes, peak memory
//   WineScanBench.exe profile   the scan on one thread with every registry
//                               call, name comparison and server check
//                               counted and timed
//   WineScanBench.exe sections [N] [pool]  the examination of the classes, type
//                               libraries and interfaces as the console runs it
//                               (on N threads; with pool, all with the helpers,
//                               unpaced), timed
//   WineScanBench.exe sections-profile   the examination of the classes, type
//                               libraries, interfaces, handlers and file types
//                               on one thread, its registry calls and file
//                               searches counted and timed
#include "catalogue/Scan.h"
#include "catalogue/ServerPath.h"
#include "catalogue/TreeDump.h"
#include "catalogue/Win32Platform.h"
#include "sections/SectionScan.h"

#include <windows.h>
#include <psapi.h>
#include <x86intrin.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

double Seconds() { return static_cast<double>(qob::MonotonicMicroseconds()) / 1e6; }

// Calls and time stamp counter ticks of one kind of call.
struct Tally {
    const char* name;
    unsigned long long calls = 0;
    unsigned long long ticks = 0;
};

class Timed {
public:
    explicit Timed(Tally& tally) : tally_(tally), start_(__rdtsc()) {}
    ~Timed()
    {
        tally_.ticks += __rdtsc() - start_;
        ++tally_.calls;
    }
    Timed(const Timed&) = delete;
    Timed& operator=(const Timed&) = delete;

private:
    Tally& tally_;
    unsigned long long start_;
};

class CountingKeyStore final : public qob::KeyStore {
public:
    long OpenKey(qob::KeyHandle base, const std::string& path, std::uint32_t access, qob::KeyHandle& out) override
    {
        const unsigned long long start = __rdtsc();
        const long result = inner_.OpenKey(base, path, access, out);
        Tally& tally = result == qob::kErrorSuccess ? openOk : openFailed;
        tally.ticks += __rdtsc() - start;
        ++tally.calls;
        return result;
    }
    long QueryInfoKey(qob::KeyHandle key, std::uint32_t& subkeyCount) override
    {
        Timed timed(queryInfo);
        return inner_.QueryInfoKey(key, subkeyCount);
    }
    long EnumKey(qob::KeyHandle key, std::uint32_t index, std::string& name) override
    {
        Timed timed(enumKey);
        return inner_.EnumKey(key, index, name);
    }
    long QueryValue(qob::KeyHandle key, const std::string& name, std::uint32_t& type, std::string& data) override
    {
        Timed timed(queryValue);
        return inner_.QueryValue(key, name, type, data);
    }
    long DeleteKey(qob::KeyHandle base, const std::string& path, std::uint32_t viewFlags) override
    {
        return inner_.DeleteKey(base, path, viewFlags);
    }
    long DeleteValue(qob::KeyHandle key, const std::string& name) override { return inner_.DeleteValue(key, name); }
    long CloseKey(qob::KeyHandle key) override
    {
        Timed timed(closeKey);
        return inner_.CloseKey(key);
    }
    long QueryOwner(qob::KeyHandle key, std::string& owner) override { return inner_.QueryOwner(key, owner); }

    Tally openOk{"RegOpenKeyExW, found"};
    Tally openFailed{"RegOpenKeyExW, not found"};
    Tally queryValue{"RegQueryValueExW"};
    Tally closeKey{"RegCloseKey"};
    Tally enumKey{"RegEnumKeyExW"};
    Tally queryInfo{"RegQueryInfoKeyW"};

private:
    qob::Win32KeyStore inner_;
};

class CountingNameOrder final : public qob::NameOrder {
public:
    int Compare(const std::string& a, const std::string& b) const override
    {
        Timed timed(compare);
        return inner_.Compare(a, b);
    }
    mutable Tally compare{"CompareStringW (sort)"};

private:
    qob::Win32NameOrder inner_;
};

// The scan's server check (each path looked for once), timed.
class TimedServers final : public qob::ServerPresence {
public:
    bool ServerPathExists(const std::string& serverPath, qob::RegistryView view) override
    {
        Timed timed(check);
        return inner_.ServerPathExists(serverPath, view);
    }
    Tally check{"server path check (file searches)"};

private:
    qob::Win32FileSystem files_;
    qob::CheckedServers inner_{files_};
};

class CountingFiles final : public qob::FileSystem {
public:
    qob::FileSearch FindFirst(const std::string& path) const override
    {
        Timed timed(search);
        return inner_.FindFirst(path);
    }
    std::string ExpandEnvironment(const std::string& text) const override { return inner_.ExpandEnvironment(text); }
    std::string WindowsDirectory() const override { return inner_.WindowsDirectory(); }
    long RemoveFile(const std::string& path) override { return inner_.RemoveFile(path); }
    mutable Tally search{"FindFirstFileW"};

private:
    qob::Win32FileSystem inner_;
};

std::size_t FaultyEntries(const qob::TTreeNodes& tree)
{
    std::size_t faulty = 0;
    for (const auto& entry : tree.TopLevel())
        faulty += entry->ImageIndex() == qob::kIconFaultyEntry;
    return faulty;
}

int Scan(unsigned threads)
{
    qob::Win32KeyStore store;
    qob::Win32NameOrder order;
    qob::Win32FileSystem files;
    qob::CheckedServers servers(files);
    qob::TTreeNodes tree;
    const double start = Seconds();
    qob::RunRegistrationScan(tree, store, order, servers, threads, {qob::MonotonicMicroseconds});
    const double scanned = Seconds();
    const std::string text = qob::DumpTree(tree, false);
    const double dumped = Seconds();

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("scan_s=%.4f\n", scanned - start);
    std::printf("threads=%u\n", threads ? threads : qob::DefaultScanThreads());
    std::printf("dump_s=%.4f\n", dumped - scanned);
    std::printf("entries=%zu\n", tree.TopLevel().size());
    std::printf("faulty=%zu\n", FaultyEntries(tree));
    std::printf("nodes=%zu\n", tree.NodeCount());
    std::printf("dump_bytes=%zu\n", text.size());
    std::printf("peak_working_set_kb=%zu\n", memory.PeakWorkingSetSize / 1024);
    std::printf("peak_pagefile_kb=%zu\n", memory.PeakPagefileUsage / 1024);
    return 0;
}

// The profile's lines: the whole time, then per tally its calls, its time
// and the time of one call, then the time no tally counted.
void PrintProfile(std::initializer_list<const Tally*> tallies, double total, double secondsPerTick,
                  const char* rest)
{
    double counted = 0;
    std::printf("profile_total_s=%.4f\n", total);
    for (const Tally* tally : tallies) {
        const double seconds = static_cast<double>(tally->ticks) * secondsPerTick;
        counted += seconds;
        std::printf("profile|%s|%llu|%.4f|%.2f\n", tally->name, tally->calls, seconds,
                    tally->calls ? seconds * 1e6 / static_cast<double>(tally->calls) : 0.0);
    }
    std::printf("profile|%s||%.4f|\n", rest, total - counted);
}

int Profile()
{
    CountingKeyStore store;
    CountingNameOrder order;
    TimedServers servers;
    qob::TTreeNodes tree;
    const double start = Seconds();
    const unsigned long long startTicks = __rdtsc();
    // The tallies are plain counters: one reading thread.
    qob::RunRegistrationScan(tree, store, order, servers, 1);
    const double total = Seconds() - start;
    const double secondsPerTick = total / static_cast<double>(__rdtsc() - startTicks);

    PrintProfile({&store.openOk, &store.openFailed, &store.queryValue, &store.closeKey, &store.enumKey,
                  &store.queryInfo, &order.compare, &servers.check},
                 total, secondsPerTick, "everything else (tree, strings, A/W conversion outside calls)");
    std::printf("profile_entries=%zu\n", tree.TopLevel().size());
    return 0;
}

int Sections(unsigned threads, bool pooled)
{
    qob::Win32KeyStore store;
    qob::Win32FileSystem files;
    qob::Win32NameOrder order;
    const std::atomic<bool> never{false};
    const qob::ScanPacing pacing = pooled ? qob::ScanPacing{} : qob::ScanPacing{qob::MonotonicMicroseconds};
    const double start = Seconds();
    const qob::SectionFindings findings =
        qob::SectionExamination(store, files, order, threads, pacing).ExamineAll({}, never);
    std::printf("sections_s=%.4f\n", Seconds() - start);
    std::printf("broken=%zu\n", findings.keys.size());
    return findings.error ? 1 : 0;
}

int SectionsProfile()
{
    CountingKeyStore store;
    CountingFiles files;
    qob::Win32NameOrder order;
    const std::atomic<bool> never{false};
    const double start = Seconds();
    const unsigned long long startTicks = __rdtsc();
    // The tallies are plain counters: one examining thread.
    const qob::SectionFindings findings = qob::SectionExamination(store, files, order, 1).ExamineAll({}, never);
    const double total = Seconds() - start;
    const double secondsPerTick = total / static_cast<double>(__rdtsc() - startTicks);
    PrintProfile({&store.openOk, &store.openFailed, &store.queryValue, &store.closeKey, &store.enumKey,
                  &store.queryInfo, &files.search},
                 total, secondsPerTick, "everything else");
    std::printf("broken=%zu\n", findings.keys.size());
    return findings.error ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* mode = argc >= 2 ? argv[1] : "";
    if (std::strcmp(mode, "noop") == 0)
        return 0;
    try {
        if (std::strcmp(mode, "scan") == 0 && argc <= 3)
            return Scan(argc == 3 ? static_cast<unsigned>(std::atoi(argv[2])) : 0);
        if (std::strcmp(mode, "profile") == 0)
            return Profile();
        if (std::strcmp(mode, "sections") == 0 && argc <= 4)
            return Sections(argc >= 3 ? static_cast<unsigned>(std::atoi(argv[2])) : 0,
                            argc == 4 && std::strcmp(argv[3], "pool") == 0);
        if (std::strcmp(mode, "sections-profile") == 0)
            return SectionsProfile();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "scan ended by an error: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: WineScanBench noop|scan [N]|profile|sections [N] [pool]|sections-profile\n");
    return 2;
}
