// Where the parts of the menu lie in the menu picture: the lines of
// layout.inc, read twice, once for the positions and once for the product
// boxes.
#pragma once
#include <windows.h>
#include "titles/title.h"

#define POSITION(name, x, y) const POINT name = { x, y };
#define HOT_SPOT(left, top, right, bottom)
#include "menu/layout.inc"
#undef POSITION
#undef HOT_SPOT

const RECT HOT_SPOTS[HOTSPOT_COUNT] = {
#define POSITION(name, x, y)
#define HOT_SPOT(left, top, right, bottom) { left, top, right, bottom },
#include "menu/layout.inc"
#undef POSITION
#undef HOT_SPOT
};
