"""The program's own tables, read from its sources, so that the artwork
generator, the demo and the tests keep no copies of them: resource ids
(resources/resource.h), the picture file of each bitmap (resources/art.rc),
where the menu's parts lie (src/menu/layout.h) and the title catalogue
(src/launcher/catalogue.cpp)."""

import re
from pathlib import Path

from PIL import Image

ROOT = Path(__file__).resolve().parent.parent


def _read(name):
    return (ROOT / name).read_text()


def _numbers(text):
    return tuple(int(n) for n in re.findall(r"-?\d+", text))


IDS = {name: int(n) for name, n in re.findall(r"#define\s+(ID\w+)\s+(\d+)", _read("resources/resource.h"))}

BITMAPS = {IDS.get(name) or int(name): ROOT / "resources" / path for name, path in
           re.findall(r'^(\w+)\s+BITMAP\s+"([^"]+)"', _read("resources/art.rc"), re.M)}

_layout = _read("src/menu/layout.h")
POSITIONS = {name: _numbers(xy) for name, xy in re.findall(r"POINT (\w+) = \{([^}]*)\}", _layout)}
HOT_SPOTS = [_numbers(r) for r in re.findall(r"\{([-\d\s,]+)\}", _layout.split("HOT_SPOTS")[1])]

_FIELDS = re.findall(r"const char \*(\w+);", _read("src/launcher/catalogue.h")) + ["boxArtId"]
# Each row: its strings (None for NULL), then its box art's id.
CATALOGUE = [dict(zip(_FIELDS, [text.replace("\\\\", "\\") if text or not null else None
                                for text, null in re.findall(r'"((?:[^"\\]|\\.)*)"|(NULL)', row)]
                      + [IDS[art]]))
             for row, art in re.findall(r"\{([^{}]*?),\s*(IDB_\w+)\s*\}", _read("src/launcher/catalogue.cpp"))]


def bitmap(resource_id):
    """A bitmap of the program as the screen shows it."""
    with Image.open(BITMAPS[resource_id]) as image:
        return image.convert("RGB")


def part(position, resource_id):
    """The box (left, top, right, bottom) of the menu picture where a
    bitmap is drawn at a named position."""
    (x, y), (width, height) = POSITIONS[position], bitmap(resource_id).size
    return x, y, x + width, y + height


PICTURE = (0, 0) + bitmap(IDS["IDB_MENU"]).size   # the whole menu picture
