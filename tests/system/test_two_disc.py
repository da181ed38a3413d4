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


def disc_one(world):
    """Disc 1 of the title in the CD-ROM drive D:, with its launcher."""
    world.put_file("D:\\PlayQTW.exe")
    world.put_file("D:\\Install\\QBXTW.exe")
    return world.put_launcher("D:\\")


def copy_processes(world):
    return [p for p in world.probe("procs") if p["exe"].lower() == "~qbx4.tmp"]


def test_cd_launcher_hands_over_to_a_copy_that_installs_from_disc_one(world):
    exe = disc_one(world)
    # Disc 1 itself has moved to the other CD-ROM drive by the time the copy
    # installs; the launcher's drive holds only the launcher and its marker.
    world.put_file("E:\\Install\\QBXTW.exe")
    world.put_standin("E:\\Install\\setup.exe")
    os.remove(world.unix_path("D:\\Install\\QBXTW.exe"))
    # A read-only source (as on a real disc) over a copy left by an earlier
    # run: the copy is overwritten and ends up with normal attributes.
    os.chmod(world.unix_path(exe), 0o444)
    world.put_file(COPY, b"an old copy")

    launcher = world.start(exe)
    assert launcher.wait(SILENT_LIMIT) == 0
    copy = world.unix_path(COPY)
    assert copy.read_bytes() == world.unix_path(exe).read_bytes()
    assert copy.stat().st_mode & stat.S_IWUSR, "the copy kept the read-only attribute"

    copies = copy_processes(world)
    assert [p["parent"] for p in copies] == [launcher.pid]
    menu = world.wait_menu(pid=copies[0]["pid"], timeout=15)
    assert not world.find_windows("#32770", visible=True)

    # Install is focused on the copy's menu: Return installs from disc 1,
    # found in E:, with the copy's current directory, the Windows directory.
    world.key(menu["hwnd"], quibworld.VK_RETURN)
    record = world.wait_for_standin(1)[0]
    assert (record["path"], record["cwd"].lower()) == ("E:\\Install\\setup.exe", "c:\\windows")
    world.wait_gone(menu["hwnd"])


def test_installer_window_ends_the_cd_launcher_silently(world):
    exe = disc_one(world)
    world.reg_set(WHIRL_KEY, "Directory", INSTALL_DIR)
    world.put_standin(f"{INSTALL_DIR}\\QuibLaunch.exe")
    world.open_window(*INSTALLER)
    assert world.run(exe, timeout=SILENT_LIMIT) == 0
    assert not world.exists(COPY)
    assert [r for r in world.standin_log() if not r["path"].lower().startswith("c:\\quibtest\\")] == []
    assert not world.find_windows(quibworld.MENU_CLASS)
    assert not world.find_windows("#32770", visible=True)


def test_installed_title_starts_the_installed_launcher_unless_it_is_missing(world):
    exe = disc_one(world)
    world.reg_set(WHIRL_KEY, "Directory", INSTALL_DIR)
    world.put_file(f"{INSTALL_DIR}\\QBXTW.exe")
    installed = world.put_standin(f"{INSTALL_DIR}\\QuibLaunch.exe")
    assert world.run(exe, timeout=SILENT_LIMIT) == 0
    assert [(r["path"], r["cwd"]) for r in world.wait_for_standin(1)] == [(installed, "D:\\")]
    time.sleep(0.5)
    assert not world.exists(COPY)
    assert not world.find_windows(quibworld.MENU_CLASS)

    os.remove(world.unix_path(installed))
    launcher = world.start(exe)
    assert launcher.wait(SILENT_LIMIT) == 0
    assert world.exists(COPY)
    copies = copy_processes(world)
    assert [p["parent"] for p in copies] == [launcher.pid]
    world.close(world.wait_menu(pid=copies[0]["pid"], timeout=15)["hwnd"])


def test_hard_disk_launcher_waits_for_the_installer_then_deletes_the_copy(world):
    installer = world.open_window(*INSTALLER)
    world.reg_set(WHIRL_KEY, "Directory", INSTALL_DIR)
    world.put_file(f"{INSTALL_DIR}\\QBXTW.exe")
    world.put_file(f"{INSTALL_DIR}\\Quib The Whirl.exe")
    world.put_file(COPY, b"left by a disc launcher")
    launcher = world.start(world.put_launcher(f"{INSTALL_DIR}\\QuibLaunch.exe"))
    time.sleep(2)
    assert launcher.running
    assert not world.find_windows(pid=launcher.pid)
    assert world.exists(COPY)

    world.close(installer)
    closed = time.monotonic()
    menu = world.wait_menu(pid=launcher.pid, timeout=5)
    assert time.monotonic() - closed < 3, "one look a second"
    assert not world.exists(COPY), "the copy goes before the menu shows"
    world.close(menu["hwnd"])
    assert launcher.wait() == 0
