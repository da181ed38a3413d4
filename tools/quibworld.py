"""Throwaway Wine worlds for the launcher: a Wine prefix with simulated
CD-ROM and hard drives, a private X screen with a window manager on it (as
a player's desktop has), registry values, and programs started as
Explorer would start them. The demo, the benchmark and the whole-program
tests all run the launcher in one.

    world = World(build_dir)              # D: E: CD-ROM drives, F: G: H: hard disks
    world.put("D:\\qbx3\\Qbx3._CD")       # the Volume 3 disc
    launcher = world.start(world.put_launcher("D:\\"))
    world.grab().save("menu.png")
    world.close()

A prefix template is made once per build directory (wineboot, about 8 s);
each world clones it with hard links and starts its own Wine server on its
own screen (about 1 s). reset() ends every program a user would have
started and puts drives, C: and the registry back as they were.

The window manager is openbox, the one of LXDE and LXQt (QUIB_WM names
another, "none" none). It gives the keyboard focus to the window a person
would be typing into: a new window, or the one clicked.
"""

import fcntl
import os
import re
import shutil
import signal
import subprocess
import time
from pathlib import Path, PureWindowsPath

import Xlib.display
from PIL import Image, ImageChops
from Xlib import X
from pyvirtualdisplay import Display
from quibtables import PICTURE, bitmap, part

ROOT = Path(__file__).resolve().parent.parent
CDROM_DRIVES, FIXED_DRIVES = "de", "fgh"
# Programs of Wine itself; any other program of the prefix belongs to a user.
WINE_PROGRAMS = {"services.exe", "winedevice.exe", "plugplay.exe", "svchost.exe", "rpcss.exe",
                 "explorer.exe", "conhost.exe", "start.exe", "wineboot.exe", "tabtip.exe"}
MAKERS = ("Fennwick", "Marrowby")   # the registry keys the titles' installers write
WINDOW_MANAGER = os.environ.get("QUIB_WM", "openbox")


def _wine_settings():
    """The Wine the scripts chose for this machine: win32 where it runs
    32-bit code, else win64 with the 64-bit build."""
    out = subprocess.run(["bash", "-c", f'source "{ROOT}/scripts/wine-env.sh"; '
                          'echo "$QUIB_WINE_ARCH $QUIB_WINE $QUIB_WINESERVER $QUIB_BUILD_DIR"'],
                         capture_output=True, text=True, check=True).stdout.split()
    return out[0], out[1], out[2], Path(os.environ.get("QUIB_BUILD_DIR") or out[3])


WINE_ARCH, WINE, WINESERVER, BUILD_DIR = _wine_settings()


def wine_version():
    """What the Wine of the worlds says of itself, e.g. "wine-8.0 (Debian 8.0~repack-4)"."""
    return subprocess.run([WINE, "--version"], capture_output=True, text=True).stdout.strip()
# The launcher under test: another build's program file when QUIB_LAUNCHER
# names one, else the build directory's. The helper programs always come
# from the build directory.
LAUNCHER = os.environ.get("QUIB_LAUNCHER")


def until(check, timeout, what):
    """Calls check until it returns something true, which is returned;
    after timeout seconds fails saying what was awaited."""
    deadline = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > deadline:
            raise TimeoutError(f"{what}: not within {timeout} s")
        time.sleep(0.02)


def windows_path(unix_path):
    return "Z:" + str(unix_path).replace("/", "\\")


def _template(build_dir):
    """The prefix every world clones: made once per build directory, with
    the drive types and the settings that keep Wine fast and quiet."""
    base = build_dir / "worlds"
    base.mkdir(parents=True, exist_ok=True)
    template = base / "template"
    with open(base / "template.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not (template / ".quib-ready").exists():
            drives = [f"{d}:cdrom:{base / 'unused' / d}" for d in CDROM_DRIVES] + \
                     [f"{d}:fixed:{base / 'unused' / d}" for d in FIXED_DRIVES]
            env = dict(os.environ, WINEPREFIX=str(template))
            env.pop("DISPLAY", None)
            subprocess.run(["bash", "-c", f'source "{ROOT}/scripts/wine-env.sh"; '
                            f'quib_make_prefix "$@"; "{WINESERVER}" -k', "make-prefix", *drives],
                           env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=300, check=True)
    return template


class Program:
    """A program started in a world; pid is its process on the host."""

    def __init__(self, process):
        self.process, self.pid = process, process.pid

    @property
    def running(self):
        return self.process.poll() is None

    def wait(self, timeout=10):
        """The exit code, once the program has ended."""
        return self.process.wait(timeout)

    def cpu_seconds(self):
        """User and system time so far, from the host: under Wine,
        GetProcessTimes of another process reports none."""
        fields = Path(f"/proc/{self.pid}/stat").read_text().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def kill(self):
        self.process.kill()
        self.process.wait()


class World:
    def __init__(self, name="world", build_dir=None, screen=(800, 600), depth=24,
                 windows=None, display=None, wm=WINDOW_MANAGER):
        """windows: the Windows version Wine reports ("winxp", "win7" or
        "win10", the default); display: an X display of the user's (with
        the user's own window manager) instead of a private screen of the
        given size and depth; wm: the window manager of a private screen
        ("none" for none)."""
        self.build_dir = Path(build_dir or BUILD_DIR)
        self.dir = self.build_dir / "worlds" / f"{name}-{os.getpid()}"
        self.prefix = self.dir / "prefix"
        shutil.rmtree(self.dir, ignore_errors=True)
        self.dir.mkdir(parents=True)
        subprocess.run(["cp", "-al", str(_template(self.build_dir)), str(self.prefix)], check=True)
        for name in ("system.reg", "user.reg", "userdef.reg"):   # Wine rewrites these
            shutil.copyfile(self.prefix / name, self.prefix / f"{name}.new")
            os.replace(self.prefix / f"{name}.new", self.prefix / name)
        for letter in CDROM_DRIVES + FIXED_DRIVES:
            self.drive(letter).mkdir(parents=True)
            link = self.prefix / "dosdevices" / f"{letter}:"
            link.unlink()
            link.symlink_to(self.drive(letter))
        self.screen = self.wm = None
        if display is None:
            self.screen = Display(backend="xvfb", size=screen, color_depth=depth,
                                  extra_args=["-nolisten", "tcp"], manage_global_env=False)
            self.screen.start()
            display = self.screen.new_display_var
        self.x = Xlib.display.Display(display)
        self.display, self.registry_dirty = display, False
        if self.screen and wm != "none":
            self.wm = subprocess.Popen([wm], env=dict(os.environ, DISPLAY=display), start_new_session=True,
                                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            check = self.x.intern_atom("_NET_SUPPORTING_WM_CHECK")
            until(lambda: self.x.screen().root.get_full_property(check, X.AnyPropertyType), 10,
                  f"{wm} to manage the screen")
        self.size = (self.x.screen().width_in_pixels, self.x.screen().height_in_pixels)
        self.log = self.dir / "standin.log"
        self.log.touch()
        subprocess.Popen([WINESERVER, "-p"], env=self.env(), start_new_session=True,
                         stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
        # The first command also starts Wine's services; a version set here
        # holds for every program started later.
        self.wine("reg", "add", "HKCU\\Software\\Wine", "/v", "Version", "/d", windows or "win10", "/f")
        self.baseline = {p: set(os.listdir(self.unix(p))) for p in ("C:\\", "C:\\windows")}

    # --- files -------------------------------------------------------

    def drive(self, letter):
        return self.dir / "drives" / letter.lower()

    def unix(self, win_path):
        """The host path behind a Windows path on C: or a simulated drive."""
        p = PureWindowsPath(win_path)
        letter = p.drive[0].lower()
        base = self.prefix / "drive_c" if letter == "c" else self.drive(letter)
        if letter == "c" and p.parts[1:2] and p.parts[1].lower() == "windows":
            return base.joinpath("windows", *p.parts[2:])
        return base.joinpath(*p.parts[1:])

    def put(self, win_path, data=b""):
        """Creates a file and its folders; returns its host path."""
        path = self.unix(win_path)
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
        return path

    def exists(self, win_path):
        return self.unix(win_path).exists()

    def put_program(self, win_path, name):
        """Copies a program of the build (e.g. "standin.exe", or a host path) to a path."""
        self.unix(win_path).parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(self.build_dir / name, self.unix(win_path))
        return win_path

    @property
    def launcher(self):
        """The host path of the launcher under test."""
        return Path(LAUNCHER) if LAUNCHER else self.build_dir / "QuibLaunch.exe"

    def put_launcher(self, where):
        """The launcher in a folder (ending in a backslash) or at a path."""
        return self.put_program(where + "QuibLaunch.exe" if where.endswith("\\") else where,
                                self.launcher)

    # --- the registry ------------------------------------------------

    def reg_import(self, text):
        """Imports lines of a REGEDIT4 file (any value types)."""
        self.registry_dirty = True
        reg = self.dir / "import.reg"
        reg.write_text("REGEDIT4\n\n" + text + "\n", encoding="latin-1")
        self.wine("reg", "import", windows_path(reg))

    def install(self, key, name, folder):
        """A REG_SZ value under HKEY_LOCAL_MACHINE, as a title's installer leaves it."""
        value = folder.replace("\\", "\\\\")
        self.reg_import(f'[HKEY_LOCAL_MACHINE\\{key}]\n"{name}"="{value}"')

    # --- programs ----------------------------------------------------

    def env(self, **extra):
        env = dict(os.environ, WINEPREFIX=str(self.prefix), WINEARCH=WINE_ARCH, WINEDEBUG="-all",
                   DISPLAY=self.display, QUIB_STANDIN_LOG=windows_path(self.log))
        env.pop("WINEDLLOVERRIDES", None)
        env.update(extra)
        return env

    def wine(self, *args, timeout=60):
        """Runs a Wine command to its end."""
        subprocess.run([WINE, *args], env=self.env(), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout)

    def start(self, win_path, *args, **env):
        """Starts a program by its path, in its own folder, as Explorer and
        AutoPlay do: with no command line unless args are given."""
        folder = self.unix(str(PureWindowsPath(win_path).parent))
        return Program(subprocess.Popen([WINE, win_path, *args], cwd=folder, env=self.env(**env),
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL))

    def processes(self):
        """{host pid: Windows command line} of the programs of this world
        that are not Wine's own."""
        found = {}
        for entry in Path("/proc").iterdir():
            try:
                if not entry.name.isdigit() or f"WINEPREFIX={self.prefix}\0".encode() \
                        not in (entry / "environ").read_bytes():
                    continue
                line = (entry / "cmdline").read_bytes().split(b"\0")[0].decode(errors="replace")
            except OSError:
                continue
            program = re.match(r'"?([^"]*?\.(exe|tmp))', line, re.I)
            if program and PureWindowsPath(program[1]).name.lower() not in WINE_PROGRAMS:
                found[int(entry.name)] = line
        return found

    def standin_log(self):
        """(path, command line, folder) of every run of the stand-in."""
        return [tuple(line.split("\t")) for line in self.log.read_text(errors="replace").splitlines()]

    # --- the screen --------------------------------------------------

    def grab(self, box=None):
        """The screen (or a box of it) as the X server shows it, through
        one connection kept open (fast enough to sample every few ms)."""
        left, top, right, bottom = box or (0, 0, *self.size)
        image = self.x.screen().root.get_image(left, top, right - left, bottom - top, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (right - left, bottom - top), image.data, "raw",
                               "BGRX" if image.depth == 24 else "BGR;16")

    def xdotool(self, *args):
        """Real pointer and key input, e.g. xdotool("mousemove", 10, 10, "click", 1)."""
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True, timeout=30)

    def click(self, x, y):
        """A click at a screen point, pressed and released at once as a tap does."""
        self.xdotool("mousemove", x, y, "click", 1)

    def key(self, *keys, into=None):
        """Keys typed as a person types them: once a window has the keyboard
        focus (the window of that title, when into names one). A window
        manager gives it a moment after a window appears; a key pressed
        before that goes to no window, or to the one that had the focus."""
        if self.wm:
            until(lambda: self.focused(into), 5, f"the keyboard focus on {'a window' if into is None else repr(into)}")
        self.xdotool("key", *keys)

    def focused(self, title=None):
        """Whether the keyboard focus is on a window, not on the screen
        itself (on the window of that title, or one inside it, when title
        is given). It asks through a connection of its own: a test may be
        grabbing the screen through the other one from another thread."""
        if not getattr(self, "x_focus", None):
            self.x_focus = Xlib.display.Display(self.display)
        display, focus = self.x_focus, self.x_focus.get_input_focus().focus
        root, name = display.screen().root, display.intern_atom("_NET_WM_NAME")
        while not isinstance(focus, int) and focus.id != root.id:
            if title is None:
                return True
            shown = focus.get_full_property(name, X.AnyPropertyType)
            if shown:
                return shown.value.decode(errors="replace") == title
            focus = focus.query_tree().parent
        return False

    @property
    def origin(self):
        """Where the menu picture lies on the screen (truncated toward zero
        when the screen is smaller)."""
        return int((self.size[0] - PICTURE[2]) / 2), int((self.size[1] - PICTURE[3]) / 2)

    def on_screen(self, box):
        """A box of the menu picture (left, top, right, bottom) on the screen."""
        x, y = self.origin
        return box[0] + x, box[1] + y, box[2] + x, box[3] + y

    def centre(self, box):
        """The screen point in the middle of a box of the menu picture."""
        left, top, right, bottom = self.on_screen(box)
        return (left + right) // 2, (top + bottom) // 2

    def shows(self, expected, box=None, tolerance=0):
        """Whether the screen (or a box of it) shows the expected picture,
        within tolerance per colour channel (a 16-bit screen rounds)."""
        difference = ImageChops.difference(self.grab(box), expected)
        return max(high for _, high in difference.getextrema()) <= tolerance

    def shows_at(self, at, resource_id):
        """Whether the screen shows a bitmap drawn at a point (x, y) of the menu picture."""
        return self.shows(bitmap(resource_id), self.on_screen(part(at, resource_id)))

    # --- lifetime ----------------------------------------------------

    def reset(self):
        """Ends the user's programs, empties the drives, removes what is new
        on C: and in the Windows folder, and the titles' registry keys."""
        for pid in self.processes():
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        until(lambda: not self.processes(), 10, "programs of the world to end")
        for letter in CDROM_DRIVES + FIXED_DRIVES:
            shutil.rmtree(self.drive(letter))
            self.drive(letter).mkdir()
        for folder, names in self.baseline.items():
            for name in set(os.listdir(self.unix(folder))) - names:
                path = self.unix(folder) / name
                shutil.rmtree(path) if path.is_dir() and not path.is_symlink() else path.unlink()
        if self.registry_dirty:
            self.reg_import("\n".join(f"[-HKEY_LOCAL_MACHINE\\Software\\{m}]" for m in MAKERS))
            self.registry_dirty = False
        self.log.write_text("")

    def close(self):
        subprocess.run([WINESERVER, "-k"], env=self.env(), stderr=subprocess.DEVNULL)
        if self.wm:
            self.wm.terminate()
            self.wm.wait()
        if getattr(self, "x_focus", None):
            self.x_focus.close()
        self.x.close()
        if self.screen:
            self.screen.stop()
        shutil.rmtree(self.dir, ignore_errors=True)
