#!/bin/bash
# Writes test discs for real Windows: ISO 9660 images with Joliet names of
# the Volume 3 disc and the two discs of The Whirl, each with the shipped
# 32-bit launcher, AutoPlay, stand-ins for the setup programs and games, a
# planted winmm.dll, and CHECKLIST.txt; the Volume 3 disc also carries the
# unit-test program in TESTS. See tools/disc/discs.py for what lies where.
#
#   bash scripts/disc-image.sh [--out DIR]     (default build/discs)
#
# The same sources give the same images, byte for byte: every date on them
# is SOURCE_DATE_EPOCH, by default the commit time of HEAD (outside git, a
# fixed date; tools/disc/discs.py takes it).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build/discs"
while [ $# -gt 0 ]; do
    case "$1" in
        --out) out="$(realpath -m "${2:?--out needs a folder}")"; shift 2 ;;
        *) echo "usage: bash scripts/disc-image.sh [--out DIR]" >&2; exit 2 ;;
    esac
done
cd "$root"

bash scripts/install-deps.sh
source scripts/wine-env.sh

echo "== Building the shipped 32-bit program and the discs' programs (build/win32)"
quib_build win32 QuibLaunch disc_standin canary unit_tests >/dev/null

echo "== Writing the disc images to $out"
/usr/bin/python3 tools/disc/discs.py "$root/build/win32" "$out"
