"""The facts the tools share with the program, read as data from the files
the program's build reads them from: resource ids (resources/resource.h),
the picture file of each bitmap (resources/art.rc), the title rows
(src/launcher/titles.inc) and where the menu's parts lie
(src/menu/layout.inc). The two .inc files hold only lines NAME(arguments),
whose arguments are C string literals, NULL, integers and names; names of
resource ids stand for their numbers."""

import re
from pathlib import Path

from PIL import Image

ROOT = Path(__file__).resolve().parent.parent


def _read(name):
    return (ROOT / name).read_text()


IDS = {name: int(n) for name, n in re.findall(r"#define\s+(ID\w+)\s+(\d+)", _read("resources/resource.h"))}

BITMAPS = {IDS.get(name) or int(name): ROOT / "resources" / path for name, path in
           re.findall(r'^(\w+)\s+BITMAP\s+"([^"]+)"', _read("resources/art.rc"), re.M)}

_TOKEN = re.compile(r'\s+|//[^\n]*|"((?:[^"\\\n]|\\[\\"])*)"|(-?\d+)\b|(\w+)|([(),])')


def _lines(name):
    """[(NAME, [argument, ...])] of a data file, in its order: strings with
    their escapes undone, NULL as None, integers, resource ids by their
    numbers and other names as they are."""
    text, at, tokens = _read(name), 0, []
    while at < len(text):
        match = _TOKEN.match(text, at)
        if not match:
            raise ValueError(f"{name}: not data at {text[at:at + 30]!r}")
        at = match.end()
        string, number, word, mark = match.groups()
        if string is not None:
            tokens.append(("value", re.sub(r"\\(.)", r"\1", string)))
        elif number is not None:
            tokens.append(("value", int(number)))
        elif word is not None:
            tokens.append(("word", word))
        elif mark is not None:
            tokens.append(("mark", mark))
    lines, each = [], iter(tokens)
    for kind, head in each:
        if kind != "word" or next(each, None) != ("mark", "("):
            raise ValueError(f"{name}: a line is NAME(arguments), not {head!r}")
        arguments, mark = [], ","
        while mark == ",":
            kind, value = next(each)
            if kind == "word":
                value = None if value == "NULL" else IDS.get(value, value)
            arguments.append(value)
            kind, mark = next(each)
        if mark != ")":
            raise ValueError(f"{name}: {head}(...) not closed")
        lines.append((head, arguments))
    return lines


# The columns of titles.inc, in their order.
FIELDS = ["discMarker", "hardDiskExe", "gameWindowClass", "discMarkerPath", "registryKey", "valueName",
          "gameExe", "setupProgram", "promptCaption", "promptText", "retryText",
          "secondDiscMarkerPath", "installedLauncher", "installerClass", "installerTitle", "boxArtId"]
CATALOGUE = [dict(zip(FIELDS, row, strict=True)) for kind, row in _lines("src/launcher/titles.inc")
             if kind == "TITLE"]

_layout = _lines("src/menu/layout.inc")
POSITIONS = {place[0]: tuple(place[1:]) for kind, place in _layout if kind == "POSITION"}
HOT_SPOTS = [tuple(box) for kind, box in _layout if kind == "HOT_SPOT"]


def bitmap(resource_id):
    """A bitmap of the program as the screen shows it."""
    with Image.open(BITMAPS[resource_id]) as image:
        return image.convert("RGB")


def part(at, resource_id):
    """The box (left, top, right, bottom) of the menu picture where a
    bitmap is drawn at a point (x, y) of it."""
    (x, y), (width, height) = at, bitmap(resource_id).size
    return x, y, x + width, y + height


PICTURE = (0, 0) + bitmap(IDS["IDB_MENU"]).size   # the whole menu picture
