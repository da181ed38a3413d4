"""The README's pictures are what the demo makes of the program today, each
compared whole but for the disc prompt's frame and caption bar, which Wine
draws, and not alike in every version (Wine 10's caption bar is 7 pixels
taller than Wine 8's): under another Wine than the pictures were made with
(docs/screenshots/wine-version.txt) that picture is compared below it."""

from conftest import ROOT
from PIL import Image

import demo

KEPT = ROOT / "docs" / "screenshots"
CAPTIONED = {"disc-prompt.png"}


def below_caption(picture):
    """A dialog's picture without its frame's top and its caption bar: the
    rows below the band of the caption's colour."""
    x = picture.width - 10
    top = next(y for y in range(3, picture.height) if picture.getpixel((x, y)) != picture.getpixel((x, 3)))
    return picture.crop((0, top, picture.width, picture.height))


def test_the_readme_pictures_are_what_the_demo_makes(world, tmp_path):
    pictures = demo.screenshots(world, tmp_path)
    made_with, now_with = ((folder / "wine-version.txt").read_text().strip() for folder in (KEPT, tmp_path))
    for made in pictures:
        with Image.open(made) as now, Image.open(KEPT / made.name) as kept:
            now, kept = now.convert("RGB"), kept.convert("RGB")
            if made.name in CAPTIONED and now_with != made_with:
                print(f"{made.name}: made with {made_with}, compared below the caption bar that {now_with} draws")
                now, kept = below_caption(now), below_caption(kept)
            assert now.tobytes() == kept.tobytes(), \
                f"{made.name} changed: bash scripts/demo.sh --screenshots makes it anew"
