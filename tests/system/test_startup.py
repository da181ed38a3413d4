"""Start-up of the launcher as a whole program: which title the files beside
it select, the unknown-disc message, the silent exit while the series already
runs, and the shipped program file itself.

Which title a launcher picked is seen from outside: with that title's game
window open it ends silently, while another title's game window does not stop
it."""

import os
import struct
from pathlib import Path

import pytest

import quibworld

GAME_CLASSES = ["Quibbix", "QBX vol. 2", "QBX Volume 3", "QBX Jocko", "QBX Glimmer",
                "QBX Reelies", "QBX The Whirl"]
SILENT_LIMIT = 8  # seconds a launcher that shows nothing may take to end


def assert_ends_silently(world, launcher):
    assert launcher.wait(SILENT_LIMIT) == 0
    assert not world.find_windows(quibworld.MENU_CLASS)
    assert not world.find_windows("#32770", visible=True)


@pytest.mark.parametrize("files, launcher_dir, row", [
    (["D:\\qbx3\\Qbx3._CD"], "D:\\", 2),
    (["G:\\games\\jocko\\Qbxj32.exe"], "G:\\games\\jocko\\", 3),
    (["D:\\jocko\\QbxJ._CD", "D:\\qbx3\\Qbx3._CD"], "D:\\", 2),  # the lower row wins
    (["F:\\~QBX4.tmp"], "F:\\", 6),
], ids=["cd-marker", "fixed-exe-in-subfolder", "two-markers", "temp-copy-name"])
def test_files_beside_the_launcher_select_the_title(world, files, launcher_dir, row):
    for name in files:
        world.put_file(name)
    world.open_window(GAME_CLASSES[row], "game")
    assert_ends_silently(world, world.start(world.put_launcher(launcher_dir)))


def test_only_its_own_game_or_the_series_semaphore_stops_the_launcher(world):
    world.put_file("D:\\qbx3\\Qbx3._CD")
    exe = world.put_launcher("D:\\")
    world.open_window(GAME_CLASSES[3], "game")
    launcher = world.start(exe)
    world.key(world.wait_menu(pid=launcher.pid)["hwnd"], quibworld.VK_ESCAPE)
    assert launcher.wait() == 0
    assert not world.semaphore_exists("Quib AutoPlay"), "the semaphore goes with the launcher"

    assert world.hold_semaphore("Quib AutoPlay") is False
    assert_ends_silently(world, world.start(exe))


@pytest.mark.parametrize("files, launcher_dir", [
    ([], "D:\\"),
    (["F:\\qbx3\\Qbx3._CD"], "F:\\"),  # a disc marker on a hard disk
    (["D:\\qbx332.exe"], "D:\\"),      # a hard-disk executable on a CD
], ids=["empty-cd", "marker-on-fixed", "exe-on-cd"])
def test_unrecognised_folder_shows_unknown_disc(world, files, launcher_dir):
    for name in files:
        world.put_file(name)
    launcher = world.start(world.put_launcher(launcher_dir))
    box = world.wait_message_box(pid=launcher.pid)
    assert (box["message"], box["caption"], box["owner"]) == ("Unknown Quib disc", "", 0)
    assert not world.find_windows(quibworld.MENU_CLASS)
    world.press(box, 1)  # OK
    assert launcher.wait() == 0


ALLOWED_IMPORTS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "winmm.dll",
                   "msvcrt.dll", "comctl32.dll", "shell32.dll", "ole32.dll"}


def test_shipped_program_is_a_32_bit_gui_exe_using_system_dlls_only():
    path = quibworld.WIN32_BUILD_DIR / "QuibLaunch.exe"
    if not path.exists():
        if os.environ.get("QUIB_WIN32_BUILD_DIR"):
            pytest.fail(f"{path} is missing: build the win32 preset")
        pytest.skip(f"{path} not built")
    data = Path(path).read_bytes()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[:2] == b"MZ" and data[pe:pe + 4] == b"PE\0\0"
    machine, sections, _, _, _, optional_size, flags = struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    magic, subsystem = struct.unpack_from("<H", data, opt)[0], struct.unpack_from("<H", data, opt + 68)[0]
    assert (machine, magic, subsystem) == (0x14C, 0x10B, 2), "i386, PE32, Windows GUI"
    assert flags & 0x0002, "executable image"

    table = [struct.unpack_from("<8sIIIIIIHHI", data, opt + optional_size + 40 * i) for i in range(sections)]

    def offset(rva):
        for _, vsize, vaddr, rsize, raw, *_ in table:
            if vaddr <= rva < vaddr + max(vsize, rsize):
                return rva - vaddr + raw
        raise AssertionError(f"RVA {rva:#x} lies in no section")

    imports, entry = [], offset(struct.unpack_from("<I", data, opt + 96 + 8)[0])
    while (name_rva := struct.unpack_from("<5I", data, entry)[3]) != 0:
        start = offset(name_rva)
        imports.append(data[start:data.index(b"\0", start)].decode().lower())
        entry += 20
    assert imports and set(imports) <= ALLOWED_IMPORTS, imports
