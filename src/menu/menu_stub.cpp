// Placeholder until the menu arrives: run returns at once.
#include "menu/bitmaps.h"
#include "menu/menu.h"
#include "titles/title.h"

void Title::run() {}
void Title::drawIntoBackground(HBITMAP, int, int) {}
HBITMAP loadBitmapResource(int) { return NULL; }
