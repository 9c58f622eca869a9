"""The scan benchmark's driver; run it through scan_bench.sh, which builds the
programs and sets up the Wine environment.

In one run, on one seeded prefix, each timing repeated and the median taken:
  - QobTessavinScan.exe under wine: wall time of the process, and its peak
    memory (max RSS of the process, from wait4), with its default number of
    reading threads (or --threads N) and with one (--threads 1);
  - WineScanBench.exe scan: the same scan timed inside the process;
  - WineScanBench.exe noop: wine's start-up cost for a program;
  - wine reg export HKCR: the platform's own full read of the same keys;
then one profiled scan (calls counted and timed) and the native scan over the
in-memory key store filled with the same registrations.

With --busy, a spinning process keeps one core busy for the whole run.

With --versus OLD_SCANNER.exe, it times instead, round by round in turn, the
console scanner under the Japanese locale, the same under the English locale,
and the other build's scanner under the Japanese locale (each writing to a
file in the system code page), and checks that the two builds wrote the same
bytes under the Japanese locale.
"""
import argparse
import hashlib
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
BENCH = os.path.join(ROOT, "build", "bench")
PREFIX = os.environ["WINEPREFIX"]
SCANNER = os.path.join(ROOT, "build", "bench-windows", "QobTessavinScan.exe")
PROBE = os.path.join(ROOT, "build", "bench-windows", "WineScanBench.exe")
NATIVE = os.path.join(ROOT, "build", "bench-native", "NativeScanBench")
EXPORT_WIN = "C:\\bench-export.reg"
EXPORT_UNIX = os.path.join(PREFIX, "drive_c", "bench-export.reg")

sys.path.insert(0, os.path.join(ROOT, "tests", "wine"))
from seedfiles import make_files  # noqa: E402


def run(cmd, stdout=subprocess.DEVNULL, lang=None):
    """Runs a command; returns (wall seconds, its resource usage, exit status)."""
    env = dict(os.environ, LANG=lang) if lang else None
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, stdout=stdout, stderr=subprocess.DEVNULL, env=env)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    return wall, usage, proc.returncode


def pairs(text):
    return dict(line.split("=", 1) for line in text.splitlines() if "=" in line)


def read_pairs(path):
    with open(path, encoding="utf-8") as f:
        return pairs(f.read())


def data_dir(progids):
    """Makes the registrations once per generator version and size."""
    with open(os.path.join(HERE, "make_hkcr.py"), "rb") as f:
        stamp = hashlib.sha1(f.read() + str(progids).encode()).hexdigest()
    out = os.path.join(BENCH, f"data-{progids}")
    if not os.path.exists(os.path.join(out, stamp)):
        shutil.rmtree(out, ignore_errors=True)
        subprocess.run([sys.executable, os.path.join(HERE, "make_hkcr.py"), out, "--progids", str(progids)],
                       check=True)
        open(os.path.join(out, stamp), "w").close()
    return out, stamp


def prefix_ready(data, stamp):
    """Makes the seeded prefix, unless the one in place holds this data."""
    marker = os.path.join(PREFIX, ".bench-data")
    if os.path.exists(marker) and open(marker).read() == stamp:
        return read_pairs(os.path.join(PREFIX, ".bench-seed"))
    subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
    shutil.rmtree(PREFIX, ignore_errors=True)
    os.makedirs(os.path.dirname(PREFIX), exist_ok=True)
    print("making the prefix (once) ...", flush=True)
    start = time.perf_counter()
    subprocess.run(["wineboot", "-i"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], check=True)
    boot = time.perf_counter() - start
    reg = subprocess.run(["winepath", "-w", os.path.join(data, "hkcr.reg")], capture_output=True, text=True,
                         check=True).stdout.strip()
    start = time.perf_counter()
    subprocess.run(["wine", "reg", "import", reg], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    imported = time.perf_counter() - start
    with open(os.path.join(data, "files.list"), encoding="utf-8") as f:
        make_files(PREFIX, f.read())
    start = time.perf_counter()
    subprocess.run(["wineserver", "-w"], check=True)
    saved = time.perf_counter() - start
    seed = {"wineboot_s": f"{boot:.1f}", "import_s": f"{imported:.1f}", "save_s": f"{saved:.1f}"}
    with open(os.path.join(PREFIX, ".bench-seed"), "w") as f:
        f.writelines(f"{k}={v}\n" for k, v in seed.items())
    with open(marker, "w") as f:
        f.write(stamp)
    return seed


def export_size():
    """Keys and values of the whole HKEY_CLASSES_ROOT, counted in the export."""
    keys = values = 0
    with open(EXPORT_UNIX, encoding="utf-16") as f:
        for line in f:
            if line.startswith("[HKEY_CLASSES_ROOT"):
                keys += 1
            elif line.startswith(("@=", '"')):
                values += 1
    return keys, values


def machine():
    model = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    nproc = subprocess.run(["nproc"], capture_output=True, text=True).stdout.strip()
    load = open("/proc/loadavg").read().split()[0]
    return model, nproc, load


def scan_tree(path):
    entries = faulty = 0
    with open(path, "rb") as f:
        for line in f:
            if line.startswith(b"0\t"):
                entries += 1
                faulty += line.startswith(b"0\t2\t")
    return entries, faulty


def compare(old_scanner, repeats, threaded):
    """The scanner under two locales and against another build, in turns."""
    japanese, english, other = "this build, ja_JP.UTF-8", "this build, en_US.UTF-8", "other build, ja_JP.UTF-8"
    runs = {japanese: (SCANNER, "ja_JP.UTF-8"), english: (SCANNER, "en_US.UTF-8"), other: (old_scanner, "ja_JP.UTF-8")}
    walls = {label: [] for label in runs}
    cpus = {label: [] for label in runs}  # user and system time of the scanner's process
    outputs = {}
    subprocess.run(["wineserver", "-p"])
    try:
        run(["wine", PROBE, "noop"])  # loads the registry into the server
        for n in range(repeats):
            print(f"round {n + 1} of {repeats} ...", flush=True)
            # Each round starts with another of the three.
            for label in list(runs)[n % 3:] + list(runs)[:n % 3]:
                program, lang = runs[label]
                path = os.path.join(BENCH, "compare-output.txt")
                with open(path, "wb") as out:
                    wall, usage, status = run(["wine", program, *threaded], stdout=out, lang=lang)
                assert status == 0, f"{label} exited with {status}"
                walls[label].append(wall)
                cpus[label].append(usage.ru_utime + usage.ru_stime)
                with open(path, "rb") as f:
                    outputs[label] = f.read()
    finally:
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
    same = outputs[japanese] == outputs[other]
    med = statistics.median
    print()
    print(f"timings: median of {repeats}, all in this run; output {len(outputs[japanese])} bytes, "
          f"the two builds' under ja_JP.UTF-8 {'the same' if same else 'DIFFERENT'}")
    for kind, times in (("wall", walls), ("CPU", cpus)):
        for label, values in times.items():
            print(f"  {label + ', ' + kind:42s} {med(values):8.2f} s   ({', '.join(f'{v:.2f}' for v in values)})")
        ratios = {
            "en_US / ja_JP": [e / j for j, e in zip(times[japanese], times[english])],
            "this build / other build": [j / o for j, o in zip(times[japanese], times[other])],
        }
        for label, values in ratios.items():
            print(f"  {label + ', ' + kind + ', median of the rounds':42s} {med(values):8.2f}   "
                  f"({', '.join(f'{r:.2f}' for r in values)})   goal: at most 1.05")
    assert same, "the two builds wrote different trees under ja_JP.UTF-8"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--progids", type=int, default=20000)
    parser.add_argument("--threads", type=int, default=0, help="the threaded scan's number (default: its own)")
    parser.add_argument("--busy", action="store_true", help="keep one core busy with a spinning process")
    parser.add_argument("--versus", metavar="OLD_SCANNER", help="compare with another build's console scanner")
    args = parser.parse_args()
    threaded = ["--threads", str(args.threads)] if args.threads else []

    data, stamp = data_dir(args.progids)
    expect = read_pairs(os.path.join(data, "expect.txt"))
    seed = prefix_ready(data, stamp)
    if args.versus:
        compare(args.versus, args.repeats, threaded)
        return
    model, nproc, load = machine()

    spinner = subprocess.Popen(["sh", "-c", "while :; do :; done"]) if args.busy else None
    # One server for the whole run, holding the registry in memory.
    subprocess.run(["wineserver", "-p"])
    try:
        run(["wine", PROBE, "noop"])  # loads the registry into the server
        noop, scanner, scanner_rss, single, probe, export = [], [], [], [], [], []
        probe_out = {}
        tree_path = os.path.join(BENCH, "scan-output.txt")
        for n in range(args.repeats):
            print(f"round {n + 1} of {args.repeats} ...", flush=True)
            noop.append(run(["wine", PROBE, "noop"])[0])
            with open(tree_path, "wb") as out:
                wall, usage, status = run(["wine", SCANNER, *threaded], stdout=out)
            assert status == 0, f"QobTessavinScan exited with {status}"
            scanner.append(wall)
            scanner_rss.append(usage.ru_maxrss)
            with open(tree_path + ".1", "wb") as out:
                wall, _, status = run(["wine", SCANNER, "--threads", "1"], stdout=out)
            assert status == 0, f"QobTessavinScan --threads 1 exited with {status}"
            single.append(wall)
            with open(tree_path, "rb") as a, open(tree_path + ".1", "rb") as b:
                assert a.read() == b.read(), "the scans on one and on several threads printed different trees"
            text = subprocess.run(["wine", PROBE, "scan", *threaded[1:]], capture_output=True, text=True,
                                  check=True).stdout
            probe_out = pairs(text)
            probe.append(float(probe_out["scan_s"]))
            wall, _, status = run(["wine", "reg", "export", "HKCR", EXPORT_WIN, "/y"])
            assert status == 0, f"reg export exited with {status}"
            export.append(wall)
        print("profiled scan ...", flush=True)
        profile = subprocess.run(["wine", PROBE, "profile"], capture_output=True, text=True, check=True).stdout
    finally:
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        if spinner:
            spinner.kill()
            spinner.wait()
    print("native scan ...", flush=True)
    native = pairs(subprocess.run([NATIVE, os.path.join(data, "hkcr.keys"), os.path.join(data, "present.list"),
                                   str(args.repeats)], capture_output=True, text=True, check=True).stdout)

    entries, faulty = scan_tree(tree_path)
    progids = int(expect["progids"])
    # The fresh prefix's own registrations are all healthy.
    assert faulty == int(expect["faulty"]), f"scan found {faulty} faulty entries, expected {expect['faulty']}"
    assert entries >= progids, f"scan found {entries} entries, expected at least {progids}"
    assert int(native["native_faulty"]) == faulty, "the native scan disagrees on the faulty entries"
    hkcr_keys, hkcr_values = export_size()

    med = statistics.median
    start_up = med(noop)
    scan_net = med(scanner) - start_up
    export_net = med(export) - start_up
    print()
    print(f"machine: {model}, nproc {nproc}, load average at start {load}"
          + (", one core kept busy by a spinning process" if args.busy else ""))
    print(f"data: {progids} ProgIDs ({expect['faulty']} faulty: {expect['no_class_key']} without class key, "
          f"{expect['missing_server']} with a missing server file, {expect['no_type_library']} without type "
          f"library), {expect['extensions']} extension keys; {expect['keys']} keys and {expect['values']} values "
          f"seeded, {expect['server_files']} server files made")
    print(f"      whole HKCR as exported: {hkcr_keys} keys, {hkcr_values} values; scan: {entries} entries "
          f"({entries - progids} of the fresh prefix), {faulty} faulty, {probe_out['nodes']} nodes")
    print(f"prefix seeding (cached after the first run): wineboot {seed['wineboot_s']} s, "
          f"reg import {seed['import_s']} s, registry save {seed['save_s']} s")
    print(f"timings: median of {args.repeats}, all in this run")
    rows = [
        ("wine start-up (trivial exe)", noop),
        (f"QobTessavinScan.exe, {probe_out['threads']} threads, wall", scanner),
        ("QobTessavinScan.exe --threads 1, wall", single),
        ("scan inside the process (WineScanBench)", probe),
        ("wine reg export HKCR, wall", export),
    ]
    for label, values in rows:
        print(f"  {label:42s} {med(values):8.2f} s   ({', '.join(f'{v:.2f}' for v in values)})")
    # Each round's scans and export ran back to back: their ratio is the
    # figure least moved by other work on the machine.
    paired = [s / e for s, e in zip(scanner, export)]
    paired_probe = [p / (e - start_up) for p, e in zip(probe, export)]
    print(f"  {'scan / export, medians of the walls':42s} {med(scanner) / med(export):8.2f}")
    print(f"  {'scan / export, start-up subtracted':42s} {scan_net / export_net:8.2f}")
    print(f"  {'scan / export, median of the rounds':42s} {med(paired):8.2f}   "
          f"({', '.join(f'{r:.2f}' for r in paired)})   goal: at most 0.2")
    paired_single = [s / e for s, e in zip(single, export)]
    print(f"  {'one-thread scan / export, median of rounds':42s} {med(paired_single):8.2f}   "
          f"({', '.join(f'{r:.2f}' for r in paired_single)})")
    speed = [t / s for t, s in zip(scanner, single)]
    print(f"  {'threaded / one-thread scan, median':42s} {med(speed):8.2f}   "
          f"({', '.join(f'{r:.2f}' for r in speed)})")
    print(f"  {'in-process scan / export, median of rounds':42s} {med(paired_probe):8.2f}   "
          f"({', '.join(f'{r:.2f}' for r in paired_probe)})")
    print(f"  {'peak memory of the scanner (max RSS)':42s} {max(scanner_rss) / 1024:8.1f} MiB "
          f"(peak working set in the probe {int(probe_out['peak_working_set_kb']) / 1024:.1f} MiB)")
    print(f"  {'tree dump after the scan':42s} {float(probe_out['dump_s']):8.2f} s")
    print(f"  {'native scan, in-memory store':42s} {float(native['native_scan_s']):8.2f} s   "
          f"(of which listing the {native['native_names']} root names alone takes "
          f"{float(native['native_list_s']):.2f} s, sorting {float(native['native_sort_s']):.3f} s)")
    print()
    print("profiled scan under wine (one run; the timing of each call adds little):")
    print(f"  {'call':44s} {'calls':>8s} {'seconds':>8s} {'us/call':>8s} {'share':>6s}")
    total = float(pairs(profile)["profile_total_s"])
    for line in profile.splitlines():
        if line.startswith("profile|"):
            _, name, calls, seconds, per_call = line.split("|")
            print(f"  {name:44s} {calls:>8s} {float(seconds):8.2f} {per_call:>8s} "
                  f"{100 * float(seconds) / total:5.1f}%")
    print(f"  {'total':44s} {'':>8s} {total:8.2f}")


if __name__ == "__main__":
    main()
