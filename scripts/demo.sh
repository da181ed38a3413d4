#!/bin/bash
# Builds the launcher and shows it in a throwaway Wine world: the Volume 3
# disc lies in a simulated CD-ROM drive and the launcher starts from it.
# With a display (DISPLAY set) the menu appears there; without one it runs
# on a private screen and saves the README's pictures in docs/screenshots/.
# Extra arguments go to tools/demo.py (--screenshots, --out DIR).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh
source scripts/wine-env.sh

echo "== Building the launcher (build/$QUIB_WINE_ARCH)"
quib_build "$QUIB_WINE_ARCH" QuibLaunch standin
export QUIB_BUILD_DIR="$root/build/$QUIB_WINE_ARCH"

echo "== Starting the demo"
exec /usr/bin/python3 tools/demo.py "$@"
