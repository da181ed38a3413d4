// Where the parts of the menu lie in the 621 x 431 menu picture (picture
// coordinates). The artwork generator draws the product boxes at these
// places and the tests click them, both reading this file.
#pragma once
#include <windows.h>
#include "titles/title.h"

const POINT BOX_ART_POS = { 210, 26 };
const POINT PLAY_BUTTON_POS = { 328, 69 };
const POINT QUIT_BUTTON_POS = { 529, 385 };

// The product box of title i printed in the picture (left, top, right,
// bottom). Title 8 has no box.
const RECT HOT_SPOTS[HOTSPOT_COUNT] = {
    {   4, 279,  70, 383 },
    {  75, 279, 147, 383 },
    { 154, 279, 219, 383 },
    { 451, 279, 529, 383 },
    { 535, 279, 616, 383 },
    { 300, 279, 373, 383 },
    { 225, 279, 297, 383 },
    { 378, 279, 450, 383 },
};
