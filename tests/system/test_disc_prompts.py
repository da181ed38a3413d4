"""Play from the menu as a user sees it: the prompt for a missing disc and the
disc check on every drive. The prompts themselves (texts, buttons, the
ten-second poll and the retry prompt) are tested in-process."""

import time

import quibworld

GAME = "G:\\Games\\Vol2\\qbx32v2.exe"
PROMPT_TEXT_ID, CANCEL_ID = 1011, 1005


def test_missing_disc_prompts_and_a_disc_in_another_drive_plays(world):
    # Volume 2 installed on the hard disk G:, its launcher beside the game (a
    # stand-in that records its start); at first no disc anywhere.
    world.reg_set("SOFTWARE\\Fennwick\\QBXV2", "InstallDir", "G:\\Games\\Vol2")
    world.put_standin(GAME)
    launcher = world.start(world.put_launcher("G:\\Games\\Vol2\\"))
    menu = world.wait_menu(pid=launcher.pid)
    world.key(menu["hwnd"], quibworld.VK_RETURN)

    prompt = world.wait_window("#32770", "Quibbix - Volume 2", pid=launcher.pid)
    assert prompt["owner"] == menu["hwnd"]
    texts = {c["id"]: c["text"] for c in prompt["children"]}
    assert texts[PROMPT_TEXT_ID] == "Please insert the Quib Volume 2 CD."
    world.press(prompt, CANCEL_ID)
    world.wait_gone(prompt["hwnd"])
    time.sleep(0.5)
    assert launcher.running
    assert world.find_windows(quibworld.MENU_CLASS, pid=launcher.pid)
    assert world.standin_log() == []

    # The disc in the second CD-ROM drive: Play starts the game at once.
    world.put_file("E:\\qbx2\\Qbx2._CD")
    world.key(menu["hwnd"], quibworld.VK_RETURN)
    assert [r["path"] for r in world.wait_for_standin(1)] == [GAME]
    assert launcher.wait() == 0
    assert not world.find_windows("#32770")
