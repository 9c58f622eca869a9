"""The examination benchmark's driver; run it through sections_bench.sh, which
builds the programs and sets up the Wine environment.

In one run, on the scan benchmark's seeded prefix, round by round and back to
back: QobTessavinScan.exe --sections (the classes, type libraries,
interfaces, shell extension handlers and file types) (its default number of threads, paced),
the same with --threads 1, and `wine reg export HKCR`. Prints the medians,
each round's ratio of the examination to the export (the figure least moved
by other work on the machine), and the data size: the keys of each section,
from the export. With --busy, a spinning process keeps one core busy for the
whole run.
"""
import argparse
import os
import statistics
import subprocess
from collections import Counter

from scan_bench import (BENCH, EXPORT_UNIX, EXPORT_WIN, PROBE, SCANNER, data_dir, machine, prefix_ready,
                        read_pairs, run)

SECTIONS = {"CLSID": "classes", "Wow6432Node\\CLSID": "32-bit classes", "TypeLib": "type libraries",
            "Interface": "interfaces", "Wow6432Node\\Interface": "32-bit interfaces"}
KINDS = ("class", "typelib", "interface", "shellex", "filetype")


def section_sizes():
    """Keys one level below each section, the root's own keys, their shellex
    keys and the file types, and all keys, in the export."""
    sizes = Counter()
    keys = 0
    with open(EXPORT_UNIX, encoding="utf-16") as f:
        for line in f:
            if not line.startswith("[HKEY_CLASSES_ROOT\\"):
                continue
            keys += 1
            path = line.strip()[len("[HKEY_CLASSES_ROOT\\"):-1]
            parts = path.split("\\")
            sizes["root"] += len(parts) == 1
            sizes["file types"] += len(parts) == 1 and path.startswith(".")
            sizes["shellex"] += parts[-1].lower() == "shellex"
            for section in SECTIONS:
                rest = path[len(section) + 1:] if path.lower().startswith(section.lower() + "\\") else ""
                if rest and "\\" not in rest:
                    sizes[section] += 1
    return sizes, keys


def kinds(path):
    with open(path, "rb") as f:
        return Counter(line.split(b"\t", 1)[0].decode() for line in f if line.strip())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--progids", type=int, default=20000)
    parser.add_argument("--busy", action="store_true", help="keep one core busy with a spinning process")
    args = parser.parse_args()
    data, stamp = data_dir(args.progids)
    prefix_ready(data, stamp)
    model, nproc, load = machine()
    output = os.path.join(BENCH, "sections-output.txt")
    rounds = {"examination": [], "examination, --threads 1": [], "reg export HKCR": []}
    spinner = subprocess.Popen(["sh", "-c", "while :; do :; done"]) if args.busy else None
    subprocess.run(["wineserver", "-p"])
    try:
        run(["wine", PROBE, "noop"])  # loads the registry into the server
        for n in range(args.repeats):
            print(f"round {n + 1} of {args.repeats} ...", flush=True)
            for label, threads in (("examination", []), ("examination, --threads 1", ["--threads", "1"])):
                with open(output + (".1" if threads else ""), "wb") as out:
                    wall, _, status = run(["wine", SCANNER, "--sections", *threads], stdout=out)
                assert status == 0, f"QobTessavinScan --sections exited with {status}"
                rounds[label].append(wall)
            with open(output, "rb") as a, open(output + ".1", "rb") as b:
                assert a.read() == b.read(), "one and several threads wrote different lines"
            wall, _, status = run(["wine", "reg", "export", "HKCR", EXPORT_WIN, "/y"])
            assert status == 0, f"reg export exited with {status}"
            rounds["reg export HKCR"].append(wall)
    finally:
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        if spinner:
            spinner.kill()
            spinner.wait()

    sizes, keys = section_sizes()
    found = kinds(output)
    med = statistics.median
    print()
    print(f"machine: {model}, nproc {nproc}, load average at start {load}"
          + (", one core kept busy by a spinning process" if args.busy else ""))
    print(f"data: the scan benchmark's prefix ({args.progids} ProgIDs); whole HKCR as exported: {keys} keys")
    print("      keys examined: " + ", ".join(f"{sizes[s]} {label}" for s, label in SECTIONS.items())
          + f"; {sum(sizes[s] for s in SECTIONS)} in all")
    print(f"      the root's keys: {sizes['root']}, of them {sizes['file types']} file types; "
          f"{sizes['shellex']} shellex keys")
    print("      broken found: " + ", ".join(f"{found[k]} {k}" for k in KINDS))
    print(f"timings: median of {args.repeats}, all in this run")
    for label, values in rounds.items():
        print(f"  {label:42s} {med(values):8.2f} s   ({', '.join(f'{v:.2f}' for v in values)})")
    export = rounds["reg export HKCR"]
    for label in ("examination", "examination, --threads 1"):
        ratios = [e / x for e, x in zip(rounds[label], export)]
        print(f"  {label + ' / export, median of the rounds':42s} {med(ratios):8.3f}   "
              f"({', '.join(f'{r:.3f}' for r in ratios)})   goal: at most 0.15")


if __name__ == "__main__":
    main()
