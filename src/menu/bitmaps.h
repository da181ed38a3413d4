// Palette and bitmap conversion, and drawing through the menu palette.
#pragma once
#include <windows.h>

HPALETTE createPaletteFromDib(const BITMAPINFOHEADER *header, const RGBQUAD *colours);
HGLOBAL copyDib(const BITMAPINFOHEADER *header);
HBITMAP createBitmapFromDib(const BITMAPINFOHEADER *dib);
HBITMAP loadBitmapResource(int id);
void drawBitmap(HDC dc, HBITMAP bitmap, int x, int y);
