"""`QobTessavinScan.exe --sections` under Wine, on the fixture `sections`
(sections.reg, sections.files) over the fresh prefix:

- it writes exactly the lines of sections.lines (the fresh prefix's own
  registrations are all healthy), in code page 932 under the Japanese
  locale, and the same text in UTF-8 with --utf8 under the English one;
  read on one thread it writes the same bytes;
- a value of the wrong type ends it with status 1: the lines before that
  key are written, the message goes to standard error;
- --sections with --faulty is a bad command line (status 2), and so are
  --fix without --sections, --fix with --csv and --dry-run without --fix;
- --csv writes the same keys as a report: UTF-8 with its byte order mark,
  quoted as RFC 4180 quotes, the heading and one record per line with the
  reason token of the line; --faulty --csv has the same heading;
- --fix --dry-run writes "would delete" for every line, changes nothing and
  makes no backup folder; --fix deletes exactly what --sections listed
  into one backup folder (--sections then lists none of them), and --restore of
  that folder gives every key's export back.

    sections_fixture.py SCANNER.exe FIXTURE_DIR
"""
import csv
import glob
import io
import os
import shutil
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


def backup_folders():
    return set(glob.glob(os.path.join(PREFIX, "drive_c", "users", "*", "AppData", "Local", "Qob Tessavin",
                                      "Backup", "*")))


def export(key, scratch):
    out = os.path.join(scratch, "export.reg")
    if os.path.exists(out):
        os.remove(out)
    proc = subprocess.run(["wine", "reg", "export", key, "Z:" + out.replace("/", "\\"), "/y"], capture_output=True,
                          timeout=300)
    if proc.returncode != 0:
        return None
    with open(out, "rb") as f:
        return f.read()


def check_report(program, expected):
    """--csv of the sections and of the faulty entries, read back."""
    lines = [line.split("\t") for line in expected.splitlines()]
    rc, out, err = run(program, "--sections", "--csv")
    check(rc == 0 and out.startswith(b"\xef\xbb\xbf"), f"--sections --csv: status {rc}, starts {out[:8]!r}")
    text = out[3:].decode("utf-8", "replace")
    check(text.endswith("\r\n") and "\n" not in text.replace("\r\n", ""), "--csv records do not end with CR LF")
    records = list(csv.reader(io.StringIO(text, newline="")))
    check(records[:1] == [["種類", "キー", "説明", "理由", "理由コード", "ProgID", "ファイル"]],
          f"--csv heading {records[:1]}")
    got = [(r[1], r[2], r[4]) for r in records[1:]]
    want = [(k, d.replace("\\x09", "\t"), t) for _, k, d, t in lines]
    check(got == want, f"--csv records\n{got}\nexpected\n{want}")
    check('|""C:\\qob\\sections\\gone.exe"" -Embedding' in text, "a path in quotes is not quoted as RFC 4180 quotes")
    rc, out, err = run(program, "--faulty", "--csv", lang="en_US.UTF-8")
    heading = out[3:].decode("utf-8", "replace").split("\r\n")[0]
    english = "Kind,Key,Description,Reason,Reason token,ProgID,Files"
    check(rc == 0 and out.startswith(b"\xef\xbb\xbf") and heading == english,
          f"--faulty --csv (English): status {rc}, heading {heading!r}")


def check_fix(program, expected):
    """--fix --dry-run, then --fix, then --restore of its folder."""
    lines = [line.split("\t") for line in expected.splitlines()]
    scratch = tempfile.mkdtemp(prefix="qob-fix-")
    keys = ["HKEY_CLASSES_ROOT\\" + key for _, key, _, _ in lines]
    before = {k: export(k, scratch) for k in keys}
    check(all(before.values()), f"fixture keys missing: {[k for k, v in before.items() if not v]}")
    folders = backup_folders()
    rc, out, err = run(program, "--sections", "--fix", "--dry-run")
    would = "".join(f"would delete\t{kind}\t{key}\n" for kind, key, _, _ in lines)
    check((rc, out.decode("cp932", "replace")) == (0, would), f"--fix --dry-run ({rc}) wrote\n{out!r}")
    check(backup_folders() == folders, "--fix --dry-run made a backup folder")
    check(run(program, "--sections")[1].decode("cp932", "replace") == expected, "--fix --dry-run changed the keys")

    rc, out, err = run(program, "--utf8", "--sections", "--fix")
    text = out.decode("utf-8", "replace").splitlines()
    deleted = [f"deleted\t{kind}\t{key}" for kind, key, _, _ in lines]
    check(rc == 0 and text[:-1] == deleted and text[-1:] and text[-1].startswith("backup\t"),
          f"--fix ({rc}) wrote\n{out!r}\n{err!r}")
    made = backup_folders() - folders
    check(len(made) == 1, f"--fix made the backup folders {made}")
    # What named a deleted key may be broken now (an interface whose proxy
    # class went); none of the deleted keys is listed again.
    again = run(program, "--sections")[1].decode("cp932", "replace").splitlines()
    check(not {l.split("\t")[1] for l in again} & {key for _, key, _, _ in lines},
          f"--sections lists deleted keys after --fix:\n{again}")
    # A file type loses its default value alone: the key and all else stay.
    def without_default(exported):
        return [l for l in exported.decode("utf-16").splitlines() if not l.startswith("@=")]
    left = []
    for (kind, _, _, _), k in zip(lines, keys):
        now = export(k, scratch)
        if kind != "filetype" and now is not None:
            left.append(k)
        elif kind == "filetype" and (now is None or without_default(now) != without_default(before[k]) or
                                     without_default(now) != now.decode("utf-16").splitlines()):
            left.append(k)
    check(left == [], f"keys left after --fix, or file types not left as they should be: {left}")

    folder = text[-1].split("\t", 1)[1] if text else ""
    rc, out, err = run(program, "--restore", folder)
    check(rc == 0, f"--restore of the --fix folder: status {rc}, {err.decode('cp932', 'replace')!r}")
    for k in keys:
        check(export(k, scratch) == before[k], f"{k}: the export after --restore differs")
    shutil.rmtree(scratch, ignore_errors=True)


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
    for bad in (["--sections", "--faulty"], ["--fix"], ["--faulty", "--fix"], ["--sections", "--fix", "--csv"],
                ["--sections", "--dry-run"], ["--csv"]):
        rc, out, err = run(program, *bad)
        check(rc == 2 and not out, f"{' '.join(bad)}: exit status {rc}, output {out!r}")
    check_report(program, expected)
    check_fix(program, expected)

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
