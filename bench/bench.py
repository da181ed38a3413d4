"""Runs the benchmark in the Wine world scripts/bench.sh prepared and prints
the table and the summary line.

The world: WINEPREFIX with drive D: a CD-ROM drive holding the demo disc
(qbx3\\Qbx3._CD, QuibLaunch.exe) and two copies of the reference program,
reference.exe and control.exe; DISPLAY a private screen; QUIB_WINE the Wine
loader. The driver (bench/driver.c) starts the programs and times them; the
rest is read from this side:

- idle CPU: utime + stime of the program's Unix process (/proc/PID/stat)
  over 5 s, since Wine's GetProcessTimes reports no CPU time for another
  process;
- memory: GetProcessMemoryInfo once the program waits for input. Wine fills
  PeakWorkingSetSize from the process's VmHWM and PeakPagefileUsage from
  RssAnon + VmSwap (/proc/PID/status), that is the private memory the
  process holds at that moment; Linux keeps no peak of it.
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

from PIL import Image, ImageChops, ImageGrab

WINE = os.environ.get("QUIB_WINE", "wine")
PREFIX = os.environ["WINEPREFIX"]
PROGRAMS = {"launcher": "D:\\QuibLaunch.exe", "reference": "D:\\reference.exe",
            "control": "D:\\control.exe"}
IDLE_SECONDS = 5
SCREEN_MATCH = 0.90   # the composed buttons and box art cover under 6 %


def fail(message):
    sys.exit(f"bench: {message}")


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def unix_pid(windows_exe):
    """The Unix process of a program Wine started in our prefix. Wine makes
    the Windows path of the program its process's command line."""
    for entry in Path("/proc").iterdir():
        try:
            args = (entry / "cmdline").read_bytes().split(b"\0")
            if args[0].decode(errors="replace").lower() != windows_exe.lower():
                continue
            if f"WINEPREFIX={PREFIX}".encode() in (entry / "environ").read_bytes().split(b"\0"):
                return int(entry.name)
        except (OSError, ValueError):
            continue
    fail(f"no Unix process runs {windows_exe} in {PREFIX}")


def cpu_ms(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000 / os.sysconf("SC_CLK_TCK")


def screen_match(picture):
    """Share of the screen's pixels that show the picture centred on black."""
    shown = ImageGrab.grab(xdisplay=os.environ["DISPLAY"]).convert("RGB")
    expected = Image.new("RGB", shown.size)
    expected.paste(picture, ((shown.width - picture.width) // 2, (shown.height - picture.height) // 2))
    differing = ImageChops.difference(shown, expected).convert("L").point(lambda v: 255 if v else 0)
    return 1 - differing.histogram()[255] / (shown.width * shown.height)


def hold(driver, name, picture):
    """Opens one program and, while its menu is idle, checks the screen and
    its CPU time. Returns (screen match, idle CPU ms)."""
    process = subprocess.Popen([WINE, windows_path(driver), "hold", PROGRAMS[name]],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        ready = process.stdout.readline().split()
        while ready and ready[0] == "early":
            ready = process.stdout.readline().split()
        if not ready or ready[0] != "ready":
            fail(f"{name} did not open")
        pid = unix_pid(PROGRAMS[name])
        match = screen_match(picture)
        before = cpu_ms(pid)
        time.sleep(IDLE_SECONDS)
        idle = cpu_ms(pid) - before
    finally:
        process.communicate("\n")
    if match < SCREEN_MATCH:
        fail(f"{name}: only {match:.1%} of the screen shows the centred picture")
    return match, idle


def rounds(driver, count, seed):
    """{name: [(ms, peak working set KiB, private KiB)] in round order}, and
    the number of starts made again because the program had no window yet
    when WaitForInputIdle returned."""
    names = list(PROGRAMS)
    output = subprocess.run([WINE, windows_path(driver), str(count), str(seed),
                             *PROGRAMS.values()], stdout=subprocess.PIPE, text=True)
    if output.returncode:
        fail(f"the driver failed ({output.returncode})")
    runs = {name: [] for name in names}
    early = 0
    for line in output.stdout.splitlines():
        if line.startswith("early"):
            early += 1
            continue
        _, _, index, ms, working_set, private = line.split()
        runs[names[int(index)]].append((float(ms), int(working_set), int(private)))
    if any(len(r) != count for r in runs.values()):
        fail("the driver reported fewer runs than rounds")
    return runs, early


def resources(path):
    """(sum of the sizes of the resource data entries, file offset of the
    section that holds them) of a PE file. The sum is the bytes of its
    pictures, dialogs, icons and version as stored, without the resource
    directory that indexes them."""
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
    else:
        return 0, 0

    def walk(directory):
        named, numbered = struct.unpack_from("<HH", data, base + directory + 12)
        total = 0
        for e in range(named + numbered):
            target = struct.unpack_from("<I", data, base + directory + 20 + 8 * e)[0]
            if target & 0x80000000:
                total += walk(target & 0x7FFFFFFF)
            else:
                total += struct.unpack_from("<I", data, base + target + 4)[0]
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
    parser.add_argument("--driver", required=True)
    parser.add_argument("--program", required=True, help="the launcher file, for its size")
    parser.add_argument("--reference", required=True, help="the reference program's file")
    parser.add_argument("--picture", required=True, help="the menu picture, for the screen check")
    args = parser.parse_args()

    load_before = load()
    picture = Image.open(args.picture).convert("RGB")
    held = {name: hold(args.driver, name, picture) for name in ("launcher", "reference")}
    print(f"Timing {args.rounds} rounds...", flush=True)
    runs, early = rounds(args.driver, args.rounds, args.seed)
    load_after = load()

    times = {name: [r[0] for r in runs[name]] for name in runs}
    ratios = {label: [a / b for a, b in zip(times[name], times["reference"])]
              for label, name in (("time_ratio", "launcher"), ("control_ratio", "control"))}
    memory = {name: [statistics.median(r[k] for r in runs[name]) for k in (1, 2)] for name in runs}
    file_size = os.path.getsize(args.program)
    resource_size, offset = resources(args.program)
    reference_offset = resources(args.reference)[1]

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
    labels = ("peak working set, KiB", "private bytes, KiB")
    mem_ratios = [memory["launcher"][k] / memory["reference"][k] for k in (0, 1)]
    for k, label in enumerate(labels):
        print(f"{label:36}{memory['launcher'][k]:11.0f}{memory['reference'][k]:11.0f}{mem_ratios[k]:9.3f}")
    print(f"{f'idle CPU over {IDLE_SECONDS} s, ms':36}{held['launcher'][1]:11.0f}{held['reference'][1]:11.0f}")
    print(f"{'screen showing the centred picture':36}{held['launcher'][0]:11.1%}{held['reference'][0]:11.1%}")
    over = (file_size - resource_size) / 1024
    print(f"\n{Path(args.program).name}: {file_size} bytes, resource data {resource_size} bytes, "
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
