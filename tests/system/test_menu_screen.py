"""The menu as it appears on the screen: a window over the whole screen,
black except for the centred menu picture, into which the title's box art,
the focused Play or Install button and the Quit button are composed. The
expected picture is assembled from the bitmaps the program carries (the
files its resource script builds in) and compared with the screen pixel for pixel."""

import re
import time

import pytest
from PIL import Image, ImageChops

import quibworld
from quibworld import VK_ESCAPE

BOX_ART_POS, PLAY_POS, QUIT_POS = (210, 26), (328, 69), (529, 385)
MENU_PICTURE, QUIT_NORMAL = 110, 138
INSTALL_FOCUSED, PLAY_FOCUSED = 124, 128


# ------------------------------------------------- pictures of the program

ART = quibworld.ROOT / "resources"


def _picture_files():
    """Bitmap id -> the .bmp file the resource script builds into the program."""
    ids = {}
    header = (ART / "resource.h").read_text()
    for name, number in re.findall(r"#define\s+(IDB_\w+)\s+(\d+)", header):
        ids[name] = int(number)
    files = {}
    for name, path in re.findall(r"^(\w+)\s+BITMAP\s+\"([^\"]+)\"",
                                 (ART / "art.rc").read_text(), re.M):
        files[ids.get(name) or int(name)] = ART / path
    return files


@pytest.fixture(scope="module")
def pictures():
    """Each picture as shown: every pixel in its colour-table colour."""
    files = _picture_files()

    def load(picture_id):
        with Image.open(files[picture_id]) as img:
            return img.convert("RGB")
    return load


def expected_screen(pictures, screen, origin, box_art, focused_button):
    menu = pictures(MENU_PICTURE).copy()
    assert menu.size == quibworld.PICTURE_SIZE
    menu.paste(pictures(box_art), BOX_ART_POS)
    menu.paste(pictures(focused_button), PLAY_POS)
    menu.paste(pictures(QUIT_NORMAL), QUIT_POS)
    whole = Image.new("RGB", screen, (0, 0, 0))
    whole.paste(menu, origin)   # cut off at the screen's edges when larger
    return whole


# ---------------------------------------------------------------- the runs

# Title 0's launcher on its disc (box art 119) and title 2's (box art 121).
TITLES = {
    0: dict(marker="Qbx._CD", box_art=119, key="SOFTWARE\\Fennwick\\QBX",
            value="[InstallDir]", game="Qbx32.exe"),
    2: dict(marker="qbx3\\Qbx3._CD", box_art=121, key="SOFTWARE\\Fennwick\\QBXV3",
            value="InstallDir", game="qbx332.exe"),
}


def open_menu(world, title, installed):
    row = TITLES[title]
    world.put_file("D:\\" + row["marker"])
    if installed:
        world.put_file("F:\\Quib\\" + row["game"])
        world.reg_set(row["key"], row["value"], "F:\\Quib")
    world.cursor_pos(0, 0)   # nowhere near a button or a product box
    launched = world.start(world.put_launcher("D:\\"))
    return launched, wait_for_full_menu(world, launched.pid)


def wait_for_full_menu(world, pid, timeout=10):
    """The menu window's record once it has been sized to the screen: it is
    created visible but empty and covers the screen only when the picture is
    ready."""
    full = [0, 0, *world.screen_size]
    menu = world.wait_menu(pid=pid)
    deadline = time.monotonic() + timeout
    while menu["rect"] != full and time.monotonic() < deadline:
        time.sleep(0.1)
        found = world.find_windows(quibworld.MENU_CLASS, quibworld.MENU_TITLE, pid=pid)
        menu = found[0] if found else menu
    return menu


def wait_for_screen(world, expected, timeout=5):
    """The screen once it shows the expected picture, or the last one seen."""
    deadline = time.monotonic() + timeout
    while True:
        shown = world.pixels(0, 0, *expected.size)
        if ImageChops.difference(shown, expected).getbbox() is None:
            return shown
        if time.monotonic() > deadline:
            return shown
        time.sleep(0.2)


def differing_pixels(shown, expected):
    difference = ImageChops.difference(shown, expected).convert("L")
    return sum(1 for value in difference.getdata() if value)


def check_menu_screen(world, pictures, title, installed):
    launched, menu = open_menu(world, title, installed)
    width, height = world.screen_size
    assert menu["rect"] == [0, 0, width, height]
    assert menu["visible"]

    focused = PLAY_FOCUSED if installed else INSTALL_FOCUSED
    expected = expected_screen(pictures, world.screen_size, world.origin,
                               TITLES[title]["box_art"], focused)
    shown = wait_for_screen(world, expected)
    if differing_pixels(shown, expected):
        shown.save(quibworld.BUILD_DIR / f"menu-screen-{width}x{height}-shown.png")
        expected.save(quibworld.BUILD_DIR / f"menu-screen-{width}x{height}-expected.png")
    assert differing_pixels(shown, expected) == 0, \
        f"bbox of difference {ImageChops.difference(shown, expected).getbbox()}"

    world.key(menu["hwnd"], VK_ESCAPE)
    assert launched.wait() == 0


def test_title_not_installed_shows_install_focused(world, pictures):
    assert world.origin == (89, 84)
    check_menu_screen(world, pictures, title=0, installed=False)


def test_installed_title_shows_play_focused(world, pictures):
    check_menu_screen(world, pictures, title=2, installed=True)


@pytest.mark.parametrize("screen, origin", [((640, 480), (9, 24)),
                                            ((600, 400), (-10, -15))])
def test_other_screen_sizes_centre_the_picture(world_factory, pictures, screen, origin):
    world = world_factory(screen=screen)
    assert world.origin == origin
    check_menu_screen(world, pictures, title=0, installed=False)
