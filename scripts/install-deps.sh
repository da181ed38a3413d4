#!/bin/bash
# Installs the Debian packages the build, the demo and the tests need, on
# Debian 12 and Debian 13 alike: each need is looked for by what it is (a
# command, a Python module, a file), and the packages named are the ones
# both releases offer under that name.
# Safe to run again: it does nothing when everything is already there.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/find-tools.sh"

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686)
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64)
command -v cmake >/dev/null || need+=(cmake)
command -v make >/dev/null || need+=(make)
command -v git >/dev/null || need+=(git)
# LLVM's Microsoft-style tools (clang-cl, lld-link, llvm-rc) and clang in
# mingw mode, of the release's default LLVM version.
quib_llvm_tool clang-cl >/dev/null || need+=(clang clang-tools)
quib_llvm_tool lld-link >/dev/null || need+=(lld)
quib_llvm_tool llvm-rc >/dev/null || need+=(llvm)
[ -d /usr/src/googletest ] || need+=(googletest)
command -v Xvfb >/dev/null || need+=(xvfb)
/usr/bin/python3 -c 'import pytest' 2>/dev/null || need+=(python3-pytest)
/usr/bin/python3 -c 'import PIL' 2>/dev/null || need+=(python3-pil)
/usr/bin/python3 -c 'import pefile' 2>/dev/null || need+=(python3-pefile)
/usr/bin/python3 -c 'import Xlib' 2>/dev/null || need+=(python3-xlib)
/usr/bin/python3 -c 'import pyvirtualdisplay' 2>/dev/null || need+=(python3-pyvirtualdisplay)
command -v xdotool >/dev/null || need+=(xdotool)
command -v openbox >/dev/null || need+=(openbox)
command -v xorriso >/dev/null || need+=(xorriso)
[ -f /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf ] || need+=(fonts-dejavu-core)
[ -f /usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf ] || need+=(fonts-dejavu-extra)
{ quib_wine_program wine && quib_wine_program wineserver; } >/dev/null && dpkg -s wine32:i386 >/dev/null 2>&1 ||
    need+=(wine wine32:i386 wine64)
# The X Input extension library, which Wine recommends: without it Wine 10
# cannot grab the pointer for a full-screen window, and the window's
# thread spins between clipping the pointer and giving it up, answering no
# messages, whenever a window manager gives it the keyboard focus.
[ -e /usr/lib/i386-linux-gnu/libXi.so.6 ] || need+=(libxi6:i386)
[ -e /usr/lib/x86_64-linux-gnu/libXi.so.6 ] || need+=(libxi6)

if [ ${#need[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${need[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
# An earlier version of this script left this preference in force; it is
# given to the one install that needs it instead (below).
rm -f /etc/apt/preferences.d/quib-security
# A mirror caught mid-sync fails one index now and then; try again, and go on
# with what was fetched if it keeps failing.
for try in 1 2 3; do
    apt-get update -qq && break
    sleep 5
done || true
install=(apt-get install -y -qq --no-install-recommends)
if ! "${install[@]}" --simulate "${need[@]}" >/dev/null 2>&1; then
    # Where the security suite has newer amd64 libraries than its i386 side
    # can match (seen on Debian 12 images), wine32 is uninstallable unless
    # the main suite's versions are preferred: this install alone gets that
    # preference, and may move a few amd64 libraries back to them.
    preference="$(mktemp)"
    trap 'rm -f "$preference"' EXIT
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' >"$preference"
    install+=(-o "Dir::Etc::Preferences=$preference" --allow-downgrades)
fi
"${install[@]}" "${need[@]}" >/dev/null
