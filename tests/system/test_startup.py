"""Start-up as a user sees it: which title the files beside the launcher
select (its box art on the menu), the unknown-disc message, the silent
end while the series or the title's game already runs."""

import pytest
from conftest import MENU, until
from design import BOX_ART_AT, TITLES


def ends_silently(world, launcher, menus=0):
    assert launcher.wait(8) == 0
    assert len(world.windows(MENU)) == menus and not world.windows("#32770")


# Files put beside the launcher, its folder, and the title they select
# (None: an unknown folder).
FOLDERS = [
    (["D:\\qbx3\\Qbx3._CD"], "D:\\", 2),
    (["G:\\games\\jocko\\Qbxj32.exe"], "G:\\games\\jocko\\", 3),
    (["D:\\jocko\\QbxJ._CD", "D:\\qbx3\\Qbx3._CD"], "D:\\", 2),   # the lower row wins
    (["F:\\~QBX4.tmp"], "F:\\", 6),                               # the two-disc title's copy
    ([], "D:\\", None),
    (["F:\\qbx3\\Qbx3._CD"], "F:\\", None),                       # a disc marker on a hard disk
    (["D:\\qbx332.exe"], "D:\\", None),                           # a game on a CD
]


@pytest.mark.parametrize("files, folder, title", FOLDERS, ids=[f"{f[1][0]}-{f[2]}-{len(f[0])}" for f in FOLDERS])
def test_the_files_beside_the_launcher_select_its_title(world, files, folder, title):
    for name in files:
        world.put(name)
    world.xdotool("mousemove", 0, 0)
    launcher = world.start(world.put_launcher(folder))
    if title is None:
        box = world.wait_window("#32770")
        assert (world.texts(box)[0xFFFF], box["text"], box["owner"]) == ("Unknown Quib disc", "", 0)
        assert not world.windows(MENU)
        world.key("Return")
    else:
        world.wait_menu()
        until(lambda: world.shows_at(BOX_ART_AT, TITLES[title]["boxArtId"]), 5, f"title {title}'s box art")
        world.key("Escape")
    assert launcher.wait(5) == 0


# The series' name may be held by an object of another kind: the launcher
# cannot mark itself then, but still shows one menu at a time.
@pytest.mark.parametrize("held", [None, "mutex"])
def test_one_launcher_of_the_series_at_a_time_and_none_beside_its_game(world, held):
    world.put("D:\\qbx3\\Qbx3._CD")
    launcher = world.put_launcher("D:\\")
    if held:
        assert world.hold(held) == {"held": 1, "existed": 0}
    world.open_window(TITLES[3]["gameWindowClass"])     # another title's game: no matter
    first = world.start(launcher)
    world.wait_menu()
    ends_silently(world, world.start(launcher), menus=1)      # the first one's semaphore
    world.key("Escape")
    assert first.wait(5) == 0

    world.open_window(TITLES[2]["gameWindowClass"])     # its own game is running
    ends_silently(world, world.start(launcher))
