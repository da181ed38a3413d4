#!/bin/bash
# Measures the launcher against the least any program can do for the same
# picture (bench/reference.c): time from CreateProcess until the menu waits
# for input, memory, idle CPU and the program file's size over its
# resources, in a throwaway Wine world on a private screen. Prints a table
# and one summary line:
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
exec /usr/bin/python3 bench/bench.py --build "$build" "$@"
