#!/bin/bash
# Measures the launcher against the least any program can do for the same
# picture (bench/reference.c): time from CreateProcess until the menu waits
# for input, memory, idle CPU and the program file's size over its
# resources. It builds what it needs, runs in a throwaway Wine world on a
# private Xvfb screen, and prints a table and one summary line:
#   time_ratio=X mem_ratio=Y private_ratio=P idle_cpu_ms=Z size_over_resources_kib=W
# Options: --rounds N (default 40), --seed S (the order of the starts).
#
# QUIB_BENCH_BUILD_DIR names an already built tree to use instead of
# building (the test suite's smoke run uses its own).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
source scripts/wine-env.sh

build="${QUIB_BENCH_BUILD_DIR:-}"
if [ -z "$build" ]; then
    bash scripts/install-deps.sh
    echo "== Building the launcher and the benchmark (build/$QUIB_WINE_ARCH)"
    quib_build "$QUIB_WINE_ARCH" QuibLaunch bench_reference bench_driver >/dev/null
    build="$root/build/$QUIB_WINE_ARCH"
fi

work="$(mktemp -d)"
export WINEPREFIX="$work/prefix"
xvfb_pid=""
cleanup() {
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 15 display_number <"$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display_number"

# The demo disc (no installation in the registry: the menu shows Install)
# and the reference program twice, its second copy the run's control.
disc="$work/disc"
mkdir -p "$disc/qbx3"
: > "$disc/qbx3/Qbx3._CD"
cp "$build/QuibLaunch.exe" "$disc/"
cp "$build/bench/bench_reference.exe" "$disc/reference.exe"
cp "$build/bench/bench_reference.exe" "$disc/control.exe"
echo "== Preparing a throwaway Wine prefix (display $DISPLAY)"
quib_make_prefix "d:cdrom:$disc"

/usr/bin/python3 bench/bench.py --driver "$build/bench/bench_driver.exe" \
    --program "$build/QuibLaunch.exe" --reference "$build/bench/bench_reference.exe" \
    --picture resources/art/menu.bmp "$@"
