"""End-to-end tests of QobTessavin.exe: the real program under Wine on an Xvfb
virtual desktop (run through run_gui.sh), looked at with QobDriver.exe and
given real keys with xdotool.

    gui_e2e.py BUILD_DIR FIXTURE_DIR SCENARIO

The program shows its texts in the language of LANG (Japanese for ja_*,
English for any other); the scenarios expect them in that language.

Scenarios:
  start FIXTURE   start-up on a seeded prefix: layout, focus, the filled tree
                  compared with FIXTURE.tree (texts, order, icons), a
                  screenshot, another of its first entry with a name beyond
                  ASCII, and closing ends the program
  keys            F3 and Del reach their commands from the tree; Close1 ends
                  the program
  baddword        a REG_DWORD default value ends the scan: the error report,
                  then the partial tree shown and usable
  close-under-report   closing the main window while the error report is
                  up ends the program
  startup-cursor  a scan of several seconds: the wait panel is up and the
                  program's cursor the hourglass while it runs; afterwards the
                  panel is hidden and the pointer over the tree the arrow
  maximised       started with the show command for maximised: the window
                  opens maximised and its parts fill the work area
  resize          the window made larger and smaller: the toolbar, caption
                  strip, tree and status bar follow the client area, the wait
                  panel keeps its place
  removal-answers the registry editor at a node's key (an entry, a class of
                  the 32-bit view), Ctrl+C and the right-click menu's copies,
                  the right button selecting the node under it; Del from the
                  tree, the toolbar and the menu, each question
                  answered as a user would: a node below an entry and a
                  container refused, No at the ProgID question, then a
                  removal with every kind of answer; the registry and the
                  files afterwards hold exactly what was not confirmed
  removal-failures  a read-only server file answered Yes (reported, the
                  entry gone), a class of the 32-bit view removed there, and
                  a server path cut before a switch: its question names the
                  file that goes
  removal-under-search  a search ends while a removal question is open: the
                  match is selected behind the question, and the removal goes
                  on with the entry it started with
  removal-restore a removal with Yes to everything, its backup folder named
                  in the status bar, the entry that shares its file faulty at
                  once, put back with QobTessavinScan --restore:
                  the registry as before and the files byte for byte; a
                  restore never overwrites a file that came back; a backup
                  folder that cannot be made stops the deletion
  undo            the undo window: empty at first, its buttons grey; after a
                  removal with Yes to everything, Enter restores it: the registry
                  as before, the files byte for byte, the entry in the tree
                  again at its place with its icons, selected; a second restore
                  overwrites nothing and says so, the entry not doubled; a
                  damaged folder is marked so and cannot be restored; Del moves
                  a folder to the recycle bin after asking
  search          a match in a collapsed entry is scrolled to the top and
                  selected; the next search finds the next match; a match
                  above the selection is not found; the progress window's
                  look; Cancel answered Yes stops the search
  search-cancel   Cancel answered No: the search goes on, under app-start;
                  a search that ends while the question is open, with a match
                  and without
  search-busy     F3 while a search runs reports it, and the search goes on
                  and ends under the report
  about           the About box from the menu and the toolbar: its layout,
                  the main window disabled under it, Tab order, read-only
                  fields that copy, Escape ignored, Enter from a field and
                  Alt+F4 close it, and it opens again where the user left it
  other-broken    the window of other broken registrations from the menu
                  lists the fixture's broken classes (both views), type
                  libraries and interfaces and none of its healthy ones, with
                  the ProgID that names them; a header click sorts; Ctrl+E
                  opens the registry editor at the selected row's key; the
                  report of the rows as shown and the main window's report
                  of its faulty entries are saved and read back; some keys
                  checked and deleted after one question leave the list and
                  the registry, the others stay; the backup folder named in
                  the window's status line restores them
  removal-question  Del on a fault-free entry: both questions with their
                  icons at the display's scale, the second answered No
  launch          the toolbar's registry editor button starts Wine's editor;
                  the tutorial command asks the shell for the page beside the
                  program (also from a folder whose name holds 表, where the
                  page is missing) and the program shows no message
"""
import csv
import glob
import io
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "wine"))
from fixtures import Fixture, diff, entries  # noqa: E402
from seedfiles import make_files  # noqa: E402

WINEPREFIX = os.environ["WINEPREFIX"]
BUILD, FIXTURES, SCENARIO, *ARGS = sys.argv[1:]
DRIVER = os.path.join(BUILD, "QobDriver.exe")
PROGRAM = os.path.join(BUILD, "QobTessavin.exe")
failures = []

# The language of the program's texts: Wine gives the program the user
# interface language of LANG.
LANGUAGE = "ja" if os.environ.get("LANG", "").startswith("ja") else "en"
# This run's name in the files it leaves in the build folder.
RUN = SCENARIO if LANGUAGE == "ja" else f"{SCENARIO}-{LANGUAGE}"
# The console scanner writes the system's code page.
CONSOLE_CODEC = "cp932" if LANGUAGE == "ja" else "cp1252"
# The display's DPI (QOB_TEST_DPI; 96, the 100% scale, when unset): the
# windows' sizes are their 100% sizes times DPI / 96, exact at 100% and
# within a few pixels at other scales (the frames and the fonts the system
# draws do not scale exactly).
DPI = int(os.environ.get("QOB_TEST_DPI", "96"))
SLACK = 0 if DPI == 96 else 4
# The screen, as large as a display of that scale (tests/wine/guienv.sh).
SCREEN_W, SCREEN_H = 1024 * DPI // 96, 768 * DPI // 96


def scaled(px96):
    """A 100% size at the display's scale, rounded as the program rounds it."""
    return (px96 * DPI + 48) // 96


def tr(japanese, english):
    """The text the program shows in this run's language."""
    return japanese if LANGUAGE == "ja" else english


# Captions of the windows the scenarios look for.
ERROR = tr("ｴﾗｰ", "Error")
INFORMATION = tr("情報", "Information")
FIND = tr("検索", "Find")  # the system's find dialog
SEARCHING = tr("検索中・・・", "Searching...")
ABOUT = tr("バージョン情報", "About Qob Tessavin")
# Texts of the messages, line breaks written as the driver writes them.
FAULT_FREE = tr("このキーにエラーはありません。削除しますか？", "This key has no errors. Delete it anyway?")
SUBKEY = tr("サブキーは削除できません。", "Subkeys cannot be deleted.")
STOP_SEARCH = tr("検索を中止しますか？", "Stop the search?")
ROOT = "HKEY_CLASSES_ROOT\\"
MACHINE_CLASSES = "HKEY_LOCAL_MACHINE\\Software\\Classes\\"  # the backup's name of Wine's classes root


def key_question(key):
    return ROOT + key + tr(r"\x0Dを削除しますか", r"\x0DDelete this key?")


def file_question(path, *notes):
    return tr("ファイル ", "File ") + path + tr(r"\x0Dを削除しますか", r"\x0DDelete this file?") + "".join(
        r"\x0D" + n for n in notes)


def to_delete(path):
    return tr("削除するファイル: ", "File to delete: ") + path


SHARED_WITH_ONE = tr("このファイルは他の 1 個の登録でも使われています。", "This file is also used by one other registration.")
IN_WINDOWS_FOLDER = tr("このファイルは Windows フォルダーにあるシステムのファイルです。",
                       "This is a system file in the Windows folder.")


def not_found(text):
    return tr(f"{text}は見つかりませんでした。", f"{text} was not found.")


def searching_for(text):
    return tr(f"{text}を検索中です。", f"Searching for {text}.")


def already_searching(text):
    return tr(f"{text}を検索中です。", f"Already searching for {text}.")


def sh(cmd):
    return subprocess.run(["bash", "-c", f"source {HERE}/../wine/wineenv.sh; {cmd}"], check=False).returncode


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAILED:", message)
    return condition


def driver(*args, timeout=60):
    proc = subprocess.run(["wine", DRIVER, *args], capture_output=True, timeout=timeout)
    return proc.returncode, proc.stdout.decode("utf-8", errors="replace")


def seed(name):
    sh("qob_wine_reset")
    fixture = shown_fixture(name)
    if fixture.path(".files"):
        with open(fixture.path(".files"), encoding="utf-8") as f:
            make_files(WINEPREFIX, f.read())
    if fixture.path(".reg"):
        if sh(f"qob_wine_import '{fixture.path('.reg')}'") != 0:
            sys.exit(f"{name}: reg import failed")


class Program:
    """The program under test, with the Wine debug channels asked for (none
    unless a check has no other witness) traced to its standard error."""

    def __init__(self, trace="", launcher=(), program=PROGRAM):
        self.err_path = os.path.join(BUILD, f"e2e-{RUN}.stderr")
        self.err = open(self.err_path, "wb")
        env = dict(os.environ, WINEDEBUG="-all" + ("," + trace if trace else ""))
        self.proc = subprocess.Popen(["wine", *launcher, program], stdout=subprocess.DEVNULL, stderr=self.err, env=env)

    def trace(self):
        self.err.flush()
        with open(self.err_path, "rb") as f:
            return f.read().decode("ascii", errors="replace")

    def ended(self, seconds):
        try:
            self.proc.wait(timeout=seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.err.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def scan_ended():
    """Waits for the start-up scan to end (the wait panel hidden)."""
    rc, _ = driver("wait-ready", "60000", timeout=90)
    return check(rc == 0, "the scan did not end within 60 s")


def shown_fixture(name):
    """The fixture with the tree the window shows: every character as it is,
    as the console scanner writes it with --utf8 (NAME.utf8.tree where the
    fixture has one)."""
    return Fixture(FIXTURES, name, utf8=True)


def dump_entries(name):
    """The window's tree, only the entries the fixture seeds or expects (the
    fresh prefix's own hundreds are left unread: each item read costs time)."""
    fixture = shown_fixture(name)
    path = os.path.join(BUILD, f"e2e-{RUN}.names")
    with open(path, "w", encoding="utf-8") as f:
        f.write("".join(n + "\n" for n in sorted(fixture.wanted())))
    rc, shown = driver("dump", "Z:" + path.replace("/", "\\"), timeout=300)
    check(rc == 0, "the driver could not read the tree")
    return shown


def compare_tree(name, shown_text):
    """The entries the fixture seeds, as the window shows them, against the
    fixture's expected tree."""
    fixture = shown_fixture(name)
    got = fixture.pick(shown_text.splitlines())
    if got != fixture.tree:
        check(False, f"{name}: the window shows another tree\n{diff(fixture.tree, got)[:4000]}")
    else:
        print(f"{name}: {len(entries(got))} entries shown as expected")


def screenshot(tag):
    tag = tag if DPI == 96 else f"{tag}-{DPI}"
    path = os.path.join(BUILD, f"screenshot-{tag}.png" if LANGUAGE == "ja" else f"screenshot-{tag}-{LANGUAGE}.png")
    subprocess.run(["import", "-window", "root", path], check=False)
    print("screenshot:", path)


def key(*keys):
    subprocess.run(["xdotool", "key", *keys], check=True)


def near_scaled(seen, expected96, what, slack=None):
    """Checks a driver line of numbers (and words), such as "0 33 548 17
    visible", against its 100% form at the display's scale."""
    slack = SLACK if slack is None else slack
    seen_words, expected_words = (seen or "").split(), expected96.split()
    ok = len(seen_words) == len(expected_words) and all(
        abs(int(s) - scaled(int(e))) <= slack if e.lstrip("-").isdigit() else s == e
        for s, e in zip(seen_words, expected_words))
    return check(ok, f"{what} {seen!r}, expected {expected96!r} at {DPI} DPI")


def layout():
    """The driver's layout lines as a dict: name -> rest of the line."""
    rc, text = driver("layout")
    return dict(line.split(" ", 1) for line in text.splitlines()) if rc == 0 else {}


def pointer():
    """Hotspot of the X pointer shown now: "4,4" the arrow, "11,11" the wait pointer."""
    proc = subprocess.run([sys.executable, os.path.join(HERE, "DialogCursor.py")], capture_output=True, text=True)
    return proc.stdout.strip()


def wait_pointer(hotspot, seconds=10):
    deadline = time.monotonic() + seconds
    seen = pointer()
    while seen != hotspot and time.monotonic() < deadline:
        time.sleep(0.1)
        seen = pointer()
    return seen


def wait_until(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() >= deadline:
            return False
        time.sleep(0.1)
    return True


def scenario_start(name):
    seed(name)
    with Program() as program:
        if not scan_ended():
            return
        rc, layout = driver("layout")
        parts = dict(line.split(" ", 1) for line in layout.splitlines())
        check(parts.get("caption") == "Qob Tessavin", f"caption {parts.get('caption')!r}")
        near_scaled(parts.get("client"), "548 361", "client area")
        near_scaled(parts.get("Panel2"), "136 128 265 81 hidden", "wait panel")
        near_scaled(parts.get("trvRegKey"), "0 50 548 292 visible", "tree")
        near_scaled(parts.get("Panel1"), "0 0 548 33 visible", "toolbar")
        near_scaled(parts.get("Panel4"), "0 33 548 17 visible", "caption strip")
        near_scaled(parts.get("StatusBar1"), "0 342 548 19 visible", "status bar")
        near_scaled(parts.get("item-height"), "16", "the tree's item height", slack=2)
        x, y, w, h = map(int, parts["window"].split())
        check((x, y) == ((SCREEN_W - w) // 2, (SCREEN_H - h) // 2), f"window not centred: {parts['window']}")
        _, focus = driver("focus")
        check(focus.strip() == "SysTreeView32", f"focus on {focus.strip()!r}, not on the tree")
        screenshot(name)
        # After the fill only the entries are in view, collapsed, each with a button.
        _, roots = driver("roots")
        rows = [r.split("\t", 2) for r in roots.splitlines()]
        check(rows and all(r[0] == "1" and r[1] == "0" for r in rows),
              "a top-level entry is expanded or has no button")
        compare_tree(name, dump_entries(name))
        # The first entry with a name beyond ASCII, drawn.
        fixture = shown_fixture(name)
        beyond_ascii = [n for n, _ in entries(fixture.tree) if not n.isascii()]
        if beyond_ascii and driver("scroll-to", beyond_ascii[0])[0] == 0:
            screenshot(f"{name}-beyond-ascii")
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")


def scenario_keys():
    seed("names")
    with Program() as program:
        if not scan_ended():
            return
        _, focus = driver("focus")
        check(focus.strip() == "SysTreeView32", "the tree does not have the focus")
        # Del on the tree reaches the removal: its first question; No ends it.
        if select_entry("Qob.Name.Value"):
            key("Delete")
            dialogs = Dialogs()
            dialogs.answer(ERROR, FAULT_FREE, "alt+n")
            dialogs.none(1)
            check(entry_shown("Qob.Name.Value"), "the entry left the tree after No")
        # F3 on the tree opens the find dialog; Escape closes it.
        key("F3")
        rc, found = driver("wait-window", FIND, "10000")
        check(rc == 0 and "class #32770" in found, "F3 did not open the find dialog")
        key("Escape")
        check(driver("gone", FIND, "10000")[0] == 0, "the find dialog did not close")
        # F3 from the toolbar's menu: Alt+R, S.
        key("alt+r")
        key(tr("s", "f"))
        check(driver("wait-window", FIND, "10000")[0] == 0, "レジストリ > 検索 did not open the find dialog")
        key("Escape")
        driver("gone", FIND, "10000")
        # Close1 ends the program like the close box.
        key("alt+r")
        key("x")
        check(program.ended(10), "Qob Tessavinの終了 did not end the program")


def wait_report():
    """The lines the driver gives for the error report box, once it is up."""
    deadline = time.monotonic() + 60
    lines = []
    # The main window has the same caption: look for the box's class.
    while "class #32770" not in lines and time.monotonic() < deadline:
        _, box = driver("wait-window", "Qob Tessavin", "1000")
        lines = box.splitlines()
        if "class #32770" not in lines:
            time.sleep(0.2)
    check("class #32770" in lines, f"no error report box: {lines}")
    return lines


def scenario_close_under_report():
    seed("baddword")
    with Program() as program:
        if "class #32770" in wait_report():
            check(driver("close", "10000")[0] == 0, "closing the main window under the report did not end the program")


def scenario_baddword():
    seed("baddword")
    with Program() as program:
        lines = wait_report()
        if "class #32770" not in lines:
            return
        check("text " + tr("'' のﾃﾞｰﾀ型が不正です.", "The value '' has an invalid data type.") in lines, f"error report text: {lines}")
        # The tree is already drawn and the wait panel gone while the box is up.
        _, layout = driver("layout")
        check("Panel2 136 128 265 81 hidden" in layout, "the wait panel is still shown")
        screenshot("baddword-report")
        driver("press-ok", "Qob Tessavin")
        check(driver("wait-ready", "10000")[0] == 0, "the window is not ready after the report")
        shown = dump_entries("baddword")
        compare_tree("baddword", shown)
        check("Qob.Dword.C" not in shown, "an entry after the error was made")
        # The partial tree is usable: the shortcuts still work.
        key("F3")
        check(driver("wait-window", FIND, "10000")[0] == 0, "F3 does not work after the error")
        key("Escape")
        screenshot("baddword")
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")


def scenario_startup_cursor():
    # 10,000 entries: the scan lasts seconds, long enough to look at it.
    seed("many")
    with Program(trace="+cursor") as program:
        parts = {}

        def shown():
            parts.update(layout())
            return "origin" in parts

        if not check(wait_until(shown, 30), "the main window did not appear"):
            return
        # The pointer onto the tree, clear of the wait panel. The program takes
        # no input while it scans, so Wine brings the X pointer up to date only
        # once the scan is over.
        def aim(origin):
            # A window first shown where it is made may be placed anew right
            # after: the pointer follows it onto the tree.
            ox, oy = map(int, origin.split())
            subprocess.run(["xdotool", "mousemove", str(ox + 40), str(oy + 300)], check=True)
            return origin

        aimed = aim(parts["origin"])
        # While the scan runs: the wait panel up, the program's cursor set.
        during = []  # the program's cursor, read while the panel was up
        seen = set()  # the wait panel's places and states, and the reads that failed, for a failure's message
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            read, handle = driver("cursor-handle")
            now = layout()
            if now.get("origin", aimed) != aimed:
                aimed = aim(now["origin"])
            seen.add((now.get("Panel2"), read))
            if now.get("Panel2", "").endswith("hidden"):
                break
            # A read that failed (the driver starved on a loaded machine)
            # tells nothing of the cursor.
            if read == 0 and now.get("Panel2") == "136 128 265 81 visible":
                during.append(handle.strip())
            time.sleep(0.1)
        check(during, f"the wait panel was never seen up before the tree was shown: {sorted(map(str, seen))}")
        if not scan_ended():
            return
        # The handle the program set right after loading the system's wait
        # pointer (IDC_WAIT, #7f02), as Wine's trace tells it. The trace is
        # the only witness here: the X pointer follows the program's cursor
        # only when it takes input, which it does not while it scans, and
        # another process cannot name the system's wait pointer by handle.
        trace = program.trace().splitlines()
        wait_handles = set()
        for i, line in enumerate(trace):
            if "LoadCursorW 0000000000000000, #7f02" in line:
                later = [l for l in trace[i + 1:i + 40] if "NtUserSetCursor" in l]
                if later:
                    wait_handles.add(later[0].rsplit(" ", 1)[1])
        check(len(wait_handles) == 1, f"the wait pointer was set {len(wait_handles)} times, not once")
        # Before the first tick no cursor is set yet. The two reads are not
        # one: the last may already see the cursor that follows the panel's
        # hiding.
        while during and during[0] == "0x0":
            during.pop(0)
        check(during and set(during[:-1] or during) <= wait_handles,
              f"while the wait panel was up the cursor was {during}, not the wait pointer {sorted(wait_handles)}")
        # Afterwards the window under the pointer picks its own: the arrow.
        check(wait_pointer("4,4") == "4,4", f"the pointer over the tree is {pointer()}, not the arrow")
        _, handle = driver("cursor-handle")
        check(handle.strip() not in wait_handles, "the program still has the wait pointer set")
        parts = layout()
        check(parts.get("Panel2") == "136 128 265 81 hidden", f"wait panel after the scan: {parts.get('Panel2')}")
        check(parts.get("trvRegKey") == "0 50 548 292 visible", f"tree after the scan: {parts.get('trvRegKey')}")
        screenshot("startup-cursor")
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")


def expect_parts(parts, width, height, tag):
    """The main window's parts for a client area of width x height."""
    tree_height = max(0, height - 19 - 50)
    want = {
        "client": f"{width} {height}",
        "StatusBar1": f"0 {height - 19} {width} 19 visible",
        "Panel3": f"0 0 {width} {height - 19} visible",
        "Panel1": f"0 0 {width} 33 visible",
        "Panel4": f"0 33 {width} 17 visible",
        "trvRegKey": f"0 50 {width} {tree_height} visible",
        "Panel2": "136 128 265 81 hidden",
    }
    for name, value in want.items():
        check(parts.get(name) == value, f"{tag}: {name} is {parts.get(name)}, not {value}")


def scenario_maximised():
    seed("names")
    # start /max passes the show command for maximised (3) to the program.
    with Program(launcher=("start", "/wait", "/max", "/unix")) as program:
        if not scan_ended():
            return
        parts = layout()
        check(parts.get("show") == "maximised", f"the window is {parts.get('show')}, not maximised")
        wx, wy, ww, wh = map(int, parts["workarea"].split())
        x, y, w, h = map(int, parts["window"].split())
        # A maximised window's frame lies just outside the work area.
        check(x <= wx and y <= wy and x + w >= wx + ww and y + h >= wy + wh,
              f"window {parts['window']} does not cover the work area {parts['workarea']}")
        cw, ch = map(int, parts["client"].split())
        check(cw >= ww - 16 and ch >= wh - 80, f"client area {parts['client']} too small for {parts['workarea']}")
        expect_parts(parts, cw, ch, "maximised")
        _, focus = driver("focus")
        check(focus.strip() == "SysTreeView32", f"focus on {focus.strip()!r}, not on the tree")
        screenshot("maximised")
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")


def scenario_resize():
    seed("names")
    with Program() as program:
        if not scan_ended():
            return
        frame = None
        # Larger, smaller than the wait panel's reach, and lower than the
        # toolbar, caption strip and status bar together.
        for width, height in ((800, 600), (300, 200), (200, 80), (556, 407)):
            check(driver("resize", str(width), str(height))[0] == 0, f"resizing to {width} x {height} failed")
            parts = layout()
            x, y, w, h = map(int, parts["window"].split())
            if not check((w, h) == (width, height), f"window is {w} x {h}, not {width} x {height}"):
                continue
            cw, ch = map(int, parts["client"].split())
            if frame is None:
                frame = (w - cw, h - ch)
            check((w - cw, h - ch) == frame or ch == 0, f"{width} x {height}: client area {cw} x {ch}")
            expect_parts(parts, cw, ch, f"{width} x {height}")
        screenshot("resize")
        _, items = driver("items")
        check(items.strip() != "0", "the tree lost its items")
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")


def export_classes():
    """HKEY_CLASSES_ROOT as `reg export` writes it: {key in lower case: [value lines]}."""
    path = os.path.join(BUILD, f"e2e-{RUN}-export.reg")
    subprocess.run(["wine", "reg", "export", "HKEY_CLASSES_ROOT", "Z:" + path.replace("/", "\\"), "/y"],
                   capture_output=True, check=False)
    keys, current = {}, None
    with open(path, "rb") as f:
        for line in f.read().decode("utf-16").splitlines():
            if line.startswith("[") and line.endswith("]"):
                current = line[1:-1].lower()
                keys[current] = []
            elif current and line:
                keys[current].append(line)
    return keys


def expect_removed(before, gone_under, tag):
    """The export now lacks exactly the keys under `gone_under` (paths below
    HKEY_CLASSES_ROOT), and nothing else changed."""
    after = export_classes()
    roots = [("HKEY_CLASSES_ROOT\\" + p).lower() for p in gone_under]
    under = lambda key: any(key == r or key.startswith(r + "\\") for r in roots)
    expected = {k: v for k, v in before.items() if not under(k)}
    check(all(any(k == r for k in before) for r in roots), f"{tag}: a key expected gone was never there: {gone_under}")
    if after != expected:
        lost = sorted(set(expected) - set(after))[:10]
        kept = sorted(set(after) - set(expected))[:10]
        changed = sorted(k for k in set(after) & set(expected) if after[k] != expected[k])[:10]
        check(False, f"{tag}: registry differs: deleted unexpectedly {lost}, kept {kept}, changed {changed}")
    return after


def prefix_file(win_path):
    return os.path.join(WINEPREFIX, "drive_c", *win_path[3:].split("\\"))



class Dialogs:
    """The program's message dialogs, answered one after the other."""

    def __init__(self):
        self.last = "0"

    def next(self):
        """The next dialog's caption and text (None, None when none comes),
        its CR LF line breaks written as the program's CR."""
        rc, out = driver("dialog", "15000", self.last)
        lines = dict(line.split(" ", 1) for line in out.splitlines() if " " in line) if rc == 0 else {}
        if not lines:
            return None, None
        self.last = lines.get("window", self.last)
        return lines.get("caption"), lines.get("text", "").replace(r"\x0D\x0A", r"\x0D")

    def answer(self, caption, text, *keys):
        shown = self.next()
        if not check(shown[0] is not None, f"no dialog came; expected {text!r}"):
            return False
        ok = check(shown == (caption, text), f"dialog {shown!r}, expected {caption!r} {text!r}")
        key(*keys)
        return ok

    def none(self, seconds=2):
        rc, out = driver("dialog", str(seconds * 1000), self.last)
        check(rc != 0, f"an unexpected dialog: {out!r}")


def select_entry(name):
    """Selects a top-level entry as a user would: types its name into the tree
    from its first line. The tree forgets what was typed after a pause of
    under half a second, which a loaded machine can make: then it types again."""
    def selected():
        got = selected_place()
        return got is not None and got[0] == name and got[2] == ""

    for _ in range(3):
        key("Home")
        subprocess.run(["xdotool", "type", "--delay", "30", name], check=True)
        if wait_until(selected, 5):
            return True
        time.sleep(1)
    return check(False, f"typing {name} did not select it")


def entry_shown(name):
    return any(line.split("\t")[2] == name for line in driver("roots")[1].splitlines())


FULL = "Qob.Remove.Full"
FULL_CLASS = "CLSID\\{0B0B7E01-0000-4000-8000-000000000001}"
FULL_LIBRARY = "TypeLib\\{0B0B7E71-0000-4000-8000-000000000001}"
# Type libraries are shared by both views: the export lists the key twice.
FULL_LIBRARY_32 = "Wow6432Node\\" + FULL_LIBRARY
# The quoted local server with its switch: the question names the file too.
FULL_EXE_QUESTION = file_question(r'"C:\qob\remove\full.exe" -Embedding', to_delete(r"C:\qob\remove\full.exe"))


REGEDIT_SETTINGS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Applets\Regedit"
EDITOR_CALL = 'verb=L"open" file=L"C:\\\\windows\\\\regedit.exe" parm=L"" dir=L"" show=0x00000005'


def last_key():
    """The key the registry editor opens at: its LastKey value."""
    proc = subprocess.run(["wine", "reg", "query", REGEDIT_SETTINGS, "/v", "LastKey"], capture_output=True,
                          timeout=60)
    for line in proc.stdout.decode(CONSOLE_CODEC, errors="replace").splitlines():
        name, _, value = line.partition("REG_SZ")
        if name.strip() == "LastKey":
            return value.strip()
    return None


def editor_opened_at(program, key_name, *keys):
    """The keys open the registry editor at HKEY_CLASSES_ROOT\\key_name:
    LastKey written (as Wine's editor takes it: from the root key on; the
    computer's name first, as Windows' editor wants it, leaves Wine's at its
    root), the editor of the Windows folder started, showing the key in its
    status bar (its window closed again)."""
    calls = program.trace().count(EDITOR_CALL)
    key(*keys)
    check(wait_until(lambda: program.trace().count(EDITOR_CALL) > calls, 20), f"{keys}: the editor was not started")
    check(last_key() == ROOT + key_name, f"{keys}: LastKey {last_key()!r}, expected {key_name}")
    # The editor's first start in a fresh prefix can take long on a busy machine.
    check(driver("wait-class", "RegEdit_RegEdit", "60000", timeout=80)[0] == 0, "the editor's window did not appear")
    shows = lambda: driver("class-status", "RegEdit_RegEdit")[1].strip().endswith("\\" + ROOT + key_name)
    check(wait_until(shows, 10), f"the editor shows {driver('class-status', 'RegEdit_RegEdit')[1]!r}")
    check(driver("close-class", "RegEdit_RegEdit", "10000")[0] == 0, "the editor did not close")


def clipboard():
    rc, out = driver("clipboard")
    return out.rstrip("\r\n") if rc == 0 else None


def scenario_removal_answers():
    seed("removal")
    before = export_classes()
    with Program(trace="+exec") as program:
        if not scan_ended():
            return
        dialogs = Dialogs()
        # The hand-offs of a node: the registry editor at the key of its
        # group (the ProgID key, the class key in its view), its text and
        # its key's path on the clipboard, by shortcut and by the menu.
        if select_entry(FULL):
            editor_opened_at(program, FULL, "ctrl+e")
        if select_entry("Qob.Remove.Wow"):
            key("Right", "Right", "Down")
            wow_class = "Wow6432Node\\CLSID\\{0B0B7E04-0000-4000-8000-000000000004}"
            editor_opened_at(program, wow_class, "shift+F10", "Down", "Down", "Return")
            key("ctrl+c")
            check(wait_until(lambda: clipboard() == "CLSID", 5), f"Ctrl+C put {clipboard()!r} on the clipboard")
            key("Menu", "Up", "Return")
            check(wait_until(lambda: clipboard() == ROOT + wow_class, 5), f"Copy key path put {clipboard()!r}")
            # The right button selects the node under it first.
            _, origin = driver("layout")
            ox, oy = map(int, dict(l.split(" ", 1) for l in origin.splitlines())["origin"].split())
            subprocess.run(["xdotool", "mousemove", str(ox + 80), str(oy + 58), "click", "3"], check=True)
            time.sleep(1)
            key("Escape")
            check(wait_until(lambda: (selected_place() or ("", ""))[1] == "1", 5),
                  f"the right button did not select the first line: {selected_place()}")
        # A node below an entry: refused, whatever it is.
        if select_entry(FULL):
            key("Right", "Down")
            key("Delete")
            dialogs.answer(ERROR, SUBKEY, "Return")
        # The registry's own CLSID container lists as an entry: refused.
        if select_entry("CLSID"):
            key("Delete")
            dialogs.answer(ERROR, ROOT + tr(r"CLSID\x0Dはレジストリのシステム キーのため削除できません。",
                                                     r"CLSID\x0Dis a key of the registry itself and cannot be deleted."), "Return")
        # A fault-free entry: the close box at the first question goes on, No
        # at the ProgID question ends it.
        if select_entry(FULL):
            key("Delete")
            dialogs.answer(ERROR, FAULT_FREE, "alt+F4")
            dialogs.answer(INFORMATION, key_question(FULL), "alt+n")
            dialogs.none()
        expect_removed(before, [], "after No")
        check(entry_shown(FULL), "the entry left the tree after No")
        # The toolbar's Del button, each answer kind in turn.
        if select_entry(FULL):
            _, origin = driver("layout")
            ox, oy = map(int, dict(l.split(" ", 1) for l in origin.splitlines())["origin"].split())
            subprocess.run(["xdotool", "mousemove", str(ox + 68), str(oy + 17), "click", "1"], check=True)
            dialogs.answer(ERROR, FAULT_FREE, "alt+y")
            dialogs.answer(INFORMATION, key_question(FULL), "Return")
            dialogs.answer(INFORMATION, key_question(FULL_CLASS), "alt+n")
            screenshot("removal-question")
            dialogs.answer(INFORMATION, file_question(r"C:\qob\remove\full.dll", SHARED_WITH_ONE), "Escape")
            dialogs.answer(INFORMATION, FULL_EXE_QUESTION, "alt+y")
            dialogs.answer(INFORMATION, key_question(FULL_LIBRARY), "alt+y")
            dialogs.none()
        expect_removed(before, [FULL, FULL_LIBRARY, FULL_LIBRARY_32], "after the removal")
        check(os.path.exists(prefix_file(r"C:\qob\remove\full.dll")), "a file answered No was deleted")
        check(not os.path.exists(prefix_file(r"C:\qob\remove\full.exe")), "the confirmed file is still there")
        check(not entry_shown(FULL), "the removed entry is still in the tree")
        check(entry_shown("Qob.Remove.Sharer"), "another entry left the tree")
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")


def scenario_removal_question():
    """The questions of a removal, with their icons at the display's scale."""
    seed("removal")
    with Program() as program:
        if not scan_ended() or not select_entry(FULL):
            return
        key("Delete")
        last = "0"
        # The close box at the first question goes on; No at the second ends it.
        for expected, answer in ((FAULT_FREE, "alt+F4"), (key_question(FULL), "alt+n")):
            rc, out = driver("dialog", "15000", last)
            lines = dict(line.split(" ", 1) for line in out.splitlines() if " " in line) if rc == 0 else {}
            shown = lines.get("text", "").replace(r"\x0D\x0A", r"\x0D")
            if not check(shown == expected, f"dialog {lines!r}, expected {expected!r}"):
                return
            last = lines["window"]
            near_scaled(lines.get("icon"), "32 32", "the question's icon", slack=0)
            screenshot("question")
            key(answer)
        Dialogs().none()
        check(entry_shown(FULL), "the entry left the tree after No")


def scenario_removal_failures():
    seed("removal")
    before = export_classes()
    with Program() as program:
        if not scan_ended():
            return
        dialogs = Dialogs()
        # The menu: レジストリ > 削除.
        if select_entry("Qob.Remove.ReadOnly"):
            key("alt+r")
            key("d")
            dialogs.answer(ERROR, FAULT_FREE, "alt+y")
            dialogs.answer(INFORMATION, key_question("Qob.Remove.ReadOnly"), "alt+y")
            dialogs.answer(INFORMATION, key_question("CLSID\\{0B0B7E03-0000-4000-8000-000000000003}"), "alt+y")
            dialogs.answer(INFORMATION, file_question(r"C:\qob\remove\readonly.exe"), "alt+y")
            _, text = dialogs.next()
            check(text and text.startswith(tr("次の削除はできませんでした。", "The following could not be deleted.") +
                                          r"\x0D" + tr("ファイル ", "File ") + r"C:\qob\remove\readonly.exe: "),
                  f"the failed file deletion was not reported: {text!r}")
            screenshot("removal-failure")
            key("Return")
        before = expect_removed(before, ["Qob.Remove.ReadOnly", "CLSID\\{0B0B7E03-0000-4000-8000-000000000003}"],
                                "after the read-only file")
        check(os.path.exists(prefix_file(r"C:\qob\remove\readonly.exe")), "the read-only file went")
        check(not entry_shown("Qob.Remove.ReadOnly"), "the entry stayed after a failed file deletion")
        # A class of the 32-bit view goes in that view, its file from SysWOW64.
        if select_entry("Qob.Remove.Wow"):
            key("Delete")
            dialogs.answer(ERROR, FAULT_FREE, "alt+y")
            dialogs.answer(INFORMATION, key_question("Qob.Remove.Wow"), "alt+y")
            # Named where it is: in the 32-bit view, below Wow6432Node.
            dialogs.answer(INFORMATION, key_question("Wow6432Node\\CLSID\\{0B0B7E04-0000-4000-8000-000000000004}"),
                           "alt+y")
            dialogs.answer(INFORMATION, file_question(r"%SystemRoot%\system32\qobremove.dll",
                                                        to_delete(r"C:\windows\SysWOW64\qobremove.dll"), IN_WINDOWS_FOLDER), "alt+y")
            dialogs.none()
        expect_removed(before, ["Qob.Remove.Wow", "Wow6432Node\\CLSID\\{0B0B7E04-0000-4000-8000-000000000004}"],
                       "after the 32-bit class")
        check(not os.path.exists(prefix_file(r"C:\windows\syswow64\qobremove.dll")), "the SysWOW64 file is still there")
        # A missing "foo -bar.exe" runs as the file foo: the question names it.
        if select_entry("Qob.Remove.SwitchCut"):
            key("Delete")
            dialogs.answer(ERROR, FAULT_FREE, "alt+y")
            dialogs.answer(INFORMATION, key_question("Qob.Remove.SwitchCut"), "alt+y")
            dialogs.answer(INFORMATION, key_question("CLSID\\{0B0B7E05-0000-4000-8000-000000000005}"), "alt+y")
            dialogs.answer(INFORMATION, file_question(r"C:\qob\remove\foo -bar.exe", to_delete(r"C:\qob\remove\foo")),
                           "alt+y")
            dialogs.none()
        check(not os.path.exists(prefix_file(r"C:\qob\remove\foo")), "the file the question named is still there")
class Held:
    """Keeps the program's timer ticks away (QobDriver hold) while it lasts, so
    that a search started meanwhile waits at its first step."""

    def __init__(self):
        self.stop_file = os.path.join(BUILD, f"e2e-{RUN}.release")
        if os.path.exists(self.stop_file):
            os.remove(self.stop_file)
        self.proc = subprocess.Popen(["wine", DRIVER, "hold", self.stop_file, "60000"], stdout=subprocess.PIPE)
        check(self.proc.stdout.readline().strip() == b"holding", "the hold did not start")

    def release(self):
        with open(self.stop_file, "w"):
            pass
        self.proc.wait(timeout=30)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if self.proc.poll() is None:
            self.release()


def selected_place():
    """The selected node's text, whether it is the first visible line, and
    its parent's text."""
    rc, out = driver("selected-place")
    return tuple(out.strip("\r\n").split("\t")) if rc == 0 else None


def window(caption):
    rc, out = driver("window", caption)
    return dict(line.split(" ", 1) for line in out.splitlines()) if rc == 0 else {}


def open_find(text):
    """F3 on the main window, the text put into the find dialog."""
    key("F3")
    if not check(driver("wait-window", FIND, "10000")[0] == 0, "F3 did not open the find dialog"):
        return False
    return check(driver("find-text", text)[0] == 0, "the find dialog's field could not be set")


def search(text):
    """Starts a search for text from the find dialog; Enter is its Find Next."""
    if open_find(text):
        key("Return")


def wait_message(caption, text, seconds=20):
    """A message dialog with that caption and text, the top one of its caption."""
    out = ""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        rc, out = driver("wait-window", caption, "1000")
        if rc == 0 and f"text {text}" in out.splitlines():
            return True
    return check(False, f"no {caption} box '{text}': {out!r}")


def progress_shown():
    return check(driver("wait-window", SEARCHING, "10000")[0] == 0, "the progress window did not appear")


def scenario_search():
    seed("catalogue")
    with Program() as program:
        if not scan_ended():
            return
        # A value node inside a collapsed entry: opened, scrolled to the top, selected.
        search("also-gone")
        check(driver("gone", SEARCHING, "10000")[0] == 0, "the progress window stayed")
        check(driver("gone", FIND, "10000")[0] == 0, "the find dialog stayed open")
        got = selected_place()
        check(got == ("C:\\nowhere\\also-gone.dll", "1", "InprocServer32"), f"first match: {got}")
        _, focus = driver("focus")
        check(focus.strip() == "SysTreeView32", f"focus on {focus.strip()!r} after a match")
        screenshot("search-found")
        # The find dialog opens again where it was left, with its text.
        if open_find("also-gone"):
            check(driver("move", FIND, "40", "500")[0] == 0, "the find dialog could not be moved")
            key("Escape")
            driver("gone", FIND, "10000")
            key("F3")
            # Read once it is shown: F3 only asks for it.
            check(wait_until(lambda: window(FIND).get("rect", "").startswith("40 500 "), 10),
                  f"find dialog reopened at {window(FIND)}")
        # The next search starts after the match.
        search("CLSID")
        check(driver("gone", SEARCHING, "10000")[0] == 0, "the progress window stayed")
        first = selected_place()
        search("CLSID")
        check(driver("gone", SEARCHING, "10000")[0] == 0, "the progress window stayed")
        second = selected_place()
        check(first == ("CLSID", "1", "Qob.Quoted") and second == ("CLSID", "1", "Qob.Sort.A"),
              f"CLSID twice: {first} {second}")
        # A match above the selection: not found, the selection stays.
        search("Qob.Awkward.DashFolder")
        wait_message(ERROR, not_found("Qob.Awkward.DashFolder"))
        screenshot("search-not-found")
        key("Return")
        check(driver("gone", ERROR, "10000")[0] == 0, "the not-found message did not close")
        check(selected_place() == second, f"the selection moved: {selected_place()}")
        # The progress window, held at its first step.
        with Held() as held:
            search("Qob.Sort.A")
            if not progress_shown():
                return
            look = window(SEARCHING)
            check(look.get("client") == "273 80", f"progress window client {look.get('client')}")
            check(look.get("topmost") == "1" and look.get("toolwindow") == "1", f"progress window {look}")
            check(look.get("sysmenu") == "0", "the progress window has a system menu (a close box)")
            x, y, w, h = map(int, look["rect"].split())
            check((x, y) == ((SCREEN_W - w) // 2, (SCREEN_H - h) // 2), f"progress window not centred: {look['rect']}")
            _, shown = driver("wait-window", SEARCHING, "1000")
            check("text " + searching_for("Qob.Sort.A") in shown.splitlines(), f"progress window texts: {shown!r}")
            _, focus = driver("focus")
            check(focus.strip() == "Button", f"focus on {focus.strip()!r}, not on Cancel")
            subprocess.run(["xdotool", "mousemove", str(x + 100), str(y + h - 8)], check=True)
            check(wait_pointer("4,3") == "4,3", f"pointer {pointer()} during a search, not app-start")
            screenshot("search-progress")
            # Escape asks; Yes (Enter) stops the search.
            key("Escape")
            wait_message(INFORMATION, STOP_SEARCH)
            key("Return")
            check(driver("gone", SEARCHING, "10000")[0] == 0, "Yes left the progress window shown")
            held.release()
            check(driver("wait-window", ERROR, "1500")[0] != 0, "a cancelled search went on to an end")
            check(selected_place() == second, f"a cancelled search moved the selection: {selected_place()}")
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")


def scenario_search_cancel():
    seed("catalogue")
    with Program() as program:
        if not scan_ended():
            return
        # No: the search goes on, and the pointer is app-start again.
        with Held() as held:
            search("Qob.Versioned")
            if not progress_shown():
                return
            # Moved, it shows there again for the next searches.
            check(driver("move", SEARCHING, "60", "80")[0] == 0, "the progress window could not be moved")
            look = window(SEARCHING)
            x, y, w, h = map(int, look["rect"].split())
            subprocess.run(["xdotool", "mousemove", str(x + 100), str(y + h - 8)], check=True)
            key("Escape")
            wait_message(INFORMATION, STOP_SEARCH)
            check(wait_pointer("4,4") == "4,4", f"pointer {pointer()} under the question, not the arrow")
            check(window(SEARCHING).get("enabled") == "0", "the progress window takes input under the question")
            screenshot("search-cancel-question")
            key("n")
            check(driver("gone", INFORMATION, "10000")[0] == 0, "No did not close the question")
            check(driver("wait-window", SEARCHING, "1000")[0] == 0, "No hid the progress window")
            subprocess.run(["xdotool", "mousemove", str(x + 100), str(y + h - 8)], check=True)
            check(wait_pointer("4,3") == "4,3", f"pointer {pointer()} after No, not app-start")
            held.release()
            check(driver("gone", SEARCHING, "10000")[0] == 0, "the search did not go on after No")
            check(selected_place() == ("Qob.Versioned", "1", ""), f"match after No: {selected_place()}")
        # The search ends with a match while the question is open: the progress
        # window goes, the match is selected behind the question.
        with Held() as held:
            search("Qob.Wow.Healthy")
            if not progress_shown():
                return
            check(window(SEARCHING).get("rect", "").startswith("60 80 "), "the progress window moved back")
            key("Return")  # Enter presses Cancel too
            wait_message(INFORMATION, STOP_SEARCH)
            held.release()
            check(driver("gone", SEARCHING, "10000")[0] == 0, "the progress window stayed after the match")
            check(driver("wait-window", INFORMATION, "1000")[0] == 0, "the question went with the search")
            got = selected_place()
            check(got and got[0] == "Qob.Wow.Healthy", f"match under the question: {got}")
            screenshot("search-found-under-question")
            key("Return")  # Yes: repeats the end, changes nothing
            check(driver("gone", INFORMATION, "10000")[0] == 0, "Yes did not close the question")
            got = selected_place()
            check(got and got[0] == "Qob.Wow.Healthy", f"Yes moved the selection: {got}")
            # The main window is active again, its tree has the focus and shows the match.
            check(wait_until(lambda: driver("active")[1].strip() == "main", 5),
                  f"active after the question: {driver('active')[1].strip()!r}, not the main window")
            _, focus = driver("focus")
            check(focus.strip() == "SysTreeView32", f"focus on {focus.strip()!r} after the question, not on the tree")
        # Past the last node while the question is open: the not-found message
        # opens over it; after both the program is idle.
        with Held() as held:
            search("no such text")
            if not progress_shown():
                return
            key("Escape")
            wait_message(INFORMATION, STOP_SEARCH)
            held.release()
            wait_message(ERROR, not_found("no such text"))
            check(driver("gone", SEARCHING, "10000")[0] == 0, "the progress window stayed after the end")
            screenshot("search-not-found-over-question")
            key("Return")
            check(driver("gone", ERROR, "10000")[0] == 0, "the not-found message did not close")
            key("Return")
            check(driver("gone", INFORMATION, "10000")[0] == 0, "the question did not close")
            check(wait_until(lambda: driver("active")[1].strip() == "main", 5),
                  f"active after both: {driver('active')[1].strip()!r}, not the main window")
            _, focus = driver("focus")
            check(focus.strip() == "SysTreeView32", f"focus on {focus.strip()!r} after both, not on the tree")
        # Idle again: F3 opens the find dialog, with the last text.
        key("F3")
        check(driver("wait-window", FIND, "10000")[0] == 0, "F3 after the search did not open the find dialog")
        key("Escape")
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")


def scenario_search_busy():
    seed("catalogue")
    with Program() as program:
        if not scan_ended():
            return
        with Held() as held:
            search("A&&B&C")
            if not progress_shown():
                return
            _, shown = driver("wait-window", SEARCHING, "1000")
            check("text " + searching_for("A&&B&C") in shown.splitlines(), f"progress window texts: {shown!r}")
            # F3 on the main window (a click on the tree, clear of its items,
            # activates it) reports the running search.
            ox, oy = map(int, layout()["origin"].split())
            subprocess.run(["xdotool", "mousemove", str(ox + 500), str(oy + 70), "click", "1"], check=True)
            check(wait_until(lambda: driver("focus")[1].strip() == "SysTreeView32", 10), "the tree took no focus")
            key("F3")
            wait_message(ERROR, already_searching("A&&B&C"))
            check(driver("wait-window", FIND, "1000")[0] != 0, "F3 opened the find dialog during a search")
            # The search goes on under the report and ends there.
            held.release()
            check(driver("gone", SEARCHING, "10000")[0] == 0, "the search did not go on under the report")
            wait_message(ERROR, not_found("A&&B&C"))
            screenshot("search-busy")
            key("Return")
            wait_message(ERROR, already_searching("A&&B&C"))
            key("Return")
            check(driver("gone", ERROR, "10000")[0] == 0, "the messages did not close")


def about():
    """The driver's description of the About box as a dict, and its controls by id."""
    rc, text = driver("about")
    parts, controls = {}, {}
    for line in text.splitlines() if rc == 0 else []:
        head, rest = line.split(" ", 1)
        if head.isdigit():
            controls[int(head)] = rest
        else:
            parts[head] = rest
    return parts, controls


def wait_about(visible, seconds=10):
    ok = wait_until(lambda: about()[0].get("visible") == visible, seconds)
    return about()[0] if ok else None


def toolbar_click(left):
    """Clicks the toolbar button whose left edge is at `left`."""
    ox, oy = map(int, layout()["origin"].split())
    subprocess.run(["xdotool", "mousemove", str(ox + left + 12), str(oy + 17), "click", "1"], check=True)


def scenario_about():
    seed("names")
    with Program():
        if not scan_ended():
            return
        key("alt+h")
        key("a")
        parts = wait_about("1")
        if not check(parts, "バージョン情報(&A) did not show the About box"):
            return
        _, controls = about()
        check(parts.get("caption") == ABOUT, f"caption {parts.get('caption')!r}")
        check(parts.get("frame") == "close", f"title bar offers {parts.get('frame')!r}, not only the close box")
        x, y, w, h = map(int, parts["window"].split())
        check(parts["client"].split()[2:] == ["349", "176"], f"client area {parts['client']}")
        check((x, y) == ((SCREEN_W - w) // 2, (SCREEN_H - h) // 2), f"not centred: {parts['window']}")
        check(parts.get("main-enabled") == "0", "the main window is enabled under the About box")
        check(parts.get("active") == "about" and parts.get("focus") == "50", f"active {parts.get('active')}, focus on {parts.get('focus')}, not OK")
        check(controls.get(50) == "Button 144 144 75 25 default,tabstop OK", f"BitBtn1: {controls.get(50)}")
        for cid, place in ((51, "104 96 193 20"), (52, "80 120 249 20")):
            field = controls.get(cid, "").split(" ", 6)
            check(" ".join(field[1:5]) == place and field[5] == "readonly,tabstop" and field[6:] != [""],
                  f"Edit{cid - 50}: {controls.get(cid)}")
        screenshot("about")
        # Tab order OK -> Edit1 -> Edit2 -> OK; Shift+Tab back.
        for keys, want in (("Tab", "51"), ("Tab", "52"), ("Tab", "50"), ("shift+Tab", "52")):
            key(keys)
            check(wait_until(lambda: about()[0].get("focus") == want, 5), f"{keys}: focus on {about()[0].get('focus')}, not {want}")
        # Edit2 is read-only, its text selected on arrival, and copies.
        home_page = controls.get(52, "").split(" ", 6)[-1]
        subprocess.run(["xdotool", "type", "x"], check=True)
        key("ctrl+c")
        check(wait_until(lambda: driver("clipboard")[1].strip() == home_page, 5),
              f"Ctrl+C in Edit2 copied {driver('clipboard')[1].strip()!r}")
        check(about()[1].get(52) == controls.get(52), "typing changed the read-only field")
        # Moved by the user, it opens there the next time.
        check(driver("move", ABOUT, "100", "120")[0] == 0, "the About box could not be moved")
        x, y = 100, 120
        # Escape does nothing; Enter in a field is OK.
        key("Escape")
        time.sleep(0.5)
        check(about()[0].get("visible") == "1", "Escape closed the About box")
        key("Return")
        parts = wait_about("0")
        check(parts and parts.get("main-enabled") == "1" and parts.get("active") == "main",
              f"after Enter: {parts}")
        # The toolbar's button opens it again, where it was; Alt+F4 closes it.
        toolbar_click(88)
        parts = wait_about("1")
        if check(parts, "the toolbar's バージョン情報 button did not show the About box"):
            check(parts["window"] == f"{x} {y} {w} {h}", f"shown again at {parts['window']}")
            check(parts.get("focus") == "50", "OK does not have the focus on the second showing")
            key("alt+F4")
            parts = wait_about("0")
            check(parts and parts.get("active") == "main", f"after Alt+F4: {parts}")
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")


def only_main_window(seconds):
    """No window of the program but the main window shows up within `seconds`."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        _, shown = driver("windows")
        # The main window and the toolbar's hint are no message.
        extra = [l for l in shown.splitlines()
                 if l.startswith("program\t") and l.split("\t")[1] not in ("TForm1", "tooltips_class32")]
        if not check(not extra, f"the program showed {extra}"):
            return
        time.sleep(0.2)


TUTORIAL_PAGE = tr("tutor.htm", "tutor-en.htm")


def tutorial_call(program, page, seconds=10):
    """Chooses ヘルプ > 使い方 and waits for the shell call for `page` in
    the trace."""
    # Wine's trace doubles a backslash and writes other characters as \HHHH.
    quoted = "".join("\\\\" if c == "\\" else c if " " <= c < "\x7f" else f"\\{ord(c):04x}" for c in page)
    needle = f'verb=L"open" file=L"{quoted}" parm=(null) dir=(null) show=0x00000005'
    key("alt+h")
    key("t")
    check(wait_until(lambda: needle in program.trace(), seconds), f"no shell call {needle}")
    only_main_window(2)


def scenario_launch():
    seed("names")
    with Program(trace="+exec") as program:
        if not scan_ended():
            return
        # The editor of the Windows folder, by its full path: a Regedit.Exe in
        # the program's folder or the current one is never found instead.
        toolbar_click(31)
        rc, caption = driver("wait-class", "RegEdit_RegEdit", "20000", timeout=40)
        check(rc == 0, "the registry editor's window did not appear")
        check('verb=L"open" file=L"C:\\\\windows\\\\regedit.exe" parm=L"" dir=L"" show=0x00000005'
              in program.trace(), "regedit.exe of the Windows folder was not started with empty parameters")
        check(driver("close-class", "RegEdit_RegEdit", "10000")[0] == 0, "the registry editor did not close")
        # The page beside the program (the build puts it there).
        windows_build = subprocess.run(["winepath", "-w", BUILD], capture_output=True, text=True).stdout.strip()
        tutorial_call(program, windows_build + "\\" + TUTORIAL_PAGE)
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")
    # A folder and a program name holding 表 (second byte 0x5C); no page there.
    folder = os.path.join(WINEPREFIX, "drive_c", "表示")
    os.makedirs(folder, exist_ok=True)
    shutil.copy(PROGRAM, os.path.join(folder, "一覧表.exe"))
    with Program(trace="+exec", program=os.path.join(folder, "一覧表.exe")) as program:
        if not scan_ended():
            return
        tutorial_call(program, "C:\\表示\\" + TUTORIAL_PAGE)
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")


def scenario_removal_under_search():
    seed("removal")
    before = export_classes()
    with Program() as program:
        if not scan_ended() or not select_entry(FULL):
            return
        dialogs = Dialogs()
        with Held() as held:
            search("Qob.Remove.Wow")
            if not progress_shown():
                return
            # Back to the main window by its caption strip, and Del.
            _, out = driver("layout")
            ox, oy = map(int, dict(l.split(" ", 1) for l in out.splitlines())["origin"].split())
            subprocess.run(["xdotool", "mousemove", str(ox + 200), str(oy + 41), "click", "1"], check=True)
            key("Delete")
            dialogs.answer(ERROR, FAULT_FREE, "alt+y")
            shown = dialogs.next()
            check(shown == (INFORMATION, key_question(FULL)), f"the ProgID question is not up: {shown!r}")
            held.release()
            # The search steps on under the question and ends with its match.
            check(driver("gone", SEARCHING, "10000")[0] == 0, "the search did not end under the question")
            got = selected_place()
            check(got and got[0] == "Qob.Remove.Wow", f"the match under the question: {got}")
            key("alt+y")
        # The removal goes on with the entry it took at the start.
        dialogs.answer(INFORMATION, key_question(FULL_CLASS), "alt+n")
        dialogs.answer(INFORMATION, file_question(r"C:\qob\remove\full.dll", SHARED_WITH_ONE), "alt+n")
        dialogs.answer(INFORMATION, FULL_EXE_QUESTION, "alt+n")
        dialogs.answer(INFORMATION, key_question(FULL_LIBRARY), "alt+n")
        dialogs.none()
        expect_removed(before, [FULL], "after the removal under the search")
        check(not entry_shown(FULL) and entry_shown("Qob.Remove.Wow"), "another entry than the one asked about went")
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")


def scenario_removal_restore():
    seed("removal")
    before = export_classes()
    server_files = [r"C:\qob\remove\full.dll", r"C:\qob\remove\full.exe"]
    contents = {f: open(prefix_file(f), "rb").read() for f in server_files}
    with Program() as program:
        if not scan_ended() or not select_entry(FULL):
            return
        key("Delete")
        dialogs = Dialogs()
        dialogs.answer(ERROR, FAULT_FREE, "alt+y")
        for _ in range(5):  # the ProgID, the class, both files, the type library
            shown = dialogs.next()
            if not check(shown[0] == INFORMATION, f"a question is missing: {shown!r}"):
                return
            key("alt+y")
        dialogs.none()
        status = driver("status")[1].strip()
        if not check(status.startswith(tr("バックアップ: ", "Backup: ")) and status.endswith(" " + FULL), f"status bar: {status!r}"):
            return
        folder = status.split(" ", 1)[1]
        screenshot("removal-backup")
        expect_removed(before, [FULL, FULL_CLASS, FULL_LIBRARY, FULL_LIBRARY_32], "after Yes to everything")
        check(not any(os.path.exists(prefix_file(f)) for f in server_files), "a confirmed file is still there")
        # The entry that names the file that went was read again: faulty now.
        sharer = dump_entry("Qob.Remove.Sharer").splitlines()
        check(sharer and sharer[0] == "0\t2\tQob.Remove.Sharer",
              f"the entry that shares the deleted file shows {sharer[:1]}, not a faulty entry")

        # The folder where backups go cannot be made: nothing is deleted.
        base = prefix_file(folder.rsplit("\\", 1)[0])
        os.rename(base, base + ".kept")
        open(base, "w").close()
        if select_entry("Qob.Remove.Sharer"):
            key("Delete")
            dialogs.answer(INFORMATION, key_question("Qob.Remove.Sharer"), "alt+y")
            _, text = dialogs.next()
            check(text and text.startswith(ROOT + r"Qob.Remove.Sharer\x0D" + tr("は削除しませんでした。バックアップを作成できません。",
                                                                               "was not deleted. Its backup cannot be made.")),
                  f"the failed backup was not reported: {text!r}")
            key("Return")
            check(entry_shown("Qob.Remove.Sharer"), "the entry left the tree without its backup")
        os.remove(base)
        os.rename(base + ".kept", base)
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")
    expect_removed(before, [FULL, FULL_CLASS, FULL_LIBRARY, FULL_LIBRARY_32], "after the refused removal")

    scanner = os.path.join(BUILD, "QobTessavinScan.exe")
    restore = subprocess.run(["wine", scanner, "--restore", folder], capture_output=True)
    print(restore.stdout.decode(CONSOLE_CODEC, errors="replace"))
    check(restore.returncode == 0, f"--restore exited {restore.returncode}")
    check(export_classes() == before, "the registry after the restore differs from before the removal")
    for f in server_files:
        check(os.path.exists(prefix_file(f)) and open(prefix_file(f), "rb").read() == contents[f],
              f"{f} did not come back as it was")
    # A file that is there again is never overwritten.
    with open(prefix_file(server_files[0]), "wb") as f:
        f.write(b"a newer file")
    again = subprocess.run(["wine", scanner, "--restore", folder], capture_output=True)
    check(again.returncode == 1, f"a restore over an existing file exited {again.returncode}, not 1")
    check(open(prefix_file(server_files[0]), "rb").read() == b"a newer file", "the restore overwrote a file")


UNDO = tr("元に戻す", "Undo a removal")
CONFIRM = tr("確認", "Confirm")
ID_RESULT, ID_RESTORE, ID_OPEN, ID_DELETE = "71", "72", "73", "74"


def backup_base():
    """The folder of the prefix's user where the removals' backups go."""
    users = [u for u in glob.glob(os.path.join(WINEPREFIX, "drive_c", "users", "*")) if not u.endswith("Public")]
    return os.path.join(users[0], "AppData", "Local", "Qob Tessavin", "Backup")


def open_undo():
    """レジストリ > 元に戻す: the window's rows and controls."""
    key("alt+r")
    key("u")
    if not check(driver("wait-window", UNDO, "10000")[0] == 0, "the undo window did not open"):
        return [], {}
    return undo_state()


def undo_state():
    """The rows of the undo window as lists of cells (the first says whether it
    is selected), its controls by id as (enabled, text)."""
    rows = [line.split("\t") for line in driver("listview-rows", UNDO)[1].splitlines()]
    controls = {}
    for line in driver("controls", UNDO)[1].splitlines():
        ident, _, enabled, text = line.split("\t", 3)
        controls[ident] = (enabled == "1", text)
    return rows, controls


def close_undo():
    key("Escape")
    check(driver("gone", UNDO, "10000")[0] == 0, "Escape did not close the undo window")


def dump_entry(name):
    path = os.path.join(BUILD, f"e2e-{RUN}.names")
    with open(path, "w", encoding="utf-8") as f:
        f.write(name + "\n")
    return driver("dump", "Z:" + path.replace("/", "\\"), timeout=120)[1]


def result_lines(controls):
    """The lines of the undo window's result, in lower case (the registry
    names a key as it spells it)."""
    return lower(controls.get(ID_RESULT, (0, ""))[1].split("\\n")[:-1])


def lower(lines):
    return [line.lower() for line in lines]


def root_texts():
    return [line.split("\t")[2] for line in driver("roots")[1].splitlines()]


def scenario_undo():
    seed("removal")
    base = backup_base()
    shutil.rmtree(base, True)
    before = export_classes()
    server_files = [r"C:\qob\remove\full.dll", r"C:\qob\remove\full.exe"]
    contents = {f: open(prefix_file(f), "rb").read() for f in server_files}
    # The recycle bin of the program's Unix user, kept in the build folder.
    trash = os.path.join(BUILD, f"e2e-{RUN}-data")
    shutil.rmtree(trash, True)
    os.makedirs(os.path.join(trash, "Trash", "files"))
    os.makedirs(os.path.join(trash, "Trash", "info"))
    os.environ["XDG_DATA_HOME"] = trash
    with Program(trace="+exec") as program:
        if not scan_ended() or not select_entry(FULL):
            return
        shown_before = dump_entry(FULL)
        roots_before = root_texts()
        rows, controls = open_undo()
        check(len(rows) == 1 and rows[0][1] == tr("バックアップはありません。", "There are no backups."),
              f"the empty list: {rows}")
        check(not controls.get(ID_RESTORE, (True,))[0] and not controls.get(ID_DELETE, (True,))[0],
              f"restore or delete usable on an empty list: {controls}")
        screenshot("undo-empty")
        close_undo()
        if not select_entry(FULL):
            return
        key("Delete")
        dialogs = Dialogs()
        dialogs.answer(ERROR, FAULT_FREE, "alt+y")
        for _ in range(5):  # the ProgID, the class, both files, the type library
            if not check(dialogs.next()[0] == INFORMATION, "a question of the removal is missing"):
                return
            key("alt+y")
        dialogs.none()
        folder = driver("status")[1].strip().split(" ", 1)[1]
        expect_removed(before, [FULL, FULL_CLASS, FULL_LIBRARY, FULL_LIBRARY_32], "after Yes to everything")
        # A folder whose files.txt the backup did not write, older than the removal's.
        damaged = os.path.join(base, "2020-01-01 000000 Qob.Damaged")
        os.makedirs(os.path.join(damaged, "files"))
        with open(os.path.join(damaged, "keys.reg"), "wb") as f:
            f.write(b"\xff\xfe" + "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CLASSES_ROOT\\Qob.Damaged]\r\n"
                    .encode("utf-16-le"))
        with open(os.path.join(damaged, "files.txt"), "wb") as f:
            f.write(b"\xff\xfe" + "1 a.dll\tC:\\qob\\..\\a.dll\r\n".encode("utf-16-le"))

        rows, controls = open_undo()
        name = folder.rsplit("\\", 1)[1]
        when = f"{name[:13]}:{name[13:15]}:{name[15:17]}"
        not_restored = tr("戻していません", "Not restored")
        check(rows[:1] == [["*", when, FULL + " (+2)", "3", "2", not_restored]], f"the removal's row: {rows[:1]}")
        damage = tr(r"壊れています: files.txt の戻し先 C:\qob\..\a.dll は . や .. を含まない完全なパスではありません",
                    r"Damaged: the target C:\qob\..\a.dll in files.txt is not a full path without . or .. parts")
        check(rows[1:] == [["-", "2020-01-01 00:00:00", "Qob.Damaged", "1", "1", damage]], f"the damaged row: {rows[1:]}")
        screenshot("undo-list")
        key("Return")
        check(wait_until(lambda: undo_state()[1].get(ID_RESULT, (0, ""))[1], 30), "the restore showed no result")
        rows, controls = undo_state()
        restored = [tr("キーを戻しました: ", "Key restored: ") + MACHINE_CLASSES + k for k in (FULL, FULL_CLASS, FULL_LIBRARY)]
        restored += [tr("ファイルを戻しました: ", "File restored: ") + f for f in server_files]
        check(result_lines(controls) == lower(restored), f"the restore's lines: {controls[ID_RESULT][1]!r}")
        check(rows[0][5].startswith(tr("戻しました (", "Restored (")), f"the state after the restore: {rows[0]}")
        screenshot("undo-restored")
        close_undo()
        check(export_classes() == before, "the registry after the restore differs from before the removal")
        for f in server_files:
            check(os.path.exists(prefix_file(f)) and open(prefix_file(f), "rb").read() == contents[f],
                  f"{f} did not come back as it was")
        check(dump_entry(FULL) == shown_before, f"the entry came back otherwise:\n{dump_entry(FULL)}")
        got = selected_place()
        check(got and got[0] == FULL and got[2] == "", f"the restored entry is not selected: {got}")
        check(root_texts() == roots_before, "the entry is not at its place")
        check(driver("status")[1].strip() == tr("戻しました: ", "Restored: ") + folder, "the status bar does not name the folder")

        # Again: nothing is overwritten, and the entry is read again, not doubled.
        rows, controls = open_undo()
        key("Return")
        exists = tr("既にあるため上書きしません: ", "Already exists, not overwritten: ")
        again = [exists + MACHINE_CLASSES + k for k in (FULL, FULL_CLASS, FULL_LIBRARY)] + [exists + f for f in server_files]
        check(wait_until(lambda: result_lines(undo_state()[1]) == lower(again), 30),
              f"the second restore's lines: {undo_state()[1][ID_RESULT][1]!r}")
        # It put nothing back, so the folder still reads as restored.
        check(undo_state()[0][0][5].startswith(tr("戻しました (", "Restored (")), "the state after the second restore")
        # The damaged folder: Restore grey, Enter does nothing.
        key("Down")
        rows, controls = undo_state()
        check(rows[1][0] == "*" and not controls[ID_RESTORE][0] and controls[ID_DELETE][0],
              f"the damaged row selected: {rows} {controls}")
        key("Return")
        time.sleep(1)
        check(result_lines(undo_state()[1]) == lower(again), "Enter on the damaged folder did something")
        # Del asks, then the folder goes to the recycle bin.
        key("Delete")
        dialogs.answer(CONFIRM, tr(f"バックアップ 2020-01-01 000000 Qob.Damaged をごみ箱に移しますか？",
                                   f"Move the backup 2020-01-01 000000 Qob.Damaged to the recycle bin?"), "alt+y")
        check(wait_until(lambda: len(undo_state()[0]) == 1, 10), f"the deleted folder is still listed: {undo_state()[0]}")
        check(not os.path.exists(damaged), "the deleted folder is still there")
        check(os.path.exists(os.path.join(trash, "Trash", "files", os.path.basename(damaged), "keys.reg")),
              "the deleted folder is not in the recycle bin")
        screenshot("undo-again")
        # Open folder, reached with Tab from the list: the shell is asked to
        # show the folder in Explorer.
        key("Tab", "Tab", "Tab", "space")
        quoted = folder.replace("\\", "\\\\")
        needle = f'verb=L"explore" file=L"{quoted}"'
        check(wait_until(lambda: needle in program.trace(), 10), f"no shell call {needle}")
        close_undo()
        check(export_classes() == before, "the second restore or the damaged folder changed the registry")
        check(root_texts() == roots_before, "the entry is doubled or moved")
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")


OTHER_BROKEN = tr("その他の壊れた登録", "Other broken registrations")
CONFIRM = tr("確認", "Confirm")
SECTIONS_ID = "0B0B5E"
FILE_TYPE = ".0B0B5Egone"
TRUSTED_INSTALLER = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"


def other_broken_status():
    return driver("window-status", OTHER_BROKEN)[1].strip()


def other_broken_rows():
    """The list's rows of the fixture's keys: [marks, kind, key, description, reason, ProgID, where]."""
    rc, out = driver("listview-rows", OTHER_BROKEN)
    check(rc == 0, "the driver could not read the list")
    return [line.split("\t") for line in out.splitlines() if SECTIONS_ID in line.split("\t")[2]]


def delete_checked(question):
    """Deletes the other-broken window's checked keys, answering Yes to
    `question`: the backup folder the status line names once it is done, or
    None when it names none."""
    driver("click", OTHER_BROKEN, tr("チェックしたキーを削除...", "Delete checked keys..."))
    dialogs = Dialogs()
    dialogs.answer(CONFIRM, question, "alt+y")
    backup = tr("バックアップ: ", "Backup: ")
    if not check(wait_until(lambda: other_broken_status().startswith(backup), 60),
                 f"no backup folder in the status line: {other_broken_status()!r}"):
        return None
    dialogs.none()
    return other_broken_status()[len(backup):]


def wait_examined(seconds=120):
    found = tr("壊れたキー: ", "Broken keys: ")
    return check(wait_until(lambda: other_broken_status().startswith(found), seconds),
                 f"the examination did not end: {other_broken_status()!r}")


def saved_report(path, command):
    """The command opens a save dialog for a report; it is saved as `path`
    and read back: its records, after the check of its byte order mark and
    line ends."""
    if os.path.exists(path):
        os.remove(path)
    command()
    if not check(driver("wait-class", "#32770", "15000", timeout=40)[0] == 0, f"{path}: no save dialog"):
        return []
    time.sleep(1)
    subprocess.run(["xdotool", "type", "--delay", "20", "Z:" + path.replace("/", "\\")], check=True)
    key("Return")
    if not check(wait_until(lambda: os.path.exists(path) and os.path.getsize(path) > 0, 20), f"{path} not written"):
        return []
    with open(path, "rb") as f:
        data = f.read()
    check(data.startswith(b"\xef\xbb\xbf"), f"{path}: no byte order mark")
    text = data.decode("utf-8", errors="replace").lstrip("\ufeff")
    check(text.endswith("\r\n") and "\n" not in text.replace("\r\n", ""), f"{path}: a record not ending in CR LF")
    return list(csv.reader(io.StringIO(text, newline="")))


def scenario_other_broken():
    sh("qob_wine_reset")
    with open(os.path.join(FIXTURES, "otherbroken.files"), encoding="utf-8") as f:
        make_files(WINEPREFIX, f.read())
    if sh(f"qob_wine_import '{os.path.join(FIXTURES, 'otherbroken.reg')}'") != 0:
        sys.exit("otherbroken: reg import failed")
    before = export_classes()
    klass, library, interface = (tr("クラス", "Class"), tr("タイプ ライブラリ", "Type library"),
                                 tr("インターフェイス", "Interface"))
    server, file, unregistered_library, unregistered_class = (
        tr("サーバーのファイルがありません: ", "Server file missing: "), tr("ファイルがありません: ", "File missing: "),
        tr("タイプ ライブラリが登録されていません: ", "Type library not registered: "),
        tr("クラスが登録されていません: ", "Class not registered: "))
    c = "{0B0B5EC1-0000-4000-8000-0000000000%s}"
    t = "{0B0B5E71-0000-4000-8000-0000000000%s}"
    i = "{0B0B5E11-0000-4000-8000-0000000000%s}"
    # kind, key, description, the reason's start, ProgID
    expected = [
        (klass, "CLSID\\" + c % "01", "Gone class", server + r"C:\qob\sections\gone.dll", "Qob.Sections.Named"),
        (klass, "CLSID\\" + c % "06", "Gone local server", server, ""),
        (klass, "Wow6432Node\\CLSID\\" + c % "07", "Gone 32-bit class", server, ""),
        (library, "TypeLib\\" + t % "01", "", file + r"C:\qob\sections\gone.tlb", "Qob.Sections.Named"),
        (library, "TypeLib\\" + t % "03", "", file, ""),
        (interface, "Interface\\" + i % "02", "IGoneLibrary", unregistered_library + t % "FF", ""),
        (interface, "Interface\\" + i % "04", "IGoneProxy", unregistered_class + c % "FF", ""),
        (tr("シェル拡張", "Shell extension"), "*\\shellex\\ContextMenuHandlers\\" + c % "EE", "ContextMenuHandlers",
         tr("ハンドラーのクラスが登録されていません: ", "Handler class not registered: ") + c % "EE", ""),
        (tr("ファイルの種類", "File type"), FILE_TYPE, "application/x-qob-gone",
         tr("ProgID がありません: ", "ProgID missing: ") + "Qob.Sections.GoneType", ""),
    ]
    heading = tr("種類,キー,説明,理由,理由コード,ProgID,ファイル", "Kind,Key,Description,Reason,Reason token,ProgID,Files")
    # A key that Windows protects (Wine keeps the owner it is given, though
    # it lets the key be deleted): listed greyed, never checked nor deleted.
    protected = expected[3][1]
    check(driver("set-owner", protected, TRUSTED_INSTALLER)[0] == 0, "the protected key's owner could not be set")
    with Program(trace="+exec") as program:
        if not scan_ended():
            return
        # The main window's report: the faulty entries with their faulty groups.
        entries_report = os.path.join(BUILD, f"e2e-{RUN}-entries.csv")
        records = saved_report(entries_report, lambda: key("alt+r", "Up", "Up", "Return"))
        check(records[:1] == [heading.split(",")], f"the entries' report heading {records[:1]}")
        named = [r for r in records if r[1:2] == ["Qob.Sections.Named"]]
        check(named and named[0][4] == "faulty-groups InprocServer32" and named[0][6] == r"C:\qob\sections\gone.dll",
              f"the entries' report on Qob.Sections.Named: {named}")
        key("alt+r")
        key("o")
        if not check(driver("wait-window", OTHER_BROKEN, "10000")[0] == 0, "the window did not open"):
            return
        if not wait_examined():
            return
        screenshot("other-broken")
        # The columns of the kind and of the key at the display's scale.
        widths = driver("listview-columns", OTHER_BROKEN)[1].split()
        near_scaled(" ".join(widths[:2]), "120 370", "the first columns' widths", slack=0)
        rows = other_broken_rows()
        shown = sorted((r[1], r[2], r[3], r[5]) for r in rows)
        check(shown == sorted((e[0], e[1], e[2], e[4]) for e in expected),
              "the list shows other keys:\n  " + "\n  ".join(map(repr, shown)))
        reasons = {r[2]: r[4] for r in rows}
        for e in expected:
            start = (tr("Windows が保護 (", "Protected by Windows (") if e[1] == protected else "") + e[3]
            check(reasons.get(e[1], "").startswith(start), f"{e[1]}: reason {reasons.get(e[1])!r}, expected {start!r}...")
        # Wine's classes root is the machine's alone: every key is the computer's.
        check({r[6] for r in rows} == {tr("コンピューター", "Computer")}, f"where: {[(r[2], r[6]) for r in rows]}")
        if DPI != 96:
            return  # what follows does not depend on the scale: it runs at 100%

        # The key column's header sorts up, then down.
        for ascending in (True, False):
            driver("listview-sort", OTHER_BROKEN, "1")
            keys = [r[2].lower() for r in other_broken_rows()]
            check(keys == sorted(keys, reverse=not ascending), f"not sorted {'up' if ascending else 'down'}: {keys}")

        # The report of the rows as shown, in their order (sorted down), read
        # back; the registry editor at the selected row's key.
        shown = [line.split("\t")[1:] for line in driver("listview-rows", OTHER_BROKEN)[1].splitlines()]
        key("Home")
        editor_opened_at(program, shown[0][1] if shown else "", "ctrl+e")
        save = tr("レポートを保存(S)...", "Save report...")
        other_report = os.path.join(BUILD, f"e2e-{RUN}-other.csv")
        records = saved_report(other_report, lambda: driver("click", OTHER_BROKEN, save))
        check(records[:1] == [heading.split(",")], f"the report's heading {records[:1]}")
        # The report has no column of where a key lives (the list's last).
        check([r[:4] + r[5:6] for r in records[1:]] == [s[:5] for s in shown],
              f"the report's records {records[1:4]}..., shown {shown[:3]}...")

        # Check all skips the key Windows protects, which cannot be checked.
        driver("click", OTHER_BROKEN, tr("すべてチェック", "Check all"))
        unchecked = [r[2] for r in other_broken_rows() if "x" not in r[0]]
        check(unchecked == [protected], f"after Check all, unchecked: {unchecked}")
        driver("click", OTHER_BROKEN, tr("チェックを外す", "Uncheck all"))
        check(driver("listview-check", OTHER_BROKEN, "1", protected)[0] != 0, "the protected key could be checked")
        # Four keys of each kind and view checked and deleted.
        chosen = [expected[0][1], expected[2][1], expected[4][1], expected[6][1]]
        check(driver("listview-check", OTHER_BROKEN, "1", *chosen)[0] == 0, "the keys could not be checked")
        folder = delete_checked(tr("チェックした 4 個のキーを削除しますか？", "Delete the 4 checked keys?"))
        if folder is None:
            return
        screenshot("other-broken-deleted")
        left = sorted(r[2] for r in other_broken_rows())
        check(left == sorted(e[1] for e in expected if e[1] not in chosen), f"the list after the deletion: {left}")
        # Type libraries and interfaces are shared by both views: the export
        # lists them twice.
        gone = chosen + ["Wow6432Node\\" + k for k in chosen if not k.startswith("Wow6432Node")
                         and not k.startswith("CLSID")]
        gone = [k for k in gone if ("HKEY_CLASSES_ROOT\\" + k).lower() in before]
        expect_removed(before, gone, "after the deletion")

        # Closing the window while it examines: the main window goes on.
        driver("click", OTHER_BROKEN, tr("閉じる", "Close"))
        check(driver("gone", OTHER_BROKEN, "10000")[0] == 0, "Close did not close the window")
        key("alt+r")
        key("o")
        check(driver("wait-window", OTHER_BROKEN, "10000")[0] == 0, "the window did not open again")
        key("Escape")
        check(driver("gone", OTHER_BROKEN, "10000")[0] == 0, "Escape did not close the window")
        check(driver("items")[1].strip() not in ("", "0"), "the main window does not answer")
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")

    scanner = os.path.join(BUILD, "QobTessavinScan.exe")
    restore = subprocess.run(["wine", scanner, "--restore", folder], capture_output=True)
    print(restore.stdout.decode(CONSOLE_CODEC, errors="replace"))
    check(restore.returncode == 0, f"--restore exited {restore.returncode}")
    check(export_classes() == before, "the registry after the restore differs from before the deletion")
    if LANGUAGE == "ja":  # the undo window's restore in English is the English undo scenario's
        file_type_value_round_trip(before)


def file_type_value_round_trip(before):
    """A file type's deletion takes its default value alone, and the undo
    window puts it back, the rest untouched."""
    with Program():
        if not scan_ended():
            return
        key("alt+r")
        key("o")
        if not check(driver("wait-window", OTHER_BROKEN, "10000")[0] == 0, "the window did not open") or \
                not wait_examined():
            return
        check(driver("listview-check", OTHER_BROKEN, "1", FILE_TYPE)[0] == 0, "the file type could not be checked")
        if delete_checked(tr("チェックした 1 個のキーを削除しますか？", "Delete the checked key?")) is None:
            return
        after = export_classes()
        name = (ROOT + FILE_TYPE).lower()
        check(after.get(name) == [line for line in before[name] if not line.startswith("@=")],
              f"the file type after the deletion: {after.get(name)!r}")
        check({k: v for k, v in after.items() if k != name} == {k: v for k, v in before.items() if k != name},
              "the deletion changed more than the file type's default value")
        driver("click", OTHER_BROKEN, tr("閉じる", "Close"))
        check(driver("gone", OTHER_BROKEN, "10000")[0] == 0, "Close did not close the window")
        open_undo()
        key("Return")
        check(wait_until(lambda: undo_state()[1].get(ID_RESULT, (0, ""))[1], 30), "the restore showed no result")
        # Named by the hive it was read from: the machine's classes under Wine.
        restored_type = "\\software\\classes\\" + FILE_TYPE.lower()
        check(any(line.endswith(restored_type) for line in result_lines(undo_state()[1])),
              f"the restore's lines: {undo_state()[1].get(ID_RESULT)!r}")
        close_undo()
        check(export_classes() == before, "the registry after the undo differs from before the deletion")
        check(driver("close", "10000")[0] == 0, "closing the main window did not end the program")


def main():
    if SCENARIO == "start":
        scenario_start(ARGS[0])
    elif SCENARIO == "keys":
        scenario_keys()
    elif SCENARIO == "baddword":
        scenario_baddword()
    elif SCENARIO == "close-under-report":
        scenario_close_under_report()
    elif SCENARIO == "startup-cursor":
        scenario_startup_cursor()
    elif SCENARIO == "maximised":
        scenario_maximised()
    elif SCENARIO == "resize":
        scenario_resize()
    elif SCENARIO == "removal-answers":
        scenario_removal_answers()
    elif SCENARIO == "removal-question":
        scenario_removal_question()
    elif SCENARIO == "removal-failures":
        scenario_removal_failures()
    elif SCENARIO == "removal-under-search":
        scenario_removal_under_search()
    elif SCENARIO == "removal-restore":
        scenario_removal_restore()
    elif SCENARIO == "undo":
        scenario_undo()
    elif SCENARIO == "search":
        scenario_search()
    elif SCENARIO == "search-cancel":
        scenario_search_cancel()
    elif SCENARIO == "search-busy":
        scenario_search_busy()
    elif SCENARIO == "about":
        scenario_about()
    elif SCENARIO == "other-broken":
        scenario_other_broken()
    elif SCENARIO == "launch":
        scenario_launch()
    else:
        sys.exit(f"unknown scenario {SCENARIO}")
    print(f"{SCENARIO}: {'FAILED' if failures else 'ok'}")
    sys.exit(1 if failures else 0)


main()
