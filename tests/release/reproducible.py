"""A rebuild of the same sources in another folder, at another time, gives
the same program file, byte for byte. Copies the source tree (git's files,
committed or not, no build folders) into a fresh temporary folder, builds
the launcher there with each preset and compares the SHA-256 of each with
the program file of the main build.

    reproducible.py PRESET=PROGRAM...    e.g. win32=build/win32/QuibLaunch.exe
"""

import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]


def sha256(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


names = subprocess.run(["git", "ls-files", "-z", "-co", "--exclude-standard"], cwd=ROOT,
                       capture_output=True, check=True).stdout.split(b"\0")
failed = False
with tempfile.TemporaryDirectory(prefix="quib-rebuild-") as folder:
    copy = Path(folder) / "source"
    for name in map(os.fsdecode, filter(None, names)):
        if (ROOT / name).is_file():      # git still lists a file deleted but not committed
            (copy / name).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy(ROOT / name, copy / name)
    for preset, program in (arg.split("=", 1) for arg in sys.argv[1:]):
        subprocess.run(["cmake", "--preset", preset], cwd=copy, check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", copy / "build" / preset, "--target", "QuibLaunch", "-j2"],
                       check=True, stdout=subprocess.DEVNULL)
        main, again = sha256(program), sha256(copy / "build" / preset / "QuibLaunch.exe")
        print(f"{preset}: {main}  {program}\n{preset}: {again}  rebuilt in {copy}\n"
              f"{preset}: {'same' if main == again else 'DIFFERENT'}")
        failed |= main != again
sys.exit(failed)
