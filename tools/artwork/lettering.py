"""The lettering of the pictures: every piece of text the artwork generator
draws, kept as the grey mask FreeType made of it, with the boxes the
generator measures text by.

Pillow, FreeType, raqm and even the DejaVu font files change between Debian
releases, and each change moves the odd grey pixel of the text; through the
shared colour table one such pixel changes nearly every picture. Everything
else the generator does (shapes, gradients, blurs, resizing, the median cut
and the mapping onto the table) gives the same bytes on Debian 12 and 13. So
the generator does not ask FreeType by default: it reads the lettering from
two files beside it, drawn once on Debian 12 with the versions they name:

    lettering.json   what was drawn with which versions; every measured box
                     and every mask: font, size, text, outline width, the
                     fraction of a pixel it starts at, its offset from the
                     drawing point and its place in the atlas
    lettering.png    the atlas, one grey picture holding all the masks

With --render-text the generator draws the text with this system's FreeType
instead and writes both files afresh; do that after changing any text.
"""

import hashlib
import json
import math
import os

import PIL
from PIL import Image, ImageFont, features

HERE = os.path.dirname(os.path.abspath(__file__))
ATLAS_WIDTH = 768
INDEX_NAME = "lettering.json"
ATLAS_NAME = "lettering.png"


def system_versions(font_dir, font_names):
    """What draws text on this system: Pillow, FreeType, raqm and the fonts."""
    fonts = {}
    for name in sorted(font_names):
        with open(os.path.join(font_dir, name), "rb") as f:
            fonts[name] = hashlib.sha256(f.read()).hexdigest()
    return {"Pillow": PIL.__version__, "FreeType": features.version("freetype2"),
            "raqm": features.version("raqm") or "none", "fonts": fonts}


def describe(versions):
    return "Pillow %s, FreeType %s, raqm %s" % (versions["Pillow"], versions["FreeType"], versions["raqm"])


class Font:
    """A font at one size, answered from the store (or from FreeType when rendering)."""

    def __init__(self, store, name, size):
        self.store, self.name, self.size = store, name, size
        self.freetype = ImageFont.truetype(os.path.join(store.font_dir, name), size) if store.render else None

    def getbbox(self, text, stroke_width=0):
        key = (self.name, self.size, text, stroke_width)
        if self.store.render and key not in self.store.boxes:
            self.store.boxes[key] = tuple(self.freetype.getbbox(text, stroke_width=stroke_width))
        return self.store.lookup(self.store.boxes, key)

    def mask(self, text, stroke, start):
        """The grey mask of text starting start = (x, y) pixel fractions in, and its offset."""
        key = (self.name, self.size, text, stroke) + tuple(start)
        if self.store.render and key not in self.store.masks:
            core, offset = self.freetype.getmask2(text, "L", stroke_width=stroke, start=start)
            self.store.masks[key] = (Image.frombytes("L", core.size, bytes(core)), tuple(offset))
        return self.store.lookup(self.store.masks, key)


class Store:
    def __init__(self, folder, render, font_dir):
        self.folder, self.render, self.font_dir = folder, render, font_dir
        self.boxes, self.masks, self.fonts = {}, {}, {}
        self.made_with = None
        if not render:
            self.load()

    def font(self, name, size):
        if (name, size) not in self.fonts:
            self.fonts[(name, size)] = Font(self, name, size)
        return self.fonts[(name, size)]

    def lookup(self, table, key):
        if key not in table:
            raise SystemExit("no stored lettering for %r (%s at %d, outline %d) in %s; draw the text "
                             "afresh with generate.py --render-text" % (key[2], key[0], key[1], key[3],
                                                                       self.folder))
        return table[key]

    def load(self):
        with open(os.path.join(self.folder, INDEX_NAME), encoding="ascii") as f:
            index = json.load(f)
        atlas = Image.open(os.path.join(self.folder, ATLAS_NAME))
        atlas.load()
        self.made_with = index["made_with"]
        for name, size, text, stroke, box in index["boxes"]:
            self.boxes[(name, size, text, stroke)] = tuple(box)
        for name, size, text, stroke, start, offset, (x, y, w, h) in index["masks"]:
            self.masks[(name, size, text, stroke) + tuple(start)] = (atlas.crop((x, y, x + w, y + h)),
                                                                     tuple(offset))

    def save(self):
        """Writes the atlas (masks on shelves, tallest first) and the index."""
        order = sorted(self.masks, key=lambda k: (-self.masks[k][0].height, k))
        places, x, y, shelf = {}, 0, 0, 0
        for key in order:
            w, h = self.masks[key][0].size
            if x + w > ATLAS_WIDTH:
                x, y, shelf = 0, y + shelf, 0
            places[key] = (x, y, w, h)
            x, shelf = x + w, max(shelf, h)
        atlas = Image.new("L", (ATLAS_WIDTH, y + shelf), 0)
        for key, (x, y, _, _) in places.items():
            atlas.paste(self.masks[key][0], (x, y))
        os.makedirs(self.folder, exist_ok=True)
        atlas.save(os.path.join(self.folder, ATLAS_NAME), optimize=True)
        fonts = {k[0] for k in self.boxes} | {k[0] for k in self.masks}
        lines = ['{', '"made_with": %s,' % json.dumps(system_versions(self.font_dir, fonts), sort_keys=True), '"boxes": [']
        lines += [json.dumps(list(k[:4]) + [list(self.boxes[k])]) + "," for k in sorted(self.boxes)]
        lines[-1] = lines[-1].rstrip(",")
        lines += ['],', '"masks": [']
        lines += [json.dumps(list(k[:4]) + [list(k[4:]), list(self.masks[k][1]), list(places[k])]) + ","
                  for k in sorted(self.masks)]
        lines[-1] = lines[-1].rstrip(",")
        lines += [']', '}']
        with open(os.path.join(self.folder, INDEX_NAME), "w", encoding="ascii") as f:
            f.write("\n".join(lines) + "\n")


def draw_text(draw, xy, text, fnt, fill, stroke=0, stroke_fill=None):
    """Draws text as ImageDraw.text does: the outline mask in stroke_fill,
    then the plain mask in fill, each placed at the whole pixel of xy plus
    its offset and drawn for the fraction of a pixel xy lies beyond it."""
    start = (math.modf(xy[0])[0], math.modf(xy[1])[0])
    origin = (int(xy[0]), int(xy[1]))
    layers = [(stroke, fill if stroke_fill is None else stroke_fill)] if stroke else []
    for width, ink in layers + [(0, fill)]:
        mask, offset = fnt.mask(text, width, start)
        draw.bitmap((origin[0] + offset[0], origin[1] + offset[1]), mask, ink)
