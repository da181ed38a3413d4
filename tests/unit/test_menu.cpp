// The menu side in-process, where the outside cannot look: the palette,
// what is freed, and the button state table with the frames each step
// composes and the rectangles it invalidates.
#include <gtest/gtest.h>
#include <string.h>
#include <thread>
#include <vector>
#include "launcher/globals.h"
#include "menu/bitmaps.h"
#include "menu/layout.h"
#include "menu/menu.h"
#include "resource.h"
#include "test_support.h"
#include "titles/title.h"

namespace {

// A packed 8-bit DIB with the given colour table and all pixels 0.
std::vector<BYTE> makeDib(SIZE size, DWORD clrUsed, const std::vector<RGBQUAD> &colours)
{
    BITMAPINFOHEADER header = { sizeof(header), size.cx, size.cy, 1, 8, BI_RGB };
    header.biClrUsed = clrUsed;
    std::vector<BYTE> dib(sizeof(header) + colours.size() * 4 + ((size.cx + 3) & ~3) * size.cy);
    memcpy(dib.data(), &header, sizeof(header));
    memcpy(dib.data() + sizeof(header), colours.data(), colours.size() * 4);
    return dib;
}

// biClrUsed says 16, but the palette always takes 256 colours; the fourth
// byte of a table entry is never part of a colour.
TEST(Pictures, PaletteTakesAllTheColourTable)
{
    std::vector<RGBQUAD> colours(256);
    for (int i = 0; i < 256; i++)
        colours[i] = { (BYTE)i, (BYTE)(255 - i), (BYTE)(i * 7 + 3), 0x5A };
    std::vector<BYTE> dib = makeDib({ 4, 1 }, 16, colours);
    HPALETTE palette = createPaletteFromDib((BITMAPINFOHEADER *)dib.data(), colours.data());
    PALETTEENTRY entries[257] = {};
    ASSERT_EQ(GetPaletteEntries(palette, 0, 257, entries), 256u);
    for (int i = 0; i < 256; i++) {
        PALETTEENTRY expected = { (BYTE)(i * 7 + 3), (BYTE)(255 - i), (BYTE)i, 0 };
        EXPECT_EQ(0, memcmp(&expected, &entries[i], sizeof(expected))) << "entry " << i;
    }
    DeleteObject(palette);
}

// Frame k of button b is a plain picture of this colour.
COLORREF frameColour(int b, int k) { return RGB(40 + 50 * k, 60 + 100 * b, 30); }

HBITMAP plainBitmap(SIZE size, COLORREF c)
{
    return createBitmapFromDib((BITMAPINFOHEADER *)makeDib(size, 1, { { GetBValue(c), GetGValue(c), GetRValue(c) } }).data());
}

SIZE pictureSize(int id)
{
    const BITMAPINFOHEADER *dib = lockBitmapResource(id);
    return { dib->biWidth, dib->biHeight };
}

const int OX = 89, OY = 84;   // the picture on an 800 x 600 screen

// A Title whose frames are plain colours, laid out as on an 800 x 600
// screen, that notes its install or play.
struct TestTitle : Title {
    TestTitle() : Title(0, 0) {}
    void loadBoxArt() override {}
    const char *gameWindowClass() override { return "QuibMenuTestGame"; }
    const char *discMarkerPath() override { return "C:\\nothing"; }
    int isInstalled() override { return installed; }
    int install() override { return action('I'); }
    int play() override { return action('P'); }
    const char *promptCaption() override { return ""; }
    const char *promptText() override { return ""; }
    const char *retryText() override { return ""; }

    void layOut()
    {
        backgroundBitmap = plainBitmap(pictureSize(IDB_MENU), RGB(10, 10, 10));
        SIZE art = pictureSize(IDB_BOXART_VOL1);
        boxArtRect = { OX + BOX_ART_POS.x, OY + BOX_ART_POS.y, OX + BOX_ART_POS.x + art.cx, OY + BOX_ART_POS.y + art.cy };
        const POINT at[2] = { PLAY_BUTTON_POS, QUIT_BUTTON_POS };
        const SIZE sizes[2] = { pictureSize(IDB_INSTALL_NORMAL), pictureSize(IDB_QUIT_NORMAL) };
        for (int b = 0; b < 2; b++) {
            for (int k = 0; k < 4; k++)
                buttons[b].buttonFrames[k] = plainBitmap(sizes[b], frameColour(b, k));
            buttons[b].buttonPos = at[b];
            buttons[b].buttonRect = { OX + at[b].x, OY + at[b].y, OX + at[b].x + sizes[b].cx, OY + at[b].y + sizes[b].cy };
        }
    }

    // The frame button b shows in the composed picture, or -1.
    int frameOf(int b)
    {
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, backgroundBitmap);
        COLORREF pixel = GetPixel(dc, buttons[b].buttonPos.x + 5, buttons[b].buttonPos.y + 5);
        SelectObject(dc, old);
        DeleteDC(dc);
        int k = 3;
        while (k >= 0 && pixel != frameColour(b, k))
            k--;
        return k;
    }

    int action(char which)
    {
        acted = which;
        frameDuringAction = frameOf(BUTTON_PLAY);
        return 0;
    }

    char acted = ' ';
    int frameDuringAction = -1;
};

TEST(Pictures, TitleFreesItsTenBitmaps)
{
    TestTitle *title = new TestTitle();
    title->layOut();
    HBITMAP made[10] = { title->backgroundBitmap, title->boxArtBitmap = CreateBitmap(1, 1, 1, 1, NULL) };
    for (int i = 0; i < 8; i++)
        made[2 + i] = title->buttons[i / 4].buttonFrames[i % 4];
    delete title;
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(GetObjectType(made[i]), 0u) << "bitmap " << i << " outlived its title";
}

// With the menu palette, a picture whose colour table lists some of the
// palette's colours in another order becomes an 8-bit bitmap that shows
// each pixel in its own colour, and composes into the picture exactly, even
// where palette colours differ by one step (grey i is entry i).
TEST(Pictures, PicturesInThePaletteColoursComposeExactly)
{
    std::vector<RGBQUAD> greys(256);
    for (int i = 0; i < 256; i++)
        greys[i] = { (BYTE)i, (BYTE)i, (BYTE)i, 0 };
    std::vector<BYTE> menu = makeDib({ 8, 2 }, 256, greys);
    g_palette = createPaletteFromDib((BITMAPINFOHEADER *)menu.data(), greys.data());
    const BYTE shades[4] = { 201, 3, 77, 150 };
    std::vector<RGBQUAD> colours;
    for (BYTE shade : shades)
        colours.push_back({ shade, shade, shade, 0 });
    std::vector<BYTE> part = makeDib({ 4, 1 }, 4, colours);
    for (int x = 0; x < 4; x++)
        part[sizeof(BITMAPINFOHEADER) + 4 * 4 + x] = (BYTE)x;

    TestTitle title;
    title.backgroundBitmap = createBitmapFromDib((BITMAPINFOHEADER *)menu.data());
    HBITMAP bitmap = createBitmapFromDib((BITMAPINFOHEADER *)part.data());
    DIBSECTION section = {};
    ASSERT_EQ(GetObjectA(bitmap, sizeof(section), &section), (int)sizeof(section));
    EXPECT_EQ(section.dsBm.bmBitsPixel, 8);
    title.drawIntoBackground(bitmap, 3, 1);

    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, title.backgroundBitmap);
    for (int x = 0; x < 8; x++) {
        BYTE shade = x >= 3 && x < 7 ? shades[x - 3] : 0;
        EXPECT_EQ(GetPixel(dc, x, 1), RGB(shade, shade, shade)) << "pixel " << x;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    DeleteObject(g_palette);
    g_palette = NULL;
}

void drainMessages()
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

// Points in the picture: inside Play, the box art and Quit; on nothing; off
// the picture; Quit's left and bottom edges.
const char POINT_NAMES[] = "PBQNELM";
const POINT POINTS[] = { { 378, 99 }, { 260, 96 }, { 569, 405 }, { 100, 100 }, { -84, -79 },
                         { 529, 395 }, { 539, 428 } };
const char KEY_NAMES[] = "TRASCX";
const WPARAM KEYS[] = { VK_TAB, VK_RIGHT, 'A', VK_SPACE, VK_RETURN, VK_ESCAPE };
const int N = FRAME_NORMAL, F = FRAME_FOCUSED, P = FRAME_PRESSED, A = FRAME_ACTIVATED;

// From the menu as it opens (Play/Install focused, Quit normal), steps of two
// letters: m, d, u (pointer move, press, release) at a point, k a key; "x-"
// takes the focus away. Then: the focus, the lit button, both frames, what
// ran (an install, a play, closing the menu 'C', or nothing), and the
// buttons whose rectangles were invalidated, the only ones.
TEST(MenuInteraction, StepsFollowTheStateTable)
{
    g_instance = GetModuleHandleA(NULL);
    WNDCLASSA windowClass = { 0, menuWindowProc, 0, 0, g_instance, NULL, NULL, NULL, NULL, "QuibInteractionTest" };
    RegisterClassA(&windowClass);
    TestTitle title;
    title.layOut();
    g_title = &title;

    const struct { int installed; const char *steps; int focus, lit, frame0, frame1; char acted; const char *invalid; } rows[] = {
        { 0, "mL", 0, 2, F, N, ' ', "" },               // edges are outside
        { 0, "mQ", 1, 2, N, F, ' ', "PQ" },
        { 0, "mQ mB", 0, 2, F, N, ' ', "PQ" },          // the box art is Play's second face
        { 0, "dB", 0, 0, P, N, ' ', "P" },
        { 0, "dP mQ", 1, 2, N, F, ' ', "PQ" },          // dragged onto Quit
        { 0, "dP mQ uQ", 1, 2, N, F, ' ', "PQ" },
        { 0, "mQ dQ mN", 1, 2, N, F, ' ', "PQ" },       // dragged off: springs back
        { 0, "mQ dQ mN mQ uQ", 1, 2, N, F, ' ', "PQ" }, // and stays unlit
        { 0, "mQ dQ uE", 1, 1, N, P, ' ', "PQ" },       // released elsewhere
        { 0, "mQ dP", 1, 2, N, F, ' ', "PQ" },          // the unfocused button
        { 0, "kT", 1, 2, N, F, ' ', "PQ" },
        { 0, "mQ kR", 0, 2, F, N, ' ', "PQ" },
        { 0, "dP kT", 1, 2, N, F, ' ', "PQ" },
        { 0, "x- kT", 0, 2, F, N, ' ', "P" },
        { 0, "x- kC", 2, 2, N, N, ' ', "" },            // Return without a focused button
        { 0, "mB dB uB", 0, 2, F, N, 'I', "P" },        // a failed install from the box art
        { 1, "kC", 0, 2, F, N, 'P', "P" },
        { 0, "mQ dQ uQ", 1, 1, N, A, 'C', "" },
        { 0, "mQ kS", 1, 1, N, A, 'C', "" },
        { 0, "mQ kX", 1, 2, N, F, 'C', "" },            // Escape closes without a frame
    };
    HWND window = NULL;
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "'" << row.steps << "'");
        if (!IsWindow(window)) {
            drainMessages();   // the closed menu's quit message
            g_mainWindow = window = CreateWindowExA(0, "QuibInteractionTest", "Quib Launch", WS_POPUP | WS_VISIBLE,
                                                    0, 0, 800, 600, NULL, NULL, g_instance, NULL);
        }
        title.installed = row.installed;
        title.acted = ' ';
        title.drawButtonFrame(BUTTON_QUIT, FRAME_NORMAL);
        title.focusOnButton(BUTTON_PLAY);
        ValidateRect(window, NULL);
        for (const char *s = row.steps; s[0] && s[1]; s += s[2] ? 3 : 2) {
            POINT p = strchr("mdu", s[0]) ? POINTS[strchr(POINT_NAMES, s[1]) - POINT_NAMES] : POINT();
            if (s[0] == 'x')
                title.unfocusButton(title.focusButton);
            else if (s[0] == 'k')
                SendMessageA(window, WM_KEYDOWN, KEYS[strchr(KEY_NAMES, s[1]) - KEY_NAMES], 0);
            else
                SendMessageA(window, s[0] == 'm' ? WM_MOUSEMOVE : s[0] == 'd' ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0,
                             MAKELPARAM(OX + p.x, OY + p.y));
        }
        EXPECT_EQ(row.focus, title.focusButton);
        EXPECT_EQ(row.lit, title.litButton);
        EXPECT_EQ(row.frame0, title.frameOf(0));
        EXPECT_EQ(row.frame1, title.frameOf(1));
        EXPECT_EQ(row.acted == 'C', !IsWindow(window));
        if (row.acted != 'C') {
            EXPECT_EQ(row.acted, title.acted);
            HRGN invalid = CreateRectRgn(0, 0, 0, 0), expected = CreateRectRgn(0, 0, 0, 0);
            GetUpdateRgn(window, invalid, FALSE);
            for (int b = 0; b < 2; b++) {
                if (strchr(row.invalid, "PQ"[b])) {
                    HRGN button = CreateRectRgnIndirect(&title.buttons[b].buttonRect);
                    CombineRgn(expected, expected, button, RGN_OR);
                    DeleteObject(button);
                }
            }
            EXPECT_TRUE(EqualRgn(invalid, expected)) << "invalidated more or less than " << row.invalid;
            DeleteObject(invalid);
            DeleteObject(expected);
        }
        if (row.acted == 'I' || row.acted == 'P')
            EXPECT_EQ(A, title.frameDuringAction);
    }
    DestroyWindow(window);
    drainMessages();
    g_mainWindow = NULL;
    g_title = NULL;
}

// Each information dialog makes a font of its own and deletes it when it
// closes, and gives back the picture its static control loaded.
TEST(InfoDialog, FontAndPictureGoWithTheDialog)
{
    HFONT font = NULL;
    HGDIOBJ picture = NULL;
    std::thread helper([&] {
        HWND dialog = quibtest::waitForWindow("#32770", NULL);
        for (int waited = 0; !IsWindowVisible(dialog) && waited < 5000; waited += 10)
            Sleep(10);   // shown once laid out, with its font
        font = g_infoFont;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            picture = picture ? picture : (HGDIOBJ)SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0);
        PostMessageA(dialog, WM_COMMAND, IDC_INFO_BACK, 0);
    });
    openInfoDialog(4);
    helper.join();
    EXPECT_TRUE(font && GetObjectType(font) == 0) << "the dialog's font outlived it";
    EXPECT_TRUE(g_infoFont == NULL);
    EXPECT_TRUE(picture && GetObjectType(picture) == 0) << "the dialog's picture outlived it";
}

}  // namespace
