// NativeScanBench: the registration scan over the in-memory key store and
// file system, filled with the benchmark's registrations. Prints name=value
// lines for tools/bench/scan_bench.sh.
//
//   NativeScanBench HKCR.KEYS PRESENT.LIST [REPEATS]
//
// HKCR.KEYS and PRESENT.LIST (the server files that exist) are written by
// tools/bench/make_hkcr.py.
#include "tests/support/MemoryKeyStore.h"
#include "catalogue/Registry.h"
#include "catalogue/Scan.h"
#include "catalogue/ServerPath.h"
#include "tests/support/MemoryPlatform.h"

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// <chrono> does not compile with the code page 932 execution character set.
double Now()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double SecondsOf(const std::function<void()>& work)
{
    const double start = Now();
    work();
    return Now() - start;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

struct Loaded {
    std::size_t keys = 0;
    std::size_t values = 0;
    std::size_t files = 0;
};

Loaded Load(const char* keysPath, const char* filesPath, qob::MemoryKeyStore& store, qob::MemoryFileSystem& files)
{
    Loaded loaded;
    std::ifstream keys(keysPath, std::ios::binary);
    if (!keys)
        throw std::runtime_error(std::string("cannot read ") + keysPath);
    for (std::string line; std::getline(keys, line);) {
        const std::vector<std::string> f = Fields(line);
        if (f[0] == "K" && f.size() == 2) {
            store.CreateKey(qob::kClassesRoot, f[1]);
            ++loaded.keys;
        } else if (f[0] == "V" && f.size() == 4) {
            store.SetValue(qob::kClassesRoot, f[1], f[2], qob::kRegSz, f[3] + '\0');
            ++loaded.values;
        } else {
            throw std::runtime_error("bad line in " + std::string(keysPath) + ": " + line);
        }
    }
    std::ifstream list(filesPath);
    if (!list)
        throw std::runtime_error(std::string("cannot read ") + filesPath);
    for (std::string line; std::getline(list, line);) {
        if (line.rfind("file ", 0) == 0) {
            files.AddFile(line.substr(5));
            ++loaded.files;
        }
    }
    return loaded;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: NativeScanBench HKCR.KEYS PRESENT.LIST [REPEATS]\n");
        return 2;
    }
    const int repeats = argc == 4 ? std::max(1, std::atoi(argv[3])) : 3;
    try {
        qob::MemoryKeyStore store;
        qob::MemoryFileSystem files;
        qob::FoldedNameOrder order;
        Loaded loaded;
        const double loadSeconds = SecondsOf([&] { loaded = Load(argv[1], argv[2], store, files); });

        std::vector<double> scans;
        std::size_t entries = 0;
        std::size_t faulty = 0;
        for (int run = 0; run < repeats; ++run) {
            qob::TTreeNodes tree;
            qob::CheckedServers servers(files);  // one per scan, as the programs have
            scans.push_back(SecondsOf([&] { qob::RunRegistrationScan(tree, store, order, servers); }));
            entries = tree.TopLevel().size();
            faulty = static_cast<std::size_t>(std::count_if(tree.TopLevel().begin(), tree.TopLevel().end(),
                                                            [](const auto& entry) {
                                                                return entry->ImageIndex() == qob::kIconFaultyEntry;
                                                            }));
        }
        // The first steps of the scan on their own, once: listing and sorting the names.
        std::vector<std::string> names;
        const double listSeconds = SecondsOf([&] {
            qob::TRegistry registry(store);
            registry.SetRootKey(qob::kClassesRoot);
            registry.OpenKey("\\");
            registry.GetKeyNames(names);
        });
        const double sortSeconds = SecondsOf([&] { qob::SortNames(names, order); });
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("native_keys=%zu\n", loaded.keys);
        std::printf("native_values=%zu\n", loaded.values);
        std::printf("native_files=%zu\n", loaded.files);
        std::printf("native_load_s=%.4f\n", loadSeconds);
        std::printf("native_repeats=%d\n", repeats);
        std::printf("native_scan_s=%.4f\n", Median(scans));
        std::printf("native_list_s=%.4f\n", listSeconds);
        std::printf("native_sort_s=%.4f\n", sortSeconds);
        std::printf("native_names=%zu\n", names.size());
        std::printf("native_entries=%zu\n", entries);
        std::printf("native_faulty=%zu\n", faulty);
        std::printf("native_max_rss_kb=%ld\n", usage.ru_maxrss);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "NativeScanBench: %s\n", e.what());
        return 1;
    }
    return 0;
}
