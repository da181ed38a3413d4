// Helpers of the picture and menu tests: small 8-bit DIBs built in memory,
// the expected screen colours of a packed DIB, and the pixels of a screen
// bitmap read back through GetDIBits.
#pragma once
#include <windows.h>
#include <string.h>
#include <vector>

// A packed DIB: header, colour table of `colours` entries, then rows of
// `pixels` (top row first in the argument, stored bottom row first).
inline std::vector<BYTE> makeDib(int width, int height, WORD bitCount, DWORD clrUsed,
                                 const std::vector<RGBQUAD> &colours,
                                 const std::vector<BYTE> &pixels)
{
    DWORD rowSize = bitCount == 24 ? ((width * 3 + 3) & ~3) : ((width + 3) & ~3);
    std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + colours.size() * 4 + rowSize * height);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    header.biClrUsed = clrUsed;
    memcpy(dib.data(), &header, sizeof(header));
    if (!colours.empty())
        memcpy(dib.data() + sizeof(header), colours.data(), colours.size() * 4);
    BYTE *rows = dib.data() + sizeof(header) + colours.size() * 4;
    for (int y = 0; y < height && !pixels.empty(); y++)
        memcpy(rows + (height - 1 - y) * rowSize, &pixels[y * width], width);
    return dib;
}

inline const BITMAPINFOHEADER *dibHeader(const std::vector<BYTE> &dib)
{
    return reinterpret_cast<const BITMAPINFOHEADER *>(dib.data());
}

// 0x00RRGGBB, the layout GetDIBits gives for 32 bits per pixel.
inline DWORD rgbOf(const RGBQUAD &colour)
{
    return (DWORD)colour.rgbRed << 16 | (DWORD)colour.rgbGreen << 8 | colour.rgbBlue;
}

struct Pixels {
    int width = 0, height = 0;
    std::vector<DWORD> rgb;   // top row first
    DWORD at(int x, int y) const { return rgb[y * width + x]; }
};

// What an 8-bit packed DIB shows: each pixel's colour-table colour.
inline Pixels dibColours(const BITMAPINFOHEADER *header)
{
    Pixels result;
    result.width = header->biWidth;
    result.height = header->biHeight;
    DWORD count = header->biClrUsed ? header->biClrUsed : 256;
    const RGBQUAD *table = reinterpret_cast<const RGBQUAD *>(
        reinterpret_cast<const BYTE *>(header) + header->biSize);
    const BYTE *rows = reinterpret_cast<const BYTE *>(table + count);
    DWORD rowSize = (header->biWidth + 3) & ~3;
    for (int y = 0; y < result.height; y++)
        for (int x = 0; x < result.width; x++)
            result.rgb.push_back(rgbOf(table[rows[(result.height - 1 - y) * rowSize + x]]));
    return result;
}

inline const BITMAPINFOHEADER *bitmapResource(int id)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_BITMAP);
    if (!found)
        return NULL;
    return static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(module, found)));
}

inline Pixels readBitmap(HBITMAP bitmap)
{
    Pixels result;
    BITMAP info;
    if (!GetObjectA(bitmap, sizeof(info), &info))
        return result;
    result.width = info.bmWidth;
    result.height = info.bmHeight;
    result.rgb.resize((size_t)info.bmWidth * info.bmHeight);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(NULL);
    GetDIBits(screen, bitmap, 0, info.bmHeight, result.rgb.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    for (DWORD &pixel : result.rgb)
        pixel &= 0xFFFFFF;
    return result;
}

// Number of pixels of `part` that differ from `whole` at offset (x, y).
inline int countDifferences(const Pixels &whole, int x, int y, const Pixels &part)
{
    int differences = 0;
    for (int j = 0; j < part.height; j++)
        for (int i = 0; i < part.width; i++)
            if (whole.at(x + i, y + j) != part.at(i, j))
                differences++;
    return differences;
}

#include "titles/title.h"

// A Title whose installed answer and box art the test chooses.
class MenuTestTitle : public Title {
public:
    explicit MenuTestTitle(int installedAnswer = 0, int boxArtId = 119)
        : Title(0, 0), installedAnswer(installedAnswer), boxArtId(boxArtId) {}
    void loadBoxArt() override;
    const char *gameWindowClass() override { return "QuibMenuTestGame"; }
    const char *discMarkerPath() override { return "C:\\nothing"; }
    int isInstalled() override { installedCalls++; return installedAnswer; }
    int install() override { return 0; }
    int play() override { return 0; }
    const char *promptCaption() override { return ""; }
    const char *promptText() override { return ""; }
    const char *retryText() override { return ""; }

    int installedAnswer;
    int boxArtId;
    int installedCalls = 0;
};

#include "menu/bitmaps.h"
inline void MenuTestTitle::loadBoxArt() { boxArtBitmap = loadBitmapResource(boxArtId); }
