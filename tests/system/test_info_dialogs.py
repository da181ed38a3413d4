"""The information dialogs of the running launcher: a press on a product box
opens its dialog over the menu, sized to 570 x 320 and centred on the screen
(past the screen's edges when the screen is smaller); only the back button
closes it, and the menu goes on afterwards."""

import quibworld
from quibworld import VK_ESCAPE, VK_RETURN, WM_LBUTTONDOWN

MARKER = "D:\\Qbx._CD"
BACK = 1002


def start_menu(world):
    world.put_file(MARKER)
    world.cursor_pos(0, 0)   # nowhere near a button or a product box
    launched = world.start(world.put_launcher("D:\\"))
    return launched, world.wait_menu(pid=launched.pid)


def press_at_picture(world, menu, x, y):
    ox, oy = world.origin
    world.mouse(menu["hwnd"], WM_LBUTTONDOWN, ox + x, oy + y)


def check_dialog_and_close(world, launched, menu, expected_text):
    dialog = world.wait_window("#32770", pid=launched.pid)
    width, height = world.screen_size
    left, top = int((width - 570) / 2), int((height - 320) / 2)
    assert dialog["rect"] == [left, top, left + 570, top + 320]
    assert dialog["owner"] == menu["hwnd"]
    texts = " ".join(child["text"] for child in dialog["children"])
    assert expected_text in texts
    back = [child for child in dialog["children"] if child["id"] == BACK]
    assert back and back[0]["text"] == "Back to Quib"

    # Escape and Return do not close it; its back button does.
    world.key(dialog["hwnd"], VK_ESCAPE)
    world.key(dialog["hwnd"], VK_RETURN)
    assert world.find_windows("#32770", pid=launched.pid, visible=True)
    world.press(dialog, BACK)
    world.wait_gone(dialog["hwnd"])


def test_product_box_opens_its_dialog_centred_over_the_menu(world):
    launched, menu = start_menu(world)
    press_at_picture(world, menu, 4, 300)          # the edge of title 0's box
    press_at_picture(world, menu, 575, 330)        # title 4's box
    check_dialog_and_close(world, launched, menu, "Glimmer")
    assert not world.find_windows("#32770", pid=launched.pid)

    press_at_picture(world, menu, 5, 300)          # just inside title 0's box
    check_dialog_and_close(world, launched, menu, "Volume 1")

    # The menu is still there and still answers.
    world.key(menu["hwnd"], VK_ESCAPE)
    assert launched.wait(5) == 0


def test_dialog_on_a_small_screen_starts_left_of_and_above_it(world_factory):
    world = world_factory(screen=(512, 288))
    launched, menu = start_menu(world)
    # On this screen only the middle boxes are visible; title 5's is one.
    press_at_picture(world, menu, 336, 300)
    dialog = world.wait_window("#32770", pid=launched.pid)
    assert dialog["rect"][:2] == [-29, -16]
    check_dialog_and_close(world, launched, menu, "Reelies")
    world.key(menu["hwnd"], VK_ESCAPE)
    assert launched.wait(5) == 0
