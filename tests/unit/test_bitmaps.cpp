// Palette building and DIB conversion, on real GDI with small pictures
// built in memory.
#include <gtest/gtest.h>
#include "dib_test_support.h"
#include "launcher/globals.h"

namespace {

// An 8-bit DIB whose `count` colours all differ in every byte; the fourth
// byte is never part of a colour.
std::vector<BYTE> distinctDib(int width, int height, DWORD clrUsed, int count, const std::vector<BYTE> &pixels)
{
    std::vector<RGBQUAD> colours(count);
    for (int i = 0; i < count; i++)
        colours[i] = { (BYTE)i, (BYTE)(255 - i), (BYTE)(i * 7 + 3), 0x5A };
    return makeDib(width, height, 8, clrUsed, colours, pixels);
}

const RGBQUAD *colourTable(const std::vector<BYTE> &dib)
{
    return reinterpret_cast<const RGBQUAD *>(dib.data() + sizeof(BITMAPINFOHEADER));
}

TEST(Pictures, PaletteRowSizeAndColourCount)
{
    // biClrUsed says 16, but the palette always holds 256 colours.
    std::vector<BYTE> dib = distinctDib(4, 1, 16, 256, { 0, 1, 2, 3 });
    HPALETTE palette = createPaletteFromDib(dibHeader(dib), colourTable(dib));
    PALETTEENTRY entries[257] = {};
    ASSERT_EQ(GetPaletteEntries(palette, 0, 257, entries), 256u);
    for (int i = 0; i < 256; i++) {
        PALETTEENTRY expected = { (BYTE)(i * 7 + 3), (BYTE)(255 - i), (BYTE)i, 0 };
        EXPECT_EQ(0, memcmp(&expected, &entries[i], sizeof(expected))) << "entry " << i;
    }
    DeleteObject(palette);
    std::vector<BYTE> trueColour = makeDib(4, 1, 24, 0, {}, {});
    EXPECT_EQ(createPaletteFromDib(dibHeader(trueColour), NULL), GetStockObject(DEFAULT_PALETTE));

    // The background, Play, Quit and box art widths, and small ones.
    const struct { int width; DWORD rowSize; } rows[] = {
        { 621, 624 }, { 101, 104 }, { 79, 80 }, { 110, 112 }, { 4, 4 }, { 1, 4 },
    };
    for (const auto &row : rows) {
        BITMAPINFOHEADER header = { sizeof(header), row.width };
        EXPECT_EQ(dibRowSize(&header), row.rowSize) << "width " << row.width;
    }
    BITMAPINFOHEADER header = { sizeof(header), 1, 1, 1, 8 };
    EXPECT_EQ(dibColourCount(&header), 256u);
    header.biClrUsed = 234;
    EXPECT_EQ(dibColourCount(&header), 234u);
}

// With and without the menu palette every pixel shows its colour-table
// colour, row padding notwithstanding.
TEST(Pictures, ConvertedBitmapShowsTheColourTableColours)
{
    std::vector<BYTE> indexes;
    for (int i = 0; i < 15; i++)
        indexes.push_back((BYTE)(i * 15 % 234));
    std::vector<BYTE> dib = distinctDib(5, 3, 234, 234, indexes), full = distinctDib(1, 1, 0, 256, { 0 });
    g_mainWindow = NULL;
    for (int withPalette = 0; withPalette < 2; withPalette++) {
        g_palette = withPalette ? createPaletteFromDib(dibHeader(full), colourTable(full)) : NULL;
        HBITMAP bitmap = createBitmapFromDib(dibHeader(dib));
        EXPECT_EQ(differences(bitmap, 0, 0, dibHeader(dib)), 0) << "palette " << withPalette;
        DeleteObject(bitmap);
    }
    DeleteObject(g_palette);
    g_palette = NULL;
}

TEST(Pictures, TwentyFourBitPictureIsRefusedWithAMessage)
{
    g_mainWindow = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    char caption[32] = "", text[64] = "";
    HWND owner = NULL;
    HBITMAP bitmap = (HBITMAP)1;
    std::vector<BYTE> dib = makeDib(4, 2, 24, 0, {}, {});
    whileDialogs(
        [&](HWND box) {
            GetWindowTextA(box, caption, sizeof(caption));
            GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
            owner = GetWindow(box, GW_OWNER);
            SendMessageA(box, WM_COMMAND, IDOK, 0);
        },
        [&] { bitmap = createBitmapFromDib(dibHeader(dib)); });
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_STREQ(caption, "Error");
    EXPECT_STREQ(text, "Can't create Indexed color table");
    EXPECT_EQ(owner, g_mainWindow);
    DestroyWindow(g_mainWindow);
    g_mainWindow = NULL;
}

}  // namespace
