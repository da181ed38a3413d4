// The menu in-process, where the outside cannot look: the button state
// table with the frame each button shows after every step and the action it
// ran, and what an information dialog frees.
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

// Frame k of button b is a plain picture of this colour.
COLORREF frameColour(int b, int k) { return RGB(40 + 50 * k, 60 + 100 * b, 30); }

HBITMAP plainBitmap(SIZE size, COLORREF c)
{
    BITMAPINFOHEADER header = { sizeof(header), size.cx, size.cy, 1, 8, BI_RGB };
    header.biClrUsed = 1;
    std::vector<BYTE> dib(sizeof(header) + 4 + ((size.cx + 3) & ~3) * size.cy);
    memcpy(dib.data(), &header, sizeof(header));
    RGBQUAD colour = { GetBValue(c), GetGValue(c), GetRValue(c), 0 };
    memcpy(dib.data() + sizeof(header), &colour, 4);
    return createBitmapFromDib((BITMAPINFOHEADER *)dib.data());
}

SIZE pictureSize(int id)
{
    const BITMAPINFOHEADER *dib = lockBitmapResource(id);
    return { dib->biWidth, dib->biHeight };
}

const int OX = 89, OY = 84;   // the picture on an 800 x 600 screen

enum Outcome { NOTHING, INSTALLS, PLAYS };

// A Title whose frames are plain colours, laid out as on an 800 x 600
// screen, that notes its install or play (which fail).
struct TestTitle : Title {
    TestTitle() : Title(0, 0) {}
    void loadBoxArt() override {}
    const char *gameWindowClass() override { return "QuibMenuTestGame"; }
    const char *discMarkerPath() override { return "C:\\nothing"; }
    int isInstalled() override { return installed; }
    int install() override { return action(INSTALLS); }
    int play() override { return action(PLAYS); }
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

    int action(Outcome which)
    {
        outcome = which;
        frameDuringAction = frameOf(BUTTON_PLAY);
        return 0;
    }

    Outcome outcome = NOTHING;
    int frameDuringAction = -1;
};

// Where a pointer step happens, in picture coordinates.
enum Spot { ON_PLAY, ON_BOX_ART, ON_QUIT, ON_NOTHING, OFF_PICTURE, QUITS_LEFT_EDGE, QUITS_BOTTOM_EDGE };
const POINT SPOTS[] = { { 378, 99 }, { 260, 96 }, { 569, 405 }, { 100, 100 }, { -84, -79 }, { 529, 395 }, { 539, 428 } };

// A step: the pointer moves to, presses or releases at a spot; a key goes
// down; or the focus is taken away from the buttons.
enum Action { MOVE, PRESS, RELEASE, KEY, UNFOCUS };
struct Step { Action action; int what; };   // a Spot, or a virtual-key code

const int PLAY = BUTTON_PLAY, QUIT = BUTTON_QUIT, NONE = BUTTON_NONE;
const int NORMAL = FRAME_NORMAL, FOCUSED = FRAME_FOCUSED, PRESSED = FRAME_PRESSED, ACTIVATED = FRAME_ACTIVATED;

// From the menu as it opens (Play/Install focused, Quit normal): the steps,
// then the focused and the lit button, the frame each button shows, and
// what ran. A failed install or play leaves the activated look on during
// the action and the focused look after it. (Quit and Escape, which end
// the menu, are the whole-program tests'.)
TEST(MenuInteraction, StepsFollowTheStateTable)
{
    g_instance = GetModuleHandleA(NULL);
    WNDCLASSA windowClass = { 0, menuWindowProc, 0, 0, g_instance, NULL, NULL, NULL, NULL, "QuibInteractionTest" };
    RegisterClassA(&windowClass);
    TestTitle title;
    title.layOut();
    g_title = &title;

    const struct { bool installed; std::vector<Step> steps; int focus, lit, playFrame, quitFrame; Outcome outcome; } rows[] = {
        { false, { { MOVE, QUITS_LEFT_EDGE } }, PLAY, NONE, FOCUSED, NORMAL, NOTHING },   // edges are outside
        { false, { { MOVE, ON_QUIT } }, QUIT, NONE, NORMAL, FOCUSED, NOTHING },
        { false, { { MOVE, ON_QUIT }, { MOVE, ON_BOX_ART } }, PLAY, NONE, FOCUSED, NORMAL, NOTHING },   // Play's second face
        { false, { { PRESS, ON_BOX_ART } }, PLAY, PLAY, PRESSED, NORMAL, NOTHING },
        { false, { { PRESS, ON_PLAY }, { MOVE, ON_QUIT } }, QUIT, NONE, NORMAL, FOCUSED, NOTHING },   // dragged onto Quit
        { false, { { PRESS, ON_PLAY }, { MOVE, ON_QUIT }, { RELEASE, ON_QUIT } }, QUIT, NONE, NORMAL, FOCUSED, NOTHING },
        { false, { { MOVE, ON_QUIT }, { PRESS, ON_QUIT }, { MOVE, ON_NOTHING } }, QUIT, NONE, NORMAL, FOCUSED, NOTHING },
        // dragged off, Quit springs back and stays unlit when the pointer returns
        { false, { { MOVE, ON_QUIT }, { PRESS, ON_QUIT }, { MOVE, ON_NOTHING }, { MOVE, ON_QUIT }, { RELEASE, ON_QUIT } },
          QUIT, NONE, NORMAL, FOCUSED, NOTHING },
        { false, { { MOVE, ON_QUIT }, { PRESS, ON_QUIT }, { RELEASE, OFF_PICTURE } }, QUIT, QUIT, NORMAL, PRESSED, NOTHING },
        { false, { { MOVE, ON_QUIT }, { PRESS, ON_PLAY } }, QUIT, NONE, NORMAL, FOCUSED, NOTHING },   // not the focused one
        { false, { { KEY, VK_TAB } }, QUIT, NONE, NORMAL, FOCUSED, NOTHING },
        { false, { { MOVE, ON_QUIT }, { KEY, VK_RIGHT } }, PLAY, NONE, FOCUSED, NORMAL, NOTHING },
        { false, { { PRESS, ON_PLAY }, { KEY, VK_TAB } }, QUIT, NONE, NORMAL, FOCUSED, NOTHING },
        { false, { { KEY, 'A' }, { MOVE, QUITS_BOTTOM_EDGE } }, PLAY, NONE, FOCUSED, NORMAL, NOTHING },
        { false, { { UNFOCUS, 0 }, { KEY, VK_TAB } }, PLAY, NONE, FOCUSED, NORMAL, NOTHING },
        { false, { { UNFOCUS, 0 }, { KEY, VK_RETURN } }, NONE, NONE, NORMAL, NORMAL, NOTHING },
        { false, { { MOVE, ON_BOX_ART }, { PRESS, ON_BOX_ART }, { RELEASE, ON_BOX_ART } }, PLAY, NONE, FOCUSED, NORMAL, INSTALLS },
        { true, { { KEY, VK_RETURN } }, PLAY, NONE, FOCUSED, NORMAL, PLAYS },
    };
    HWND window = g_mainWindow = CreateWindowExA(0, "QuibInteractionTest", "Quib Launch", WS_POPUP | WS_VISIBLE,
                                                 0, 0, 800, 600, NULL, NULL, g_instance, NULL);
    for (size_t r = 0; r < sizeof(rows) / sizeof(rows[0]); r++) {
        const auto &row = rows[r];
        SCOPED_TRACE(testing::Message() << "row " << r);
        title.installed = row.installed;
        title.outcome = NOTHING;
        title.drawButtonFrame(BUTTON_QUIT, FRAME_NORMAL);
        title.focusOnButton(BUTTON_PLAY);
        for (const Step &step : row.steps) {
            const POINT at = SPOTS[step.action <= RELEASE ? step.what : ON_NOTHING];
            const UINT pointerMessage[] = { WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP };
            if (step.action == UNFOCUS)
                title.unfocusButton(title.focusButton);
            else if (step.action == KEY)
                SendMessageA(window, WM_KEYDOWN, step.what, 0);
            else
                SendMessageA(window, pointerMessage[step.action], 0, MAKELPARAM(OX + at.x, OY + at.y));
        }
        EXPECT_EQ(row.focus, title.focusButton);
        EXPECT_EQ(row.lit, title.litButton);
        EXPECT_EQ(row.playFrame, title.frameOf(BUTTON_PLAY));
        EXPECT_EQ(row.quitFrame, title.frameOf(BUTTON_QUIT));
        EXPECT_EQ(row.outcome, title.outcome);
        if (row.outcome == INSTALLS || row.outcome == PLAYS)
            EXPECT_EQ(ACTIVATED, title.frameDuringAction);
    }
    DestroyWindow(window);
    MSG quit;   // the closed menu's, which would end the next test's dialog at once
    while (PeekMessageA(&quit, NULL, 0, 0, PM_REMOVE)) {}
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

} // namespace
