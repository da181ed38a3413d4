// Palette building, DIB conversion and drawing, on real GDI with small
// pictures built in memory.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "dib_test_support.h"
#include "launcher/globals.h"
#include "menu/bitmaps.h"

namespace {

std::vector<RGBQUAD> distinctColours(int count)
{
    std::vector<RGBQUAD> colours(count);
    for (int i = 0; i < count; i++) {
        colours[i].rgbBlue = (BYTE)i;
        colours[i].rgbGreen = (BYTE)(255 - i);
        colours[i].rgbRed = (BYTE)(i * 7 + 3);
        colours[i].rgbReserved = 0x5A;   // never part of a colour
    }
    return colours;
}

// Resets the globals the drawing code reads, around each test.
class Pictures : public testing::Test {
protected:
    void SetUp() override
    {
        g_instance = GetModuleHandleA(NULL);
        g_mainWindow = NULL;
        g_palette = NULL;
    }
    void TearDown() override
    {
        if (g_palette)
            DeleteObject(g_palette);
        g_palette = NULL;
        g_mainWindow = NULL;
    }
};

TEST_F(Pictures, PaletteTakesRedGreenBlueFromTheThirdSecondAndFirstBytes)
{
    // biClrUsed says 16, but the palette always holds 256 colours.
    std::vector<BYTE> dib = makeDib(4, 1, 8, 16, distinctColours(256), {0, 1, 2, 3});
    const BITMAPINFOHEADER *header = dibHeader(dib);
    HPALETTE palette = createPaletteFromDib(
        header, reinterpret_cast<const RGBQUAD *>(dib.data() + header->biSize));
    ASSERT_NE(palette, nullptr);
    ASSERT_NE(palette, GetStockObject(DEFAULT_PALETTE));

    PALETTEENTRY entries[257] = {};
    EXPECT_EQ(GetPaletteEntries(palette, 0, 257, entries), 256u);
    for (int i = 0; i < 256; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].peRed, (BYTE)(i * 7 + 3));
        EXPECT_EQ(entries[i].peGreen, (BYTE)(255 - i));
        EXPECT_EQ(entries[i].peBlue, (BYTE)i);
        EXPECT_EQ(entries[i].peFlags, 0);
    }
    DeleteObject(palette);
}

TEST_F(Pictures, PictureThatIsNotEightBitGivesTheDefaultPalette)
{
    std::vector<BYTE> dib = makeDib(4, 1, 24, 0, {}, {});
    EXPECT_EQ(createPaletteFromDib(dibHeader(dib), NULL), GetStockObject(DEFAULT_PALETTE));
}

TEST_F(Pictures, RowSizeAndColourCountOfThePicturesTheMenuUses)
{
    struct { int width; DWORD rowSize; } rows[] = {
        {621, 624}, {101, 104}, {79, 80}, {110, 112}, {111, 112}, {4, 4}, {1, 4},
    };
    for (const auto &row : rows) {
        BITMAPINFOHEADER header = {};
        header.biWidth = row.width;
        EXPECT_EQ(dibRowSize(&header), row.rowSize) << "width " << row.width;
    }

    BITMAPINFOHEADER header = {};
    header.biBitCount = 8;
    EXPECT_EQ(dibColourCount(&header), 256u);
    header.biClrUsed = 234;
    EXPECT_EQ(dibColourCount(&header), 234u);
    header.biClrUsed = 0;
    header.biBitCount = 4;
    EXPECT_EQ(dibColourCount(&header), 16u);
    header.biBitCount = 24;
    EXPECT_EQ(dibColourCount(&header), 0u);
}

// Converts the DIB with and without a menu palette; both must show the
// colour-table colour of every pixel, padding bytes notwithstanding.
TEST_F(Pictures, ConvertedBitmapShowsTheColourTableColours)
{
    const int width = 5, height = 3;
    std::vector<BYTE> indexes;
    for (int i = 0; i < width * height; i++)
        indexes.push_back((BYTE)(i * 15 % 234));
    std::vector<BYTE> dib = makeDib(width, height, 8, 234, distinctColours(234), indexes);
    Pixels expected = dibColours(dibHeader(dib));

    for (int withPalette = 0; withPalette < 2; withPalette++) {
        SCOPED_TRACE(withPalette ? "with palette" : "without palette");
        if (withPalette) {
            std::vector<BYTE> full = makeDib(1, 1, 8, 0, distinctColours(256), {0});
            g_palette = createPaletteFromDib(
                dibHeader(full), reinterpret_cast<const RGBQUAD *>(full.data() + 40));
        }
        HBITMAP bitmap = createBitmapFromDib(dibHeader(dib));
        ASSERT_NE(bitmap, nullptr);
        Pixels shown = readBitmap(bitmap);
        ASSERT_EQ(shown.width, width);
        ASSERT_EQ(shown.height, height);
        EXPECT_EQ(countDifferences(shown, 0, 0, expected), 0);
        DeleteObject(bitmap);
    }
}

struct BoxSeen {
    bool found = false;
    std::string caption, text;
    HWND owner = NULL;
};

BOOL CALLBACK noteMessageBox(HWND window, LPARAM data)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[32] = "";
    GetClassNameA(window, className, sizeof(className));
    if (process != GetCurrentProcessId() || strcmp(className, "#32770") != 0
        || !IsWindowVisible(window))
        return TRUE;
    BoxSeen *box = reinterpret_cast<BoxSeen *>(data);
    char text[256] = "";
    GetWindowTextA(window, text, sizeof(text));
    box->caption = text;
    GetDlgItemTextA(window, 0xFFFF, text, sizeof(text));
    box->text = text;
    box->owner = GetWindow(window, GW_OWNER);
    box->found = true;
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

// Waits up to five seconds for a message box of this process, notes what it
// says and closes it with OK.
DWORD WINAPI dismissMessageBox(void *parameter)
{
    BoxSeen *seen = static_cast<BoxSeen *>(parameter);
    for (int tries = 0; tries < 500 && !seen->found; tries++) {
        Sleep(10);
        EnumWindows(noteMessageBox, reinterpret_cast<LPARAM>(seen));
    }
    return 0;
}

TEST_F(Pictures, TwentyFourBitPictureIsRefusedWithAMessage)
{
    WNDCLASSA ownerClass = {};
    ownerClass.lpfnWndProc = DefWindowProcA;
    ownerClass.hInstance = GetModuleHandleA(NULL);
    ownerClass.lpszClassName = "QuibTestOwner";
    RegisterClassA(&ownerClass);
    g_mainWindow = CreateWindowExA(0, "QuibTestOwner", "owner", WS_POPUP, 0, 0, 10, 10,
                                   NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(g_mainWindow, nullptr);
    std::vector<BYTE> dib = makeDib(4, 2, 24, 0, {}, {});

    BoxSeen seen;
    HANDLE watcher = CreateThread(NULL, 0, dismissMessageBox, &seen, 0, NULL);
    HBITMAP bitmap = createBitmapFromDib(dibHeader(dib));
    WaitForSingleObject(watcher, 10000);
    CloseHandle(watcher);

    EXPECT_EQ(bitmap, nullptr);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "Error");
    EXPECT_EQ(seen.text, "Can't create Indexed color table");
    EXPECT_EQ(seen.owner, g_mainWindow);
    DestroyWindow(g_mainWindow);
}

HBITMAP solidBitmap(int width, int height, COLORREF colour)
{
    HDC screen = GetDC(NULL);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return bitmap;
}

// A 3 x 2 picture of six colours, drawn at a point of a black target.
void expectPlacedAt(const Pixels &target, int x, int y, const Pixels &picture)
{
    EXPECT_EQ(countDifferences(target, x, y, picture), 0);
    int coloured = 0;
    for (DWORD pixel : target.rgb)
        coloured += pixel != 0;
    EXPECT_EQ(coloured, picture.width * picture.height) << "drawn outside its place";
}

TEST_F(Pictures, BitmapsAreDrawnAtTheGivenPoint)
{
    std::vector<RGBQUAD> colours = distinctColours(256);
    std::vector<BYTE> dib = makeDib(3, 2, 8, 0, colours, {10, 20, 30, 40, 50, 60});
    Pixels picture = dibColours(dibHeader(dib));
    HBITMAP small = createBitmapFromDib(dibHeader(dib));
    ASSERT_NE(small, nullptr);

    // Into the composed background, at a picture point.
    MenuTestTitle title;
    title.backgroundBitmap = solidBitmap(20, 16, RGB(0, 0, 0));
    title.drawIntoBackground(small, 5, 7);
    expectPlacedAt(readBitmap(title.backgroundBitmap), 5, 7, picture);
    // The background can be drawn into again: no context kept it selected.
    title.drawIntoBackground(small, 0, 0);
    EXPECT_EQ(countDifferences(readBitmap(title.backgroundBitmap), 0, 0, picture), 0);

    // Onto a device context, at a logical point.
    HBITMAP target = solidBitmap(20, 16, RGB(0, 0, 0));
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, target);
    drawBitmap(memory, small, 11, 3);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    expectPlacedAt(readBitmap(target), 11, 3, picture);

    DeleteObject(target);
    DeleteObject(small);
}

}  // namespace
