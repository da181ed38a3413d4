"""The worlds of the whole-program tests (README.md here): tools/quibworld.py
with the probe, for what X cannot see, and the menu as it should look."""

import json
import os
import struct
import subprocess
import sys
import time
from pathlib import Path

import pytest
from PIL import Image

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools"))

import quibworld  # noqa: E402
from quibtables import IDS, bitmap, part  # noqa: E402,F401
from quibworld import until  # noqa: E402,F401

from design import BOX_ART_AT, PLAY_AT, QUIT_AT, TITLES  # noqa: E402

MENU, MENU_TITLE = "QuibLaunch", "Quib Launch"   # the menu window's class and title
# The shipped program file: the 32-bit tree's launcher.
SHIPPED = Path(os.environ.get("QUIB_SHIPPED_LAUNCHER") or quibworld.BUILD_DIR / "QuibLaunch.exe")
# The question mark over the product boxes: 32 x 32, its hot spot as stored.
QUESTION_MARK = (32, 32, *struct.unpack("<HH", (ROOT / "resources/art/cursor32.bin").read_bytes()[:4]))


def folder(drive, length):
    """A folder path of exactly length characters, ending in a backslash."""
    path = f"{drive}:\\"
    while len(path) < length:
        path += "q" * min(100, length - len(path) - 1) + "\\"
    return path


class World(quibworld.World):
    def probe(self, *args, wait=True):
        """Runs the probe, its output to a file: a Wine program it happens to
        start (the desktop, once the last window closed) would hold a pipe."""
        out = self.dir / f"probe-{time.monotonic_ns()}.json"
        with open(out, "w") as file:
            process = subprocess.Popen([quibworld.WINE, str(self.build_dir / "probe.exe"), *args],
                                       env=self.env(), stdout=file, stdin=subprocess.DEVNULL)
        if wait:
            process.wait(30)
        return out

    def windows(self, cls=None, exe=None, visible=True):
        """Top-level windows: class, text, exe, owner, rect, and children
        with id, class, text and rect."""
        out = self.probe("list")
        found = json.loads(out.read_text())
        out.unlink()
        return [w for w in found if cls in (None, w["class"]) and visible in (None, w["visible"])
                and exe in (None, w["exe"].lower())]

    def with_focus(self, window):
        """The window once it has the keyboard focus, which a window manager
        gives it a moment after it shows."""
        if self.wm:
            until(lambda: self.focused(window["text"]), 5, f"the keyboard focus on {window['text']!r}")
        return window

    def wait_window(self, cls=None, exe=None, timeout=10):
        """The first such window; a dialog once it has the keyboard focus."""
        window = until(lambda: self.windows(cls, exe), timeout, f"a window of class {cls} ({exe})")[0]
        return self.with_focus(window) if cls == "#32770" else window

    def wait_menu(self, exe="quiblaunch.exe", timeout=10):
        """The menu once it covers the screen and the keyboard focus is on it."""
        return self.with_focus(until(lambda: [w for w in self.windows(MENU, exe) if w["rect"] == [0, 0, *self.size]],
                                     timeout, "the menu over the whole screen")[0])

    def open_window(self, cls, title="game"):
        """A window of that class and title, as a running game or installer
        shows, in a program of its own, which is returned."""
        exe = self.put_program(f"C:\\quibtest\\{cls.replace(' ', '_')}.exe", "standin.exe")
        program = self.start(exe, cls, title, QUIB_STANDIN_LOG="")   # a run of the test's, not logged
        self.wait_window(cls)
        return program

    def started(self, count=1, timeout=10):
        """(path, folder) of the first stand-in runs, once there are that many."""
        return until(lambda: len(self.standin_log()) >= count and
                     [(run[0], run[2]) for run in self.standin_log()], timeout, f"{count} run(s) of the stand-in")

    def texts(self, window):
        return {c["id"] & 0xFFFF: c["text"] for c in window["children"]}

    def hold(self, kind, name="Quib AutoPlay"):
        """A mutex or file of that name, held by another program until the
        test ends; returns whether the name existed already."""
        out = self.probe("hold", kind, name, wait=False)
        return json.loads(until(out.read_text, 10, f"the {kind} {name!r} held"))

    def cursor(self):
        """The pointer's shape on the screen: width, height, hot spot, pixels."""
        if not getattr(self, "xfixes", None):
            self.xfixes = self.x.xfixes_query_version()
        image = self.x.xfixes_get_cursor_image(self.x.screen().root)
        return image.width, image.height, image.xhot, image.yhot, tuple(image.cursor_image)

    def standard_cursors(self):
        """How the screen shows Windows' standard arrow and hourglass, from
        two windows of the probe's (made once per world)."""
        if not getattr(self, "standard", None):
            probe = subprocess.Popen([quibworld.WINE, str(self.build_dir / "probe.exe"), "cursors"], env=self.env(),
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
            self.wait_window("QuibProbeHourglass")
            self.standard, shown = {}, self.cursor()

            def settled():   # a new shape, not Wine's blank one of a window just made, for 0.1 s
                now = self.cursor()
                time.sleep(0.1)
                return now != shown and now[0] > 1 and now == self.cursor() and now
            # The hourglass first: the screen's own pointer, before any
            # window is under it, may well be the same arrow as Windows'.
            for name, x in (("hourglass", 60), ("arrow", 20)):
                self.xdotool("mousemove", x, 20)
                shown = self.standard[name] = until(settled, 5, name)
            probe.kill()
            probe.wait()
        return self.standard

    def menu_picture(self, title, installed):
        """The whole screen as the menu of a title should show it."""
        picture = bitmap(IDS["IDB_MENU"])
        button = "IDB_PLAY_FOCUSED" if installed else "IDB_INSTALL_FOCUSED"
        for drawn, at in ((TITLES[title]["boxArtId"], BOX_ART_AT), (IDS[button], PLAY_AT),
                          (IDS["IDB_QUIT_NORMAL"], QUIT_AT)):
            picture.paste(bitmap(drawn), at)
        screen = Image.new("RGB", self.size)
        screen.paste(picture, self.origin)
        return screen


_current = {}


@pytest.fixture
def world_for(request):
    """world_for(screen=(w, h), depth=16, windows="winxp"): a world on such
    a screen, reused by the following tests until another is asked for."""
    used = []

    def get(**config):
        config = dict(screen=(800, 600), depth=24, windows="win10") | config
        key = tuple(sorted(config.items()))
        if _current.get("key") != key:
            if _current:
                _current.pop("world").close()
            _current.update(key=key, world=World(request.module.__name__, **config))
        used.append(_current["world"])
        return _current["world"]

    yield get
    for world in used:
        if getattr(request.node, "failed", False):
            evidence = world.build_dir / "system-failures" / request.node.name
            evidence.mkdir(parents=True, exist_ok=True)
            world.grab().save(evidence / "screen.png")
            (evidence / "windows.json").write_text(json.dumps(world.windows(visible=None), indent=1))
        world.reset()


@pytest.fixture
def world(world_for):
    return world_for()


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    report = (yield).get_result()
    if report.when == "call" and report.failed:
        item.failed = True


def pytest_sessionfinish():
    if _current:
        _current.pop("world").close()
