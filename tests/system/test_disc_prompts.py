"""Play from the menu as a user sees it: the disc check on every drive and
the prompt for a missing disc. The prompts themselves (texts, buttons, the
ten-second poll and the retry prompt) are tested in-process."""

import time

import quibworld

VOL2_KEY = "SOFTWARE\\Fennwick\\QBXV2"
GAME_DIR = "G:\\Games\\Vol2"
GAME = f"{GAME_DIR}\\qbx32v2.exe"
CAPTION = "Quibbix - Volume 2"
PROMPT_TEXT_ID, OK_ID, CANCEL_ID = 1011, 1004, 1005


def installed_volume_two(world):
    """Volume 2 installed on the hard disk G:, its launcher beside the game
    (a stand-in that records its start); the disc is not put anywhere."""
    world.reg_set(VOL2_KEY, "InstallDir", GAME_DIR)
    world.put_standin(GAME)
    launcher = world.start(world.put_launcher(f"{GAME_DIR}\\"))
    return launcher, world.wait_menu(pid=launcher.pid)


def test_missing_disc_prompts_and_cancel_returns_to_the_menu(world):
    launcher, menu = installed_volume_two(world)
    world.key(menu["hwnd"], quibworld.VK_RETURN)

    prompt = world.wait_window("#32770", CAPTION, pid=launcher.pid)
    assert prompt["owner"] == menu["hwnd"]
    texts = {c["id"]: c["text"] for c in prompt["children"]}
    assert texts[PROMPT_TEXT_ID] == "Please insert the Quib Volume 2 CD."
    assert texts[OK_ID] == "&OK" and texts[CANCEL_ID] == "&Cancel"

    world.press(prompt, CANCEL_ID)
    world.wait_gone(prompt["hwnd"])
    time.sleep(0.5)
    assert launcher.running
    assert world.find_windows(quibworld.MENU_CLASS, pid=launcher.pid)
    assert world.standin_log() == []

    world.key(menu["hwnd"], quibworld.VK_ESCAPE)
    assert launcher.wait() == 0


def test_disc_in_another_drive_starts_the_game_without_a_prompt(world):
    world.put_file("E:\\qbx2\\Qbx2._CD")
    launcher, menu = installed_volume_two(world)
    world.key(menu["hwnd"], quibworld.VK_RETURN)
    records = world.wait_for_standin(1)
    assert [r["path"] for r in records] == [GAME]
    assert launcher.wait() == 0
    assert not world.find_windows("#32770")
