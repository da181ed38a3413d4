"""Shows the launcher in a throwaway Wine world.

With a display (DISPLAY set, or --display), the Volume 3 disc lies in the
simulated CD-ROM drive D: and the launcher starts from it on that display;
Install starts a stand-in setup program, Quit or Escape ends the demo.

Without one (or with --screenshots) it runs on a private screen and saves
the README's pictures: the menu before and after installing, a pressed
button, an information dialog and a disc prompt.
"""

import argparse
import os
import sys
import time
from pathlib import Path

from PIL import Image, ImageChops

sys.path.insert(0, str(Path(__file__).resolve().parent))
from quibtables import CATALOGUE, HOT_SPOTS, IDS, PICTURE, POSITIONS  # noqa: E402
from quibworld import ROOT, World, until, wine_version  # noqa: E402

VOLUME_3 = CATALOGUE[2]
BUTTON = POSITIONS["PLAY_BUTTON_POS"]
MENU = "Quib Launch"   # the menu window's title; an information dialog has none


def put_disc(world, installed):
    world.put("D:\\" + VOLUME_3["discMarker"])
    world.put_program("D:\\" + VOLUME_3["setupProgram"], "standin.exe")
    if installed:
        world.put_program("C:\\Games\\Quib\\" + VOLUME_3["gameExe"], "standin.exe")
        world.install(VOLUME_3["registryKey"], VOLUME_3["valueName"], "C:\\Games\\Quib")
    return world.put_launcher("D:\\")


def steady(world, before=None):
    """The screen once it has stopped changing and, given the screen before,
    once it shows something new at its centre, where dialogs open."""
    centre = (world.size[0] // 2, world.size[1] // 2)

    def settled():
        first = world.grab()
        time.sleep(0.15)
        second = world.grab()
        return ImageChops.difference(first, second).getbbox() is None and \
            (before is None or first.getpixel(centre) != before.getpixel(centre)) and second
    return until(settled, 10, "the screen to settle")


def look(world, name):
    """Waits until Play/Install shows one of its looks; returns the screen."""
    until(lambda: world.shows_at(BUTTON, IDS[name]), 5, f"the look {name}")
    return world.grab()


def open_menu(world, installed):
    world.xdotool("mousemove", 0, 0)   # keep the pointer off the buttons
    launcher = world.start(put_disc(world, installed))
    return launcher, steady(world, Image.new("RGB", world.size))


def screenshots(world, out):
    """Saves the five pictures into out, and which Wine showed them
    (wine-version.txt: Wine draws the disc prompt's frame and caption);
    returns the pictures' paths."""
    out.mkdir(parents=True, exist_ok=True)
    (out / "wine-version.txt").write_text(wine_version() + "\n")
    saved = []

    def save(image, name):
        saved.append(out / f"{name}.png")
        image.save(saved[-1])

    launcher, menu = open_menu(world, installed=False)
    save(menu.crop(world.on_screen(PICTURE)), "menu-install")
    world.key("Return", into=MENU)
    save(look(world, "IDB_INSTALL_PRESSED").crop(world.on_screen(PICTURE)), "button-pressed")
    launcher.wait(10)
    world.reset()

    launcher, menu = open_menu(world, installed=True)
    save(menu.crop(world.on_screen(PICTURE)), "menu-play")
    world.click(*world.centre(HOT_SPOTS[2]))
    world.xdotool("mousemove", 0, 0)
    dialog = steady(world, menu)
    save(dialog.crop(ImageChops.difference(menu, dialog).getbbox()), "info-dialog")
    world.key("space", into="")
    steady(world, dialog)
    os.remove(world.unix("D:\\" + VOLUME_3["discMarker"]))   # the disc is out
    world.key("Return", into=MENU)
    activated = look(world, "IDB_PLAY_ACTIVATED")
    prompt = steady(world, activated)
    save(prompt.crop(ImageChops.difference(activated, prompt).getbbox()), "disc-prompt")
    world.reset()
    return saved


def interactive(world):
    exe = put_disc(world, installed=False)
    print(f"The Volume 3 disc is in drive D: (a CD-ROM drive of the Wine world); starting {exe}.")
    print("Keys: Return/Space press the focused button, Tab/Right move the focus, Escape quits.")
    code = world.start(exe).wait(timeout=24 * 3600)
    print(f"The launcher ended with exit code {code}.")
    for path, folder in [(run[0], run[2]) for run in world.standin_log()]:
        print(f"It started {path} (current folder {folder}).")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--display", default=os.environ.get("DISPLAY"))
    parser.add_argument("--screenshots", action="store_true", help="save the pictures even with a display")
    parser.add_argument("--out", type=Path, default=ROOT / "docs" / "screenshots")
    args = parser.parse_args()
    if args.display and not args.screenshots:
        world = World("demo", display=args.display)
        try:
            interactive(world)
        finally:
            world.close()
        return
    world = World("demo")
    try:
        for path in screenshots(world, args.out):
            print(f"saved {path}")
    finally:
        world.close()


if __name__ == "__main__":
    main()
