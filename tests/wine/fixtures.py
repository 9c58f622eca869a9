"""Seeded registry fixtures and their expected trees, shared by the console
scan runner and the end-to-end tests of the program.

A fixture NAME has
  NAME.reg     registrations to import (UTF-8 text, converted for reg import)
  NAME.files   optional: files to make in the prefix (see seedfiles.py)
  NAME.tree    the expected tree of the fixture's entries, one line a node,
               "depth TAB icon TAB text" (UTF-8 here; the programs show code
               page 932). Lines starting with '#' are comments, or set
               expectations of the console scanner:
                 # exit N         its exit status (0 when absent)
                 # stderr TEXT    its message on standard error (in Japanese)
  NAME.utf8.tree  the expected tree as the console scanner writes it with
               --utf8, where it differs from NAME.tree (characters outside code
               page 932); a fixture with only this tree is checked only so
or NAME.gen.py, a program that writes NAME.reg and NAME.tree into the folder
it is given.
"""
import atexit
import os
import re
import shutil
import subprocess
import sys
import tempfile


class Fixture:
    def __init__(self, fixture_dir, name, utf8=False):
        self.name = name
        base = os.path.join(fixture_dir, name)
        generator = base + ".gen.py"
        self.generated = os.path.exists(generator)
        if self.generated:
            made = tempfile.mkdtemp(prefix="qob-fixture-")
            atexit.register(shutil.rmtree, made, True)
            subprocess.run([sys.executable, generator, made], check=True)
            base = os.path.join(made, name)
        self.base = base
        self.tree, self.exit_code, self.stderr = [], 0, ""
        tree = base + ".utf8.tree" if utf8 and os.path.exists(base + ".utf8.tree") else base + ".tree"
        with open(tree, encoding="utf-8") as f:
            for line in f.read().splitlines():
                if line.startswith("# exit "):
                    self.exit_code = int(line[7:])
                elif line.startswith("# stderr "):
                    self.stderr = line[9:]
                elif line and not line.startswith("#"):
                    self.tree.append(line)

    def path(self, suffix):
        """The fixture's file with that suffix, or None."""
        p = self.base + suffix
        return p if os.path.exists(p) else None

    def seeded_names(self):
        """Direct subkeys of HKEY_CLASSES_ROOT that the registry file makes."""
        names = set()
        if self.path(".reg"):
            with open(self.base + ".reg", encoding="utf-8") as f:
                for line in f:
                    m = re.match(r"\[HKEY_CLASSES_ROOT\\([^\\\]]+)", line.strip())
                    if m and m.group(1) not in ("CLSID", "TypeLib"):
                        names.add(m.group(1))
        return names

    def wanted(self):
        """Names of the entries the fixture seeds or expects."""
        return {n for n, _ in entries(self.tree)} | self.seeded_names()

    def pick(self, shown_lines):
        """The entries among `shown_lines` that the fixture seeds or expects:
        they must equal self.tree."""
        wanted = self.wanted()
        return [l for n, block in entries(shown_lines) if n in wanted for l in block]


def names_in(fixture_dir, utf8=False):
    """The fixtures checked by default, or those with a tree of their own for --utf8."""
    if utf8:
        found = (f for f in os.listdir(fixture_dir) if f.endswith(".utf8.tree"))
    else:
        found = (f for f in os.listdir(fixture_dir) if f.endswith((".tree", ".gen.py")) and not f.endswith(".utf8.tree"))
    return sorted({f.split(".")[0] for f in found})


def entries(lines):
    """Splits tree lines into (name, [lines]) per top-level entry."""
    out = []
    for line in lines:
        if line.startswith("0\t"):
            out.append((line.split("\t", 2)[2], [line]))
        elif out:
            out[-1][1].append(line)
    return out


def diff(expected, got):
    import difflib
    return "\n".join(difflib.unified_diff(expected, got, "expected", "shown", lineterm="", n=2))
