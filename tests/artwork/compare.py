#!/usr/bin/python3
"""Checks that the committed pictures are exactly what the generator draws,
and that the lettering it draws them with is what FreeType draws.

    compare.py GENERATOR COMMITTED_FOLDER SCRATCH_FOLDER

1. The generator draws into SCRATCH/art from its stored lettering (text
   boxes and masks), and every file is compared byte for byte, both ways,
   with COMMITTED_FOLDER: exact on any system.
2. It draws the lettering anew with this system's FreeType into
   SCRATCH/lettering, compared with the stored one. Where the Pillow,
   FreeType, raqm and font files differ from those the stored lettering
   names, text comes out a little differently: the check says so and
   passes on part 1.

Why the text is an input of the generator rather than something the check
skips: Debian 13's Pillow 11.1, FreeType 2.13 and DejaVu files change 30 of
the 38 files, yet given Debian 12's masks and boxes make all 38 byte for
byte; and the shared colour table, which the median cut takes over every
pixel, moves with the text, so a tolerance wide enough for it hides real
faults.
"""
import filecmp
import os
import shutil
import subprocess
import sys


def compare_pictures(generator, committed, out):
    subprocess.run([sys.executable, generator, out], check=True)
    made, kept = set(os.listdir(out)), set(os.listdir(committed))
    _, differ, _ = filecmp.cmpfiles(out, committed, sorted(made & kept), shallow=False)
    problems = ["missing from %s: %s" % (committed, n) for n in sorted(made - kept)]
    problems += ["not made by the generator: %s" % n for n in sorted(kept - made)]
    problems += ["differs: %s" % n for n in differ]
    print("pictures: %d files compared byte for byte, %d problems" % (len(made & kept), len(problems)))
    return problems


def compare_lettering(generator, scratch):
    """Problems with the stored lettering, and a note when it cannot be checked here."""
    tools = os.path.dirname(os.path.abspath(generator))
    sys.path.insert(0, tools)
    import lettering
    fresh_folder = os.path.join(scratch, "lettering")
    subprocess.run([sys.executable, generator, "--lettering", fresh_folder, "--render-text",
                    os.path.join(scratch, "fresh")], check=True)
    stored = lettering.Store(tools, False, None)
    fresh = lettering.Store(fresh_folder, False, None)
    boxes = set(stored.boxes) | set(fresh.boxes)
    masks = set(stored.masks) | set(fresh.masks)
    differ = [k for k in boxes if stored.boxes.get(k) != fresh.boxes.get(k)]
    differ += [k for k in masks if not same_mask(stored.masks.get(k), fresh.masks.get(k))]
    print("lettering: %d boxes and %d masks compared with this system's FreeType, %d differ"
          % (len(boxes), len(masks), len(differ)))
    if not differ:
        return []
    made, here = stored.made_with, fresh.made_with
    if here == made:
        pieces = sorted({"%r (%s %d)" % (k[2], k[0], k[1]) for k in differ})
        return ["the stored lettering is not what %s draws: %s; run generate.py --render-text"
                % (lettering.describe(here), ", ".join(pieces))]
    fonts = sorted(n for n in set(made["fonts"]) | set(here["fonts"])
                   if made["fonts"].get(n) != here["fonts"].get(n))
    print("NOTE: the stored lettering, drawn with %s, cannot be compared exactly here: this system has\n"
          "  %s%s, which draw %d of its %d boxes and masks differently. The pictures were still compared\n"
          "  exactly, drawn from the stored lettering."
          % (lettering.describe(made), lettering.describe(here), " and other font files (%s)" % ", ".join(fonts)
             if fonts else "", len(differ), len(boxes) + len(masks)))
    return []


def same_mask(a, b):
    return (a is not None and b is not None and a[1] == b[1] and a[0].size == b[0].size
            and a[0].tobytes() == b[0].tobytes())


def main(generator, committed, scratch):
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    problems = compare_pictures(generator, committed, os.path.join(scratch, "art"))
    problems += compare_lettering(generator, scratch)
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
