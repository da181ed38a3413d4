// Palette and bitmap conversion, and drawing through the menu palette.
// The conversions take pictures as lockBitmapResource gives them: 8-bit,
// uncompressed, with at most 256 colours.
#pragma once
#include <windows.h>

HPALETTE createPaletteFromDib(const BITMAPINFOHEADER *header, const RGBQUAD *colours);
HBITMAP createBitmapFromDib(const BITMAPINFOHEADER *dib);
// The packed DIB of a bitmap resource of the program; NULL when there is
// none, or (after a message) when it is not an 8-bit picture that fits its
// resource.
const BITMAPINFOHEADER *lockBitmapResource(int id);
HBITMAP loadBitmapResource(int id);
void drawBitmap(HDC dc, HBITMAP bitmap, int x, int y);
// Selects the menu palette into a device context as a foreground palette
// and realises it. Without a palette of its own the menu draws with the
// context's default.
void realizeMenuPalette(HDC dc);
