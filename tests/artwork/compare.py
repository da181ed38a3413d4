#!/usr/bin/python3
"""Runs the artwork generator into a scratch folder and compares its output
byte for byte with the committed folder.

    compare.py GENERATOR COMMITTED_FOLDER SCRATCH_FOLDER
"""
import filecmp
import os
import shutil
import subprocess
import sys


def main(generator, committed, scratch):
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    subprocess.run([sys.executable, generator, scratch], check=True)
    made = set(os.listdir(scratch))
    kept = set(os.listdir(committed))
    problems = ["missing from %s: %s" % (committed, n) for n in sorted(made - kept)]
    problems += ["not made by the generator: %s" % n for n in sorted(kept - made)]
    for name in sorted(made & kept):
        if not filecmp.cmp(os.path.join(scratch, name), os.path.join(committed, name), shallow=False):
            problems.append("differs: %s" % name)
    for p in problems:
        print(p)
    print("%d files compared, %d problems" % (len(made & kept), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
