"""Seeds the test prefix with each fixture and checks the console scan.

A fixture NAME has
  NAME.reg    registrations to import (UTF-8 text, converted for reg import)
  NAME.files  optional: files to make in the prefix, one a line:
                file C:\\path\\name.dll [YYYY-MM-DD]   or   dir C:\\path
  NAME.tree   the expected tree of the fixture's entries, as the scanner
              prints it (UTF-8 here; the scanner writes code page 932).
              Lines starting with '#' set expectations:
                # exit N           exit status (0 when absent)
                # stderr TEXT      the message on standard error
                # only             the whole output must equal the tree,
                                   not just the entries the tree names
The entries the tree names are picked out of the scanner's output, in
output order, and compared with it; `--faulty` must then print exactly the
faulty ones among them (the fresh prefix has no faulty entry of its own).
"""
import os
import re
import subprocess
import sys
import tempfile
import time

from seedfiles import make_files

WINEPREFIX = os.environ["WINEPREFIX"]


def sh(cmd, **kw):
    return subprocess.run(["bash", "-c", f"source {HERE}/wineenv.sh; {cmd}"], **kw)


HERE = os.path.dirname(os.path.abspath(__file__))


def entries(lines):
    """Splits tree lines into (name, [lines]) per top-level entry."""
    out = []
    for line in lines:
        if line.startswith("0\t"):
            out.append((line.split("\t", 2)[2], [line]))
        elif out:
            out[-1][1].append(line)
    return out


def seeded_names(reg_path):
    """Direct subkeys of HKEY_CLASSES_ROOT that a fixture's registry file makes:
    the output must show exactly the entries the tree expects among them."""
    if not os.path.exists(reg_path):
        return []
    names = set()
    with open(reg_path, encoding="utf-8") as f:
        for line in f:
            m = re.match(r"\[HKEY_CLASSES_ROOT\\([^\\\]]+)", line.strip())
            if m and m.group(1) not in ("CLSID", "TypeLib"):
                names.add(m.group(1))
    return sorted(names)


def run_scanner(scanner, *args):
    proc = subprocess.run(["wine", scanner, *args], capture_output=True, timeout=600)
    text = proc.stdout.decode("cp932", errors="replace")
    assert "\r" not in text, "the scanner wrote a carriage return"
    return proc.returncode, text, proc.stderr.decode("cp932", errors="replace").strip()


def check(scanner, fixture_dir, name):
    base = os.path.join(fixture_dir, name)
    generator = base + ".gen.py"
    if os.path.exists(generator):
        made = tempfile.mkdtemp(prefix="qob-fixture-")
        subprocess.run([sys.executable, generator, made], check=True)
        base = os.path.join(made, name)
    expected_lines, exit_code, stderr, only = [], 0, "", False
    with open(base + ".tree", encoding="utf-8") as f:
        for line in f.read().splitlines():
            if line.startswith("# exit "):
                exit_code = int(line[7:])
            elif line.startswith("# stderr "):
                stderr = line[9:]
            elif line.strip() == "# only":
                only = True
            elif line and not line.startswith("#"):
                expected_lines.append(line)
    sh("qob_wine_reset", check=True)
    if os.path.exists(base + ".files"):
        with open(base + ".files", encoding="utf-8") as f:
            make_files(WINEPREFIX, f.read())
    if os.path.exists(base + ".reg"):
        if sh(f"qob_wine_import '{base}.reg'").returncode != 0:
            return [f"{name}: reg import failed"]
    errors = []
    started = time.monotonic()
    rc, text, err = run_scanner(scanner)
    seconds = time.monotonic() - started
    lines = text.splitlines()
    wanted = [n for n, _ in entries(expected_lines)] + seeded_names(base + ".reg")
    got = [l for n, block in entries(lines) if only or n in wanted for l in block]
    if got != expected_lines:
        import difflib
        diff = "\n".join(difflib.unified_diff(expected_lines, got, "expected", "scanned", lineterm="", n=2))
        errors.append(f"{name}: tree differs\n{diff[:6000]}")
    if rc != exit_code:
        errors.append(f"{name}: exit status {rc}, expected {exit_code} (stderr: {err})")
    if err != stderr:
        errors.append(f"{name}: stderr {err!r}, expected {stderr!r}")
    if rc == 0:
        _, faulty_text, _ = run_scanner(scanner, "--faulty")
        faulty = [l for _, block in entries(faulty_text.splitlines()) for l in block]
        expected_faulty = [l for n, block in entries(got) if block[0].split("\t")[1] == "2" for l in block]
        if faulty != expected_faulty:
            errors.append(f"{name}: --faulty printed {len(faulty)} lines, expected {len(expected_faulty)}:\n"
                          + "\n".join(faulty[:40]))
    print(f"{name}: {len(set(wanted))} names checked, scan {seconds:.2f} s, {'ok' if not errors else 'FAILED'}")
    return errors


def main():
    scanner, fixture_dir, *names = sys.argv[1:]
    if not names:
        names = sorted(f.split(".")[0] for f in os.listdir(fixture_dir) if f.endswith((".tree", ".gen.py")))
    errors = []
    for name in names:
        errors += check(scanner, fixture_dir, name)
    sh("qob_wine_reset")
    for e in errors:
        print(e)
    print(f"{len(names) - len({e.split(':')[0] for e in errors})} of {len(names)} fixtures passed")
    sys.exit(1 if errors else 0)


main()
