"""The README's pictures are what the demo makes of the program today."""

from conftest import ROOT
from PIL import Image

import demo


def test_the_readme_pictures_are_what_the_demo_makes(world, tmp_path):
    for made in demo.screenshots(world, tmp_path):
        with Image.open(made) as now, Image.open(ROOT / "docs" / "screenshots" / made.name) as kept:
            assert now.convert("RGB").tobytes() == kept.convert("RGB").tobytes(), \
                f"{made.name} changed: bash scripts/demo.sh --screenshots makes it anew"
