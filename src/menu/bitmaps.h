// Palette and bitmap conversion, and drawing through the menu palette.
#pragma once
#include <windows.h>

HPALETTE createPaletteFromDib(const BITMAPINFOHEADER *header, const RGBQUAD *colours);
HGLOBAL copyDib(const BITMAPINFOHEADER *header);
HBITMAP createBitmapFromDib(const BITMAPINFOHEADER *dib);
// The packed DIB of a bitmap resource of the program; NULL when there is
// none, or (after a message) when it is not an 8-bit picture that fits its
// resource.
const BITMAPINFOHEADER *lockBitmapResource(int id);
HBITMAP loadBitmapResource(int id);
void drawBitmap(HDC dc, HBITMAP bitmap, int x, int y);
