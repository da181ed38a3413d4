"""The menu as it appears on the screen: a window over the whole screen,
black except for the centred menu picture, into which the title's box art,
the focused Play or Install button and the Quit button are composed. The
expected screen is assembled from the bitmap files the resource script
builds into the program and compared with the screen pixel for pixel."""

import re
import time

import pytest
from PIL import Image, ImageChops

import quibworld

ART = quibworld.ROOT / "resources"
MENU_PICTURE, QUIT_NORMAL, INSTALL_FOCUSED, PLAY_FOCUSED = 110, 138, 124, 128

# Title 0 from its disc, not installed (box art 119), and title 2 installed
# (box art 121).
TITLES = {
    0: dict(marker="Qbx._CD", box_art=119, focused=INSTALL_FOCUSED),
    2: dict(marker="qbx3\\Qbx3._CD", box_art=121, focused=PLAY_FOCUSED,
            key="SOFTWARE\\Fennwick\\QBXV3", value="InstallDir", game="qbx332.exe"),
}


def picture(picture_id):
    """A bitmap of the program as shown: every pixel in its table colour."""
    ids = {name: int(n) for name, n in
           re.findall(r"#define\s+(IDB_\w+)\s+(\d+)", (ART / "resource.h").read_text())}
    for name, path in re.findall(r"^(\w+)\s+BITMAP\s+\"([^\"]+)\"", (ART / "art.rc").read_text(), re.M):
        if (ids.get(name) or int(name)) == picture_id:
            with Image.open(ART / path) as img:
                return img.convert("RGB")
    raise AssertionError(f"no bitmap {picture_id} in art.rc")


def expected_screen(screen, origin, box_art, focused):
    menu = picture(MENU_PICTURE)
    assert menu.size == quibworld.PICTURE_SIZE
    for part, at in ((box_art, (210, 26)), (focused, (328, 69)), (QUIT_NORMAL, (529, 385))):
        menu.paste(picture(part), at)
    whole = Image.new("RGB", screen, (0, 0, 0))
    whole.paste(menu, origin)  # cut off at the screen's edges when larger
    return whole


@pytest.mark.parametrize("screen, origin, title", [
    ((800, 600), (89, 84), 0),
    ((640, 480), (9, 24), 2),
    ((600, 400), (-10, -15), 0),   # a screen smaller than the picture
], ids=["800x600-install", "640x480-play", "600x400-cut-off"])
def test_menu_covers_the_screen_with_the_composed_picture(world_factory, screen, origin, title):
    world = world_factory(screen=screen)
    row = TITLES[title]
    world.put_file("D:\\" + row["marker"])
    if "game" in row:
        world.put_file("F:\\Quib\\" + row["game"])
        world.reg_set(row["key"], row["value"], "F:\\Quib")
    world.cursor_pos(0, 0)   # nowhere near a button or a product box
    launched = world.start(world.put_launcher("D:\\"))
    expected = expected_screen(screen, origin, row["box_art"], row["focused"])

    # The window is created empty and covers the screen once its picture is
    # ready; wait for both before comparing.
    menu = world.wait_menu(pid=launched.pid)
    deadline = time.monotonic() + 10
    while True:
        found = world.find_windows(quibworld.MENU_CLASS, quibworld.MENU_TITLE, pid=launched.pid)
        shown = world.pixels(0, 0, *screen)
        difference = ImageChops.difference(shown, expected).getbbox()
        if (found and found[0]["rect"] == [0, 0, *screen] and not difference) or time.monotonic() > deadline:
            break
        time.sleep(0.2)
    assert found and found[0]["rect"] == [0, 0, *screen] and found[0]["visible"]
    if difference:
        shown.save(quibworld.BUILD_DIR / f"menu-screen-{screen[0]}x{screen[1]}-shown.png")
        expected.save(quibworld.BUILD_DIR / f"menu-screen-{screen[0]}x{screen[1]}-expected.png")
    assert difference is None, f"the screen differs within {difference}"

    world.key(menu["hwnd"], quibworld.VK_ESCAPE)
    assert launched.wait() == 0
