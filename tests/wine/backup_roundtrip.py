"""The removal's backup under Wine, on the keys of FIXTURE.reg (every value
type, odd names, names outside every code page, a class key of the 32-bit
view) and server files (one below a folder outside code page 932):

- backed up with the program's backup and deleted, then put back with
  `QobTessavinScan.exe --utf8 --restore`: `reg export` of every key is the
  same as before, the files are back byte for byte in folders that had gone;
- a second restore does not overwrite the file that is back, and says so;
  nor a key that is there again, whose value a user changed meanwhile,
  while a key that went again comes back; each restore leaves its mark in
  the folder, "partly" when something was not restored;
- importing the folder's .reg file the way a double click does (regedit)
  puts the keys back too;
- a class deleted half way (subkeys and values deleted by hand after the
  backup) gets back what went, and what stayed keeps its data: the line of
  each key says how many keys and values were put back below it;
- two runs of one ProgID get a folder each;
- a backup folder that cannot be made fails the backup with a reason, and
  nothing is deleted;
- crafted folders that the backup does not write (a key outside the class
  keys, a whole container, a deletion, a copy name outside files\, a
  relative target, a keys.reg that cannot be read) are refused whole: exit
  status 1, the reason on one line, the registry and the disk unchanged;
- a file whose target is a network path is put back in folders made below
  its share;
- a key in both the user's and the machine's classes: the backup names the
  machine's copy by its hive, the restore brings that copy back exactly
  while the user's copy is there, and the user's copy is never touched
  (Wine's classes root is the machine's alone, so the machine's goes).

    backup_roundtrip.py SCANNER.exe BACKUPPROBE.exe FIXTURE.reg
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
PREFIX = os.environ["WINEPREFIX"]
C = "{0B0BBAC0-0000-4000-8000-000000000001}"
C32 = "{0B0BBAC0-0000-4000-8000-000000000032}"
T = "{0B0BBAC0-1111-4000-8000-000000000001}"
CJ = "{0B0BBAC0-0000-4000-8000-000000000003}"
# What the probe is given, and where each key lives.
ITEMS = ["key:Qob.Backup", "key:CLSID\\" + C, "key32:CLSID\\" + C32, "key:TypeLib\\" + T,
         "key:Qob.Backup.Jürgen", "key:CLSID\\" + CJ]
KEYS = ["HKEY_CLASSES_ROOT\\Qob.Backup", "HKEY_CLASSES_ROOT\\CLSID\\" + C,
        "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\" + C32, "HKEY_CLASSES_ROOT\\TypeLib\\" + T,
        "HKEY_CLASSES_ROOT\\Qob.Backup.Jürgen", "HKEY_CLASSES_ROOT\\CLSID\\" + CJ]
MACHINE_CLASSES = "HKEY_LOCAL_MACHINE\\Software\\Classes\\"
USER_CLASSES = "HKEY_CURRENT_USER\\Software\\Classes\\"


def saved_name(key):
    """A key of the machine's classes as the backup names it."""
    return MACHINE_CLASSES + key[len("HKEY_CLASSES_ROOT\\"):]


SAVED = [saved_name(k) for k in KEYS]
SERVER = "C:\\qobbackup\\bin\\sub\\server.dll"
SERVER_BYTES = bytes(range(256)) * 41 + b"\r\n\x00\x1a end"
# A server below a user's folder outside code page 932 (the fixture's
# CLSID\{...03}\InprocServer32).
JUERGEN = "C:\\users\\Jürgen"
SERVER_J = JUERGEN + "\\表 € 😀\\server😀.dll"
SERVER_J_BYTES = b"MZ" + "Jürgen 表 € 😀".encode("utf-8") * 100

errors = []


def check(ok, what):
    if not ok:
        errors.append(what)
    return ok


def sh(cmd, **kw):
    return subprocess.run(["bash", "-c", f"source {HERE}/wineenv.sh; {cmd}"], **kw)


def unix(win_path):
    return os.path.join(PREFIX, "drive_c", *win_path[3:].split("\\"))


def wine(*args, encoding="cp932"):
    proc = subprocess.run(["wine", *args], capture_output=True, timeout=300)
    return proc.returncode, proc.stdout.decode(encoding, errors="replace").replace("\r", "")


def export(key, scratch):
    out = os.path.join(scratch, "export.reg")
    if os.path.exists(out):
        os.remove(out)
    rc, _ = wine("reg", "export", key, "Z:" + out.replace("/", "\\"), "/y")
    if rc != 0:
        return None
    with open(out, "rb") as f:
        return f.read()


def exports(scratch):
    return {k: export(k, scratch) for k in KEYS}


def probe(tool, base, progid, *items):
    rc, text = wine(tool, base, progid, *items, encoding="utf-8")
    fields = dict(line.split("\t", 1) for line in text.splitlines() if "\t" in line)
    return rc, fields


def mark(folder):
    """The mark the last restore left in the folder."""
    path = os.path.join(unix(folder), "restored.txt")
    return open(path, "rb").read() if os.path.exists(path) else b""


def probe_runs(tool, *args):
    """The run folders of a probe that deletes nothing."""
    _, text = wine(tool, "--keep", *args, encoding="utf-8")
    return [line.split("\t", 1)[1] for line in text.splitlines() if line.startswith("folder\t")]


# Crafted backup folders, each with parts a restore would take if it went
# on after them: a class key to import and a file to copy.
REG_HEADER = "Windows Registry Editor Version 5.00\r\n\r\n"
GOOD_KEY = "[HKEY_CLASSES_ROOT\\Qob.Crafted]\r\n@=\"crafted\"\r\n\r\n"
GOOD_TARGET = "C:\\qobbackup\\target\\good.dll"
GOOD_FILE = f"1 good.dll\t{GOOD_TARGET}\r\n"
# A key that a deletion line names.
VICTIM = "HKEY_CLASSES_ROOT\\Qob.Victim"
KEYS_FOLDER = object()  # keys.reg is a folder
REFUSED = "このバックアップは戻せません: "
CRAFTED = [
    # name, keys.reg, files.txt, the reason printed
    ("outside", GOOD_KEY + "[HKEY_CURRENT_USER\\Software\\QobCrafted]\r\n@=\"x\"\r\n", GOOD_FILE,
     "キー HKEY_CURRENT_USER\\Software\\QobCrafted はクラスの登録の外にあります"),
    ("container", GOOD_KEY + "[HKEY_CLASSES_ROOT\\CLSID]\r\n@=\"x\"\r\n", GOOD_FILE,
     "キー HKEY_CLASSES_ROOT\\CLSID はレジストリのシステム キー全体です"),
    ("deletion", GOOD_KEY + f"[-{VICTIM}]\r\n", GOOD_FILE, "keys.reg の 6 行目は削除の指示です"),
    ("value deletion", GOOD_KEY + f"[{VICTIM}]\r\n@=-\r\n", GOOD_FILE, "keys.reg の 7 行目は削除の指示です"),
    ("copy name", GOOD_KEY, GOOD_FILE + "..\\keys.reg\tC:\\qobbackup\\target\\stolen.reg\r\n",
     "files.txt のコピー名 ..\\keys.reg はバックアップ内のファイル名ではありません"),
    ("relative target", GOOD_KEY, GOOD_FILE + "1 good.dll\tgood.dll\r\n",
     "files.txt の戻し先 good.dll は . や .. を含まない完全なパスではありません"),
    ("keys.reg a folder", KEYS_FOLDER, GOOD_FILE, "keys.reg を読み取れません"),
    ("keys.reg not the backup's", b"REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\Qob.Crafted]\r\n", GOOD_FILE,
     "keys.reg の 1 行目がバックアップの書式ではありません"),
]


def utf16_file(text):
    return b"\xff\xfe" + text.encode("utf-16-le")


def make_crafted(win_folder, keys, files):
    folder = unix(win_folder)
    os.makedirs(os.path.join(folder, "files"))
    with open(os.path.join(folder, "files", "1 good.dll"), "wb") as f:
        f.write(b"MZ good")
    if keys is KEYS_FOLDER:
        os.makedirs(os.path.join(folder, "keys.reg"))
    elif keys is not None:
        with open(os.path.join(folder, "keys.reg"), "wb") as f:
            f.write(keys if isinstance(keys, bytes) else utf16_file(REG_HEADER + keys))
    with open(os.path.join(folder, "files.txt"), "wb") as f:
        f.write(utf16_file(files))


def restore(scanner, folder):
    proc = subprocess.run(["wine", scanner, "--utf8", "--restore", folder], capture_output=True, timeout=300)
    decode = lambda b: b.decode("utf-8", errors="replace").replace("\r", "")  # noqa: E731
    return proc.returncode, decode(proc.stdout), decode(proc.stderr)


def disk():
    """Every file of drive C: with its size and time, every folder."""
    seen = {}
    root = os.path.join(PREFIX, "drive_c")
    for folder, dirs, names in os.walk(root):
        for d in dirs:
            seen[os.path.join(folder, d)] = "folder"
        for n in names:
            path = os.path.join(folder, n)
            st = os.lstat(path)
            seen[path] = (st.st_size, st.st_mtime_ns)
    return seen


def refused_restores(scanner, scratch):
    """Each crafted folder is refused whole: nothing of it reaches the
    registry or the disk."""
    wine("reg", "add", VICTIM, "/ve", "/d", "victim", "/f")
    folders = {}
    for i, (name, keys, files, _) in enumerate(CRAFTED):
        folders[name] = f"C:\\qobbackup\\crafted\\{i}"
        make_crafted(folders[name], keys, files)
    roots = ("HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER\\Software")
    registry = {k: export(k, scratch) for k in roots}
    check(all(registry.values()), "the registry could not be exported")
    check(export(VICTIM, scratch) is not None, "the key to delete is missing")
    files = disk()
    for name, _, _, reason in CRAFTED:
        rc, out, err = restore(scanner, folders[name])
        check(rc == 1 and out == "" and err == REFUSED + reason + "\n",
              f"{name}: restore gave {rc}, printed {out!r}, told {err!r}")
        for k in roots:
            check(export(k, scratch) == registry[k], f"{name}: {k} changed")
        changed = sorted(set(disk().items()) ^ set(files.items()), key=str)
        check(not changed, f"{name}: the disk changed: {changed[:5]}")


def half_deleted_restore(scanner, folder, before, scratch):
    """A class deleted half way (a removal stopped by a subkey it could not
    delete; as root under Wine nothing is denied, so some subkeys and values
    are deleted by hand after the backup), then restored: what went comes
    back, and what stayed keeps its data, a value a user changed too."""
    top, juergen = KEYS[1], KEYS[5]
    wine("reg", "add", top, "/v", "dw", "/t", "REG_DWORD", "/d", "7", "/f")
    kept = {k: export(k, scratch) for k in (top, juergen)}
    for sub in ("InprocServer32", "Empty"):  # Empty with Deeper\Deepest below it
        wine("reg", "delete", top + "\\" + sub, "/f")
    for value in ("bin", "exp"):  # bin's data runs over several lines
        wine("reg", "delete", top, "/v", value, "/f")
    wine("reg", "delete", top, "/ve", "/f")
    wine("reg", "delete", juergen + "\\表", "/f")
    check(export(top + "\\InprocServer32", scratch) is None, "the half deletion left InprocServer32")
    rc, out, err = restore(scanner, folder)
    lines = out.lower().splitlines()
    expected = [f"既にあるキーの下に、なくなっていたキー 4 個と値 3 個を戻しました: {saved_name(top)}",
                f"既にあるキーの下に、なくなっていたキー 2 個と値 0 個を戻しました: {saved_name(juergen)}"]
    expected += [f"既にあるため上書きしません: {saved_name(k)}" for k in KEYS if k not in (top, juergen)]
    expected += [f"既にあるため上書きしません: {p}" for p in (SERVER, SERVER_J)]
    check(rc == 1 and err == "" and sorted(lines) == sorted(e.lower() for e in expected),
          f"restore after a half deletion ({rc}):\n{out}{err}")
    for k in (top, juergen):
        check(export(k, scratch) == kept[k], f"{k}: not as it was before the half deletion")
    for k in KEYS:
        if k not in (top, juergen):
            check(export(k, scratch) == before[k], f"{k}: changed by the restore of a half deletion")
    check(mark(folder).startswith(b"partly restored "),
          f"the mark after the restore of a half deletion: {mark(folder)!r}")
    # Restored again: nothing is missing now, nothing is put back.
    marked = mark(folder)
    rc, out, _ = restore(scanner, folder)
    check(rc == 1 and "戻しました" not in out, f"a second restore after the half deletion ({rc}):\n{out}")
    check(mark(folder) == marked, "a restore that put nothing back changed the mark")
    # The user's change undone, for the cases after this one.
    wine("reg", "add", top, "/v", "dw", "/t", "REG_DWORD", "/d", "0xdeadbeef", "/f")
    check(export(top, scratch) == before[top], f"{top}: not as saved after the user's change was undone")


def network_restore(scanner, scratch):
    """A target below \\\\server\\share: the folders below the share are made.
    (Wine maps the share to a folder of dosdevices\\unc.)"""
    share = os.path.join(scratch, "share")
    os.makedirs(share)
    server = os.path.join(PREFIX, "dosdevices", "unc", "qobserver")
    os.makedirs(server, exist_ok=True)
    os.symlink(share, os.path.join(server, "qobshare"))
    try:
        target = "\\\\qobserver\\qobshare\\made\\below\\good.dll"
        make_crafted("C:\\qobbackup\\network", None, f"1 good.dll\t{target}\r\n")
        rc, out, err = restore(scanner, "C:\\qobbackup\\network")
        check(rc == 0 and out == f"ファイルを戻しました: {target}\n" and err == "",
              f"network restore gave {rc}, printed {out!r}, told {err!r}")
        path = os.path.join(share, "made", "below", "good.dll")
        check(os.path.isfile(path) and open(path, "rb").read() == b"MZ good", "the file is not on the share")
    finally:
        shutil.rmtree(os.path.join(PREFIX, "dosdevices", "unc"), True)


def hive_round_trip(scanner, tool, scratch):
    """A key in both hives: its machine's copy backed up, deleted and
    restored while the user's copy stays as it was."""
    user, machine = USER_CLASSES + "Qob.Hive", MACHINE_CLASSES + "Qob.Hive"
    for key, text in ((user, "the user's"), (machine, "the machine's")):
        wine("reg", "add", key, "/ve", "/d", text, "/f")
        wine("reg", "add", key + "\\CLSID", "/ve", "/d", "{0B0BBAC0-0000-4000-8000-0000000000AA}", "/f")
    wine("reg", "add", machine + "\\Machine only", "/v", "n", "/t", "REG_DWORD", "/d", "5", "/f")
    before = {k: export(k, scratch) for k in (user, machine)}
    check(all(before.values()), "the key in both hives could not be seeded")
    rc, out = probe(tool, "C:\\qobbackup\\hive", "Qob.Hive", "key:Qob.Hive")
    folder = out.get("folder", "")
    check(rc == 0 and folder, f"backup of the key in both hives failed: {rc} {out}")
    keys = open(os.path.join(unix(folder), "keys.reg"), "rb").read().decode("utf-16")
    check(f"[{machine}]\r\n" in keys and "HKEY_CLASSES_ROOT" not in keys,
          f"the machine's copy is not named by its hive:\n{keys}")
    check(export(machine, scratch) is None, "the machine's copy is still there after its deletion")
    check(export(user, scratch) == before[user], "the deletion changed the user's copy")
    rc, out, err = restore(scanner, folder)
    check(rc == 0 and out == f"キーを戻しました: {machine}\n" and err == "",
          f"restore of the machine's copy gave {rc}, printed {out!r}, told {err!r}")
    check(export(machine, scratch) == before[machine], "the machine's copy did not come back exactly")
    check(export(user, scratch) == before[user], "the restore changed the user's copy")
    rc, out, _ = restore(scanner, folder)
    check(rc == 1 and out == f"既にあるため上書きしません: {machine}\n", f"a second restore ({rc}): {out!r}")
    for key in (user, machine):
        wine("reg", "delete", key, "/f")


def main():
    scanner, tool, fixture = sys.argv[1:]
    scratch = tempfile.mkdtemp(prefix="qob-backup-")
    folder = ""
    try:
        sh("qob_wine_reset", check=True)
        if sh(f"qob_wine_import '{fixture}'").returncode != 0:
            raise RuntimeError("reg import of the fixture failed")
        for path, data in ((SERVER, SERVER_BYTES), (SERVER_J, SERVER_J_BYTES)):
            os.makedirs(os.path.dirname(unix(path)), exist_ok=True)
            with open(unix(path), "wb") as f:
                f.write(data)
        before = exports(scratch)
        check(all(before.values()), f"fixture keys missing: {[k for k, v in before.items() if not v]}")

        # Backed up into the default folder and deleted.
        rc, out = probe(tool, "-", "Qob.Backup", *ITEMS, "file:" + SERVER, "file:C:\\qobbackup\\missing.dll",
                        "file:" + SERVER_J, "in-use:")
        folder = out.get("folder", "")
        check(rc == 0 and folder, f"backup failed: {rc} {out}")
        # In use while its run writes it; free, and its lock gone, after.
        check(out.get("in-use") == "1", f"the folder was not in use while its run wrote it: {out}")
        check(not os.path.exists(os.path.join(unix(folder), "writing.lock")), "the run's lock outlived it")
        check(re.fullmatch(r"C:\\users\\[^\\]+\\AppData\\Local\\Qob Tessavin\\Backup\\"
                           r"\d{4}-\d\d-\d\d \d{6} Qob\.Backup", folder, re.I), f"run folder {folder!r}")
        # Every key went, subkeys with names outside every code page too.
        left = [k for k in KEYS if export(k, scratch) is not None]
        check(left == [], f"keys left after their deletion: {left}")
        for path in (SERVER, SERVER_J):
            check(not os.path.exists(unix(path)), f"{path} is still there after its deletion")
        shutil.rmtree(os.path.dirname(unix(SERVER)))
        shutil.rmtree(unix(JUERGEN))

        # Restored with the console program.
        rc, text = wine(scanner, "--utf8", "--restore", folder, encoding="utf-8")
        expected = ([f"キーを戻しました: {k}" for k in SAVED] +
                    [f"ファイルを戻しました: {SERVER}", f"ファイルを戻しました: {SERVER_J}"])
        check(rc == 0 and text.lower().splitlines() == [l.lower() for l in expected],
              f"restore printed ({rc}):\n{text}")
        after = exports(scratch)
        for k in KEYS:
            check(after[k] == before[k], f"{k}: export after the restore differs")
        for path, data in ((SERVER, SERVER_BYTES), (SERVER_J, SERVER_J_BYTES)):
            with open(unix(path), "rb") as f:
                check(f.read() == data, f"restored file {path} differs")

        check(mark(folder).startswith(b"restored "), f"the mark of the restore: {mark(folder)!r}")
        # Restored again at once: everything is there, nothing is put back,
        # and the folder still reads as restored.
        rc, text = wine(scanner, "--restore", folder)
        check(rc == 1 and "戻しました" not in text, f"restore of what is there ({rc}):\n{text}")
        check(mark(folder).startswith(b"restored "), f"the mark after a restore that changed nothing: {mark(folder)!r}")

        # A file or a key that is there again is not overwritten; a key that
        # went again comes back.
        with open(unix(SERVER), "wb") as f:
            f.write(b"newer")
        wine("reg", "add", KEYS[0], "/ve", "/d", "changed by the user", "/f")
        changed = export(KEYS[0], scratch)
        wine("reg", "delete", KEYS[1], "/f")
        rc, text = wine(scanner, "--restore", folder)
        lines = text.lower().splitlines()
        check(rc == 1 and f"既にあるため上書きしません: {SERVER}".lower() in lines and
              f"既にあるため上書きしません: {SAVED[0]}".lower() in lines and f"キーを戻しました: {SAVED[1]}".lower() in lines,
              f"second restore ({rc}):\n{text}")
        with open(unix(SERVER), "rb") as f:
            check(f.read() == b"newer", "the second restore overwrote the file")
        check(export(KEYS[0], scratch) == changed, "the second restore overwrote a key")
        check(export(KEYS[1], scratch) == before[KEYS[1]], "the key that went again did not come back")
        check(mark(folder).startswith(b"partly restored "), f"the mark of a partial restore: {mark(folder)!r}")

        # The .reg file alone, imported as a double click does.
        for k in KEYS:
            wine("reg", "delete", k, "/f")
        wine("regedit", "/s", folder + "\\keys.reg")
        again = exports(scratch)
        for k in KEYS:
            check(again[k] == before[k], f"{k}: export after regedit's import differs")

        half_deleted_restore(scanner, folder, before, scratch)

        # Two runs in the same second (or not) get folders of their own.
        runs = probe_runs(tool, "C:\\qobbackup\\runs", "Qob:Same", ITEMS[0], "run:", ITEMS[0])
        check(len(runs) == 2 and runs[0] != runs[1] and
              all(re.search(r"\d{6} Qob_Same( \(2\))?$", r) and os.path.exists(unix(r) + "/keys.reg") for r in runs),
              f"two runs: {runs}")

        # A backup folder that cannot be made: a file is in its way.
        blocked = "C:\\qobbackup\\blocked\\Backup"
        os.makedirs(os.path.dirname(unix(blocked)), exist_ok=True)
        open(unix(blocked), "wb").close()
        for item in (ITEMS[1], "file:" + SERVER):
            rc, out = probe(tool, blocked + "\\sub", "Qob.Backup", item)
            check(rc == 1 and out.get("failed"), f"{item}: backup into a blocked folder gave {rc} {out}")
        check(export(KEYS[1], scratch) == before[KEYS[1]], "a key was deleted without its backup")
        check(os.path.exists(unix(SERVER)), "a file was deleted without its backup")

        refused_restores(scanner, scratch)
        network_restore(scanner, scratch)
        hive_round_trip(scanner, tool, scratch)
    finally:
        if folder:
            shutil.rmtree(unix(folder), True)
        shutil.rmtree(scratch, True)
        shutil.rmtree(os.path.join(PREFIX, "drive_c", "qobbackup"), True)
        shutil.rmtree(unix(JUERGEN), True)
        sh("qob_wine_reset")
    for e in errors:
        print(e)
    print("backup round trip:", "FAILED" if errors else "ok")
    sys.exit(1 if errors else 0)


main()
