"""Makes the synthetic HKEY_CLASSES_ROOT of the scan benchmark.

  make_hkcr.py OUTDIR [--progids N]

Writes into OUTDIR:
  hkcr.reg    the registrations, UTF-16LE with a BOM, ready for `reg import`
  hkcr.keys   the same registrations for the native benchmark, code page 932,
              one line each: K TAB path, or V TAB path TAB name TAB value
              (paths below HKEY_CLASSES_ROOT; every value is a REG_SZ)
  files.list  the server files to make in drive C (the format of
              tests/wine/seedfiles.py)
  present.list  every server file that exists in the seeded prefix: those of
              files.list and the fresh prefix's own ones that servers name
  expect.txt  the data size and what the scan must find, as name=value lines

The data is the same on every run (fixed seed). Per ProgID i, by i % 100:
  0-3    class key missing
  4-7    in-process server file missing (its folder exists)
  8-10   type library key missing
  11-99  healthy
and by i % 3: in-process server only, local server only, or both. One class
in seven has no type library (not a fault); a third have no Version key (the
library is looked up as 1.0). Healthy servers point at a few hundred real
files, at system32 files of the fresh prefix, or at bare file names. Besides
the ProgIDs there are file-name extension keys without a CLSID subkey.

For the examination's shell extension handlers and file types: one ProgID in
twenty has a shellex key with a context menu handler naming its own class
(a fifth of those classes have no key: broken handlers), one in forty also
a property sheet handler switched off ("--{...}"), one in sixty an icon
handler. Each extension key names one of the ProgIDs, one in twenty a
ProgID that is gone; one in fifty has a thumbnail handler below
SystemFileAssociations, every other one naming a class nobody registered.
"""
import argparse
import os
import random

VENDORS = ["Acme", "Borealis", "Contoso", "Dainichi", "Eisen", "Fabrikam",
           "Gekko", "Hoshi", "Ishikawa", "Jupiter"]
NOUNS = ["Document", "Control", "Viewer", "Parser", "Engine", "Codec", "Bridge",
         "Widget", "Server", "Filter", "Shell", "Renderer"]
DLLS_PER_VENDOR = 40
EXES_PER_VENDOR = 16
BASE = "C:\\Program Files\\QobBench"
SYSTEM_FILE = "C:\\windows\\system32\\ole32.dll"  # made by wineboot


def guid(rng):
    h = "%032X" % rng.getrandbits(128)
    return "{%s-%s-%s-%s-%s}" % (h[:8], h[8:12], h[12:16], h[16:20], h[20:])


class Registry:
    """Keys in creation order, each with its values (name -> text)."""

    def __init__(self):
        self.keys = {}

    def key(self, path):
        parts = path.split("\\")
        for n in range(1, len(parts) + 1):
            self.keys.setdefault("\\".join(parts[:n]), {})

    def set(self, path, value, name=""):
        self.key(path)
        self.keys[path][name] = value

    def value_count(self):
        return sum(len(v) for v in self.keys.values())


def build(count):
    rng = random.Random(20240611)
    reg = Registry()
    files = set()
    expect = {"progids": count, "faulty": 0, "no_class_key": 0,
              "missing_server": 0, "no_type_library": 0, "broken_handlers": 0, "broken_file_types": 0}
    progids = []
    classes = []  # the ids of the classes that have a key
    for i in range(count):
        vendor = VENDORS[i % len(VENDORS)]
        noun = NOUNS[(i // len(VENDORS)) % len(NOUNS)]
        progid = f"{vendor}.{noun}{i}" + (".1" if i % 4 == 0 else "")
        kind = i % 100
        clsid = guid(rng)
        description = f"{vendor} {noun} {i}" if i % 5 else f"ベンチマーク部品 {i} ({vendor})"
        reg.set(progid, description)
        reg.set(progid + "\\CLSID", clsid)
        progids.append(progid)
        if i % 20 == 0:
            shellex = progid + "\\shellex\\"
            reg.set(shellex + f"ContextMenuHandlers\\{vendor}Menu", clsid)
            expect["broken_handlers"] += kind < 4
            if i % 40 == 0:
                reg.set(shellex + f"PropertySheetHandlers\\{vendor}Sheet", "--" + clsid)
            if i % 60 == 0:
                reg.set(shellex + "IconHandler", clsid)
                expect["broken_handlers"] += kind < 4
        if i % 6 == 0:
            reg.set(progid + "\\CurVer", progid)
        if kind < 4:
            expect["no_class_key"] += 1
            expect["faulty"] += 1
            continue
        cls = "CLSID\\" + clsid
        classes.append(clsid)
        reg.set(cls, description)
        reg.set(cls + "\\ProgID", progid)
        folder = f"{BASE}\\{vendor}"
        if i % 3 in (0, 2):
            if 4 <= kind < 8:
                path = f"{folder}\\gone{i}.dll"
            elif i % 11 == 0:
                path = SYSTEM_FILE
            elif i % 13 == 0:
                path = f"{vendor.lower()}{i % 7}.dll"  # bare name: no file search
            else:
                path = f"{folder}\\lib{(i // len(VENDORS)) % DLLS_PER_VENDOR}.dll"
                files.add(path)
                if i % 9 == 0:
                    path = f'"{path}"'
            reg.set(cls + "\\InprocServer32", path)
            reg.set(cls + "\\InprocServer32", "Apartment" if i % 2 else "Both", "ThreadingModel")
        if i % 3 in (1, 2):
            exe = f"{folder}\\app{(i // len(VENDORS)) % EXES_PER_VENDOR}.exe"
            if 4 <= kind < 8 and i % 3 == 1:
                exe = f"{folder}\\gone{i}.exe"
            else:
                files.add(exe)
            reg.set(cls + "\\LocalServer32", exe + (" /automation" if i % 2 else " -Embedding"))
        if 4 <= kind < 8:
            expect["missing_server"] += 1
        if i % 7 == 0 and not 8 <= kind < 11:
            expect["faulty"] += 4 <= kind < 8
            continue
        lib = guid(rng)
        reg.set(cls + "\\TypeLib", lib)
        if 8 <= kind < 11:
            expect["no_type_library"] += 1
            expect["faulty"] += 1
            continue
        expect["faulty"] += 4 <= kind < 8
        version = "1.0"
        if i % 3:
            version = "1.0" if i % 2 else f"{1 + i % 3}.{i % 10}"
            reg.set(cls + "\\Version", version)
        tl = f"TypeLib\\{lib}\\{version}"
        reg.set(tl, f"{vendor} {noun} {i} Type Library")
        reg.set(tl + "\\0\\win32", f"{folder}\\lib{(i // len(VENDORS)) % DLLS_PER_VENDOR}.tlb")
        reg.set(tl + "\\FLAGS", "0")
        if i % 8:
            reg.set(tl + "\\HELPDIR", f"{folder}\\help")
        if i % 50 == 0:
            reg.set(tl + "\\0\\HELPDIR", f"{folder}\\help\\ja")
    # File-name extension keys: listed and opened, never entries.
    for n in range(count // 10):
        gone = n % 20 == 0
        reg.set(f".qb{n}", f"{VENDORS[n % len(VENDORS)]}.Removed{n}" if gone else progids[n * 10 % count])
        reg.set(f".qb{n}", "application/x-qob-bench", "Content Type")
        expect["broken_file_types"] += gone
        if n % 50 == 0:
            # Every other one names a class nobody registered.
            reg.set(f"SystemFileAssociations\\.qb{n}\\shellex\\{{BB2E617C-0920-11D1-9A0B-00C04FC2D6C1}}",
                    guid(rng) if n % 100 else classes[n % len(classes)])
            expect["broken_handlers"] += n % 100 != 0
    expect["extensions"] = count // 10
    expect["keys"] = len(reg.keys)
    expect["values"] = reg.value_count()
    expect["server_files"] = len(files)
    return reg, sorted(files), expect


def reg_text(reg):
    def quote(text):
        return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'

    lines = ["Windows Registry Editor Version 5.00", ""]
    for path, values in reg.keys.items():
        lines.append(f"[HKEY_CLASSES_ROOT\\{path}]")
        for name, value in values.items():
            lines.append(("@" if name == "" else quote(name)) + "=" + quote(value))
        lines.append("")
    return "\r\n".join(lines) + "\r\n"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("outdir")
    parser.add_argument("--progids", type=int, default=20000)
    args = parser.parse_args()
    os.makedirs(args.outdir, exist_ok=True)
    reg, files, expect = build(args.progids)
    with open(os.path.join(args.outdir, "hkcr.reg"), "wb") as f:
        f.write(b"\xff\xfe" + reg_text(reg).encode("utf-16-le"))
    with open(os.path.join(args.outdir, "hkcr.keys"), "wb") as f:
        for path, values in reg.keys.items():
            f.write(b"K\t" + path.encode("utf-8") + b"\n")
            for name, value in values.items():
                f.write(b"V\t" + "\t".join((path, name, value)).encode("utf-8") + b"\n")
    with open(os.path.join(args.outdir, "files.list"), "w", encoding="utf-8") as f:
        f.writelines(f"file {path}\n" for path in files)
    with open(os.path.join(args.outdir, "present.list"), "w", encoding="utf-8") as f:
        f.writelines(f"file {path}\n" for path in files + [SYSTEM_FILE])
    with open(os.path.join(args.outdir, "expect.txt"), "w", encoding="utf-8") as f:
        f.writelines(f"{k}={v}\n" for k, v in expect.items())


if __name__ == "__main__":
    main()
