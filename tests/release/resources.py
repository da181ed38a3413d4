"""The program files' resources: each starts them on a page of the file
(where a loader maps them rather than copies them); the shipped program
carries exactly the ids of resources/resource.h, the icon and cursor images
and the version block, all under language 1033, nothing more or less; its
icon group agrees with the images it names (Windows picks the program's
icon by it); and another build carries the same resources byte for byte:
type, id, language, code page and data. Exits non-zero naming each
difference otherwise.

    resources.py SHIPPED.exe [OTHER.exe]
"""

import struct
import sys
from pathlib import Path

import pefile

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
from quibtables import IDS  # noqa: E402


def resources(path):
    """{(type, id, language): (code page, data)}, a name standing for its id."""
    pe = pefile.PE(path, fast_load=True)
    for section in pe.sections:
        if section.Name.rstrip(b"\0") == b".rsrc" and section.PointerToRawData % 0x1000:
            differences.append(f"{path}: resources at file offset {section.PointerToRawData:#x}, not on a page")
    pe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    key = lambda entry: str(entry.name) if entry.name is not None else entry.id  # noqa: E731
    found, directory = {}, getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in directory.entries if directory else []:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = language.data.struct
                found[key(kind), key(name), language.id] = \
                    (data.CodePage, pe.get_data(data.OffsetToData, data.Size))
    return found


differences = []
shipped = resources(sys.argv[1])
print(f"{len(shipped)} resources in {sys.argv[1]}")
ids = {2: "IDB_", 5: "IDD_", 14: "IDI_", 12: "IDC_QUESTION"}
expected = {(kind, number, 1033) for kind, prefix in ids.items() for name, number in IDS.items()
            if name.startswith(prefix)} | {(3, image, 1033) for image in (2, 3, 4, 5)} | {(1, 1, 1033), (16, 1, 1033)}
differences += [f"{key}: " + ("missing" if key in expected else "not one of the program's")
                for key in sorted(expected ^ shipped.keys(), key=str)]

# Each icon group entry: width, height, colours, reserved, planes, bits, bytes, image id.
group = shipped.get((14, IDS["IDI_LAUNCHER"], 1033), (0, bytes(6)))[1]
for at in range(6, 6 + 14 * struct.unpack_from("<H", group, 4)[0], 14):
    width, height, _, _, _, bits, size, image = struct.unpack_from("<BBBBHHIH", group, at)
    data = shipped.get((3, image, 1033), (0, bytes(16)))[1]
    _, image_width, image_height, _, image_bits = struct.unpack_from("<IiiHH", data)
    if (image_width, image_height, image_bits, len(data)) != (width, 2 * height, bits, size):
        differences.append(f"icon {image}: not what the group says")

for path in sys.argv[2:]:
    other = resources(path)
    print(f"{len(other)} resources in {path}")
    differences += [f"{key} in {path}: " + ("missing" if key not in other else "extra" if key not in shipped else
                                            "code page" if shipped[key][0] != other[key][0] else "data")
                    for key in sorted(shipped.keys() | other.keys(), key=str) if shipped.get(key) != other.get(key)]
print("\n".join(differences) or "all as they should be")
sys.exit(1 if differences else 0)
