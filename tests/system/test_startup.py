"""Start-up of the launcher as a whole program: which title the files
beside it select, the unknown-disc message, the silent exit while the
series already runs, and the shipped program file itself.

Which title a launcher picked is seen from outside through its game
window test: with a window of that title's game class open the launcher
ends silently, with another title's game class open it goes on to its
menu (a title on a CD that hands over to another launcher process does so
too, so any menu of the world counts)."""

import os
import struct
from pathlib import Path

import pytest

import quibworld

GAME_CLASSES = [
    "Quibbix", "QBX vol. 2", "QBX Volume 3", "QBX Jocko", "QBX Glimmer",
    "QBX Reelies", "QBX The Whirl", "QBX Nodial", "QBX Brasher! Zippier! Zanier!",
]

SILENT_LIMIT = 8  # seconds a launcher that shows nothing may take to end


def other_row(row):
    return (row + 1) % len(GAME_CLASSES)


def run_with_game_window(world, exe, row):
    """Runs the launcher with the game window of `row` open; returns the
    launcher and whether it ended silently (no window, exit code 0)."""
    game = world.open_window(GAME_CLASSES[row], "game")
    launcher = world.start(exe)
    try:
        code = launcher.wait(SILENT_LIMIT)
    except quibworld.WorldError:
        code = None
    silent = code == 0 and not world.find_windows(pid=launcher.pid, visible=True)
    world.close(game)
    world.wait_gone(game)
    return launcher, silent


def close_menus(world, timeout=10):
    """Waits for the menu (of any launcher process) and closes it."""
    menu = world.wait_menu(timeout=timeout)
    world.close(menu["hwnd"])
    world.wait_gone(menu["hwnd"])
    return menu


def assert_selects(world, exe, row):
    """The launcher at `exe` is recognised as catalogue row `row`."""
    _, silent = run_with_game_window(world, exe, row)
    assert silent, f"with the row-{row} game running the launcher should end silently"

    launcher, silent = run_with_game_window_kept(world, exe, other_row(row))
    assert not silent
    close_menus(world)
    assert launcher.wait() == 0


def run_with_game_window_kept(world, exe, row):
    """As run_with_game_window, but the launcher is left to show its menu."""
    game = world.open_window(GAME_CLASSES[row], "game")
    launcher = world.start(exe)
    world.wait_menu(timeout=15)
    world.close(game)
    return launcher, False


def assert_unknown(world, exe):
    launcher = world.start(exe)
    box = world.wait_message_box(pid=launcher.pid)
    assert box["message"] == "Unknown Quib disc"
    assert box["caption"] == ""
    assert box["owner"] == 0
    assert not world.find_windows(quibworld.MENU_CLASS)
    world.press(box, 1)  # OK
    assert launcher.wait() == 0


# ------------------------------------------------------------ recognition

@pytest.mark.parametrize("files, launcher_dir, row", [
    (["D:\\qbx3\\Qbx3._CD"], "D:\\", 2),
    (["E:\\Qbx._CD"], "E:\\", 0),
    (["F:\\qbx332.exe"], "F:\\", 2),
    (["G:\\games\\jocko\\Qbxj32.exe"], "G:\\games\\jocko\\", 3),
    # two markers of the list in force: the lower row wins
    (["D:\\jocko\\QbxJ._CD", "D:\\qbx3\\Qbx3._CD"], "D:\\", 2),
    (["F:\\QBX Brasher.exe", "F:\\reelies32.exe"], "F:\\", 5),
    # the temporary copy's name selects the two-disc title, on any drive,
    # unless a listed name lies beside it
    (["F:\\~QBX4.tmp"], "F:\\", 6),
    (["D:\\~QBX4.tmp"], "D:\\", 6),
    (["D:\\~QBX4.tmp", "D:\\Qbx._CD"], "D:\\", 0),
], ids=["cd-marker", "second-cd", "hard-disk-exe", "hard-disk-subfolder",
        "two-markers", "two-exes", "temp-copy-fixed", "temp-copy-cd", "temp-copy-and-marker"])
def test_files_beside_the_launcher_select_the_title(world, files, launcher_dir, row):
    for name in files:
        world.put_file(name)
    exe = world.put_launcher(launcher_dir)
    assert_selects(world, exe, row)


@pytest.mark.parametrize("files, launcher_dir", [
    ([], "D:\\"),
    ([], "F:\\"),
    (["F:\\qbx3\\Qbx3._CD"], "F:\\"),      # a disc marker on a hard disk
    (["D:\\qbx332.exe"], "D:\\"),          # a hard-disk executable on a CD
    (["E:\\qbx3\\Qbx3._CD"], "D:\\"),      # the marker on another drive
], ids=["empty-cd", "empty-fixed", "marker-on-fixed", "exe-on-cd", "other-drive"])
def test_unrecognised_folder_shows_unknown_disc(world, files, launcher_dir):
    for name in files:
        world.put_file(name)
    assert_unknown(world, world.put_launcher(launcher_dir))


# ------------------------------------------------------------ already running

def test_held_semaphore_ends_the_launcher_silently(world):
    world.put_file("D:\\qbx3\\Qbx3._CD")
    exe = world.put_launcher("D:\\")
    assert world.hold_semaphore("Quib AutoPlay") is False
    launcher = world.start(exe)
    assert launcher.wait(SILENT_LIMIT) == 0
    assert not world.find_windows(quibworld.MENU_CLASS)
    assert not world.find_windows("#32770", visible=True)


def test_second_launcher_of_another_title_ends_silently(world):
    world.put_file("D:\\qbx3\\Qbx3._CD")
    world.put_file("F:\\Qbx32.exe")
    first = world.start(world.put_launcher("D:\\"))
    menu = world.wait_menu(pid=first.pid)

    second = world.start(world.put_launcher("F:\\"))
    assert second.wait(SILENT_LIMIT) == 0
    assert [w["pid"] for w in world.find_windows(quibworld.MENU_CLASS)] == [first.pid]

    world.key(menu["hwnd"], quibworld.VK_ESCAPE)
    assert first.wait() == 0
    # The semaphore goes with the first launcher: a new one starts normally.
    assert not world.semaphore_exists("Quib AutoPlay")


def test_menu_run_ends_with_exit_code_zero(world):
    world.put_file("F:\\qbxglim32.exe")
    launcher = world.start(world.put_launcher("F:\\"))
    menu = world.wait_menu(pid=launcher.pid)
    assert menu["rect"] == [0, 0, 800, 600]
    world.close(menu["hwnd"])
    assert launcher.wait() == 0


# ------------------------------------------------------------ the shipped file

ALLOWED_IMPORTS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "winmm.dll",
    "msvcrt.dll", "comctl32.dll", "shell32.dll", "ole32.dll",
}


def read_pe(path):
    data = Path(path).read_bytes()
    assert data[:2] == b"MZ"
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0"
    machine, sections, _, _, _, optional_size, characteristics = \
        struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    subsystem = struct.unpack_from("<H", data, opt + 68)[0]
    dirs = opt + (96 if magic == 0x10b else 112)
    import_rva = struct.unpack_from("<I", data, dirs + 8)[0]
    table = [struct.unpack_from("<8sIIIIIIHHI", data, opt + optional_size + 40 * i)
             for i in range(sections)]

    def offset(rva):
        for _, vsize, vaddr, rsize, raw, *_ in table:
            if vaddr <= rva < vaddr + max(vsize, rsize):
                return rva - vaddr + raw
        raise AssertionError(f"RVA {rva:#x} lies in no section")

    imports = []
    entry = offset(import_rva)
    while True:
        name_rva = struct.unpack_from("<5I", data, entry)[3]
        if name_rva == 0:
            break
        start = offset(name_rva)
        imports.append(data[start:data.index(b"\0", start)].decode().lower())
        entry += 20
    return {"machine": machine, "magic": magic, "subsystem": subsystem,
            "characteristics": characteristics, "imports": imports}


def test_shipped_program_is_a_32_bit_gui_exe_using_system_dlls_only():
    path = quibworld.WIN32_BUILD_DIR / "QuibLaunch.exe"
    if not path.exists():
        if os.environ.get("QUIB_WIN32_BUILD_DIR"):
            pytest.fail(f"{path} is missing: build the win32 preset")
        pytest.skip(f"{path} not built")
    pe = read_pe(path)
    assert pe["machine"] == 0x14C
    assert pe["magic"] == 0x10B
    assert pe["subsystem"] == 2  # Windows GUI
    assert pe["characteristics"] & 0x0002  # executable image
    assert pe["imports"], "no import table"
    assert set(pe["imports"]) <= ALLOWED_IMPORTS, pe["imports"]
