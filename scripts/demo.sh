#!/bin/bash
# Builds the launcher and shows it in a throwaway Wine world: the disc of
# one title lies in a simulated CD-ROM drive and the launcher starts from
# it. With a display (DISPLAY set) the menu appears there; without one it
# runs on a private Xvfb screen and saves screenshots in out/screenshots/.
# Extra arguments go to tests/system/demo.py (--screenshots, --out DIR).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh
source scripts/wine-env.sh

preset="$QUIB_WINE_ARCH"
echo "== Building the launcher (build/$preset)"
quib_build "$preset" QuibLaunch standin probe
export QUIB_BUILD_DIR="$root/build/$preset"

echo "== Starting the demo"
exec /usr/bin/python3 tests/system/demo.py "$@"
