"""Clicks and keys on the running menu: Quit, Install (started and failing),
Escape and the pointer's cursor. Title 0's launcher runs from its disc on
an 800 x 600 screen; mouse messages are posted with client coordinates."""

import time

import quibworld
from quibworld import VK_ESCAPE, VK_RETURN, WM_MOUSEMOVE

MARKER = "D:\\Qbx._CD"
SETUP = "D:\\setup.exe"
IDOK = 1


def picture_point(world, x, y):
    ox, oy = world.origin
    return ox + x, oy + y


def install_point(world):
    return picture_point(world, 328 + 50, 69 + 30)


def quit_point(world):
    return picture_point(world, 529 + 40, 385 + 20)


def start_menu(world):
    world.put_file(MARKER)
    world.cursor_pos(0, 0)   # nowhere near a button or a product box
    launched = world.start(world.put_launcher("D:\\"))
    menu = world.wait_menu(pid=launched.pid)
    return launched, menu


def install_button_pixels(world):
    x, y = install_point(world)
    return world.pixels(x - 50, y - 30, 101, 59)


def wait_for_pixels(world, expected, timeout=3):
    deadline = time.monotonic() + timeout
    while True:
        shown = install_button_pixels(world)
        if shown.tobytes() == expected.tobytes() or time.monotonic() > deadline:
            return shown
        time.sleep(0.1)


def test_quit_by_click_closes_the_menu_and_exits_0(world):
    launched, menu = start_menu(world)
    world.click(menu["hwnd"], *quit_point(world))
    assert launched.wait(5) == 0
    assert not world.find_windows(quibworld.MENU_CLASS, pid=launched.pid)


def test_quit_by_return_after_moving_onto_it(world):
    launched, menu = start_menu(world)
    world.mouse(menu["hwnd"], WM_MOUSEMOVE, *quit_point(world))
    world.key(menu["hwnd"], VK_RETURN)
    assert launched.wait(5) == 0


def test_escape_closes_at_once(world):
    launched, menu = start_menu(world)
    started = time.monotonic()
    world.key(menu["hwnd"], VK_ESCAPE)
    assert launched.wait(5) == 0
    # No animation: well under the 750 ms a keyed button takes.
    assert time.monotonic() - started < 0.7


def test_install_by_click_starts_setup_and_exits(world):
    world.put_standin(SETUP)
    launched, menu = start_menu(world)
    world.click(menu["hwnd"], *install_point(world))
    runs = world.wait_for_standin(1)
    assert runs[0]["path"].lower() == SETUP.lower()
    assert launched.wait(5) == 0


def test_failed_install_keeps_the_menu_focused_and_tries_again(world):
    launched, menu = start_menu(world)
    focused = install_button_pixels(world)

    world.click(menu["hwnd"], *install_point(world))
    box = world.wait_message_box(pid=launched.pid)
    assert box["caption"] == "We have a problem"
    assert "setup.exe" in box["message"].lower()
    assert box["owner"] == menu["hwnd"]
    # While the box is open the button shows its activated look.
    assert install_button_pixels(world).tobytes() != focused.tobytes()
    world.press(box, IDOK)
    world.wait_gone(box["hwnd"])

    # Back to the focused look; the menu stays.
    shown = wait_for_pixels(world, focused)
    assert shown.tobytes() == focused.tobytes()
    assert launched.running

    world.put_standin(SETUP)
    world.click(menu["hwnd"], *install_point(world))
    world.wait_for_standin(1)
    assert launched.wait(5) == 0


def wait_cursor(world, wanted, timeout=3):
    """The cursor handle once wanted(handle) holds, or the last one seen."""
    deadline = time.monotonic() + timeout
    while True:
        handle = world.cursor()["handle"]
        if wanted(handle) or time.monotonic() > deadline:
            return handle
        time.sleep(0.1)


def test_cursor_changes_over_a_product_box_and_back(world):
    # Each process has its own handle for the standard arrow, so the arrow
    # the menu sets when it opens is the reference.
    launched, menu = start_menu(world)
    arrow = world.cursor()["handle"]
    world.cursor_pos(*picture_point(world, 40, 330))    # title 0's box
    question = wait_cursor(world, lambda handle: handle != arrow)
    assert question not in (0, arrow)
    world.cursor_pos(*quit_point(world))
    assert wait_cursor(world, lambda handle: handle == arrow) == arrow
    world.cursor_pos(*picture_point(world, 600, 300))   # title 4's box
    assert wait_cursor(world, lambda handle: handle == question) == question
    world.key(menu["hwnd"], VK_ESCAPE)
    assert launched.wait(5) == 0
