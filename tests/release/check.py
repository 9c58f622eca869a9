#!/usr/bin/env python3
"""Checks what ships beside the program.

    check.py pages FOLDER            the tutorial pages in FOLDER, Japanese and
                                     English: each well-formed HTML in UTF-8
                                     with its charset and language declared, no
                                     scripts, every picture and link it names
                                     present (pictures as PNG of the size given);
                                     the English page has the sections and the
                                     pictures of the Japanese one, in the same order,
                                     its own picture where the Japanese page shows
                                     the Japanese program (a picture of another
                                     look than the Japanese one)
    check.py release ZIP VERSION     the release archive: exactly the programs,
                                     the pages with their pictures and the
                                     read-me; the program's version resource
                                     says VERSION
"""
import html.parser
import os
import re
import struct
import sys
import tempfile
import zipfile

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr"}
# Elements a paragraph cannot hold (a browser would close the paragraph before them).
BLOCK = {"div", "figure", "h1", "h2", "h3", "h4", "h5", "h6", "nav", "ol", "p", "pre", "table", "ul"}
# The tutorial pages and their languages; the first is the one the others follow.
PAGES = {"tutor.htm": "ja", "tutor-en.htm": "en"}
# The pictures of the program's window in the language of a page, for the
# first page's picture of the window in its own language.
OWN_PICTURES = {"en": {"tutor_files/tutor-window.png": "tutor_files/tutor-window-en.png"}}
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAILED:", message)
    return condition


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack, self.ids, self.links, self.images = [], [], [], []
        self.doctype = self.charset = self.lang = None
        self.scripts = 0

    def handle_decl(self, decl):
        self.doctype = decl

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        where = f"line {self.getpos()[0]}"
        if tag in BLOCK and "p" in self.stack:
            check(False, f"{where}: <{tag}> inside <p>")
        if tag == "html":
            self.lang = a.get("lang")
        if tag == "meta" and "charset" in a:
            self.charset = a["charset"].lower()
        if tag == "script" or any(name.startswith("on") for name in a):
            self.scripts += 1
        if "id" in a:
            self.ids.append(a["id"])
        if tag == "a" and "href" in a:
            self.links.append((where, a["href"]))
        if tag == "img":
            self.images.append((where, a))
        if tag not in VOID:
            self.stack.append(tag)

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID:
            self.stack.pop()

    def handle_endtag(self, tag):
        where = f"line {self.getpos()[0]}"
        if check(tag not in VOID, f"{where}: end tag of the empty element <{tag}>"):
            if check(self.stack and self.stack[-1] == tag, f"{where}: </{tag}> closes <{self.stack[-1:]}>"):
                self.stack.pop()


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def check_page(path, lang):
    """Checks the page; returns it parsed (None when it is not UTF-8) and
    the pictures it names, relative to its folder."""
    name = os.path.basename(path)
    with open(path, "rb") as f:
        raw = f.read()
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        check(False, f"{name} is not UTF-8: {e}")
        return None, []
    page = Page()
    page.feed(text)
    page.close()
    check(page.doctype and page.doctype.lower() == "doctype html", f"{name}: doctype {page.doctype!r}")
    check(page.lang == lang, f"{name}: <html lang> is {page.lang!r}, not {lang!r}")
    check(page.charset == "utf-8" and b"charset" in raw[:1024],
          f"{name}: charset utf-8 not declared in the first 1024 bytes")
    check(not page.stack, f"{name}: elements left open: {page.stack}")
    check(page.scripts == 0, f"{name}: the page uses scripts")
    check(len(page.ids) == len(set(page.ids)), f"{name}: an id is used twice")
    folder = os.path.dirname(path)
    for where, href in page.links:
        if href.startswith("#"):
            check(href[1:] in page.ids, f"{name} {where}: link to a missing anchor {href}")
        elif not re.match(r"[a-z]+:", href):
            check(os.path.exists(os.path.join(folder, href)), f"{name} {where}: link to a missing file {href}")
    pictures = []
    for where, a in page.images:
        src = a.get("src", "")
        check(a.get("alt"), f"{name} {where}: picture {src} without alt text")
        file = os.path.join(folder, src)
        if not check(os.path.isfile(file), f"{name} {where}: missing picture {src}"):
            continue
        size = png_size(file)
        check(size == (int(a.get("width", 0)), int(a.get("height", 0))),
              f"{name} {where}: {src} is {size}, the page says {a.get('width')} x {a.get('height')}")
        pictures.append(src)
    return page, sorted(set(pictures))


def check_pages(folder, names):
    """Checks the tutorial pages among NAMES (file names in FOLDER); each
    must be there, and each after the first must have the first one's
    sections (its ids) and pictures, in the same order. Returns the pictures
    the pages name."""
    pictures, first = set(), None
    for name, lang in PAGES.items():
        if not check(name in names, f"no {name}"):
            continue
        page, page_pictures = check_page(os.path.join(folder, name), lang)
        pictures.update(page_pictures)
        if page is None:
            continue
        if first is None:
            first = name, page
            continue
        model_name, model = first
        check(page.ids == model.ids, f"{name} has the sections {page.ids}, {model_name} {model.ids}")
        own = OWN_PICTURES.get(lang, {})
        sources = [a.get("src") for _, a in page.images]
        model_sources = [own.get(a.get("src"), a.get("src")) for _, a in model.images]
        check(sources == model_sources, f"{name} shows the pictures {sources}, expected {model_sources}")
        for theirs, mine in own.items():
            paths = [os.path.join(folder, src) for src in (theirs, mine)]
            if all(os.path.isfile(p) for p in paths):
                check(open(paths[0], "rb").read() != open(paths[1], "rb").read(),
                      f"{name}: {mine} is the same picture as {theirs}")
    return sorted(pictures)


def version_resource(exe):
    """File and product version of the fixed version block, as 4-tuples."""
    data = open(exe, "rb").read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None
    _, _, fms, fls, pms, pls = struct.unpack("<6I", data[at:at + 24])
    return (fms >> 16, fms & 0xFFFF, fls >> 16, fls & 0xFFFF), (pms >> 16, pms & 0xFFFF, pls >> 16, pls & 0xFFFF)


def check_release(zip_path, version):
    want_name = f"QobTessavin-{version}.zip"
    check(os.path.basename(zip_path) == want_name, f"archive named {os.path.basename(zip_path)}, not {want_name}")
    with tempfile.TemporaryDirectory() as out, zipfile.ZipFile(zip_path) as archive:
        check(archive.testzip() is None, "a damaged member in the archive")
        names = set(archive.namelist())
        archive.extractall(out)
        pictures = check_pages(out, names)
        want = {"QobTessavin.exe", "QobTessavinScan.exe", *PAGES, "readme.txt", *pictures}
        check(names == want, f"archive holds {sorted(names)}, not {sorted(want)}")
        for exe in ("QobTessavin.exe", "QobTessavinScan.exe"):
            path = os.path.join(out, exe)
            check(os.path.isfile(path) and open(path, "rb").read(2) == b"MZ", f"{exe} is not a program")
        if "QobTessavin.exe" in names:
            numbers = tuple(int(n) for n in version.split(".")) + (0,)
            found = version_resource(os.path.join(out, "QobTessavin.exe"))
            check(found == (numbers, numbers), f"version resource {found}, not {numbers}")
            data = open(os.path.join(out, "QobTessavin.exe"), "rb").read()
            key, value = "ProductVersion\0".encode("utf-16-le"), (version + "\0").encode("utf-16-le")
            check(key + value in data or key + b"\0\0" + value in data, f"ProductVersion is not {version}")
        if "readme.txt" in names:
            readme = open(os.path.join(out, "readme.txt"), "rb").read()
            check(readme.startswith(b"\xef\xbb\xbf"), "readme.txt has no byte-order mark")
            check(b"\n" not in readme.replace(b"\r\n", b""), "readme.txt has a line not ending in CR LF")
            text = readme.decode("utf-8-sig")
            check(f"Qob Tessavin {version}" in text, "readme.txt does not name the version")
            for name in ("QobTessavin.exe", "QobTessavinScan.exe", *PAGES):
                check(name in text, f"readme.txt does not name {name}")


def main():
    mode, *args = sys.argv[1:]
    if mode == "pages":
        folder, = args
        check_pages(folder, os.listdir(folder))
    elif mode == "release":
        check_release(*args)
    else:
        sys.exit(f"unknown mode {mode}")
    print(f"{mode}: {'FAILED' if failures else 'ok'}")
    sys.exit(1 if failures else 0)


main()
