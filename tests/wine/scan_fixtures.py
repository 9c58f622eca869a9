"""Seeds the test prefix with each fixture (see fixtures.py) and checks the
console scan: the entries the fixture seeds or expects, picked out of the
scanner's output in output order, must equal the expected tree; its exit
status and message must be the expected ones; and `--faulty` must print
exactly the faulty ones among them (the fresh prefix has no faulty entry of
its own); on the written fixtures, the scan read on one thread (`--threads
1`) must print the same, byte for byte, as the default one.

    scan_fixtures.py SCANNER.exe FIXTURE_DIR [NAME...]
"""
import os
import subprocess
import sys
import time

from fixtures import Fixture, diff, entries, names_in
from seedfiles import make_files

HERE = os.path.dirname(os.path.abspath(__file__))
WINEPREFIX = os.environ["WINEPREFIX"]


def sh(cmd, **kw):
    return subprocess.run(["bash", "-c", f"source {HERE}/wineenv.sh; {cmd}"], **kw)


def seed(fixture):
    sh("qob_wine_reset", check=True)
    if fixture.path(".files"):
        with open(fixture.path(".files"), encoding="utf-8") as f:
            make_files(WINEPREFIX, f.read())
    if fixture.path(".reg") and sh(f"qob_wine_import '{fixture.path('.reg')}'").returncode != 0:
        raise RuntimeError(f"{fixture.name}: reg import failed")


def run_scanner(scanner, *args):
    proc = subprocess.run(["wine", scanner, *args], capture_output=True, timeout=600)
    text = proc.stdout.decode("cp932", errors="replace")
    assert "\r" not in text, "the scanner wrote a carriage return"
    return proc.returncode, text, proc.stderr.decode("cp932", errors="replace").strip()


def check(scanner, fixture_dir, name):
    fixture = Fixture(fixture_dir, name)
    seed(fixture)
    errors = []
    started = time.monotonic()
    rc, text, err = run_scanner(scanner)
    seconds = time.monotonic() - started
    got = fixture.pick(text.splitlines())
    if got != fixture.tree:
        errors.append(f"{name}: tree differs\n{diff(fixture.tree, got)[:6000]}")
    if rc != fixture.exit_code:
        errors.append(f"{name}: exit status {rc}, expected {fixture.exit_code} (stderr: {err})")
    if err != fixture.stderr:
        errors.append(f"{name}: stderr {err!r}, expected {fixture.stderr!r}")
    # The large generated fixtures would only repeat, slowly, what the native
    # tests check at scale.
    if not fixture.generated and run_scanner(scanner, "--threads", "1") != (rc, text, err):
        errors.append(f"{name}: the scan on one thread printed another tree, status or message")
    if rc == 0:
        _, faulty_text, _ = run_scanner(scanner, "--faulty")
        faulty = [l for _, block in entries(faulty_text.splitlines()) for l in block]
        expected_faulty = [l for _, block in entries(got) if block[0].split("\t")[1] == "2" for l in block]
        if faulty != expected_faulty:
            errors.append(f"{name}: --faulty printed {len(faulty)} lines, expected {len(expected_faulty)}:\n"
                          + "\n".join(faulty[:40]))
    print(f"{name}: {len(entries(got))} entries checked, scan {seconds:.2f} s, {'ok' if not errors else 'FAILED'}")
    return errors


def main():
    scanner, fixture_dir, *names = sys.argv[1:]
    names = names or names_in(fixture_dir)
    errors = []
    for name in names:
        errors += check(scanner, fixture_dir, name)
    sh("qob_wine_reset")
    for e in errors:
        print(e)
    print(f"{len(names) - len({e.split(':')[0] for e in errors})} of {len(names)} fixtures passed")
    sys.exit(1 if errors else 0)


main()
