"""Measures the launcher against the least any program can do for the same
picture (bench/reference.c), in a throwaway Wine world on a private screen,
and prints a table and one summary line:

    time_ratio=X mem_ratio=Y private_ratio=P idle_cpu_ms=Z size_over_resources_kib=W

The launcher starts from a demo disc (Volume 3, not installed: the menu
shows Install). The driver (bench/driver.c) times each start from
CreateProcess until WaitForInputIdle and reads GetProcessMemoryInfo then:
under Wine PeakWorkingSetSize is the host process's VmHWM, PeakPagefileUsage
its RssAnon + VmSwap (/proc/PID/status), the private memory held at that
moment, since Linux keeps no peak of it. Idle CPU is read from the host
(/proc/PID/stat), since Wine's GetProcessTimes reports no CPU time for
another process.
"""

import argparse
import os
import random
import statistics
import struct
import subprocess
import sys
import time
from pathlib import Path

from PIL import Image, ImageChops

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tools"))
from quibtables import IDS, PICTURE, bitmap  # noqa: E402
from quibworld import WINE, World, until, windows_path  # noqa: E402

PROGRAMS = {"launcher": "D:\\QuibLaunch.exe", "reference": "D:\\reference.exe",
            "control": "D:\\control.exe"}
IDLE_SECONDS = 5
SCREEN_MATCH = 0.90   # the launcher's box art and buttons cover under 6 % of the screen


def screen_match(world):
    """Share of the screen's pixels that show the menu picture centred on black."""
    expected = Image.new("RGB", world.size)
    expected.paste(bitmap(IDS["IDB_MENU"]), world.on_screen(PICTURE)[:2])
    differing = ImageChops.difference(world.grab(), expected).convert("L").point(lambda v: 255 if v else 0)
    return 1 - differing.histogram()[255] / (world.size[0] * world.size[1])


def idle(world, name):
    """Opens one program; once it shows the picture, its CPU time over
    IDLE_SECONDS of waiting for input. Returns (screen match, CPU ms)."""
    program = world.start(PROGRAMS[name])
    try:
        until(lambda: screen_match(world) >= SCREEN_MATCH, 15, f"{name} showing the centred picture")
        match, before = screen_match(world), program.cpu_seconds()
        time.sleep(IDLE_SECONDS)
        return match, (program.cpu_seconds() - before) * 1000
    finally:
        program.kill()


def rounds(world, driver, count, seed):
    """{name: [(ms, peak working set KiB, private KiB)]} in round order, and
    the number of starts made again because the program had no window yet
    when WaitForInputIdle returned."""
    names = list(PROGRAMS)
    out = world.dir / "rounds.txt"
    with open(out, "w") as file:   # a file, not a pipe: see World.probe in the tests
        if subprocess.run([WINE, windows_path(driver), str(count), str(seed), *PROGRAMS.values()],
                          env=world.env(), stdout=file, stdin=subprocess.DEVNULL).returncode:
            sys.exit("bench: the driver failed")
    runs, early = {name: [] for name in names}, 0
    for line in out.read_text().splitlines():
        if line.startswith("early"):
            early += 1
            continue
        _, _, index, ms, working_set, private = line.split()
        runs[names[int(index)]].append((float(ms), int(working_set), int(private)))
    return runs, early


def resources(path):
    """(sum of the sizes of the resource data entries, file offset of the
    section that holds them) of a PE file: the bytes of its pictures,
    dialogs, icons and version as stored, without the directory over them."""
    data = Path(path).read_bytes()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", data, header + 6)
    optional = header + 24
    pe32 = struct.unpack_from("<H", data, optional)[0] == 0x10B
    rva = struct.unpack_from("<I", data, optional + (96 if pe32 else 112) + 2 * 8)[0]
    for i in range(sections):
        size, address, _, offset = struct.unpack_from("<4I", data, optional + optional_size + 40 * i + 8)
        if address <= rva < address + size:
            base = offset + rva - address
            break

    def walk(directory):
        named, numbered = struct.unpack_from("<HH", data, base + directory + 12)
        total = 0
        for e in range(named + numbered):
            target = struct.unpack_from("<I", data, base + directory + 20 + 8 * e)[0]
            total += walk(target & 0x7FFFFFFF) if target & 0x80000000 else \
                struct.unpack_from("<I", data, base + target + 4)[0]
        return total

    return walk(0), offset


def machine():
    model = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo")
                  if line.startswith("model name")), "unknown CPU")
    wine = subprocess.run([WINE, "--version"], stdout=subprocess.PIPE, text=True).stdout.strip()
    return f"{os.cpu_count()} cores, {model}; {wine}"


def load():
    return open("/proc/loadavg").read().split()[0]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rounds", type=int, default=40)
    parser.add_argument("--seed", type=int, default=random.randrange(1 << 31))
    parser.add_argument("--build", type=Path, required=True)
    args = parser.parse_args()

    world = World("bench", args.build)
    try:
        world.put("D:\\qbx3\\Qbx3._CD")
        world.put_launcher("D:\\")
        for name in ("reference", "control"):
            world.put_program(PROGRAMS[name], "bench/bench_reference.exe")
        load_before = load()
        held = {name: idle(world, name) for name in ("launcher", "reference")}
        print(f"Timing {args.rounds} rounds...", flush=True)
        runs, early = rounds(world, args.build / "bench" / "bench_driver.exe", args.rounds, args.seed)
        load_after = load()
    finally:
        world.close()

    times = {name: [r[0] for r in runs[name]] for name in runs}
    ratios = {label: [a / b for a, b in zip(times[name], times["reference"])]
              for label, name in (("time_ratio", "launcher"), ("control_ratio", "control"))}
    memory = {name: [statistics.median(r[k] for r in runs[name]) for k in (1, 2)] for name in runs}
    program = world.launcher     # QUIB_LAUNCHER, if set, as the world ran it
    resource_size, offset = resources(program)
    reference_offset = resources(args.build / "bench" / "bench_reference.exe")[1]

    print(f"\nLauncher on a demo disc (Install) against the reference program, {args.rounds} rounds "
          f"in random order (seed {args.seed})")
    print(f"{machine()}; load average {load_before} before, {load_after} after\n")
    print(f"{'CreateProcess to WaitForInputIdle':36}{'min':>9}{'median':>9}{'max':>9}")
    for name, values in [*((f"{n}, ms", times[n]) for n in times),
                         *((f"{n} ({'launcher' if n == 'time_ratio' else 'control'} / reference)",
                            ratios[n]) for n in ratios)]:
        print(f"{name:36}" + "".join(f"{v:9.{1 if ', ms' in name else 3}f}"
                                     for v in (min(values), statistics.median(values), max(values))))
    print(f"starts made again, no window yet when WaitForInputIdle returned: {early}")
    print(f"\n{'once waiting for input (medians)':36}{'launcher':>11}{'reference':>11}{'ratio':>9}")
    mem_ratios = [memory["launcher"][k] / memory["reference"][k] for k in (0, 1)]
    for k, label in enumerate(("peak working set, KiB", "private bytes, KiB")):
        print(f"{label:36}{memory['launcher'][k]:11.0f}{memory['reference'][k]:11.0f}{mem_ratios[k]:9.3f}")
    print(f"{f'idle CPU over {IDLE_SECONDS} s, ms':36}{held['launcher'][1]:11.0f}{held['reference'][1]:11.0f}")
    print(f"{'screen showing the centred picture':36}{held['launcher'][0]:11.1%}{held['reference'][0]:11.1%}")
    over = (program.stat().st_size - resource_size) / 1024
    print(f"\n{program.name}: {program.stat().st_size} bytes, resource data {resource_size} bytes, "
          f"{over:.1f} KiB over its resources")
    # Wine maps a section of a program file only from a page-aligned file
    # offset; it copies any other section into the process's private memory.
    print(f"resources start at file offset {offset:#x} (launcher), {reference_offset:#x} (reference); "
          "Wine copies them into private memory unless the offset is a multiple of 0x1000\n")
    print(f"time_ratio={statistics.median(ratios['time_ratio']):.3f} "
          f"mem_ratio={mem_ratios[0]:.3f} private_ratio={mem_ratios[1]:.3f} "
          f"idle_cpu_ms={held['launcher'][1]:.0f} size_over_resources_kib={over:.1f}")


if __name__ == "__main__":
    main()
