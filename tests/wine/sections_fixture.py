"""`QobTessavinScan.exe --sections` under Wine, on the fixture `sections`
(sections.reg, sections.files) over the fresh prefix:

- it writes exactly the lines of sections.lines (the fresh prefix's own
  registrations are all healthy), in code page 932 under the Japanese
  locale, and the same text in UTF-8 with --utf8 under the English one;
  read on one thread it writes the same bytes;
- a value of the wrong type ends it with status 1: the lines before that
  key are written, the message goes to standard error;
- --sections with --faulty is a bad command line (status 2).

    sections_fixture.py SCANNER.exe FIXTURE_DIR
"""
import os
import subprocess
import sys
import tempfile

from seedfiles import make_files

HERE = os.path.dirname(os.path.abspath(__file__))
PREFIX = os.environ["WINEPREFIX"]
# Its in-process server becomes a number: the key before it is the first
# broken class of the fixture.
BAD_TYPE = ("Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CLASSES_ROOT\\CLSID\\{0B0B5EC1-0000-4000-8000-000000000002}\\InprocServer32]\r\n"
            "@=dword:00000001\r\n")

errors = []


def check(ok, what):
    if not ok:
        errors.append(what)


def sh(cmd, **kw):
    return subprocess.run(["bash", "-c", f"source {HERE}/wineenv.sh; {cmd}"], **kw)


def run(program, *args, lang="ja_JP.UTF-8"):
    proc = subprocess.run(["wine", program, *args], capture_output=True, timeout=600, env=dict(os.environ, LANG=lang))
    return proc.returncode, proc.stdout, proc.stderr


def import_reg(path):
    if sh(f"qob_wine_import '{path}'").returncode != 0:
        raise RuntimeError(f"reg import of {path} failed")


def main():
    program, fixture_dir = sys.argv[1:3]
    base = os.path.join(fixture_dir, "sections")
    with open(base + ".lines", encoding="utf-8") as f:
        expected = f.read()
    sh("qob_wine_reset", check=True)
    with open(base + ".files", encoding="utf-8") as f:
        make_files(PREFIX, f.read())
    import_reg(base + ".reg")

    rc, out, err = run(program, "--sections")
    check(rc == 0, f"--sections: exit status {rc}, stderr {err.decode('cp932', 'replace')!r}")
    check(b"\r" not in out, "--sections wrote a carriage return")
    got = out.decode("cp932", "replace")
    check(got == expected, f"--sections wrote\n{got}\nexpected\n{expected}")
    check(run(program, "--sections", "--threads", "1") == (rc, out, err),
          "--sections on one thread wrote other lines, status or message")
    rc, out, err = run(program, "--utf8", "--sections", lang="en_US.UTF-8")
    check((rc, out.decode("utf-8", "replace")) == (0, expected), f"--utf8 --sections (English) wrote\n{out!r}")
    rc, out, err = run(program, "--sections", "--faulty")
    check(rc == 2 and not out, f"--sections --faulty: exit status {rc}, output {out!r}")

    with tempfile.NamedTemporaryFile("w", suffix=".reg", encoding="utf-8", newline="", delete=False) as f:
        f.write(BAD_TYPE)
    try:
        import_reg(f.name)
    finally:
        os.unlink(f.name)
    rc, out, err = run(program, "--sections")
    first = expected.splitlines(keepends=True)[0]
    check(rc == 1, f"a value of the wrong type: exit status {rc}")
    check(out.decode("cp932", "replace") == first, f"a value of the wrong type: wrote\n{out!r}\nexpected\n{first}")
    check(err.decode("cp932", "replace").strip() == "'' のﾃﾞｰﾀ型が不正です",
          f"a value of the wrong type: stderr {err.decode('cp932', 'replace')!r}")

    sh("qob_wine_reset")
    for e in errors:
        print(e)
    print("sections fixture: " + ("ok" if not errors else f"{len(errors)} FAILED"))
    sys.exit(1 if errors else 0)


main()
