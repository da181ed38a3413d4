"""Clicks and keys on the running menu: Quit, Escape and Install (failing,
then started). Title 0's launcher runs from its disc on an 800 x 600 screen;
mouse messages are posted with client coordinates."""

import time

import pytest

import quibworld
from quibworld import VK_ESCAPE, VK_RETURN, WM_MOUSEMOVE

SETUP = "D:\\setup.exe"


def picture_point(world, x, y):
    return world.origin[0] + x, world.origin[1] + y


def start_menu(world):
    world.put_file("D:\\Qbx._CD")
    world.cursor_pos(0, 0)   # nowhere near a button or a product box
    launched = world.start(world.put_launcher("D:\\"))
    return launched, world.wait_menu(pid=launched.pid)


@pytest.mark.parametrize("how", ["click", "return", "escape"])
def test_quit_closes_the_menu_and_exits_0(world, how):
    world.put_standin(SETUP)   # what Install, the focused button, would start
    launched, menu = start_menu(world)
    quit_point = picture_point(world, 529 + 40, 385 + 20)
    if how == "click":
        world.click(menu["hwnd"], *quit_point)
    elif how == "return":
        world.mouse(menu["hwnd"], WM_MOUSEMOVE, *quit_point)
        world.key(menu["hwnd"], VK_RETURN)
    else:
        world.key(menu["hwnd"], VK_ESCAPE)
    assert launched.wait(5) == 0
    # Escape closes the menu itself: the focused Install button never runs.
    assert world.standin_log() == []


def test_failed_install_keeps_the_menu_and_a_second_click_installs(world):
    launched, menu = start_menu(world)
    install_point = picture_point(world, 328 + 50, 69 + 30)

    def button_pixels():
        return world.pixels(install_point[0] - 50, install_point[1] - 30, 101, 59).tobytes()
    focused = button_pixels()

    world.click(menu["hwnd"], *install_point)
    box = world.wait_message_box(pid=launched.pid)
    assert box["caption"] == "We have a problem"
    assert "setup.exe" in box["message"].lower()
    assert box["owner"] == menu["hwnd"]
    assert button_pixels() != focused, "the activated look while the box is open"
    world.press(box, 1)  # OK
    world.wait_gone(box["hwnd"])

    deadline = time.monotonic() + 3
    while button_pixels() != focused and time.monotonic() < deadline:
        time.sleep(0.1)
    assert button_pixels() == focused, "back to the focused look"
    assert launched.running

    world.put_standin(SETUP)
    world.click(menu["hwnd"], *install_point)
    assert world.wait_for_standin(1)[0]["path"].lower() == SETUP.lower()
    assert launched.wait(5) == 0
