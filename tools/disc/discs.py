"""The test discs for real Windows: what lies on each, and the ISO 9660
images with Joliet names that scripts/disc-image.sh writes.

The names come from the launcher's own title rows (src/launcher/titles.inc,
through tools/quibtables.py), so each disc is laid out as the launcher
expects it. Every file and folder carries one date, $SOURCE_DATE_EPOCH
(by default the commit time of the sources' HEAD; outside git, 2000-01-01),
which xorriso also takes for the volume's dates and id; it sorts the names
itself. So the same programs give the same images, byte for byte.

    [SOURCE_DATE_EPOCH=...] python3 tools/disc/discs.py BUILD_DIR OUT_DIR

BUILD_DIR is a tree of the preset win32, built: its launcher, the stand-in,
the planted winmm.dll and the unit-test program go on the discs.
"""

import hashlib
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path, PureWindowsPath

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent))
from quibtables import CATALOGUE  # noqa: E402

VOLUME_3, WHIRL = CATALOGUE[2], CATALOGUE[6]
LAUNCHER, CANARY = WHIRL["installedLauncher"], "winmm.dll"
# Programs of the build, by what they are on a disc.
PROGRAMS = {"launcher": LAUNCHER, "stand-in": "tools/disc/disc_standin.exe", "canary": CANARY,
            "unit tests": "unit_tests.exe"}


def crlf(text):
    return text.replace("\n", "\r\n").encode("ascii")


def ini(sections):
    """An INI file from {section: {name: value}}."""
    return crlf("".join(f"[{section}]\n" + "".join(f"{name}={value}\n" for name, value in values.items())
                        for section, values in sections.items()))


def edition(row):
    return row["promptCaption"].split(" - ", 1)[1]   # "Quibbix - Volume 3": "Volume 3"


def ini_of(program):
    return str(PureWindowsPath(program).with_suffix(".ini"))


def seen_from(folder, path):
    """A path of the disc as a program in folder ("" for the root) names it."""
    if not folder:
        return path
    return path[len(folder) + 1:] if path.startswith(folder + "\\") else "..\\" * (folder.count("\\") + 1) + path


def game(row, path):
    """The stand-in game at a path of the disc: its window has the class
    that the launcher looks for while the game runs."""
    return {path: "stand-in", ini_of(path): ini({"Window": {
        "Class": row["gameWindowClass"], "Title": f"{row['promptCaption']} (stand-in game)",
        "About": f"Stand-in for {row['gameExe']}, the game of {edition(row)}, on a Quibbix test disc."}})}


def setup(row, window, installs):
    """The stand-in setup program where the launcher starts it; Install
    copies the files installs names (disc paths, by their names in the
    installation folder)."""
    path = row["setupProgram"]
    folder = str(PureWindowsPath(path).parent).strip(".")
    return {path: "stand-in", ini_of(path): ini({
        "Window": {"Class": window[0], "Title": window[1],
                   "About": f"Stand-in for {path}, the setup program of {edition(row)}, on a Quibbix test disc."},
        "Install": {"Key": row["registryKey"], "Value": row["valueName"], "Folder": f"Quib Test\\{edition(row)}"},
        "Files": {name: seen_from(folder, source) for name, source in installs.items()}})}


def root(label):
    """What lies at the root of every disc: AutoPlay starts the launcher."""
    return {"autorun.inf": crlf(f"[autorun]\nopen={LAUNCHER}\nicon={LAUNCHER},0\nlabel={label}\n"),
            LAUNCHER: "launcher", CANARY: "canary",
            "CHECKLIST.txt": crlf((HERE / "checklist.txt").read_text())}


def marker(label):
    return crlf(f"{label}\n")


def discs():
    """{image file: (volume id, {path on the disc: bytes, or a program of PROGRAMS})}."""
    game_3 = str(PureWindowsPath(VOLUME_3["discMarker"]).parent / VOLUME_3["gameExe"])
    volume_3 = {**root("Quibbix Volume 3 test disc"), VOLUME_3["discMarker"]: marker("Quibbix Volume 3 test disc"),
                **game(VOLUME_3, game_3),
                **setup(VOLUME_3, ("QuibTestSetup", "Quibbix Volume 3 Setup (stand-in)"),
                        {VOLUME_3["gameExe"]: game_3, ini_of(VOLUME_3["gameExe"]): ini_of(game_3),
                         LAUNCHER: LAUNCHER, CANARY: CANARY}),
                "TESTS\\unit_tests.exe": "unit tests"}
    # Install on disc 1 looks for the game in Install\ and copies it from
    # there, with the launcher and the name the installed launcher knows
    # the title by. Disc 2 also starts the launcher: put in at the disc
    # prompt, it must not open a second menu over the game.
    game_w = WHIRL["discMarkerPath"][3:]
    whirl_1 = {**root("Quibbix The Whirl disc 1"), WHIRL["discMarker"]: "stand-in", **game(WHIRL, game_w),
               **setup(WHIRL, (WHIRL["installerClass"], WHIRL["installerTitle"]),
                       {WHIRL["gameExe"]: game_w, ini_of(WHIRL["gameExe"]): ini_of(game_w),
                        WHIRL["hardDiskExe"]: game_w, LAUNCHER: LAUNCHER, CANARY: CANARY})}
    whirl_2 = {**root("Quibbix The Whirl disc 2"), WHIRL["discMarker"]: "stand-in",
               WHIRL["secondDiscMarkerPath"][3:]: marker("Quibbix The Whirl disc 2")}
    return {"quib-volume3.iso": ("QUIB_VOLUME_3", volume_3),
            "quib-whirl-disc1.iso": ("QUIB_WHIRL_1", whirl_1),
            "quib-whirl-disc2.iso": ("QUIB_WHIRL_2", whirl_2)}


def write(build, out, epoch):
    out.mkdir(parents=True, exist_ok=True)
    (out / "CHECKLIST.txt").write_bytes(crlf((HERE / "checklist.txt").read_text()))
    sums = []
    for name, (volume, files) in discs().items():
        image = out / name
        with tempfile.TemporaryDirectory(dir=out) as stage:
            for path, what in files.items():
                target = Path(stage, *PureWindowsPath(path).parts)
                target.parent.mkdir(parents=True, exist_ok=True)
                target.write_bytes(what if isinstance(what, bytes) else (build / PROGRAMS[what]).read_bytes())
            for entry in [Path(stage), *Path(stage).rglob("*")]:
                os.utime(entry, (epoch, epoch))
            image.unlink(missing_ok=True)
            subprocess.run(["xorriso", "-as", "mkisofs", "-quiet", "-r", "-J", "-V", volume, "-o", str(image), stage],
                           env=dict(os.environ, SOURCE_DATE_EPOCH=str(epoch)), check=True, capture_output=True)
        digest = hashlib.sha256(image.read_bytes()).hexdigest()
        sums.append(f"{digest}  {name}\n")
        print(f"{name:22} {image.stat().st_size:>9} bytes  sha256 {digest}")
    (out / "SHA256SUMS").write_text("".join(sums))


def epoch():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    head = subprocess.run(["git", "log", "-1", "--format=%ct"], cwd=HERE, capture_output=True, text=True)
    return int(head.stdout) if head.returncode == 0 and head.stdout.strip() else 946684800


if __name__ == "__main__":
    dates = epoch()
    print(f"dates: {time.strftime('%Y-%m-%d %H:%M:%S UTC', time.gmtime(dates))}")
    write(Path(sys.argv[1]), Path(sys.argv[2]), dates)
