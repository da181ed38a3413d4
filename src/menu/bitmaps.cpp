// Every picture of the menu is a packed 8-bit DIB resource. The menu
// picture's colour table becomes the one logical palette of the program,
// and every picture is converted through that palette, so that all of them
// share the background's 256 colours. Once the palette exists, a picture
// becomes an 8-bit DIB section whose colour table is the palette: pictures
// then compose into each other by copying pixels, and hold a quarter of the
// memory of a true-colour screen bitmap. Before that, a picture becomes a
// bitmap compatible with the screen. Global blocks and memory device
// contexts live for one call.
#include <windows.h>
#include <string.h>
#include "launcher/globals.h"
#include "menu/bitmaps.h"
#include "titles/title.h"

enum { PALETTE_SIZE = 256 };

// Colours in an 8-bit DIB's colour table: biClrUsed, or all 256 when that
// is 0.
static DWORD dibColourCount(const BITMAPINFOHEADER *header)
{
    return header->biClrUsed != 0 ? header->biClrUsed : (DWORD)PALETTE_SIZE;
}

// Bytes per pixel row of an 8-bit DIB: the width rounded up to 4.
static DWORD dibRowSize(const BITMAPINFOHEADER *header)
{
    return ((DWORD)header->biWidth + 3) & ~(DWORD)3;
}

// Pixel rows: a negative height stands for a picture stored top down.
static DWORD dibLines(const BITMAPINFOHEADER *header)
{
    DWORD height = (DWORD)header->biHeight;
    return header->biHeight < 0 ? 0 - height : height;
}

// The colours of a DIB start biSize bytes after its header.
static const BYTE *dibColours(const BITMAPINFOHEADER *header)
{
    return reinterpret_cast<const BYTE *>(header) + header->biSize;
}

// Every picture of the program is an uncompressed 8-bit DIB with the 40-byte
// header, and the sizes here count one byte per pixel. A picture of any
// other kind (another depth, a core or a newer header, a compressed one),
// or one whose colours and pixels would lie past the end of its resource,
// is refused before anything is read from it: every picture of the program
// comes through lockBitmapResource, which asks this.
static int isEightBitPicture(const BITMAPINFOHEADER *dib, DWORD size)
{
    if (size < sizeof(BITMAPINFOHEADER) || dib->biSize != sizeof(BITMAPINFOHEADER) ||
        dib->biPlanes != 1 || dib->biBitCount != 8 || dib->biCompression != BI_RGB ||
        dib->biWidth <= 0 || dib->biHeight == 0 || dib->biClrUsed > PALETTE_SIZE)
        return 0;
    ULONGLONG needed = sizeof(BITMAPINFOHEADER) + dibColourCount(dib) * sizeof(RGBQUAD) +
                       (ULONGLONG)dibRowSize(dib) * dibLines(dib);
    return needed <= size;
}

static void reportUnusablePicture()
{
    MessageBoxA(g_mainWindow, "Can't create Indexed color table", "Error", MB_ICONHAND);
}

void realizeMenuPalette(HDC dc)
{
    if (!g_palette)
        return;
    SelectPalette(dc, g_palette, FALSE);
    RealizePalette(dc);
}

HPALETTE createPaletteFromDib(const BITMAPINFOHEADER *header, const RGBQUAD *colours)
{
    size_t size = sizeof(LOGPALETTE) + (PALETTE_SIZE - 1) * sizeof(PALETTEENTRY);
    LOGPALETTE *logical = static_cast<LOGPALETTE *>(HeapAlloc(GetProcessHeap(), 0, size));
    if (!logical)
        return NULL;
    logical->palVersion = 0x300;
    logical->palNumEntries = PALETTE_SIZE;
    // Always 256 entries: the picture's colours, then black for any that
    // its table does not list.
    memset(logical->palPalEntry, 0, PALETTE_SIZE * sizeof(PALETTEENTRY));
    DWORD count = dibColourCount(header);
    for (DWORD i = 0; i < count; i++) {
        logical->palPalEntry[i].peRed = colours[i].rgbRed;
        logical->palPalEntry[i].peGreen = colours[i].rgbGreen;
        logical->palPalEntry[i].peBlue = colours[i].rgbBlue;
    }
    HPALETTE palette = CreatePalette(logical);
    HeapFree(GetProcessHeap(), 0, logical);
    return palette;
}

// The header and colour table of a DIB whose biClrUsed is set, without its
// pixels: the description that SetDIBits is given.
static HGLOBAL copyDib(const BITMAPINFOHEADER *header)
{
    DWORD tableSize = header->biClrUsed * sizeof(RGBQUAD);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, header->biSize + tableSize);
    if (!block)
        return NULL;
    BYTE *copy = static_cast<BYTE *>(GlobalLock(block));
    memcpy(copy, header, sizeof(BITMAPINFOHEADER));
    memcpy(copy + header->biSize, dibColours(header), tableSize);
    GlobalUnlock(block);
    return block;
}

static void freeBlock(HGLOBAL block)
{
    GlobalUnlock(block);
    GlobalFree(block);
}

// An 8-bit picture as a DIB section in the colours of the menu palette:
// every pixel becomes the palette entry nearest its colour, which is the
// entry of exactly that colour for every picture of the menu. NULL when
// there is no palette of 256 colours.
static HBITMAP createPaletteSection(const BITMAPINFOHEADER *dib)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[PALETTE_SIZE];
    } section;
    PALETTEENTRY entries[PALETTE_SIZE];
    if (!g_palette || GetPaletteEntries(g_palette, 0, PALETTE_SIZE, entries) != PALETTE_SIZE)
        return NULL;
    for (int i = 0; i < PALETTE_SIZE; i++) {
        RGBQUAD colour = { entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0 };
        section.colours[i] = colour;
    }

    const RGBQUAD *colours = reinterpret_cast<const RGBQUAD *>(dibColours(dib));
    DWORD count = dibColourCount(dib);
    // Most pictures list the palette's colours in its own order; their
    // pixels are copied as they are.
    BYTE entryOf[PALETTE_SIZE] = {};
    int identity = count == PALETTE_SIZE;
    for (DWORD i = 0; i < count; i++) {
        COLORREF colour = RGB(colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue);
        const PALETTEENTRY &same = entries[i];
        entryOf[i] = colour == RGB(same.peRed, same.peGreen, same.peBlue)
                         ? (BYTE)i : (BYTE)GetNearestPaletteIndex(g_palette, colour);
        identity = identity && entryOf[i] == i;
    }

    section.header = *dib;
    section.header.biSize = sizeof(BITMAPINFOHEADER);
    section.header.biSizeImage = dibRowSize(dib) * dibLines(dib);
    section.header.biClrUsed = PALETTE_SIZE;
    section.header.biClrImportant = 0;
    void *bits;
    HBITMAP bitmap = CreateDIBSection(NULL, reinterpret_cast<BITMAPINFO *>(&section),
                                      DIB_RGB_COLORS, &bits, NULL, 0);
    if (!bitmap)
        return NULL;
    const BYTE *source = reinterpret_cast<const BYTE *>(colours + count);
    BYTE *target = static_cast<BYTE *>(bits);
    if (identity) {
        memcpy(target, source, section.header.biSizeImage);
        return bitmap;
    }
    for (DWORD i = 0; i < section.header.biSizeImage; i++)
        target[i] = entryOf[source[i]];
    return bitmap;
}

HBITMAP createBitmapFromDib(const BITMAPINFOHEADER *dib)
{
    if (HBITMAP section = createPaletteSection(dib))
        return section;

    DWORD colours = dibColourCount(dib);
    DWORD lines = dibLines(dib);
    DWORD imageSize = dibRowSize(dib) * lines;
    DWORD tableSize = colours * sizeof(RGBQUAD);

    HGLOBAL work = GlobalAlloc(GMEM_MOVEABLE, dib->biSize + tableSize + imageSize);
    if (!work)
        return NULL;
    BYTE *copy = static_cast<BYTE *>(GlobalLock(work));
    BITMAPINFOHEADER *header = reinterpret_cast<BITMAPINFOHEADER *>(copy);
    memcpy(header, dib, sizeof(BITMAPINFOHEADER));
    header->biClrUsed = colours;
    header->biSizeImage = imageSize;
    memcpy(copy + dib->biSize, dibColours(dib), tableSize + imageSize);

    HDC dc = GetDC(g_mainWindow);
    realizeMenuPalette(dc);

    HGLOBAL description = copyDib(header);
    if (!description) {
        reportUnusablePicture();
        ReleaseDC(g_mainWindow, dc);
        freeBlock(work);
        return NULL;
    }

    const BITMAPINFO *info = static_cast<const BITMAPINFO *>(GlobalLock(description));
    HBITMAP bitmap = CreateCompatibleBitmap(dc, header->biWidth, lines);
    SetDIBits(dc, bitmap, 0, lines, copy + header->biSize + tableSize, info, DIB_RGB_COLORS);

    ReleaseDC(g_mainWindow, dc);
    freeBlock(description);
    freeBlock(work);
    return bitmap;
}

const BITMAPINFOHEADER *lockBitmapResource(int id)
{
    HRSRC found = FindResourceA(g_instance, MAKEINTRESOURCEA(id), RT_BITMAP);
    if (!found)
        return NULL;
    const BITMAPINFOHEADER *dib =
        static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(g_instance, found)));
    if (dib && !isEightBitPicture(dib, SizeofResource(g_instance, found))) {
        reportUnusablePicture();
        return NULL;
    }
    return dib;
}

// The resource is read in place; only the conversion copies it.
HBITMAP loadBitmapResource(int id)
{
    const BITMAPINFOHEADER *dib = lockBitmapResource(id);
    return dib ? createBitmapFromDib(dib) : NULL;
}

// The bitmap's size in logical units of dc, and the source origin (0, 0)
// in logical units of the memory context that holds the bitmap.
static void blitExtent(HDC dc, HDC source, HBITMAP bitmap, POINT *size, POINT *origin)
{
    BITMAP info = {};   // a missing picture blits nothing
    GetObjectA(bitmap, sizeof(info), &info);
    size->x = info.bmWidth;
    size->y = info.bmHeight;
    DPtoLP(dc, size, 1);
    origin->x = 0;
    origin->y = 0;
    DPtoLP(source, origin, 1);
}

// A memory context compatible with dc, holding bitmap, in dc's mapping mode.
static HDC selectIntoMemoryDc(HDC dc, HBITMAP bitmap, HGDIOBJ *previous)
{
    HDC memory = CreateCompatibleDC(dc);
    *previous = SelectObject(memory, bitmap);
    SetMapMode(memory, GetMapMode(dc));
    return memory;
}

static void deleteMemoryDc(HDC memory, HGDIOBJ previous)
{
    SelectObject(memory, previous);
    DeleteDC(memory);
}

void drawBitmap(HDC dc, HBITMAP bitmap, int x, int y)
{
    realizeMenuPalette(dc);
    HGDIOBJ previous;
    HDC source = selectIntoMemoryDc(dc, bitmap, &previous);
    POINT size, origin;
    blitExtent(dc, source, bitmap, &size, &origin);
    BitBlt(dc, x, y, size.x, size.y, source, origin.x, origin.y, SRCCOPY);
    deleteMemoryDc(source, previous);
}

void Title::drawIntoBackground(HBITMAP bitmap, int x, int y)
{
    HDC window = GetDC(g_mainWindow);
    realizeMenuPalette(window);
    HGDIOBJ previousSource, previousTarget;
    HDC source = selectIntoMemoryDc(window, bitmap, &previousSource);
    HDC target = selectIntoMemoryDc(window, backgroundBitmap, &previousTarget);
    POINT size, origin;
    blitExtent(target, source, bitmap, &size, &origin);
    BitBlt(target, x, y, size.x, size.y, source, origin.x, origin.y, SRCCOPY);
    deleteMemoryDc(source, previousSource);
    deleteMemoryDc(target, previousTarget);
    ReleaseDC(g_mainWindow, window);
}
