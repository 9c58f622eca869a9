#!/usr/bin/env python3
"""Writes the release archive: the programs, the tutorial pages with their
pictures, and the read-me (as Windows text: UTF-8 with a byte-order mark, CR LF).

    package.py ZIP README VERSION FILE...

A file in a folder named tutor_files goes into that folder of the archive;
every other file into its top level."""
import os
import sys
import time
import zipfile

zip_path, readme, version, *files = sys.argv[1:]
stamp = time.localtime()[:6]


def add(archive, name, data):
    info = zipfile.ZipInfo(name, stamp)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    archive.writestr(info, data)


tmp = zip_path + ".tmp"
with zipfile.ZipFile(tmp, "w") as archive:
    for path in files:
        folder = os.path.basename(os.path.dirname(path))
        name = os.path.basename(path)
        with open(path, "rb") as f:
            add(archive, f"{folder}/{name}" if folder == "tutor_files" else name, f.read())
    with open(readme, encoding="utf-8") as f:
        text = f.read().replace("@VERSION@", version)
    add(archive, "readme.txt", b"\xef\xbb\xbf" + text.replace("\n", "\r\n").encode("utf-8"))
os.replace(tmp, zip_path)
print(zip_path)
