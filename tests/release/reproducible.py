"""A rebuild of the same sources in another folder, at another time, gives
the same program file, byte for byte: git's files, committed or not, are
copied into a fresh temporary folder, the launcher is built there with each
preset and compared with the program file of the main build.

    reproducible.py PRESET=PROGRAM...    e.g. win32=build/win32/QuibLaunch.exe
"""

import hashlib
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]


def sha256(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


failed = False
with tempfile.TemporaryDirectory(prefix="quib-rebuild-") as folder:
    copy = Path(folder) / "source"
    copy.mkdir()
    # tar passes over a file deleted but not committed, which git still lists.
    subprocess.run(["bash", "-o", "pipefail", "-c", 'git ls-files -z -co --exclude-standard | '
                    f'tar -c --null -T - --ignore-failed-read | tar -x -C "{copy}"'], cwd=ROOT, check=True)
    for preset, program in (arg.split("=", 1) for arg in sys.argv[1:]):
        subprocess.run(["cmake", "--preset", preset], cwd=copy, check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", copy / "build" / preset, "--target", "QuibLaunch", "-j2"],
                       check=True, stdout=subprocess.DEVNULL)
        main, again = sha256(program), sha256(copy / "build" / preset / "QuibLaunch.exe")
        print(f"{preset}: {main}  {program}\n{preset}: {again}  rebuilt in {copy}\n"
              f"{preset}: {'same' if main == again else 'DIFFERENT'}")
        failed |= main != again
sys.exit(failed)
