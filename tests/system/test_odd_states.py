"""Odd machine states: registry values of every type and length, folders
near the path limit, leftovers of the hand-over, many launchers and many
clicks at once. In each: no crash, exit code 0, and the outcome the program
promises. And a whole session writes nothing but the hand-over's copy."""

import time

import pytest
from conftest import IDS, MENU, MENU_TITLE, folder, part, until
from design import HOT_SPOTS, PLAY_AT, TITLES, WHIRL

VOLUME_2 = TITLES[1]
KEY = f"[HKEY_LOCAL_MACHINE\\{VOLUME_2['registryKey']}]"


def hex_value(kind, data):
    return f"hex({kind}):" + ",".join(f"{b:02x}" for b in data)


def text(value):
    return hex_value(1, value.encode() + b"\0")


def padded(size):
    """A path of size bytes, its NUL included."""
    return hex_value(1, (b"F:\\" + b"a" * size)[:size - 1] + b"\0")


# The installation value as written to the registry, and whether the title
# then counts as installed (Play) or not (Install). The game lies in F:\Quib,
# and also where a relative or empty value would wrongly lead: the root and
# a folder of the launcher's drive, its current drive; F:\Empty holds no game.
VALUES = [
    ("sz", text("F:\\Quib"), True),
    ("sz-without-nul", hex_value(1, b"F:\\Quib"), True),
    ("folder-without-the-game", text("F:\\Empty"), False),
    ("expand-sz", hex_value(2, b"F:\\Quib\0"), False),
    ("multi-sz", hex_value(7, b"F:\\Quib\0\0"), False),
    ("binary", hex_value(3, b"F:\\Quib\0"), False),
    ("dword", "dword:00000001", False),
    ("0-bytes", hex_value(1, b""), False),
    ("1-byte", hex_value(1, b"\0"), False),
    ("relative", text("Quib"), False),
    ("259-bytes", padded(259), False),
    ("260-bytes", padded(260), False),
    ("260-bytes-no-nul", hex_value(1, b"F:\\" + b"a" * 257), False),
    ("261-bytes", padded(261), False),
    ("4096-bytes", padded(4096), False),
    ("unc-no-host", text("\\\\nohost\\share\\Quib"), False),
    ("names-a-file", text("F:\\Quib\\" + VOLUME_2["gameExe"]), False),
]


@pytest.mark.parametrize("name, value, installed", VALUES, ids=[v[0] for v in VALUES])
def test_installation_value_of_any_type_and_length(world, name, value, installed):
    for where in ("F:\\Quib\\", "D:\\", "D:\\Quib\\"):
        world.put(where + VOLUME_2["gameExe"])
    world.put("F:\\Empty\\readme.txt")
    world.put("D:\\" + VOLUME_2["discMarker"])
    world.reg_import(f'{KEY}\n"{VOLUME_2["valueName"]}"={value}')
    launcher = world.start(world.put_launcher("D:\\"))
    world.wait_menu()
    look = "IDB_PLAY_FOCUSED" if installed else "IDB_INSTALL_FOCUSED"
    until(lambda: world.shows_at(PLAY_AT, IDS[look]), 5, look)
    world.key("Escape")
    assert launcher.wait(5) == 0


# The launcher's folder, the length of its path and the launcher's own name:
# where its own path does not fit 260 characters, the folder is unknown,
# never the folder above it (which here holds another title) nor the folder
# a cut path seems to name (which holds the title's file).
LIMITS = [(drive, length, "QuibLaunch.exe") for drive in "DF" for length in (200, 240, 255, 259)] + \
    [("F", 200, "Quib" + "L" * 62 + ".exe")]


@pytest.mark.parametrize("drive, length, name", LIMITS, ids=[f"{d}-{n}-{len(e)}" for d, n, e in LIMITS])
def test_a_launcher_in_a_folder_near_the_path_limit(world, drive, length, name):
    here, marker = folder(drive, length), "discMarker" if drive == "D" else "hardDiskExe"
    world.put(here + TITLES[2][marker])
    world.put(here[:here.rstrip("\\").rindex("\\") + 1] + TITLES[3][marker])
    launcher = world.start(world.put_launcher(here + name))
    if length + len(name) < 260:
        world.wait_menu(exe=name.lower())
        world.key("Escape")
    else:
        box = world.wait_window("#32770")
        assert world.texts(box)[0xFFFF] == "Unknown Quib disc"
        world.key("Return")
    assert launcher.wait(5) == 0


# A copy that cannot be made is a program that cannot be run: the message
# has CopyFile's error (access denied over a folder, a sharing violation
# for a file held open) and the copy's path, no owner, since there is no
# menu yet, and nothing starts.
@pytest.mark.parametrize("leftover, error", [("folder", 5), ("file-held-open", 32)], ids=["folder", "file-held-open"])
def test_a_copy_that_cannot_be_made_is_reported(world, leftover, error):
    copy = "C:\\windows\\" + WHIRL["copy"]
    if leftover == "folder":
        world.unix(copy).mkdir()
    else:
        world.hold("file", copy)
    world.put("D:\\" + WHIRL["discMarker"])
    launcher = world.start(world.put_launcher("D:\\"))
    box = world.wait_window("#32770")
    assert (box["text"], box["owner"]) == ("We have a problem", 0)
    assert world.texts(box)[0xFFFF] == f"Error:{error}  Could not run program.\n\n{copy}"
    world.key("Return")
    assert launcher.wait(5) == 0
    assert not world.windows(MENU) and not [line for line in world.processes().values() if "~QBX4" in line]


def test_twenty_launchers_at_once_show_one_menu(world):
    world.put("D:\\" + VOLUME_2["discMarker"])
    exe = world.put_launcher("D:\\")
    launchers = [world.start(exe) for _ in range(20)]
    until(lambda: sum(not launcher.running for launcher in launchers) == 19, 20, "19 launchers to end")
    assert all(launcher.wait(1) == 0 for launcher in launchers if not launcher.running)
    world.wait_menu()
    assert len(world.windows(MENU)) == 1
    world.key("Escape")


def test_fifty_rapid_clicks_on_install_start_the_setup_program_once(world):
    world.put("D:\\" + VOLUME_2["discMarker"])
    world.put_program("D:\\" + VOLUME_2["setupProgram"], "standin.exe")
    launcher = world.start(world.put_launcher("D:\\"))
    world.wait_menu()
    world.xdotool("mousemove", *world.centre(part(PLAY_AT, IDS["IDB_INSTALL_NORMAL"])), "click", "--repeat", 50, "--delay", 10, 1)
    assert launcher.wait(10) == 0
    time.sleep(1)
    assert [path for path, _ in world.started()] == ["D:\\" + VOLUME_2["setupProgram"]]


def snapshot(world):
    """The registry (HKLM and HKCU, exported) and every file of the prefix
    with its size and time, but for the registry's own files."""
    exports = {}
    for hive in ("HKLM", "HKCU"):
        world.wine("reg", "export", hive, f"Z:{world.dir}\\{hive}.reg".replace("/", "\\"), "/y")
        lines = (world.dir / f"{hive}.reg").read_text(encoding="utf-16").split("\n\n")
        # Wine keeps its own cache of system parameters there, filled as
        # programs and input first ask for them, and registers the display
        # adapters anew at times, under new ids, as a program starts.
        exports[hive] = [key for key in lines if "\\Wine\\Temporary System Parameters" not in key
                         and "\\Control\\Video\\{" not in key]
    files = {str(path.relative_to(world.prefix)): (path.stat().st_size, path.stat().st_mtime_ns)
             for path in world.prefix.rglob("*") if path.is_file() and not path.name.endswith(".reg")}
    return exports, files


def test_a_whole_session_writes_nothing_but_the_hand_over_copy(world):
    world.registry_dirty = True   # keys an earlier test's launcher made would hide one made here
    world.reset()
    world.install(VOLUME_2["registryKey"], VOLUME_2["valueName"], "G:\\Games\\Vol2")
    world.put("G:\\Games\\Vol2\\" + VOLUME_2["gameExe"])
    world.put("D:\\" + TITLES[2]["discMarker"])
    before = snapshot(world)

    # Installed, no disc: a dialog, then Play with the prompt cancelled.
    launcher = world.start(world.put_launcher("G:\\Games\\Vol2\\"))
    world.wait_menu()
    world.click(*world.centre(HOT_SPOTS[1]))
    world.wait_window("#32770")
    world.key("space")
    until(lambda: not world.windows("#32770"), 5, "the dialog to close")
    world.key("Return", into=MENU_TITLE)
    world.wait_window("#32770")
    world.key("Tab", "space")   # Cancel
    until(lambda: not world.windows("#32770"), 5, "the prompt to close")
    world.key("Escape", into=MENU_TITLE)
    assert launcher.wait(5) == 0
    # From another title's disc: Install fails, then starts the setup program.
    launcher = world.start(world.put_launcher("D:\\"))
    world.wait_menu()
    world.key("Return")
    world.wait_window("#32770")
    world.key("Return")
    until(lambda: not world.windows("#32770"), 5, "the message to close")
    world.put_program("D:\\" + TITLES[2]["setupProgram"], "standin.exe")
    world.key("Return", into=MENU_TITLE)
    assert launcher.wait(5) == 0
    # The two-disc title hands over to its copy.
    world.put("E:\\" + WHIRL["discMarker"])
    assert world.start(world.put_launcher("E:\\")).wait(8) == 0
    world.wait_menu(exe="~qbx4.tmp")
    world.key("Escape")
    until(lambda: not world.windows(MENU), 5, "the copy to end")

    after = snapshot(world)
    assert after[0] == before[0], "the registry changed"
    changed = {name for name in before[1].keys() | after[1].keys() if before[1].get(name) != after[1].get(name)}
    assert changed == {"drive_c/windows/~QBX4.tmp"}
