"""What the program files need of Windows: each is a 32-bit x86 GUI program
importing by name, nothing delay-loaded, from kernel32, user32, gdi32 and
advapi32 only (known DLLs, so none can be planted beside the launcher), and
only functions that windows-versions.txt dates to Windows 95 and NT 4.0 or
earlier; a function the table lacks fails too. The shipped program (the
first file) also asks for no subsystem newer than 4.0; another build's is
printed only (link.exe writes 5.01 at least).

    imports.py SHIPPED.exe [OTHER.exe...]
"""

import re
import sys
from pathlib import Path

import pefile

DLLS = {"kernel32", "user32", "gdi32", "advapi32"}
OLDEST_NT = (4, 0)


def first_windows(path):
    """{(dll, function): (first of the 95 line or None, first NT version or
    None)} from the table."""
    table = {}
    for number, line in enumerate(Path(path).read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        version, dll, *functions = line.split()
        found = re.fullmatch(r"(95|98|Me|-)/(?:NT(\d+)\.(\d+)|-)", version)
        if not found:
            sys.exit(f"{path}:{number}: not a version: {version}")
        nineties, major, minor = found.groups()
        for function in functions:
            table[dll, function] = (None if nineties == "-" else nineties,
                                    None if major is None else (int(major), int(minor)))
    return table


table = first_windows(Path(__file__).with_name("windows-versions.txt"))
problems, used = [], set()
for index, path in enumerate(sys.argv[1:]):
    pe = pefile.PE(path)
    found = [(entry.dll.decode().lower().removesuffix(".dll"), item.name and item.name.decode())   # None: an ordinal
             for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) for item in entry.imports]
    used |= set(found)
    subsystem = (pe.OPTIONAL_HEADER.MajorSubsystemVersion, pe.OPTIONAL_HEADER.MinorSubsystemVersion)
    print(f"{path}: subsystem version {subsystem[0]}.{subsystem[1]:02d}, "
          + ", ".join(f"{dll} {sum(d == dll for d, _ in found)}" for dll in sorted({d for d, _ in found})))
    if (pe.FILE_HEADER.Machine, pe.OPTIONAL_HEADER.Subsystem) != (0x14C, 2):
        problems.append(f"{path}: not a 32-bit x86 GUI program")
    if index == 0 and subsystem > (4, 0):
        problems.append(f"{path}: subsystem version {subsystem[0]}.{subsystem[1]:02d}, newer than 4.0")
    if getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", None):
        problems.append(f"{path}: delay-loaded imports")
    for dll, function in found:
        where = f"{path}: {dll}!{function}"
        if dll not in DLLS:
            problems.append(f"{path}: imports from {dll}.dll")
        elif function is None:
            problems.append(f"{path}: {dll}.dll by ordinal")
        elif (dll, function) not in table:
            problems.append(f"{where}: not in windows-versions.txt")
        else:
            nineties, nt = table[dll, function]
            if nineties != "95" or nt is None or nt > OLDEST_NT:
                problems.append(f"{where}: needs Windows {nineties or '-'}/NT{'%d.%d' % nt if nt else '-'}")
for dll, function in sorted(table.keys() - used):
    print(f"listed, imported by none: {dll}!{function}")
print("\n".join(sorted(set(problems))) or "all from Windows 95 and NT 4.0")
sys.exit(1 if problems else 0)
