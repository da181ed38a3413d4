"""Shows the launcher in a throwaway Wine world.

With a display (DISPLAY set, or --display): the Volume 3 disc lies in the
simulated CD-ROM drive D: and the launcher starts from it; use the menu,
then Quit or Escape ends the demo.

Without a display (or with --screenshots): everything runs on a private
Xvfb screen and PNG pictures are saved: the menu of three titles, not
installed and installed, and the information dialog of each of the eight
product boxes.
"""

import argparse
import os
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import quibworld  # noqa: E402
from quibworld import VK_ESCAPE, WM_LBUTTONDOWN  # noqa: E402

# Title rows shown in the screenshots: (row, name, disc folder files,
# hard-disk executable, registry key, value name, game executable).
TITLES = [
    (2, "volume3", ["qbx3\\Qbx3._CD"], "SOFTWARE\\Fennwick\\QBXV3", "InstallDir", "qbx332.exe"),
    (3, "jocko", ["jocko\\QbxJ._CD"], "SOFTWARE\\Fennwick\\QBXJ", "InstallDir", "Qbxj32.exe"),
    (7, "nodial", ["NodialCache\\Nodial._CD"], "SOFTWARE\\Marrowby\\Setup\\QBX_Nod", "Directory",
     "QBX Nodial.exe"),
]

HOTSPOTS = [  # picture coordinates of the eight product boxes
    (4, 279, 70, 383), (75, 279, 147, 383), (154, 279, 219, 383), (451, 279, 529, 383),
    (535, 279, 616, 383), (300, 279, 373, 383), (225, 279, 297, 383), (378, 279, 450, 383),
]
INFO_BACK = 1002


def say(text):
    print(text, flush=True)


def put_disc(world, files):
    for name in files:
        world.put_file("D:\\" + name)
    return world.put_launcher("D:\\")


def install(world, key, value, exe):
    folder = "C:\\Games\\Quib"
    world.put_standin(folder + "\\" + exe)
    world.reg_set(key, value, folder)


def open_menu(world, exe):
    world.cursor_pos(0, 0)   # keep the pointer off the buttons
    launched = world.start(exe)
    return launched, world.wait_menu(pid=launched.pid)


def quit_menu(world, launched, menu):
    world.key(menu["hwnd"], VK_ESCAPE)
    code = launched.wait(15)
    say(f"   the launcher ended with exit code {code}")


def screenshots(session, out):
    out.mkdir(parents=True, exist_ok=True)
    saved = []
    for row, name, files, key, value, exe in TITLES:
        for installed in (False, True):
            world = quibworld.World(session, (800, 600))
            try:
                launcher = put_disc(world, files)
                if installed:
                    install(world, key, value, exe)
                launched, menu = open_menu(world, launcher)
                state = "installed" if installed else "not-installed"
                path = world.screenshot(out / f"menu-{name}-{state}.png")
                saved.append(path)
                say(f" - title {row} ({name}), {state.replace('-', ' ')}: {path}")
                quit_menu(world, launched, menu)
            finally:
                world.end()

    world = quibworld.World(session, (800, 600))
    try:
        launched, menu = open_menu(world, put_disc(world, TITLES[0][2]))
        ox, oy = world.origin
        for box, (left, top, right, bottom) in enumerate(HOTSPOTS):
            x, y = ox + (left + right) // 2, oy + (top + bottom) // 2
            world.mouse(menu["hwnd"], WM_LBUTTONDOWN, x, y)
            dialog = world.wait_window("#32770", pid=launched.pid)
            path = world.screenshot(out / f"info-dialog-{box}.png")
            saved.append(path)
            say(f" - information dialog of product box {box}: {path}")
            world.press(dialog, INFO_BACK)
            world.wait_gone(dialog["hwnd"])
        quit_menu(world, launched, menu)
    finally:
        world.end()
    return saved


def interactive(session, display):
    world = quibworld.World(session, None, display=display)
    try:
        exe = put_disc(world, TITLES[0][2])
        world.put_standin("D:\\setup.exe")
        say(f"The Volume 3 disc is in drive D: (a CD-ROM drive of the Wine world); "
            f"starting {exe} on {display}.")
        say("Keys: Return/Space press the focused button, Tab/Right move the focus, "
            "Escape quits. Install starts the stand-in setup program.")
        launched = world.start(exe)
        code = launched.wait(timeout=24 * 3600)
        say(f"The launcher ended with exit code {code}.")
        try:
            records = world.wait_for_standin(1, timeout=3)
        except quibworld.WorldError:
            records = []   # Quit or Escape: nothing was started
        for record in records:
            say(f"It started {record['path']} (current directory {record['cwd']}).")
    finally:
        world.end()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--display", default=os.environ.get("DISPLAY"))
    parser.add_argument("--screenshots", action="store_true",
                        help="save pictures on a private screen even with a display")
    parser.add_argument("--out", default=str(quibworld.ROOT / "out" / "screenshots"))
    args = parser.parse_args()

    session = quibworld.Session("demo")
    try:
        if args.display and not args.screenshots:
            # The stand-in plays the setup program, so Install does something.
            interactive(session, args.display)
        else:
            out = Path(args.out)
            say("Running on a private Xvfb screen (800 x 600).")
            saved = screenshots(session, out)
            say(f"{len(saved)} screenshots are in {out}")
    finally:
        session.close()


if __name__ == "__main__":
    main()
