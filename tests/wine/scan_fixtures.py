"""Seeds the test prefix with each fixture (see fixtures.py) and checks the
console scan: the entries the fixture seeds or expects, picked out of the
scanner's output in output order, must equal the expected tree; its exit
status and message must be the expected ones; and `--faulty` must print
exactly the faulty ones among them (the fresh prefix has no faulty entry of
its own); on the written fixtures, the scan read on one thread (`--threads
1`) must print the same, byte for byte, as the default one.

By default the scanner runs under the Japanese locale and writes code page
932. With --utf8 it runs with --utf8 under the Japanese and the English
locale: each output must be the expected tree (NAME.utf8.tree where there is
one), and the two must be the same bytes.

    scan_fixtures.py [--utf8] SCANNER.exe FIXTURE_DIR [NAME...]
"""
import os
import subprocess
import sys
import time

from fixtures import Fixture, diff, entries, names_in
from seedfiles import make_files

HERE = os.path.dirname(os.path.abspath(__file__))
WINEPREFIX = os.environ["WINEPREFIX"]
JAPANESE = "ja_JP.UTF-8"
ENGLISH = "en_US.UTF-8"


def sh(cmd, **kw):
    return subprocess.run(["bash", "-c", f"source {HERE}/wineenv.sh; {cmd}"], **kw)


def seed(fixture):
    sh("qob_wine_reset", check=True)
    if fixture.path(".files"):
        with open(fixture.path(".files"), encoding="utf-8") as f:
            make_files(WINEPREFIX, f.read())
    if fixture.path(".reg") and sh(f"qob_wine_import '{fixture.path('.reg')}'").returncode != 0:
        raise RuntimeError(f"{fixture.name}: reg import failed")


class Scanner:
    """The console scanner under one locale, writing code page 932 or UTF-8."""

    def __init__(self, program, lang=JAPANESE, utf8=False):
        self.program, self.lang, self.utf8 = program, lang, utf8
        self.encoding = "utf-8" if utf8 else "cp932"

    def run(self, *args):
        """Exit status, standard output's bytes and its text, standard error's text."""
        options = ["--utf8"] if self.utf8 else []
        proc = subprocess.run(["wine", self.program, *options, *args], capture_output=True, timeout=600,
                              env=dict(os.environ, LANG=self.lang))
        text = proc.stdout.decode(self.encoding, errors="strict" if self.utf8 else "replace")
        assert "\r" not in text, "the scanner wrote a carriage return"
        return proc.returncode, proc.stdout, text, proc.stderr.decode(self.encoding, errors="replace").strip()


def check(scanner, fixture):
    """Errors of one run of the scanner on the seeded fixture, and its output."""
    name = f"{fixture.name} ({scanner.lang}{', --utf8' if scanner.utf8 else ''})"
    errors = []
    started = time.monotonic()
    rc, raw, text, err = scanner.run()
    seconds = time.monotonic() - started
    got = fixture.pick(text.splitlines())
    if got != fixture.tree:
        errors.append(f"{name}: tree differs\n{diff(fixture.tree, got)[:6000]}")
    if rc != fixture.exit_code:
        errors.append(f"{name}: exit status {rc}, expected {fixture.exit_code} (stderr: {err})")
    if scanner.lang == JAPANESE and err != fixture.stderr:
        errors.append(f"{name}: stderr {err!r}, expected {fixture.stderr!r}")
    # The large generated fixtures would only repeat, slowly, what the native
    # tests check at scale.
    if not fixture.generated and scanner.run("--threads", "1") != (rc, raw, text, err):
        errors.append(f"{name}: the scan on one thread printed another tree, status or message")
    if rc == 0:
        _, _, faulty_text, _ = scanner.run("--faulty")
        faulty = [l for _, block in entries(faulty_text.splitlines()) for l in block]
        expected_faulty = [l for _, block in entries(got) if block[0].split("\t")[1] == "2" for l in block]
        if faulty != expected_faulty:
            errors.append(f"{name}: --faulty printed {len(faulty)} lines, expected {len(expected_faulty)}:\n"
                          + "\n".join(faulty[:40]))
    print(f"{name}: {len(entries(got))} entries checked, scan {seconds:.2f} s, {'ok' if not errors else 'FAILED'}")
    return errors, raw


def check_fixture(program, fixture_dir, name, utf8):
    fixture = Fixture(fixture_dir, name, utf8=utf8)
    seed(fixture)
    if not utf8:
        return check(Scanner(program), fixture)[0]
    errors = []
    outputs = {}
    for lang in (JAPANESE, ENGLISH):
        found, outputs[lang] = check(Scanner(program, lang, utf8=True), fixture)
        errors += found
    if outputs[JAPANESE] != outputs[ENGLISH]:
        errors.append(f"{name}: --utf8 wrote other bytes under {ENGLISH} than under {JAPANESE}")
    return errors


def main():
    args = sys.argv[1:]
    utf8 = args[:1] == ["--utf8"]
    program, fixture_dir, *names = args[1:] if utf8 else args
    names = names or names_in(fixture_dir, utf8)
    errors = []
    for name in names:
        errors += check_fixture(program, fixture_dir, name, utf8)
    sh("qob_wine_reset")
    for e in errors:
        print(e)
    print(f"{len(names) - len({e.split(':')[0].split(' (')[0] for e in errors})} of {len(names)} fixtures passed")
    sys.exit(1 if errors else 0)


main()
