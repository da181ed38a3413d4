#!/usr/bin/python3
"""Checks that the committed pictures are exactly what the generator draws,
and that the lettering it draws them with is what FreeType draws.

    compare.py GENERATOR COMMITTED_FOLDER SCRATCH_FOLDER

1. The generator runs with its stored lettering into SCRATCH/art, and every
   file there is compared byte for byte, both ways, with COMMITTED_FOLDER.
   Text is not drawn by this system's FreeType in this run, so the
   comparison is exact on any system: every file, header, colour
   table and pixel, text or not.
2. The generator runs again with --render-text, drawing the text with this
   system's FreeType into SCRATCH/lettering, and that lettering is compared
   with the stored one: every measured box, every mask's offset and pixels.
   Where this system has the Pillow, FreeType, raqm and font files the stored
   lettering names, any difference is a failure. Elsewhere text comes out a
   little differently, so this part cannot be checked: the check says so,
   names both sets of versions, and passes on part 1.

Why the text is an input of the generator rather than something the check
skips: Debian 13's Pillow 11.1, FreeType 2.13 and DejaVu files change 30 of
the 38 files, yet given Debian 12's masks and boxes it makes all 38 byte for
byte; nothing but text drawing differs. A check that compared only what lies
outside the text would also have to allow for the shared colour table, which
the median cut takes over every pixel, text included, and which therefore
moves with the text: a tolerance wide enough for that hides real faults.
"""
import os
import shutil
import subprocess
import sys


def compare_pictures(generator, committed, out):
    subprocess.run([sys.executable, generator, out], check=True)
    made = set(os.listdir(out))
    kept = set(os.listdir(committed))
    problems = ["missing from %s: %s" % (committed, n) for n in sorted(made - kept)]
    problems += ["not made by the generator: %s" % n for n in sorted(kept - made)]
    for name in sorted(made & kept):
        with open(os.path.join(out, name), "rb") as a, open(os.path.join(committed, name), "rb") as b:
            if a.read() != b.read():
                problems.append("differs: %s" % name)
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
    print("NOTE: the stored lettering cannot be compared exactly with this system's text drawing.\n"
          "  It was drawn with %s; this system has %s%s,\n"
          "  which draw %d of the %d boxes and masks differently. The pictures were still\n"
          "  compared exactly, drawn from the stored lettering."
          % (lettering.describe(made), lettering.describe(here),
             " and other font files (%s)" % ", ".join(fonts) if fonts else "", len(differ),
             len(boxes) + len(masks)))
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
