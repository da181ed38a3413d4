"""Two builds of the launcher carry the same resources, byte for byte: every
type, id, language, code page and data, dialogs included; and in both they
start on a page of the file, where Wine maps them instead of copying them
into private memory. Exits non-zero and names each difference otherwise.

    same_resources.py SHIPPED.exe OTHER.exe
"""

import sys

import pefile


def resources(path):
    """{(type, id, language): (code page, data)}, a name standing for its id,
    and the file offset where the resources start."""
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    key = lambda entry: str(entry.name) if entry.name is not None else entry.id  # noqa: E731
    found, directory = {}, getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in directory.entries if directory else []:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = language.data.struct
                found[key(kind), key(name), language.id] = \
                    (data.CodePage, pe.get_data(data.OffsetToData, data.Size))
    start = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]]
    return found, pe.get_offset_from_rva(start.VirtualAddress)


(shipped, shipped_at), (other, other_at) = (resources(path) for path in sys.argv[1:3])
differences = [f"{key}: " + ("missing" if key not in other else "extra" if key not in shipped else
                             "code page" if shipped[key][0] != other[key][0] else "data")
               for key in sorted(shipped.keys() | other.keys(), key=str) if shipped.get(key) != other.get(key)]
print(f"{len(shipped)} resources in {sys.argv[1]}, {len(other)} in {sys.argv[2]}")
differences += [f"resources start at file offset {at:#x}, not on a page" for at in (shipped_at, other_at) if at % 0x1000]
print("\n".join(differences) or "all the same")
sys.exit(1 if differences or not shipped else 0)
