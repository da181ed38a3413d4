// Builds the real menu in-process: a Title whose installed answer the test
// chooses runs the menu; a thread timer inspects the window once the message
// loop is running and closes it. Needs the program's pictures and a display.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "dib_test_support.h"
#include "launcher/globals.h"
#include "menu/menu.h"

namespace {

const int PICTURE_WIDTH = 621, PICTURE_HEIGHT = 431;

struct WindowSeen {
    bool seen = false;
    HWND window = NULL;
    RECT rect = {};
    LONG_PTR style = 0;
    std::string text;
    bool classFound = false;
    WNDCLASSEXA windowClass = {};
    HPALETTE palette = NULL;
};
WindowSeen g_seen;

void CALLBACK inspectAndClose(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    WindowSeen &seen = g_seen;
    seen.seen = true;
    seen.window = g_mainWindow;
    GetWindowRect(g_mainWindow, &seen.rect);
    seen.style = GetWindowLongPtrA(g_mainWindow, GWL_STYLE);
    char text[64] = "";
    GetWindowTextA(g_mainWindow, text, sizeof(text));
    seen.text = text;
    seen.windowClass.cbSize = sizeof(seen.windowClass);
    seen.classFound = GetClassInfoExA(g_instance, "QuibLaunch", &seen.windowClass) != 0;
    seen.palette = g_palette;
    PostMessageA(g_mainWindow, WM_CLOSE, 0, 0);
}

bool overlap(const RECT &a, const RECT &b)
{
    RECT common;
    return IntersectRect(&common, &a, &b) != 0;
}

class MenuRun : public testing::Test {
protected:
    void SetUp() override
    {
        g_instance = GetModuleHandleA(NULL);
        if (!bitmapResource(110))
            GTEST_SKIP() << "the program's pictures are not built in";
        g_seen = WindowSeen();
        g_mainWindow = NULL;
        g_palette = NULL;
        SetCursorPos(0, 0);   // away from the buttons
    }

    // Runs the menu of a title, as start-up would, and returns it unfreed.
    MenuTestTitle *runMenu(int installedAnswer)
    {
        MenuTestTitle *title = new MenuTestTitle(installedAnswer, 119);
        g_title = title;
        UINT_PTR timer = SetTimer(NULL, 0, 50, inspectAndClose);
        title->run();
        KillTimer(NULL, timer);
        return title;
    }

    void TearDown() override { g_title = NULL; }

    void expectLayout(const MenuTestTitle &title)
    {
        int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        EXPECT_EQ(title.screenWidth, screenWidth);
        EXPECT_EQ(title.screenHeight, screenHeight);
        EXPECT_EQ(title.originX, (screenWidth - PICTURE_WIDTH) / 2);
        EXPECT_EQ(title.originY, (screenHeight - PICTURE_HEIGHT) / 2);
        if (screenWidth == 800 && screenHeight == 600) {
            EXPECT_EQ(title.originX, 89);
            EXPECT_EQ(title.originY, 84);
        }
        int ox = title.originX, oy = title.originY;

        EXPECT_EQ(title.boxArtPos.x, 210);
        EXPECT_EQ(title.boxArtPos.y, 26);
        RECT boxArt = {ox + 210, oy + 26, ox + 210 + 110, oy + 26 + 151};
        EXPECT_TRUE(EqualRect(&title.boxArtRect, &boxArt));

        const MenuButton &play = title.buttons[BUTTON_PLAY];
        EXPECT_EQ(play.buttonPos.x, 328);
        EXPECT_EQ(play.buttonPos.y, 69);
        RECT playRect = {ox + 328, oy + 69, ox + 328 + 101, oy + 69 + 59};
        EXPECT_TRUE(EqualRect(&play.buttonRect, &playRect));

        const MenuButton &quit = title.buttons[BUTTON_QUIT];
        EXPECT_EQ(quit.buttonPos.x, 529);
        EXPECT_EQ(quit.buttonPos.y, 385);
        RECT quitRect = {ox + 529, oy + 385, ox + 529 + 79, oy + 385 + 43};
        EXPECT_TRUE(EqualRect(&quit.buttonRect, &quitRect));

        // The first box sits at the picture's left; all lie on one row of
        // the picture and no two pointer targets overlap.
        RECT first = {ox + 4, oy + 279, ox + 70, oy + 383};
        EXPECT_TRUE(EqualRect(&title.hotSpots[0], &first));
        for (int i = 0; i < HOTSPOT_COUNT; i++) {
            SCOPED_TRACE(i);
            const RECT &spot = title.hotSpots[i];
            EXPECT_EQ(spot.top, oy + 279);
            EXPECT_EQ(spot.bottom, oy + 383);
            EXPECT_LT(spot.left, spot.right);
            EXPECT_GE(spot.left, ox);
            EXPECT_LE(spot.right, ox + PICTURE_WIDTH);
            EXPECT_FALSE(overlap(spot, title.boxArtRect));
            EXPECT_FALSE(overlap(spot, play.buttonRect));
            EXPECT_FALSE(overlap(spot, quit.buttonRect));
            for (int j = i + 1; j < HOTSPOT_COUNT; j++)
                EXPECT_FALSE(overlap(spot, title.hotSpots[j])) << "and " << j;
        }
        // Left to right the picture shows the boxes of titles 0, 1, 2, 6, 5, 7, 3, 4.
        const int order[HOTSPOT_COUNT] = {0, 1, 2, 6, 5, 7, 3, 4};
        for (int k = 1; k < HOTSPOT_COUNT; k++)
            EXPECT_LT(title.hotSpots[order[k - 1]].right, title.hotSpots[order[k]].left);

        EXPECT_EQ(title.focusButton, BUTTON_PLAY);
        EXPECT_EQ(title.litButton, BUTTON_NONE);
    }

    void expectFrames(const MenuButton &button, const int ids[4])
    {
        for (int frame = 0; frame < 4; frame++) {
            SCOPED_TRACE(testing::Message() << "frame " << frame << " picture " << ids[frame]);
            Pixels shown = readBitmap(button.buttonFrames[frame]);
            Pixels expected = dibColours(bitmapResource(ids[frame]));
            ASSERT_EQ(shown.width, expected.width);
            ASSERT_EQ(shown.height, expected.height);
            EXPECT_EQ(countDifferences(shown, 0, 0, expected), 0);
        }
    }

    // The focused Play/Install frame and the normal Quit frame are in the picture.
    void expectComposedButtons(const MenuTestTitle &title, int focusedPicture)
    {
        Pixels background = readBitmap(title.backgroundBitmap);
        ASSERT_EQ(background.width, PICTURE_WIDTH);
        EXPECT_EQ(countDifferences(background, 328, 69, dibColours(bitmapResource(focusedPicture))), 0);
        EXPECT_EQ(countDifferences(background, 529, 385, dibColours(bitmapResource(138))), 0);
    }

    void expectWindowWasTheMenu()
    {
        ASSERT_TRUE(g_seen.seen) << "the message loop never ran";
        RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        EXPECT_TRUE(EqualRect(&g_seen.rect, &screen));
        EXPECT_EQ(g_seen.style & (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_BORDER),
                  WS_POPUP | WS_VISIBLE);
        EXPECT_EQ(g_seen.text, "Quib Launch");
        ASSERT_TRUE(g_seen.classFound);
        EXPECT_EQ(g_seen.windowClass.style, 0u);
        EXPECT_EQ(g_seen.windowClass.hCursor, nullptr);
        EXPECT_EQ(g_seen.windowClass.hbrBackground, GetStockObject(BLACK_BRUSH));
        EXPECT_NE(g_seen.windowClass.hIcon, nullptr);
        EXPECT_EQ(g_seen.windowClass.lpfnWndProc, menuWindowProc);
        EXPECT_NE(g_seen.palette, nullptr);

        // After the loop the window is gone and run has let go of it.
        EXPECT_FALSE(IsWindow(g_seen.window));
        EXPECT_EQ(g_mainWindow, nullptr);
        EXPECT_EQ(g_palette, nullptr);
        EXPECT_EQ(GetObjectType(g_seen.palette), 0u) << "palette not deleted";
    }
};

TEST_F(MenuRun, InstalledTitleOpensWithPlayFocused)
{
    MenuTestTitle *title = runMenu(1);
    expectWindowWasTheMenu();
    EXPECT_EQ(title->installedCalls, 1);
    EXPECT_NE(title->installed, 0);
    expectLayout(*title);
    const int play[4] = {126, 127, 129, 128};
    const int quit[4] = {138, 139, 141, 140};
    expectFrames(title->buttons[BUTTON_PLAY], play);
    expectFrames(title->buttons[BUTTON_QUIT], quit);
    expectComposedButtons(*title, 128);
    delete title;
}

// Also the second menu of this process: the window class is already there.
TEST_F(MenuRun, TitleNotInstalledOpensWithInstallFocused)
{
    MenuTestTitle *title = runMenu(0);
    expectWindowWasTheMenu();
    EXPECT_EQ(title->installed, 0);
    expectLayout(*title);
    const int install[4] = {125, 123, 122, 124};
    expectFrames(title->buttons[BUTTON_PLAY], install);
    expectComposedButtons(*title, 124);

    HGDIOBJ owned[10] = {title->backgroundBitmap, title->boxArtBitmap};
    for (int frame = 0; frame < 4; frame++) {
        owned[2 + frame] = title->buttons[0].buttonFrames[frame];
        owned[6 + frame] = title->buttons[1].buttonFrames[frame];
    }
    for (HGDIOBJ bitmap : owned)
        ASSERT_EQ(GetObjectType(bitmap), (DWORD)OBJ_BITMAP);
    delete title;
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(GetObjectType(owned[i]), 0u) << "bitmap " << i << " outlived its title";
}

}  // namespace
