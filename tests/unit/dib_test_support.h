// Helpers of the picture, menu and dialog tests: small DIBs built in memory,
// comparing a screen bitmap with a DIB, a title the test controls, and a
// look at the dialogs the test thread shows.
#pragma once
#include <windows.h>
#include <string.h>
#include <functional>
#include <vector>
#include "menu/bitmaps.h"
#include "titles/title.h"

// A packed DIB: header, colour table, then the rows of `pixels` (top row
// first in the argument, stored bottom row first).
inline std::vector<BYTE> makeDib(int width, int height, WORD bitCount, DWORD clrUsed,
                                 const std::vector<RGBQUAD> &colours, const std::vector<BYTE> &pixels)
{
    DWORD rowSize = ((bitCount == 24 ? width * 3 : width) + 3) & ~3;
    std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + colours.size() * 4 + rowSize * height);
    BITMAPINFOHEADER header = { sizeof(header), width, height, 1, bitCount, BI_RGB };
    header.biClrUsed = clrUsed;
    memcpy(dib.data(), &header, sizeof(header));
    if (!colours.empty())
        memcpy(dib.data() + sizeof(header), colours.data(), colours.size() * 4);
    BYTE *rows = dib.data() + sizeof(header) + colours.size() * 4;
    for (size_t y = 0; y < pixels.size() / width; y++)
        memcpy(rows + (height - 1 - y) * rowSize, &pixels[y * width], width);
    return dib;
}

inline const BITMAPINFOHEADER *dibHeader(const std::vector<BYTE> &dib)
{
    return reinterpret_cast<const BITMAPINFOHEADER *>(dib.data());
}

inline const BITMAPINFOHEADER *bitmapResource(int id)
{
    HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(id), RT_BITMAP);
    return found ? static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(NULL, found))) : NULL;
}

// Pixels of `bitmap` at (x, y) whose colour differs from the colour-table
// colour of the 8-bit DIB's pixel; -1 when the DIB does not fit there.
inline int differences(HBITMAP bitmap, int x, int y, const BITMAPINFOHEADER *dib)
{
    BITMAP info = {};
    if (!dib || !GetObjectA(bitmap, sizeof(info), &info) || x + dib->biWidth > info.bmWidth
        || y + dib->biHeight > info.bmHeight)
        return -1;
    std::vector<DWORD> shown((size_t)info.bmWidth * info.bmHeight);
    BITMAPINFO format = { { sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB } };
    HDC screen = GetDC(NULL);
    GetDIBits(screen, bitmap, 0, info.bmHeight, shown.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    const RGBQUAD *table = reinterpret_cast<const RGBQUAD *>(reinterpret_cast<const BYTE *>(dib) + dib->biSize);
    const BYTE *rows = reinterpret_cast<const BYTE *>(table + (dib->biClrUsed ? dib->biClrUsed : 256));
    int count = 0;
    for (int j = 0; j < dib->biHeight; j++)
        for (int i = 0; i < dib->biWidth; i++) {
            RGBQUAD c = table[rows[(dib->biHeight - 1 - j) * ((dib->biWidth + 3) & ~3) + i]];
            count += (shown[(y + j) * info.bmWidth + x + i] & 0xFFFFFF)
                     != ((DWORD)c.rgbRed << 16 | (DWORD)c.rgbGreen << 8 | c.rgbBlue);
        }
    return count;
}

// Calls `look` every 20 ms with the dialog or message box that this thread
// shows while `body` runs, from inside the dialog's own message loop.
inline std::function<void(HWND)> &dialogLook()
{
    static std::function<void(HWND)> look;
    return look;
}

inline void CALLBACK lookAtDialog(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = GetActiveWindow();
    char name[8] = "";
    GetClassNameA(dialog, name, sizeof(name));
    if (strcmp(name, "#32770") == 0 && IsWindowVisible(dialog))
        dialogLook()(dialog);
}

inline void whileDialogs(const std::function<void(HWND)> &look, const std::function<void()> &body)
{
    dialogLook() = look;
    UINT_PTR timer = SetTimer(NULL, 0, 20, lookAtDialog);
    body();
    KillTimer(NULL, timer);
    dialogLook() = nullptr;
}

// The product boxes in the menu picture, by HotSpot index.
const RECT TEST_HOT_SPOTS[8] = {
    { 4, 279, 70, 383 }, { 75, 279, 147, 383 }, { 154, 279, 219, 383 }, { 451, 279, 529, 383 },
    { 535, 279, 616, 383 }, { 300, 279, 373, 383 }, { 225, 279, 297, 383 }, { 378, 279, 450, 383 },
};

// A Title whose installed answer the test chooses and which installs and
// plays nothing.
class MenuTestTitle : public Title {
public:
    explicit MenuTestTitle(int installedAnswer = 0) : Title(0, 0), installedAnswer(installedAnswer) {}
    void loadBoxArt() override { boxArtBitmap = loadBitmapResource(119); }
    const char *gameWindowClass() override { return "QuibMenuTestGame"; }
    const char *discMarkerPath() override { return "C:\\nothing"; }
    int isInstalled() override { return installedAnswer; }
    int install() override { return 0; }
    int play() override { return 0; }
    const char *promptCaption() override { return ""; }
    const char *promptText() override { return ""; }
    const char *retryText() override { return ""; }
    int installedAnswer;
};
