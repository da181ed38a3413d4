// The menu side in-process: the palette, what a title frees, the pointer
// and key handling on a menu laid out by hand as on an 800 x 600 screen with
// plain-coloured frames (read back from the composed picture), and the
// information dialogs.
#include <gtest/gtest.h>
#include <string.h>
#include <functional>
#include <vector>
#include "launcher/globals.h"
#include "menu/bitmaps.h"
#include "menu/menu.h"
#include "resource.h"
#include "titles/title.h"

namespace {

// A packed DIB with the given colour table and all pixels 0.
std::vector<BYTE> makeDib(int width, int height, WORD bitCount, DWORD clrUsed, const std::vector<RGBQUAD> &colours)
{
    DWORD rowSize = (bitCount / 8 * width + 3) & ~3;
    std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + colours.size() * 4 + rowSize * height);
    BITMAPINFOHEADER header = { sizeof(header), width, height, 1, bitCount, BI_RGB };
    header.biClrUsed = clrUsed;
    memcpy(dib.data(), &header, sizeof(header));
    if (!colours.empty())
        memcpy(dib.data() + sizeof(header), colours.data(), colours.size() * 4);
    return dib;
}

// Calls `look` every 20 ms with the dialog or message box that this thread
// shows while `body` runs, from inside the dialog's own message loop.
std::function<void(HWND)> g_look;

void CALLBACK lookAtDialog(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = GetActiveWindow();
    if (dialog && dialog != g_mainWindow)
        g_look(dialog);
}

void whileDialogs(const std::function<void(HWND)> &look, const std::function<void()> &body)
{
    g_look = look;
    UINT_PTR timer = SetTimer(NULL, 0, 20, lookAtDialog);
    body();
    KillTimer(NULL, timer);
    g_look = nullptr;
}

// The product boxes in the menu picture, by HotSpot index.
const RECT TEST_HOT_SPOTS[8] = {
    { 4, 279, 70, 383 }, { 75, 279, 147, 383 }, { 154, 279, 219, 383 }, { 451, 279, 529, 383 },
    { 535, 279, 616, 383 }, { 300, 279, 373, 383 }, { 225, 279, 297, 383 }, { 378, 279, 450, 383 },
};

// biClrUsed says 16, but the palette always takes 256 colours; the fourth
// byte of a table entry is never part of a colour.
TEST(Pictures, PaletteTakesAllColourTableBytes)
{
    std::vector<RGBQUAD> colours(256);
    for (int i = 0; i < 256; i++)
        colours[i] = { (BYTE)i, (BYTE)(255 - i), (BYTE)(i * 7 + 3), 0x5A };
    std::vector<BYTE> dib = makeDib(4, 1, 8, 16, colours);
    HPALETTE palette = createPaletteFromDib((BITMAPINFOHEADER *)dib.data(), colours.data());
    PALETTEENTRY entries[257] = {};
    ASSERT_EQ(GetPaletteEntries(palette, 0, 257, entries), 256u);
    for (int i = 0; i < 256; i++) {
        PALETTEENTRY expected = { (BYTE)(i * 7 + 3), (BYTE)(255 - i), (BYTE)i, 0 };
        EXPECT_EQ(0, memcmp(&expected, &entries[i], sizeof(expected))) << "entry " << i;
    }
    DeleteObject(palette);
}

TEST(Pictures, TwentyFourBitPictureIsRefusedWithAMessage)
{
    g_mainWindow = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    char caption[32] = "", text[64] = "";
    HWND owner = NULL;
    HBITMAP bitmap = (HBITMAP)1;
    std::vector<BYTE> dib = makeDib(4, 2, 24, 0, {});
    whileDialogs(
        [&](HWND box) {
            GetWindowTextA(box, caption, sizeof(caption));
            GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
            owner = GetWindow(box, GW_OWNER);
            SendMessageA(box, WM_COMMAND, IDOK, 0);
        },
        [&] { bitmap = createBitmapFromDib((BITMAPINFOHEADER *)dib.data()); });
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_STREQ(caption, "Error");
    EXPECT_STREQ(text, "Can't create Indexed color table");
    EXPECT_EQ(owner, g_mainWindow);
    DestroyWindow(g_mainWindow);
    g_mainWindow = NULL;
}

const int OX = 89, OY = 84;
const RECT BUTTONS[2] = { { 328, 69, 429, 128 }, { 529, 385, 608, 428 } };   // in the picture

// Inside Play, the box art and Quit; on nothing; off the picture; Quit's
// left and bottom edges.
// Steps are two letters each, separated by spaces: m, d, u (pointer move,
// press, release) at a point, k a key; "x-" takes the focus away.
const char POINT_NAMES[] = "PBQNELM";
const POINT POINTS[] = { { 378, 99 }, { 260, 96 }, { 569, 405 }, { 100, 100 }, { -84, -79 },
                         { 529, 395 }, { 539, 428 } };
const char KEY_NAMES[] = "TRASCX";
const WPARAM KEYS[] = { VK_TAB, VK_RIGHT, 'A', VK_SPACE, VK_RETURN, VK_ESCAPE };

// Frame k of button b is a plain picture of this colour.
COLORREF frameColour(int b, int k) { return RGB(40 + 50 * k, 60 + 100 * b, 30); }

HBITMAP plainBitmap(int width, int height, COLORREF c)
{
    RGBQUAD colour = { GetBValue(c), GetGValue(c), GetRValue(c), 0 };
    return createBitmapFromDib((BITMAPINFOHEADER *)makeDib(width, height, 8, 1, { colour }).data());
}

// A Title that notes its install or play and whose frames and hot spots lie
// as on an 800 x 600 screen.
struct TestTitle : Title {
    TestTitle() : Title(0, 0)
    {
        for (int i = 0; i < 8; i++) {
            hotSpots[i] = TEST_HOT_SPOTS[i];
            OffsetRect(&hotSpots[i], OX, OY);
        }
    }
    void loadBoxArt() override {}
    const char *gameWindowClass() override { return "QuibMenuTestGame"; }
    const char *discMarkerPath() override { return "C:\\nothing"; }
    int isInstalled() override { return installed; }
    int install() override { return action('I'); }
    int play() override { return action('P'); }
    const char *promptCaption() override { return ""; }
    const char *promptText() override { return ""; }
    const char *retryText() override { return ""; }

    // The frame button b shows in the composed picture, or -1.
    int frameOf(int b)
    {
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, backgroundBitmap);
        COLORREF pixel = GetPixel(dc, BUTTONS[b].left + 5, BUTTONS[b].top + 5);
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
    HBITMAP *owned[10] = { &title->backgroundBitmap, &title->boxArtBitmap };
    for (int i = 0; i < 8; i++)
        owned[2 + i] = &title->buttons[i / 4].buttonFrames[i % 4];
    HBITMAP made[10];
    for (int i = 0; i < 10; i++)
        *owned[i] = made[i] = CreateBitmap(1, 1, 1, 1, NULL);
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
    std::vector<BYTE> menu = makeDib(8, 2, 8, 256, greys);
    g_palette = createPaletteFromDib((BITMAPINFOHEADER *)menu.data(), greys.data());
    const BYTE shades[4] = { 201, 3, 77, 150 };
    std::vector<RGBQUAD> colours;
    for (BYTE shade : shades)
        colours.push_back({ shade, shade, shade, 0 });
    std::vector<BYTE> part = makeDib(4, 1, 8, 4, colours);
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

const int N = FRAME_NORMAL, F = FRAME_FOCUSED, P = FRAME_PRESSED, A = FRAME_ACTIVATED;

// From the menu as it opens (Play/Install focused, Quit normal): the focus,
// the lit button and both frames after the steps, and what they did: an
// install, a play, closing the menu ('C') or nothing.
TEST(MenuInteraction, StepsFollowTheStateTable)
{
    g_instance = GetModuleHandleA(NULL);
    WNDCLASSA windowClass = { 0, menuWindowProc, 0, 0, g_instance, NULL, NULL, NULL, NULL, "QuibInteractionTest" };
    RegisterClassA(&windowClass);
    TestTitle title;
    title.backgroundBitmap = plainBitmap(621, 431, RGB(10, 10, 10));
    title.boxArtRect = { OX + 210, OY + 26, OX + 321, OY + 176 };
    for (int b = 0; b < 2; b++) {
        const RECT &r = BUTTONS[b];
        for (int k = 0; k < 4; k++)
            title.buttons[b].buttonFrames[k] = plainBitmap(r.right - r.left, r.bottom - r.top, frameColour(b, k));
        title.buttons[b].buttonPos = { r.left, r.top };
        title.buttons[b].buttonRect = { OX + r.left, OY + r.top, OX + r.right, OY + r.bottom };
    }
    g_title = &title;

    const struct { int installed; const char *steps; int focus, lit, frame0, frame1; char acted; } rows[] = {
        { 0, "mL", 0, 2, F, N, ' ' },             // edges are outside
        { 0, "mQ", 1, 2, N, F, ' ' },
        { 0, "mQ mB", 0, 2, F, N, ' ' },          // the box art is Play's second face
        { 0, "dB", 0, 0, P, N, ' ' },
        { 0, "dP mQ", 1, 2, N, F, ' ' },          // dragged onto Quit
        { 0, "dP mQ uQ", 1, 2, N, F, ' ' },
        { 0, "mQ dQ mN", 1, 2, N, F, ' ' },       // dragged off: springs back
        { 0, "mQ dQ mN mQ uQ", 1, 2, N, F, ' ' }, // and stays unlit
        { 0, "mQ dQ uE", 1, 1, N, P, ' ' },       // released elsewhere
        { 0, "mQ dP", 1, 2, N, F, ' ' },          // the unfocused button
        { 0, "kT", 1, 2, N, F, ' ' },
        { 0, "mQ kR", 0, 2, F, N, ' ' },
        { 0, "dP kT", 1, 2, N, F, ' ' },
        { 0, "x- kT", 0, 2, F, N, ' ' },
        { 0, "x- kC", 2, 2, N, N, ' ' },          // Return without a focused button
        { 0, "mB dB uB", 0, 2, F, N, 'I' },       // a failed install from the box art
        { 1, "kC", 0, 2, F, N, 'P' },
        { 0, "mQ dQ uQ", 1, 1, N, A, 'C' },
        { 0, "mQ kS", 1, 1, N, A, 'C' },
        { 0, "mQ kX", 1, 2, N, F, 'C' },          // Escape closes without a frame
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
        UpdateWindow(window);
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
        if (row.acted != 'C')
            EXPECT_EQ(row.acted, title.acted);
        if (row.acted == 'I' || row.acted == 'P')
            EXPECT_EQ(A, title.frameDuringAction);
    }
    DestroyWindow(window);
    drainMessages();
    g_mainWindow = NULL;
    g_title = NULL;
}

INT_PTR CALLBACK plainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Each control of `dialog` against the same control of the template laid
// out by the dialog manager alone: text blocks span the grid at their scaled
// height, the back button is scaled both ways, all use the dialog's font.
void expectLayout(HWND dialog, WORD templateId)
{
    RECT window, client;
    GetWindowRect(dialog, &window);
    EXPECT_EQ(g_mainWindow, GetWindow(dialog, GW_OWNER));
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 570) / 2, window.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 320) / 2, window.top);
    EXPECT_EQ(570, window.right - window.left);
    EXPECT_EQ(320, window.bottom - window.top);
    ASSERT_TRUE(g_infoFont != NULL);
    HWND plain = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(templateId), NULL, plainDialogProc, 0);
    GetClientRect(plain, &client);
    for (HWND was = GetWindow(plain, GW_CHILD); was; was = GetWindow(was, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(was);
        if (id == -1)
            continue;   // the picture
        SCOPED_TRACE(testing::Message() << "control " << id);
        RECT from, to;
        GetWindowRect(was, &from);
        MapWindowPoints(NULL, plain, reinterpret_cast<POINT *>(&from), 2);
        HWND control = GetDlgItem(dialog, id);
        GetWindowRect(control, &to);
        MapWindowPoints(NULL, dialog, reinterpret_cast<POINT *>(&to), 2);
        bool text = id != IDC_INFO_BACK;
        EXPECT_EQ(text ? 0 : from.left * 570 / client.right, to.left);
        EXPECT_EQ(text ? 570 : (from.right - from.left) * 570 / client.right, to.right - to.left);
        EXPECT_EQ(from.top * 320 / client.bottom, to.top);
        EXPECT_EQ((from.bottom - from.top) * 320 / client.bottom, to.bottom - to.top);
        EXPECT_EQ((LRESULT)g_infoFont, SendMessageA(control, WM_GETFONT, 0, 0));
    }
    DestroyWindow(plain);
}

// A press on the menu at a picture point, with `look` at its dialog.
void pressOnPicture(int x, int y, const std::function<void(HWND)> &look)
{
    whileDialogs(look, [&] { menuWindowProc(g_mainWindow, WM_LBUTTONDOWN, 0, MAKELPARAM(89 + x, 84 + y)); });
}

// Each box opens its own dialog over the menu, and only the back button
// closes it; the dialog's font goes with it.
TEST(InfoDialog, EachBoxOpensItsDialogOnTheGridThatOnlyItsButtonCloses)
{
    g_instance = GetModuleHandleA(NULL);
    g_mainWindow = CreateWindowExA(0, "STATIC", "Quib Launch", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, NULL,
                                   NULL, g_instance, NULL);
    TestTitle title;
    g_title = &title;
    g_infoFont = NULL;
    for (int d = 0; d < 8; d++) {
        SCOPED_TRACE(testing::Message() << "dialog " << infoDialogIds[d]);
        HFONT font = NULL;
        int looks = 0;
        pressOnPicture(TEST_HOT_SPOTS[d].left + 1, 300, [&](HWND dialog) {
            if (++looks == 1) {
                font = g_infoFont;
                expectLayout(dialog, infoDialogIds[d]);
                SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                SendMessageA(dialog, WM_COMMAND, IDOK, 0);
                SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            } else {
                SendMessageA(GetDlgItem(dialog, IDC_INFO_BACK), BM_CLICK, 0, 0);
            }
        });
        EXPECT_EQ(2, looks) << "closed too early";
        EXPECT_TRUE(g_infoFont == NULL);
        EXPECT_TRUE(font != NULL && GetObjectType(font) == 0) << "the dialog's font is not deleted";
    }
    DestroyWindow(g_mainWindow);
    g_mainWindow = NULL;
    g_title = NULL;
}

}  // namespace
