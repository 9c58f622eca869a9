"""Makes the files a fixture lists inside a Wine prefix's drive C.

  file C:\\path\\name.dll [YYYY-MM-DD]   a small file, with that last-write date
  file C:\\path\\name.dll readonly      a small read-only file
  dir C:\\path                           a folder

As a command: seedfiles.py PREFIX LIST
"""
import os
import subprocess
import sys


def unix_path(prefix, win_path):
    assert win_path[1:3] == ":\\", win_path
    return os.path.join(prefix, "drive_c", *win_path[3:].split("\\"))


def make_files(prefix, file_list):
    for line in file_list.splitlines():
        parts = line.split(None, 1)
        if not parts or parts[0].startswith("#"):
            continue
        kind, rest = parts[0], parts[1]
        date = None
        read_only = kind == "file" and rest.endswith(" readonly")
        if read_only:
            rest = rest[:-len(" readonly")]
        if kind == "file" and rest[-11:-10] == " " and rest[-10:-6].isdigit():
            rest, date = rest[:-11], rest[-10:]
        path = unix_path(prefix, rest)
        if kind == "dir":
            os.makedirs(path, exist_ok=True)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if os.path.exists(path):
            os.chmod(path, 0o644)
        with open(path, "wb") as f:
            f.write(b"MZ" + rest.encode("utf-8"))  # each file its own bytes
        if date:
            subprocess.run(["touch", "-d", f"{date} 12:00", path], check=True)
        if read_only:
            os.chmod(path, 0o444)


if __name__ == "__main__":
    with open(sys.argv[2], encoding="utf-8") as f:
        make_files(sys.argv[1], f.read())
