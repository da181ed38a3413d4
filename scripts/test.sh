#!/bin/bash
# Builds the launcher and runs every test: unit tests under Wine, the
# artwork check, the whole-program tests (on the shipped launcher and on the
# Microsoft-style build's) and the release checks of the program files. The
# last thing printed is CTest's summary; the exit code is non-zero on any
# failure.
#
# The shipped program is the 32-bit build (preset win32). On machines that
# cannot execute 32-bit code the tests run the 64-bit build of the same
# sources (preset win64) under 64-bit Wine, and the 32-bit file is checked
# as a file.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh

source scripts/wine-env.sh

# The 32-bit tree is built whole, tests included, so a test that only
# compiles for one architecture is caught on every machine. The tests are
# told where the Microsoft-style build's launcher lies (built next).
msvc_launcher="-DQUIB_MSVC_LAUNCHER=$root/build/win32-msvc/QuibLaunch.exe"
echo "== Building the shipped 32-bit program and its tests (build/win32)"
quib_build win32 "$msvc_launcher"

# The same launcher built Microsoft-style (clang-cl, lld-link, llvm-rc), whose
# resources and whole-program behaviour the msvc tests compare, and built by
# clang and lld in mingw mode, only to prove that it links.
echo "== Building the Microsoft-style launcher (build/win32-msvc)"
quib_build win32-msvc
echo "== Building the launcher with clang and lld in mingw mode (build/win32-clang)"
quib_build win32-clang

if [ "$QUIB_WINE_ARCH" = win64 ]; then
    echo "== This machine runs no 32-bit code: building the 64-bit test build (build/win64)"
    quib_build win64 "$msvc_launcher" "-DQUIB_WIN32_BUILD_DIR=$root/build/win32"
fi
export QUIB_BUILD_DIR="$root/build/$QUIB_WINE_ARCH"

# Everything this run starts carries this mark in its environment: screens,
# Wine servers (which start a session of their own), Wine programs and the
# launchers of a test that failed or timed out. On every way out, passed,
# failed or interrupted, whatever still carries it is ended.
export QUIB_TEST_RUN="$$-$RANDOM"
unit_prefix="$QUIB_BUILD_DIR/wine-unit"
cleanup() {
    WINEPREFIX="$unit_prefix" "$QUIB_WINESERVER" -k >/dev/null 2>&1 || true
    local signal pids
    for signal in TERM KILL; do
        pids=$(grep -l -s -z -x "QUIB_TEST_RUN=$QUIB_TEST_RUN" /proc/[0-9]*/environ |
               cut -d/ -f3 | grep -v -x -e "$$" -e "$BASHPID" || true)
        [ -n "$pids" ] || return 0
        kill -"$signal" $pids 2>/dev/null || true
        sleep 1
    done
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A screen for the unit tests that create real windows and dialogs, with a
# window manager as on a player's desktop. The system tests make their own.
fifo="$(mktemp -u)"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$fifo" </dev/null >/dev/null 2>&1 &
read -r -t 15 display_number <"$fifo" || { echo "Xvfb did not start" >&2; exit 1; }
rm -f "$fifo"
export DISPLAY=":$display_number"
openbox </dev/null >/dev/null 2>&1 &

echo "== Preparing the unit-test Wine prefix (display $DISPLAY)"
export WINEPREFIX="$unit_prefix"
"$QUIB_WINESERVER" -k >/dev/null 2>&1 || true
quib_make_unit_prefix

# The unit tests share one prefix, its drives and the series semaphore, and
# the whole-program tests measure time and CPU, so CTest runs the tests one
# at a time unless QUIB_TEST_JOBS says otherwise. Each test runs once.
echo "== Running the tests"
cd "$QUIB_BUILD_DIR"
# CTest runs in the background so that an interrupt ends the wait at once.
status=0
ctest --output-on-failure -j"${QUIB_TEST_JOBS:-1}" "$@" </dev/null &
wait $! || status=$?
exit "$status"
