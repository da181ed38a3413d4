// Builds the real menu in-process: a thread timer inspects the window once
// the message loop runs, then closes it. Needs the program's pictures and a
// display.
#include <gtest/gtest.h>
#include "dib_test_support.h"
#include "launcher/globals.h"
#include "menu/menu.h"

namespace {

struct WindowSeen {
    HWND window = NULL;
    RECT rect = {};
    WNDCLASSEXA windowClass = { sizeof(WNDCLASSEXA) };
    HPALETTE palette = NULL;
} g_seen;

void CALLBACK inspectAndClose(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    g_seen.window = g_mainWindow;
    GetWindowRect(g_mainWindow, &g_seen.rect);
    GetClassInfoExA(g_instance, "QuibLaunch", &g_seen.windowClass);
    g_seen.palette = g_palette;
    PostMessageA(g_mainWindow, WM_CLOSE, 0, 0);
}

void expectRect(const RECT &actual, int left, int top, int width, int height, const char *what)
{
    RECT expected = { left, top, left + width, top + height };
    EXPECT_TRUE(EqualRect(&actual, &expected)) << what << " at " << actual.left << "," << actual.top;
}

// The second run also finds the window class already registered.
TEST(MenuRun, OpensOverTheScreenWithItsButtonsAndFreesItsBitmaps)
{
    g_instance = GetModuleHandleA(NULL);
    if (!bitmapResource(110))
        FAIL() << "the program's pictures are not built in";
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const int ox = (width - 621) / 2, oy = (height - 431) / 2;
    const int quitFrames[4] = { 138, 139, 141, 140 };
    const struct { int installed; int playFrames[4]; } runs[] = {
        { 1, { 126, 127, 129, 128 } },
        { 0, { 125, 123, 122, 124 } },
    };
    for (const auto &run : runs) {
        SCOPED_TRACE(run.installed ? "installed" : "not installed");
        g_seen = WindowSeen();
        SetCursorPos(0, 0);   // away from the buttons
        MenuTestTitle *title = new MenuTestTitle(run.installed);
        g_title = title;
        UINT_PTR timer = SetTimer(NULL, 0, 50, inspectAndClose);
        title->run();
        KillTimer(NULL, timer);
        g_title = NULL;

        ASSERT_TRUE(g_seen.window != NULL) << "the message loop never ran";
        expectRect(g_seen.rect, 0, 0, width, height, "window");
        EXPECT_EQ(g_seen.windowClass.lpfnWndProc, menuWindowProc);
        EXPECT_EQ(g_seen.windowClass.hCursor, nullptr);
        EXPECT_EQ(g_seen.windowClass.hbrBackground, GetStockObject(BLACK_BRUSH));
        EXPECT_NE(g_seen.windowClass.hIcon, nullptr);
        // After the loop the window and its palette are gone.
        EXPECT_FALSE(IsWindow(g_seen.window));
        EXPECT_TRUE(g_mainWindow == NULL && g_palette == NULL);
        EXPECT_TRUE(g_seen.palette != NULL && GetObjectType(g_seen.palette) == 0) << "palette not deleted";

        EXPECT_EQ(title->originX, ox);
        EXPECT_EQ(title->originY, oy);
        expectRect(title->boxArtRect, ox + 210, oy + 26, 110, 151, "box art");
        expectRect(title->buttons[BUTTON_PLAY].buttonRect, ox + 328, oy + 69, 101, 59, "play");
        expectRect(title->buttons[BUTTON_QUIT].buttonRect, ox + 529, oy + 385, 79, 43, "quit");
        expectRect(title->hotSpots[0], ox + 4, oy + 279, 66, 104, "first box");
        expectRect(title->hotSpots[4], ox + 535, oy + 279, 81, 104, "last box");
        EXPECT_EQ(title->focusButton, BUTTON_PLAY);
        EXPECT_EQ(title->litButton, BUTTON_NONE);

        HGDIOBJ owned[10] = { title->backgroundBitmap, title->boxArtBitmap };
        for (int frame = 0; frame < 4; frame++) {
            owned[2 + frame] = title->buttons[0].buttonFrames[frame];
            owned[6 + frame] = title->buttons[1].buttonFrames[frame];
            EXPECT_EQ(differences(title->buttons[0].buttonFrames[frame], 0, 0, bitmapResource(run.playFrames[frame])), 0)
                << "play frame " << frame;
            EXPECT_EQ(differences(title->buttons[1].buttonFrames[frame], 0, 0, bitmapResource(quitFrames[frame])), 0)
                << "quit frame " << frame;
        }
        EXPECT_EQ(differences(title->backgroundBitmap, 328, 69, bitmapResource(run.playFrames[FRAME_FOCUSED])), 0);
        EXPECT_EQ(differences(title->backgroundBitmap, 529, 385, bitmapResource(quitFrames[FRAME_NORMAL])), 0);
        for (HGDIOBJ bitmap : owned)
            ASSERT_EQ(GetObjectType(bitmap), (DWORD)OBJ_BITMAP);
        delete title;
        for (int i = 0; i < 10; i++)
            EXPECT_EQ(GetObjectType(owned[i]), 0u) << "bitmap " << i << " outlived its title";
    }
}

}  // namespace
