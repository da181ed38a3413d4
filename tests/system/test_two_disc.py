"""The two-disc title's hand-over between launcher processes, seen from
outside: the copy of the launcher in the Windows directory, the installed
launcher, the installer's window and the install from disc 1.

The copy "~QBX4.tmp" is the real launcher: it is watched through its own
behaviour (its process, its menu, and the setup program it starts, which
records the copy's current directory)."""

import os
import stat
import time

import quibworld

WHIRL_KEY = "SOFTWARE\\Marrowby\\Setup\\QuibWhirl"
INSTALL_DIR = "F:\\Whirl"
COPY = "C:\\windows\\~QBX4.tmp"
INSTALLER = ("InstallShield_Win", "Quibbix The Whirl")
SILENT_LIMIT = 8  # seconds a launcher that shows nothing may take to end


def disc_one(world, drive="D"):
    """Disc 1 of the title in a CD-ROM drive, with its launcher."""
    world.put_file(f"{drive}:\\PlayQTW.exe")
    world.put_file(f"{drive}:\\Install\\QBXTW.exe")
    return world.put_launcher(f"{drive}:\\")


def install_title(world, installed_launcher=True):
    """What the installer leaves: the registry value, the game and (unless
    told otherwise) the installed launcher, here a stand-in that records its
    start."""
    world.reg_set(WHIRL_KEY, "Directory", INSTALL_DIR)
    world.put_file(f"{INSTALL_DIR}\\QBXTW.exe")
    if installed_launcher:
        world.put_standin(f"{INSTALL_DIR}\\QuibLaunch.exe")


def copy_processes(world):
    return [p for p in world.probe("procs") if p["exe"].lower() == "~qbx4.tmp"]


def started_programs(world):
    """Stand-in runs other than the windows the test opened itself."""
    return [r["path"] for r in world.standin_log()
            if not r["path"].lower().startswith("c:\\quibtest\\")]


def no_dialogs(world):
    return not world.find_windows("#32770", visible=True)


def close_menu(world, pid):
    menu = world.wait_menu(pid=pid, timeout=15)
    world.close(menu["hwnd"])
    world.wait_gone(menu["hwnd"])


# ------------------------------------------------------------ from the disc

def test_cd_launcher_hands_over_to_a_copy_that_installs_from_disc_one(world):
    exe = disc_one(world, "D")
    # Disc 1 itself has moved to the other CD-ROM drive by the time the copy
    # installs; the launcher's drive holds only the launcher and its marker.
    world.put_file("E:\\Install\\QBXTW.exe")
    world.put_standin("E:\\Install\\setup.exe")
    os.remove(world.unix_path("D:\\Install\\QBXTW.exe"))
    # A read-only source (as on a real disc): the copy must still end up
    # with normal attributes.
    os.chmod(world.unix_path(exe), 0o444)

    launcher = world.start(exe)
    assert launcher.wait(SILENT_LIMIT) == 0
    assert not world.find_windows(pid=launcher.pid)

    copy = world.unix_path(COPY)
    assert copy.read_bytes() == world.unix_path(exe).read_bytes()
    assert copy.stat().st_mode & stat.S_IWUSR, "the copy kept the read-only attribute"

    copies = copy_processes(world)
    assert [p["parent"] for p in copies] == [launcher.pid]
    menu = world.wait_menu(pid=copies[0]["pid"], timeout=15)
    assert no_dialogs(world)

    # Install is focused on the copy's menu: Return installs from disc 1,
    # which the drive search finds in E:, with the copy's own current
    # directory, the Windows directory.
    world.key(menu["hwnd"], quibworld.VK_RETURN)
    records = world.wait_for_standin(1)
    assert records[0]["path"] == "E:\\Install\\setup.exe"
    assert records[0]["cwd"].lower() == "c:\\windows"
    world.wait_gone(menu["hwnd"])
    time.sleep(0.3)
    assert not copy_processes(world)


def test_second_hand_over_overwrites_the_copy(world):
    exe = disc_one(world)
    world.put_file(COPY, b"an old copy")
    assert world.run(exe, timeout=SILENT_LIMIT) == 0
    assert world.unix_path(COPY).read_bytes() == world.unix_path(exe).read_bytes()
    close_menu(world, copy_processes(world)[0]["pid"])


def test_installer_window_ends_the_cd_launcher_silently(world):
    exe = disc_one(world)
    install_title(world)
    world.open_window(*INSTALLER)
    assert world.run(exe, timeout=SILENT_LIMIT) == 0
    assert not world.exists(COPY)
    assert started_programs(world) == []
    assert not world.find_windows(quibworld.MENU_CLASS)
    assert no_dialogs(world)


def test_installed_title_starts_the_installed_launcher(world):
    exe = disc_one(world)
    install_title(world)
    assert world.run(exe, timeout=SILENT_LIMIT) == 0
    records = world.wait_for_standin(1)
    assert [r["path"] for r in records] == [f"{INSTALL_DIR}\\QuibLaunch.exe"]
    assert records[0]["cwd"] == "D:\\"
    assert not world.exists(COPY)
    time.sleep(0.5)
    assert not world.find_windows(quibworld.MENU_CLASS)
    assert len(started_programs(world)) == 1


def test_installed_launcher_missing_means_the_copy_after_all(world):
    exe = disc_one(world)
    install_title(world, installed_launcher=False)
    launcher = world.start(exe)
    assert launcher.wait(SILENT_LIMIT) == 0
    assert world.exists(COPY)
    assert [p["parent"] for p in copy_processes(world)] == [launcher.pid]
    close_menu(world, copy_processes(world)[0]["pid"])


# ------------------------------------------------------------ from the hard disk

def installed_hard_disk_launcher(world):
    """The installed launcher on the hard disk, with a copy left behind in
    the Windows directory."""
    world.reg_set(WHIRL_KEY, "Directory", INSTALL_DIR)
    world.put_file(f"{INSTALL_DIR}\\QBXTW.exe")
    world.put_file(f"{INSTALL_DIR}\\Quib The Whirl.exe")
    world.put_file(COPY, b"left by a disc launcher")
    return world.put_launcher(f"{INSTALL_DIR}\\QuibLaunch.exe")


def test_hard_disk_launcher_deletes_the_copy_before_its_menu(world):
    launcher = world.start(installed_hard_disk_launcher(world))
    menu = world.wait_menu(pid=launcher.pid)
    assert not world.exists(COPY)
    world.close(menu["hwnd"])
    assert launcher.wait() == 0


def test_hard_disk_launcher_waits_for_the_installer(world):
    installer = world.open_window(*INSTALLER)
    launcher = world.start(installed_hard_disk_launcher(world))
    time.sleep(2.5)
    assert launcher.running
    assert not world.find_windows(pid=launcher.pid)
    assert world.exists(COPY)

    world.close(installer)
    closed = time.monotonic()
    menu = world.wait_menu(pid=launcher.pid, timeout=5)
    # One look a second: the menu follows within about a second.
    assert time.monotonic() - closed < 3
    assert not world.exists(COPY)
    world.close(menu["hwnd"])
    assert launcher.wait() == 0

