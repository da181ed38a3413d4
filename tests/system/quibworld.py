"""Throwaway Wine worlds for whole-program tests of the launcher.

A World is one Wine prefix with simulated drives, its own X screen, a
registry, a Windows directory and the helper programs (stand-in and probe)
of the test build. See README.md in this folder for the API.

Costs measured on the 2-core development machine: the prefix template is
made once per build directory (about 11 s, wineboot); each test session
clones it with hard links (about 0.1 s) and starts its Wine server (the
first world of a session about 1.5 s); later worlds of the same screen size
reuse the server and cost about 0.25 s to clean up; a change of screen size
restarts the server (about 2 s).
"""

import fcntl
import json
import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path, PureWindowsPath

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
SCRIPTS = ROOT / "scripts"

# Drive letters of every world: D and E are CD-ROM drives, F, G and H hard
# disks. Drive types are read when the Wine server starts, so they are set
# once in the template and never change.
CDROM_DRIVES = ("d", "e")
FIXED_DRIVES = ("f", "g", "h")
DRIVES = CDROM_DRIVES + FIXED_DRIVES

# Processes that belong to Wine itself; everything else is a test's own and
# is ended when the test is over.
SYSTEM_PROCESSES = {
    "services.exe", "explorer.exe", "winedevice.exe", "plugplay.exe",
    "svchost.exe", "rpcss.exe", "conhost.exe", "start.exe", "wineboot.exe",
    "tabtip.exe", "winemenubuilder.exe",
}

WM_CLOSE = 0x0010
WM_KEYDOWN = 0x0100
WM_KEYUP = 0x0101
WM_COMMAND = 0x0111
WM_MOUSEMOVE = 0x0200
WM_LBUTTONDOWN = 0x0201
WM_LBUTTONUP = 0x0202
MK_LBUTTON = 0x0001
VK_RETURN, VK_ESCAPE = 13, 27
MESSAGE_BOX_TEXT_ID = 0xFFFF

MENU_CLASS = "QuibLaunch"
MENU_TITLE = "Quib Launch"
PICTURE_SIZE = (621, 431)


class WorldError(AssertionError):
    """A wait ran out or a helper failed; the message says which."""


def _wine_settings():
    out = subprocess.run(
        ["bash", "-c", f'source "{SCRIPTS}/wine-env.sh"; '
                       'echo "$QUIB_WINE_ARCH"; echo "$QUIB_WINE"; echo "$QUIB_BUILD_DIR"'],
        capture_output=True, text=True, check=True, timeout=30).stdout.split("\n")
    return out[0], out[1], out[2]


WINE_ARCH, WINE, DEFAULT_BUILD_DIR = _wine_settings()
BUILD_DIR = Path(os.environ.get("QUIB_BUILD_DIR") or DEFAULT_BUILD_DIR)
WIN32_BUILD_DIR = Path(os.environ.get("QUIB_WIN32_BUILD_DIR") or ROOT / "build" / "win32")
WINESERVER = "/usr/lib/wine/wineserver"


def win_path_of_unix(path):
    """The Z: view of a Unix path."""
    return "Z:" + str(path).replace("/", "\\")


def lparam_of(x, y):
    return ((y & 0xFFFF) << 16) | (x & 0xFFFF)


def origin_for(screen):
    """Client position of the menu picture's top-left corner (truncating
    toward zero like the program's integer division)."""
    return (int((screen[0] - PICTURE_SIZE[0]) / 2), int((screen[1] - PICTURE_SIZE[1]) / 2))


# ---------------------------------------------------------------- screens

class Screen:
    """An Xvfb server on a display number it picks itself."""

    def __init__(self, size):
        self.size = size
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             f"{size[0]}x{size[1]}x24", "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + 10
        with os.fdopen(read_fd, "rb", buffering=0) as pipe:
            while not number.endswith(b"\n"):
                if time.monotonic() > deadline:
                    self.close()
                    raise WorldError("Xvfb did not report a display within 10 s")
                chunk = pipe.read(16)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            self.close()
            raise WorldError("Xvfb failed to start")
        self.display = ":" + number.decode().strip()

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()


# ---------------------------------------------------------------- prefixes

def _template_dir():
    return BUILD_DIR / "system-worlds" / "template"


def _ensure_template():
    """Makes the shared prefix template once per build directory."""
    base = BUILD_DIR / "system-worlds"
    base.mkdir(parents=True, exist_ok=True)
    template = _template_dir()
    with open(base / "template.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if (template / ".quib-ready").exists():
            return template
        shutil.rmtree(template, ignore_errors=True)
        placeholder = base / "template-drives"
        specs = [f"{d}:cdrom:{placeholder / d}" for d in CDROM_DRIVES] + \
                [f"{d}:fixed:{placeholder / d}" for d in FIXED_DRIVES]
        env = dict(os.environ, WINEPREFIX=str(template), QUIB_BUILD_DIR=str(BUILD_DIR))
        env.pop("DISPLAY", None)
        subprocess.run(
            ["bash", "-c", f'source "{SCRIPTS}/wine-env.sh"; quib_make_prefix "$@"; '
                           f'"{WINESERVER}" -k; true', "make-prefix"] + specs,
            env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, timeout=180, check=True)
        if not (template / ".quib-ready").exists():
            raise WorldError(f"could not make the Wine prefix template in {template}")
        return template


def clone_prefix(target):
    """A private prefix for one test session: hard links to the template's
    files, real copies of the files Wine rewrites."""
    template = _ensure_template()
    shutil.rmtree(target, ignore_errors=True)
    target.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["cp", "-al", str(template), str(target)], check=True, timeout=120)
    for name in ("system.reg", "user.reg", "userdef.reg", "wineserver", ".update-timestamp"):
        path = target / name
        if path.exists():
            data = path.read_bytes()
            path.unlink()
            path.write_bytes(data)
    return target


# ---------------------------------------------------------------- worlds

class Launched:
    """A program started in a world through the probe's `run`."""

    def __init__(self, world, exe, cwd):
        self.world = world
        self.exe = exe
        self._out = tempfile.NamedTemporaryFile(
            "w+", dir=world.dir, prefix="run-", suffix=".json", delete=False)
        self.process = world._popen(["run", exe, cwd, "3600000"], self._out)
        self.pid = self._read_line(0, timeout=20, what="its process id").get("pid")
        if self.pid is None:
            raise WorldError(f"could not start {exe}: {self._lines()}")
        self.exit_code = None

    def _lines(self):
        try:
            return [json.loads(line) for line in Path(self._out.name).read_text().splitlines()
                    if line.strip()]
        except (OSError, ValueError):
            return []

    def _read_line(self, index, timeout, what):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            lines = self._lines()
            if len(lines) > index:
                return lines[index]
            if self.process.poll() is not None:
                lines = self._lines()
                if len(lines) > index:
                    return lines[index]
                raise WorldError(f"probe ended before reporting {what} of {self.exe}")
            time.sleep(0.02)
        raise WorldError(f"no report of {what} of {self.exe} within {timeout} s")

    @property
    def running(self):
        return self.process.poll() is None

    def wait(self, timeout=10):
        """Waits for the program to end and returns its exit code."""
        try:
            self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise WorldError(
                f"{self.exe} (pid {self.pid}) still runs after {timeout} s; its windows: "
                f"{[(w['class'], w['text']) for w in self.world.windows(self.pid)]}") from None
        result = self._read_line(1, timeout=2, what="the exit code")
        self.exit_code = result.get("exit")
        return self.exit_code


class World:
    """One test's view of a session's prefix. Made by the `world` fixture or
    by `world_factory(screen=(w, h))`."""

    def __init__(self, session, screen, display=None):
        """display: an X display of the user's to show the world on instead
        of a private Xvfb screen (the screen size is then the display's)."""
        self.session = session
        self.prefix = session.prefix
        self.dir = session.dir
        self.log_path = self.dir / "standin.log"
        self.log_path.write_text("")
        self._window_count = 0
        self._background = []
        self.display = session.use_screen(screen, display)
        self.screen_size = screen
        if display:
            size = self.probe("screen")
            self.screen_size = (size["width"], size["height"])

    # --- paths ---------------------------------------------------------

    def drive(self, letter):
        """The Unix folder behind a drive letter."""
        return self.session.drive_dir(letter.lower().rstrip(":"))

    def unix_path(self, win_path):
        """The Unix file behind a Windows path on C: or a simulated drive."""
        p = PureWindowsPath(win_path)
        letter = p.drive[0].lower()
        base = self.prefix / "drive_c" if letter == "c" else self.drive(letter)
        parts = p.parts[1:]
        if letter == "c" and parts:
            # Windows paths are case-insensitive; the prefix's own folders
            # have fixed spellings.
            return self._case_insensitive(base, parts)
        return base.joinpath(*parts)

    @staticmethod
    def _case_insensitive(base, parts):
        path = base
        for part in parts:
            match = None
            if path.is_dir():
                for entry in path.iterdir():
                    if entry.name.lower() == part.lower():
                        match = entry
                        break
            path = match if match is not None else path / part
        return path

    def put_file(self, win_path, data=b""):
        """Creates a file (and its folders) at a Windows path."""
        path = self.unix_path(win_path)
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data if isinstance(data, bytes) else data.encode())
        return path

    def exists(self, win_path):
        return self.unix_path(win_path).exists()

    def put_launcher(self, where, build_dir=None):
        """Copies the test build's QuibLaunch.exe to a folder (ending in a
        backslash) or to a full path; returns the Windows path."""
        if where.endswith("\\"):
            where += "QuibLaunch.exe"
        path = self.unix_path(where)
        path.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(Path(build_dir or BUILD_DIR) / "QuibLaunch.exe", path)
        return where

    def put_standin(self, win_path, window=None):
        """Places the stand-in program at a Windows path. With window =
        (class, title) it holds a top-level window of that class and title
        while it runs."""
        path = self.unix_path(win_path)
        path.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(BUILD_DIR / "standin.exe", path)
        companion = Path(str(path) + ".window")
        if window:
            companion.write_text(f"{window[0]}|{window[1]}")
        elif companion.exists():
            companion.unlink()
        return win_path

    def standin_log(self):
        """Records of every stand-in run: dicts with path, cmdline, cwd."""
        records = []
        for line in self.log_path.read_text(errors="replace").splitlines():
            fields = line.split("\t")
            if len(fields) == 3:
                records.append({"path": fields[0], "cmdline": fields[1], "cwd": fields[2]})
        return records

    def wait_for_standin(self, count=1, timeout=10):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            records = self.standin_log()
            if len(records) >= count:
                return records
            time.sleep(0.05)
        raise WorldError(f"expected {count} stand-in run(s) within {timeout} s, "
                         f"saw {self.standin_log()}")

    # --- registry ------------------------------------------------------

    def reg_set(self, key, name, value):
        """Writes a REG_SZ value under HKEY_LOCAL_MACHINE (key without the
        HKLM prefix), in the view of the test build."""
        self.session.note_key(key)
        result = self.probe("reg-set", key, name, value)
        if result.get("status") != 0:
            raise WorldError(f"could not write HKLM\\{key}\\{name}: {result}")

    # --- outside programs and objects ----------------------------------

    def open_window(self, cls, title, timeout=10):
        """Opens a top-level window of the given class and title in a
        stand-in process (a running game or installer); returns its hwnd."""
        self._window_count += 1
        exe = f"C:\\quibtest\\window{self._window_count}.exe"
        self.put_standin(exe, window=(cls, title))
        launched = self.start(exe)
        self._background.append(launched)
        return self.wait_window(cls, title, pid=launched.pid, timeout=timeout)["hwnd"]

    def hold_semaphore(self, name="Quib AutoPlay", seconds=600):
        """Creates the named semaphore in another process and keeps it until
        the test ends. Returns whether it existed already."""
        out = tempfile.NamedTemporaryFile("w+", dir=self.dir, prefix="sem-", delete=False)
        process = self._popen(["hold-semaphore", name, str(seconds)], out)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            text = Path(out.name).read_text().strip()
            if text:
                return json.loads(text.splitlines()[0])["existed"]
            if process.poll() is not None:
                break
            time.sleep(0.02)
        raise WorldError(f"could not hold the semaphore {name!r}")

    def semaphore_exists(self, name="Quib AutoPlay"):
        return self.probe("semaphore", name)["exists"]

    # --- the launcher --------------------------------------------------

    def start(self, exe, cwd=None):
        """Starts a program by its Windows path with no command line (as
        Explorer or AutoPlay would); cwd defaults to the program's folder."""
        if cwd is None:
            cwd = str(PureWindowsPath(exe).parent)
        return Launched(self, exe, cwd)

    def run(self, exe, cwd=None, timeout=10):
        """Starts a program and waits for its end; returns the exit code."""
        return self.start(exe, cwd).wait(timeout)

    # --- windows -------------------------------------------------------

    def windows(self, pid=None):
        return [w for w in self.probe("list") if not pid or w["pid"] == pid]

    def find_windows(self, cls=None, title=None, pid=None, visible=None):
        found = []
        for w in self.windows(pid):
            if cls is not None and w["class"] != cls:
                continue
            if title is not None and w["text"] != title:
                continue
            if visible is not None and w["visible"] != visible:
                continue
            found.append(w)
        return found

    def wait_window(self, cls=None, title=None, pid=None, visible=True, timeout=10):
        """Waits for a top-level window and returns its record from `list`."""
        deadline = time.monotonic() + timeout
        while True:
            found = self.find_windows(cls, title, pid, visible)
            if found:
                return found[0]
            if time.monotonic() > deadline:
                raise WorldError(
                    f"no window class={cls!r} title={title!r} pid={pid} within {timeout} s; "
                    f"seen: {self.describe_windows()}")
            time.sleep(0.1)

    def wait_gone(self, hwnd, timeout=10):
        deadline = time.monotonic() + timeout
        while any(w["hwnd"] == hwnd for w in self.windows()):
            if time.monotonic() > deadline:
                raise WorldError(f"window {hwnd} still exists after {timeout} s")
            time.sleep(0.05)

    def wait_menu(self, pid=None, timeout=10):
        """Waits for the menu window once it covers the screen (it is
        created empty and sized just before its first paint)."""
        deadline = time.monotonic() + timeout
        while True:
            menu = self.wait_window(MENU_CLASS, MENU_TITLE, pid=pid,
                                    timeout=max(0.0, deadline - time.monotonic()))
            if menu["rect"][2] > menu["rect"][0]:
                return menu
            if time.monotonic() > deadline:
                raise WorldError(f"the menu window never got its size: {menu}")
            time.sleep(0.05)

    def wait_message_box(self, pid=None, timeout=10):
        """Waits for a visible dialog (#32770) and returns its record with
        two extra keys: caption and message (the static text 0xFFFF)."""
        box = self.wait_window("#32770", pid=pid, timeout=timeout)
        box["caption"] = box["text"]
        box["message"] = next((c["text"] for c in box["children"]
                               if c["id"] == MESSAGE_BOX_TEXT_ID), None)
        return box

    def describe_windows(self):
        return [(w["class"], w["text"], w["pid"]) for w in self.windows()
                if w["visible"] or w["class"] in ("#32770", MENU_CLASS)]

    def press(self, dialog, control_id):
        """Presses a button of a dialog record by id (posted as a
        BN_CLICKED command, so a modal loop in the other process handles it)."""
        control = next((c["hwnd"] for c in dialog["children"] if c["id"] == control_id), 0)
        self.post(dialog["hwnd"], (WM_COMMAND, control_id, control))

    def post(self, hwnd, *messages):
        """Posts (msg, wparam, lparam) triples, in order, in one probe call."""
        self.probe("post", str(hwnd), *(str(n) for m in messages for n in m))

    def key(self, hwnd, vk):
        self.post(hwnd, (WM_KEYDOWN, vk, 1), (WM_KEYUP, vk, 0xC0000001))

    def mouse(self, hwnd, msg, x, y, keys=0):
        self.post(hwnd, (msg, keys, lparam_of(x, y)))

    def click(self, hwnd, x, y):
        """A pointer move, press and release at client point (x, y)."""
        self.post(hwnd, (WM_MOUSEMOVE, 0, lparam_of(x, y)),
                  (WM_LBUTTONDOWN, MK_LBUTTON, lparam_of(x, y)), (WM_LBUTTONUP, 0, lparam_of(x, y)))

    def close(self, hwnd):
        self.post(hwnd, (WM_CLOSE, 0, 0))

    def cursor_pos(self, x, y):
        return self.probe("cursorpos", str(x), str(y))

    @property
    def origin(self):
        return origin_for(self.screen_size)

    # --- pictures ------------------------------------------------------

    def screenshot(self, path):
        """The whole screen as an image file (format by its name, PNG
        usually), read through GDI by the probe."""
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        self.pixels(0, 0, *self.screen_size).save(path)
        return path

    def pixels(self, x, y, w, h):
        """A screen area read through GDI, as a PIL image."""
        from PIL import Image
        target = self.dir / f"pixels-{time.monotonic_ns()}.bmp"
        result = self.probe("pixels", str(x), str(y), str(w), str(h),
                            win_path_of_unix(target))
        if not result.get("written"):
            raise WorldError(f"could not read screen pixels: {result}")
        with Image.open(target) as img:
            img.load()
            image = img.convert("RGB")
        target.unlink()
        return image

    # --- helpers -------------------------------------------------------

    def _env(self):
        env = dict(os.environ)
        env.update(WINEPREFIX=str(self.prefix), WINEARCH=WINE_ARCH, WINEDEBUG="-all",
                   DISPLAY=self.display, QUIB_STANDIN_LOG=win_path_of_unix(self.log_path))
        env.pop("WINELOADERNOEXEC", None)
        return env

    def _popen(self, args, out):
        return subprocess.Popen([WINE, str(BUILD_DIR / "probe.exe")] + args, env=self._env(),
                                stdin=subprocess.DEVNULL, stdout=out,
                                stderr=subprocess.DEVNULL, cwd=self.dir)

    def probe(self, *args, timeout=20):
        """Runs one probe command and returns its JSON answer."""
        with tempfile.TemporaryFile("w+", dir=self.dir) as out:
            process = self._popen(list(args), out)
            try:
                process.wait(timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                raise WorldError(f"probe {' '.join(args)} did not answer in {timeout} s") \
                    from None
            out.seek(0)
            text = out.read()
        try:
            return json.loads(text)
        except ValueError:
            raise WorldError(f"probe {' '.join(args)} answered {text!r}") from None

    def end(self):
        for launched in self._background:
            if launched.running:
                launched.process.kill()
        self.session.end_test_processes()
        self.session.clean()


class Session:
    """A private prefix for one pytest session, reused by its tests."""

    def __init__(self, name):
        self.dir = BUILD_DIR / "system-worlds" / name
        self.dir.mkdir(parents=True, exist_ok=True)
        self._lock = open(self.dir / "session.lock", "w")
        try:
            fcntl.flock(self._lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except OSError:
            # The same tests run elsewhere at the same time: use a private copy.
            self._lock.close()
            self.dir = BUILD_DIR / "system-worlds" / f"{name}-{os.getpid()}"
            self.dir.mkdir(parents=True, exist_ok=True)
            self._lock = open(self.dir / "session.lock", "w")
            fcntl.flock(self._lock, fcntl.LOCK_EX)
        self.prefix = clone_prefix(self.dir / "prefix")
        dosdevices = self.prefix / "dosdevices"
        for letter in DRIVES:
            folder = self.drive_dir(letter)
            shutil.rmtree(folder, ignore_errors=True)
            folder.mkdir(parents=True)
            link = dosdevices / f"{letter}:"
            if link.is_symlink() or link.exists():
                link.unlink()
            link.symlink_to(folder)
        self.c_baseline = {p.name for p in (self.prefix / "drive_c").iterdir()}
        self.windows_baseline = {p.name for p in (self.prefix / "drive_c" / "windows").iterdir()}
        self.screens = {}
        self.server_display = None
        self.keys = set()
        self.registry_dirty = False

    def drive_dir(self, letter):
        return self.dir / "drives" / letter

    def _env(self, display):
        env = dict(os.environ, WINEPREFIX=str(self.prefix), WINEARCH=WINE_ARCH,
                   WINEDEBUG="-all", DISPLAY=display)
        return env

    def use_screen(self, size, display=None):
        """Makes the Wine server run on a screen of this size (or on the
        given X display)."""
        if display is None:
            if size not in self.screens:
                self.screens[size] = Screen(size)
            display = self.screens[size].display
        if self.server_display != display:
            # A launcher on a drive that is not (yet) a CD-ROM drive takes the
            # hard-disk list and reports an unknown disc: start the server
            # again until the simulated CD-ROM drives are there.
            for attempt in range(3):
                self.stop_server()
                self._start_server(display)
                screen = self._probe("screen") or {}
                if set(CDROM_DRIVES) <= set(screen.get("cdrom", "").lower()):
                    break
            else:
                raise WorldError(f"drives {CDROM_DRIVES} are not CD-ROM drives: {screen}")
            self.clean_registry()
        return display

    def _start_server(self, display):
        env = self._env(display)
        subprocess.Popen([WINESERVER, "-p"], env=env, stdin=subprocess.DEVNULL,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                         start_new_session=True)
        subprocess.run([WINE, "cmd", "/c", "exit"], env=env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
        self.server_display = display

    def stop_server(self):
        if self.server_display is not None:
            subprocess.run([WINESERVER, "-k"], env=self._env(self.server_display),
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
            subprocess.run([WINESERVER, "-w"], env=self._env(self.server_display),
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
            self.server_display = None

    def note_key(self, key):
        self.keys.add("\\".join(key.split("\\")[:2]))
        self.registry_dirty = True

    def _probe(self, *args):
        with tempfile.TemporaryFile("w+", dir=self.dir) as out:
            process = subprocess.Popen([WINE, str(BUILD_DIR / "probe.exe")] + list(args),
                                       env=self._env(self.server_display),
                                       stdin=subprocess.DEVNULL, stdout=out,
                                       stderr=subprocess.DEVNULL)
            try:
                process.wait(30)
            except subprocess.TimeoutExpired:
                process.kill()
                return None
            out.seek(0)
            try:
                return json.loads(out.read())
            except ValueError:
                return None

    def end_test_processes(self):
        """Ends every process of the world that is not Wine's own. Falls
        back to restarting the server when that does not work."""
        if self.server_display is None:
            return
        procs = self._probe("procs")
        if procs is None:
            self.stop_server()
            return
        # The probe that answered has ended; probes still listed are
        # semaphore holders and runs of this test.
        leftovers = [str(p["pid"]) for p in procs if p["exe"].lower() not in SYSTEM_PROCESSES]
        if leftovers:
            result = self._probe("kill", *leftovers)
            if result is None or result.get("left"):
                self.stop_server()

    def clean(self):
        """Empties the drives and removes what tests left on C: and in the
        registry."""
        for letter in DRIVES:
            folder = self.drive_dir(letter)
            for entry in folder.iterdir():
                if entry.is_dir() and not entry.is_symlink():
                    shutil.rmtree(entry, ignore_errors=True)
                else:
                    entry.unlink()
        drive_c = self.prefix / "drive_c"
        for entry in drive_c.iterdir():
            if entry.name not in self.c_baseline:
                shutil.rmtree(entry, ignore_errors=True) if entry.is_dir() else entry.unlink()
        windows = drive_c / "windows"
        for entry in windows.iterdir():
            if entry.name not in self.windows_baseline:
                shutil.rmtree(entry, ignore_errors=True) if entry.is_dir() else entry.unlink()
        self.clean_registry()

    def clean_registry(self):
        if self.registry_dirty and self.server_display is not None:
            for key in sorted(self.keys):
                self._probe("reg-delete", key)
            self.keys = set()
            self.registry_dirty = False

    def close(self):
        self.stop_server()
        for screen in self.screens.values():
            screen.close()
        self.screens = {}
        self._lock.close()
