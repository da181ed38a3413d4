"""The test discs for real Windows (tools/disc/discs.py), as the test
command wrote them (QUIB_DISCS; without it, written here): written again,
the same bytes; each disc's files, and its title's menu from a CD-ROM
drive; and The Whirl installed by its setup stand-in, so that disc 1 hands
over to the installed launcher, which plays with disc 2."""

import hashlib
import os
import shutil
import subprocess
import sys
from pathlib import Path

import pytest
from conftest import ROOT, SHIPPED, quibworld, until
from design import WHIRL

ON_EVERY_DISC = {"autorun.inf", "QuibLaunch.exe", "winmm.dll", "CHECKLIST.txt"}
AUTORUN = b"[autorun]\r\nopen=QuibLaunch.exe\r\nicon=QuibLaunch.exe,0\r\n"
WHIRL_FOLDER = "C:\\Quib Test\\The Whirl"

# Image, what it holds besides ON_EVERY_DISC, the program that shows the
# menu once the launcher has started from it, and the title.
DISCS = [
    ("quib-volume3.iso", {"qbx3/Qbx3._CD", "setup.exe", "setup.ini", "qbx3/qbx332.exe", "TESTS/unit_tests.exe"},
     "quiblaunch.exe", 2),
    ("quib-whirl-disc1.iso", {"PlayQTW.exe", "Install/setup.exe", "Install/setup.ini", "Install/QBXTW.exe"},
     "~qbx4.tmp", 6),
    ("quib-whirl-disc2.iso", {"PlayQTW.exe", "Q4Items/qbx4._cd"}, "~qbx4.tmp", 6),
]


def write_images(out):
    """The discs written from the shipped launcher's tree, whose other
    programs go on them too."""
    subprocess.run([sys.executable, str(ROOT / "tools" / "disc" / "discs.py"), str(SHIPPED.parent), str(out)],
                   check=True, capture_output=True, timeout=120)
    return out


def sums(out):
    return {image.name: hashlib.sha256(image.read_bytes()).hexdigest() for image in out.glob("*.iso")}


@pytest.fixture(scope="module")
def images(tmp_path_factory):
    return Path(os.environ.get("QUIB_DISCS") or write_images(tmp_path_factory.mktemp("discs")))


def put_disc(world, image):
    """The disc's files by their Joliet names in the CD-ROM drive D:, listed."""
    drive = world.drive("d")
    shutil.rmtree(drive)
    subprocess.run(["xorriso", "-read_fs", "norock", "-osirrox", "on", "-indev", str(image), "-extract", "/",
                    str(drive)], check=True, capture_output=True)
    subprocess.run(["chmod", "-R", "u+w", str(drive)], check=True)
    return {path.relative_to(drive).as_posix() for path in drive.rglob("*") if path.is_file()}


def test_written_again_the_images_are_the_same_bytes(images, tmp_path):
    assert sorted(sums(images)) == sorted(disc[0] for disc in DISCS)
    assert sums(write_images(tmp_path)) == sums(images)


@pytest.mark.parametrize("image, files, menu, title", DISCS, ids=[disc[0] for disc in DISCS])
def test_each_disc_shows_its_titles_menu_from_a_cd_rom_drive(world, images, image, files, menu, title):
    assert put_disc(world, images / image) >= files | ON_EVERY_DISC
    assert world.unix("D:\\autorun.inf").read_bytes().startswith(AUTORUN)
    assert world.unix("D:\\QuibLaunch.exe").read_bytes() == SHIPPED.read_bytes()
    if quibworld.WINE_ARCH != "win32":   # this machine runs only the 64-bit build
        world.put_launcher("D:\\")
    world.xdotool("mousemove", 0, 0)
    world.start("D:\\QuibLaunch.exe")
    world.wait_menu(exe=menu)
    until(lambda: world.shows(world.menu_picture(title, installed=False)), 5, f"title {title}'s menu")
    world.key("Escape")


@pytest.mark.skipif(quibworld.WINE_ARCH != "win32", reason="the discs' stand-ins are 32-bit programs")
def test_the_whirl_installs_from_its_setup_stand_in_and_plays_with_disc_two(world, images):
    world.registry_dirty = True   # the setup stand-in writes the title's value
    put_disc(world, images / "quib-whirl-disc1.iso")
    world.xdotool("mousemove", 0, 0)
    world.start("D:\\QuibLaunch.exe")
    world.wait_menu(exe="~qbx4.tmp")
    world.key("Return")
    setup = world.wait_window("InstallShield_Win", exe="setup.exe")
    assert setup["text"] == "Quibbix The Whirl"
    assert "Program:  D:\\Install\\setup.exe\r\n" in setup["children"][0]["text"]
    assert "Current folder:  C:\\windows\r\n" in setup["children"][0]["text"]
    world.key("Return", into=setup["text"])   # its Install, focused
    until(lambda: world.exists(f"{WHIRL_FOLDER}\\QuibLaunch.exe"), 5, "the installation")
    world.key("Escape", into=setup["text"])
    until(lambda: not world.windows("InstallShield_Win"), 5, "the setup stand-in to close")

    # Disc 1 now starts the installed launcher, whose Play finds disc 2.
    world.start("D:\\QuibLaunch.exe")
    world.wait_menu()
    until(lambda: world.shows(world.menu_picture(6, installed=True)), 5, "the menu with Play")
    assert any(f"{WHIRL_FOLDER}\\QuibLaunch.exe" in line for line in world.processes().values())
    put_disc(world, images / "quib-whirl-disc2.iso")
    world.key("Return")
    game = world.wait_window(WHIRL["gameWindowClass"], exe=WHIRL["gameExe"].lower())
    assert f"Program:  {WHIRL_FOLDER}\\{WHIRL['gameExe']}\r\n" in game["children"][0]["text"]
