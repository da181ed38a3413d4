#!/bin/bash
# Installs the Debian packages the build, the demo and the tests need.
# Safe to run again: it does nothing when everything is already there.
set -euo pipefail

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686)
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64)
command -v cmake >/dev/null || need+=(cmake)
# LLVM's Microsoft-style tools (clang-cl, lld-link, llvm-rc, llvm-dlltool)
# and clang in mingw mode.
command -v clang-cl-14 >/dev/null || need+=(clang-14 clang-tools-14)
command -v lld-link-14 >/dev/null || need+=(lld-14)
command -v llvm-rc-14 >/dev/null || need+=(llvm-14)
[ -d /usr/src/googletest ] || need+=(googletest)
command -v Xvfb >/dev/null || need+=(xvfb)
/usr/bin/python3 -c 'import pytest' 2>/dev/null || need+=(python3-pytest)
/usr/bin/python3 -c 'import PIL' 2>/dev/null || need+=(python3-pil)
/usr/bin/python3 -c 'import pefile' 2>/dev/null || need+=(python3-pefile)
/usr/bin/python3 -c 'import Xlib' 2>/dev/null || need+=(python3-xlib)
/usr/bin/python3 -c 'import pyvirtualdisplay' 2>/dev/null || need+=(python3-pyvirtualdisplay)
command -v xdotool >/dev/null || need+=(xdotool)
command -v xorriso >/dev/null || need+=(xorriso)
[ -f /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf ] || need+=(fonts-dejavu-core)
[ -f /usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf ] || need+=(fonts-dejavu-extra)
command -v wine >/dev/null && dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine wine32:i386 wine64)

if [ ${#need[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${need[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
# The i386 side of the security suite lags behind amd64 on these images;
# preferring the main suite keeps wine32 installable.
if [ ! -f /etc/apt/preferences.d/quib-security ]; then
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' \
        > /etc/apt/preferences.d/quib-security
fi
# A mirror caught mid-sync fails one index now and then; try again, and go on
# with what was fetched if it keeps failing.
for try in 1 2 3; do
    apt-get update -qq && break
    sleep 5
done || true
apt-get install -y -qq --no-install-recommends --allow-downgrades "${need[@]}" >/dev/null
