"""The two-disc title's hand-over between launcher processes, seen from
outside: the copy of the launcher in the Windows folder (the real launcher,
watched through its process, its menu and the setup program it starts), the
installed launcher, the installer's window, the install from disc 1 in any
drive, and Play with disc 2."""

import os
import stat
import time
from pathlib import Path

from conftest import IDS, MENU, MENU_TITLE, until
from design import WHIRL

INSTALL_DIR = "F:\\Whirl"
COPY = "C:\\windows\\" + WHIRL["copy"]
INSTALLER = (WHIRL["installerClass"], WHIRL["installerTitle"])


def disc_one(world, installed=False):
    """Disc 1 in the CD-ROM drive D: with its launcher; installed, the game
    and the installed launcher (a stand-in) in F:\\Whirl."""
    world.put("D:\\" + WHIRL["discMarker"])
    if installed:
        world.install(WHIRL["registryKey"], WHIRL["valueName"], INSTALL_DIR)
        world.put(f"{INSTALL_DIR}\\{WHIRL['gameExe']}")
        world.put_program(f"{INSTALL_DIR}\\{WHIRL['installedLauncher']}", "standin.exe")
    return world.put_launcher("D:\\")


def copies(world):
    return {pid: line for pid, line in world.processes().items() if WHIRL["copy"] in line}


def test_the_disc_launcher_hands_over_to_a_copy_that_installs_from_disc_one_in_any_drive(world):
    exe = disc_one(world)
    os.chmod(world.unix(exe), 0o444)   # read-only, as on a real disc
    # Planted where the launcher and its copy run; Wine is told to prefer it.
    for folder in ("D:\\", "C:\\windows\\"):
        world.put_program(folder + "winmm.dll", "winmm.dll")
    launcher = world.start(exe, WINEDLLOVERRIDES="winmm=n,b")
    assert launcher.wait(8) == 0
    copy = world.unix(COPY)
    assert copy.read_bytes() == world.unix(exe).read_bytes()
    assert copy.stat().st_mode & stat.S_IWUSR, "the copy kept the read-only attribute"
    world.wait_menu(exe="~qbx4.tmp")
    [pid] = copies(world)   # its command line, as Wine split it: its own path alone
    assert Path(f"/proc/{pid}/cmdline").read_bytes().rstrip(b"\0").split(b"\0") == [COPY.encode()]

    # Install, focused, asks for disc 1; it is found in E: during the search,
    # and its setup program starts in the copy's folder, the Windows folder.
    world.key("Return")
    world.wait_window("#32770")
    world.key("Return")
    time.sleep(2)
    world.put("E:\\" + WHIRL["discMarkerPath"][3:])
    world.put_program("E:\\" + WHIRL["setupProgram"], "standin.exe")
    assert [run for run in world.started() if "planted" not in run[0]] == \
        [("E:\\" + WHIRL["setupProgram"], "C:\\windows")]
    until(lambda: not copies(world), 5, "the copy to end")
    assert "planted winmm.dll" not in [run[0] for run in world.standin_log()]


def test_an_installed_title_starts_the_installed_launcher_unless_the_installer_runs_or_it_is_missing(world):
    exe = disc_one(world, installed=True)
    installer = world.open_window(*INSTALLER)   # its window ends the disc launcher silently
    assert world.start(exe).wait(8) == 0
    assert not world.exists(COPY) and not world.windows(MENU) and not world.windows("#32770")
    assert world.standin_log() == []
    installer.kill()

    assert world.start(exe).wait(8) == 0
    assert world.started() == [(f"{INSTALL_DIR}\\{WHIRL['installedLauncher']}", "D:\\")]
    time.sleep(0.5)
    assert not world.exists(COPY) and not world.windows(MENU)

    os.remove(world.unix(f"{INSTALL_DIR}\\{WHIRL['installedLauncher']}"))
    world.put(COPY, b"left by an earlier run")
    assert world.start(exe).wait(8) == 0
    assert world.unix(COPY).read_bytes() == world.unix(exe).read_bytes()
    world.wait_menu(exe="~qbx4.tmp")
    world.key("Escape")


def test_the_hard_disk_launcher_waits_for_the_installer_deletes_the_copy_and_plays_with_disc_two(world):
    installer = world.open_window(*INSTALLER)
    world.install(WHIRL["registryKey"], WHIRL["valueName"], INSTALL_DIR)
    world.put(f"{INSTALL_DIR}\\{WHIRL['hardDiskExe']}")
    world.put_program(f"{INSTALL_DIR}\\{WHIRL['gameExe']}", "standin.exe")
    world.put(COPY, b"left by a disc launcher")
    world.put("D:\\" + WHIRL["discMarker"])   # disc 1 is in, not disc 2
    launcher = world.start(world.put_launcher(f"{INSTALL_DIR}\\"))
    time.sleep(2)
    assert launcher.running and not world.windows(MENU) and world.exists(COPY)

    installer.kill()   # the installer is done
    closed = time.monotonic()
    world.wait_menu()
    assert time.monotonic() - closed < 3, "one look a second"
    assert not world.exists(COPY), "the copy goes before the menu shows"
    world.key("Return")
    assert world.texts(world.wait_window("#32770"))[IDS["IDC_PROMPT_TEXT"]] == WHIRL["promptText"]
    world.key("Tab", "space")   # Cancel
    until(lambda: not world.windows("#32770"), 5, "the prompt to close")
    world.put("E:" + WHIRL["secondDiscMarkerPath"][2:])
    world.key("Return", into=MENU_TITLE)
    assert [path for path, _ in world.started()] == [f"{INSTALL_DIR}\\{WHIRL['gameExe']}"]
    assert launcher.wait(5) == 0
