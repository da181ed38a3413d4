"""Play as a user meets it: the game starts at once when the disc is in any
drive; otherwise the launcher asks for it, searches for ten seconds after
each OK (without spinning, showing the hourglass), and asks again. A
winmm.dll planted in the game folder is never loaded. Each title knows its
own game's window, disc and words."""

import time

import pytest
from conftest import IDS, MENU, MENU_TITLE, until
from design import PLAY_AT, TITLES

VOLUME_2 = TITLES[1]
GAME_FOLDER = "G:\\Games\\Vol2"
GAME = f"{GAME_FOLDER}\\{VOLUME_2['gameExe']}"


def installed_launcher(world):
    """Volume 2 installed on the hard disk G:, its launcher beside the game
    with a winmm.dll that anyone could have put there."""
    world.install(VOLUME_2["registryKey"], VOLUME_2["valueName"], GAME_FOLDER)
    world.put_program(GAME, "standin.exe")
    world.put_program(f"{GAME_FOLDER}\\winmm.dll", "winmm.dll")
    return world.start(world.put_launcher(GAME_FOLDER + "\\"), WINEDLLOVERRIDES="winmm=n,b")


def prompt(world, control, text, row=VOLUME_2):
    """The disc prompt once it is open, checked for its owner and texts."""
    box = world.wait_window("#32770", timeout=15)
    assert (box["text"], box["owner"]) == (row["promptCaption"], world.windows(MENU)[0]["hwnd"])
    assert world.texts(box)[IDS[control]] == row[text]
    return box


def cancel(world, box):
    """Clicks a prompt's Cancel button and waits for the prompt to close."""
    left, top, right, bottom = next(c["rect"] for c in box["children"] if c["text"] == "&Cancel")
    world.click((left + right) // 2, (top + bottom) // 2)
    until(lambda: not world.windows("#32770"), 5, "the prompt to close")


def test_cancel_keeps_the_menu_and_a_disc_in_any_drive_plays_at_once(world):
    launcher = installed_launcher(world)
    world.wait_menu()
    world.key("Return")
    box = prompt(world, "IDC_PROMPT_TEXT", "promptText")
    world.key("Escape")   # only the two buttons end a prompt
    time.sleep(0.3)
    assert world.windows("#32770")
    cancel(world, box)
    until(lambda: world.shows_at(PLAY_AT, IDS["IDB_PLAY_FOCUSED"]), 2, "the menu back, not searching")
    assert launcher.running and world.standin_log() == []

    world.put("E:\\" + VOLUME_2["discMarker"])   # in the second CD-ROM drive
    world.key("Return", into=MENU_TITLE)
    assert [path for path, _ in world.started()] == [GAME]
    assert launcher.wait(5) == 0 and not world.windows("#32770")
    assert "planted winmm.dll" not in [run[0] for run in world.standin_log()]


def test_ten_seconds_of_searching_after_each_ok_cost_no_cpu_and_find_a_disc_put_in(world):
    shapes = world.standard_cursors()
    world.xdotool("mousemove", 5, 5)
    launcher = installed_launcher(world)
    world.wait_menu()
    world.key("Return")
    prompt(world, "IDC_PROMPT_TEXT", "promptText")
    world.key("Return")   # OK
    confirmed, cpu = time.monotonic(), launcher.cpu_seconds()
    until(lambda: not world.windows("#32770"), 5, "the first prompt to close")
    until(lambda: world.cursor() == shapes["hourglass"], 3, "the hourglass during the search")
    prompt(world, "IDC_PROMPT_RETRYTEXT", "retryText")
    assert world.cursor() == shapes["arrow"], "the hourglass stays after the search"
    assert 9.5 < time.monotonic() - confirmed < 11.5, "the retry prompt comes after ten seconds"
    assert launcher.cpu_seconds() - cpu < 1.0, "the search spins"

    world.key("Return")   # Retry, then the disc goes in during the search
    time.sleep(3)
    world.put("F:\\" + VOLUME_2["discMarkerPath"][3:])   # copied to a hard disk counts too
    inserted = time.monotonic()
    assert [path for path, _ in world.started()] == [GAME]
    assert time.monotonic() - inserted < 1.5
    assert launcher.wait(5) == 0 and not world.windows("#32770")
    assert "planted winmm.dll" not in [run[0] for run in world.standin_log()]


# Every single-disc title installed in G:\Quib, its launcher beside its game:
# the game's own window ends that launcher silently; with no disc in any
# drive, Play asks for the title's disc in its own words; with the disc in
# E:, Play starts the game. (A title's game beside the launcher is what
# marks it on a hard disk.)
@pytest.mark.parametrize("title", [0, 1, 2, 3, 4, 5, 7, 8])
def test_each_title_knows_its_game_window_its_disc_and_its_prompt(world, title):
    row, game = TITLES[title], "G:\\Quib\\" + TITLES[title]["gameExe"]
    assert row["hardDiskExe"] == row["gameExe"]
    world.install(row["registryKey"], row["valueName"], "G:\\Quib")
    world.put_program(game, "standin.exe")
    launcher = world.put_launcher("G:\\Quib\\")
    running = world.open_window(row["gameWindowClass"])
    assert world.start(launcher).wait(8) == 0 and not world.windows(MENU)
    running.kill()
    until(lambda: not world.windows(row["gameWindowClass"]), 5, "the game's window to go")

    first = world.start(launcher)
    world.wait_menu()
    world.key("Return")   # Play has the focus
    cancel(world, prompt(world, "IDC_PROMPT_TEXT", "promptText", row))
    world.put("E:\\" + row["discMarkerPath"][3:])
    world.key("Return", into=MENU_TITLE)
    assert [path for path, _ in world.started()] == [game]
    assert first.wait(5) == 0
