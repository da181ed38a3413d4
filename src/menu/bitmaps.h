// Palette and bitmap conversion, and drawing through the menu palette.
#pragma once
#include <windows.h>

// Colours in a DIB's colour table: biClrUsed, or 2^biBitCount when that is
// 0; a 24-bit picture has no table (0).
DWORD dibColourCount(const BITMAPINFOHEADER *header);
// Bytes per pixel row of an 8-bit DIB: the width rounded up to 4.
DWORD dibRowSize(const BITMAPINFOHEADER *header);

HPALETTE createPaletteFromDib(const BITMAPINFOHEADER *header, const RGBQUAD *colours);
HGLOBAL copyDib(const BITMAPINFOHEADER *header);
HBITMAP createBitmapFromDib(const BITMAPINFOHEADER *dib);
// The packed DIB of a bitmap resource of the program, or NULL.
const BITMAPINFOHEADER *lockBitmapResource(int id);
HBITMAP loadBitmapResource(int id);
void drawBitmap(HDC dc, HBITMAP bitmap, int x, int y);
