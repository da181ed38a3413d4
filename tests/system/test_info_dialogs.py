"""An information dialog of the running launcher: a press on a product box
opens it over the menu, 570 x 320 and centred on the screen, past the screen's
edges when the screen is smaller; its back button closes it and the menu goes
on afterwards."""

from quibworld import VK_ESCAPE, WM_LBUTTONDOWN

BACK = 1002


def test_dialog_on_a_small_screen_starts_left_of_and_above_it(world_factory):
    world = world_factory(screen=(512, 288))
    world.put_file("D:\\Qbx._CD")
    world.cursor_pos(0, 0)   # nowhere near a button or a product box
    launched = world.start(world.put_launcher("D:\\"))
    menu = world.wait_menu(pid=launched.pid)

    # On this screen only the middle boxes are visible; title 5's is one.
    ox, oy = world.origin
    world.mouse(menu["hwnd"], WM_LBUTTONDOWN, ox + 336, oy + 300)
    dialog = world.wait_window("#32770", pid=launched.pid)
    assert dialog["rect"] == [-29, -16, -29 + 570, -16 + 320]
    assert dialog["owner"] == menu["hwnd"]
    assert "Reelies" in " ".join(child["text"] for child in dialog["children"])

    world.press(dialog, BACK)
    world.wait_gone(dialog["hwnd"])
    world.key(menu["hwnd"], VK_ESCAPE)
    assert launched.wait(5) == 0
