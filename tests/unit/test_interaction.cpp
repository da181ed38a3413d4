// The menu's pointer and key handling, driven through menuWindowProc with
// real messages on a real window. The menu state is built by hand on an
// 800 x 600 layout with solid-colour frame pictures, so that the frame a
// button shows can be read back from the composed picture.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>
#include "launcher/globals.h"
#include "menu/menu.h"
#include "resource.h"
#include "titles/title.h"

namespace {

const int ORIGIN_X = 89, ORIGIN_Y = 84;   // an 800 x 600 screen
// The pauses, measured with the tick counter's coarse resolution.
const DWORD PRESS_MS = 250, ACTIVATE_MS = 500, SLACK_MS = 40;
const COLORREF BACKGROUND = RGB(10, 10, 10);
const COLORREF FRAME_COLOURS[2][4] = {
    { RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0) },
    { RGB(0, 200, 200), RGB(200, 0, 200), RGB(100, 50, 0), RGB(0, 100, 50) },
};

HBITMAP solidBitmap(int width, int height, COLORREF colour)
{
    HDC screen = GetDC(NULL);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = { 0, 0, width, height };
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    return bitmap;
}

RECT rectAt(int x, int y, int width, int height)
{
    RECT rect = { x, y, x + width, y + height };
    return rect;
}

class TestTitle : public Title {
public:
    TestTitle() : Title(0, 0) {}
    void loadBoxArt() override {}
    const char *gameWindowClass() override { return "QuibTestNoGame"; }
    const char *discMarkerPath() override { return "C:\\none"; }
    int isInstalled() override { return installed; }
    int install() override { return action(&installs); }
    int play() override { return action(&plays); }
    const char *promptCaption() override { return ""; }
    const char *promptText() override { return ""; }
    const char *retryText() override { return ""; }

    // The frame button b shows in the composed picture, or -1.
    int frameOf(int b)
    {
        HDC screen = GetDC(NULL);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, backgroundBitmap);
        COLORREF pixel = GetPixel(dc, buttons[b].buttonPos.x + 5, buttons[b].buttonPos.y + 5);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(NULL, screen);
        for (int k = 0; k < 4; k++) {
            if (pixel == FRAME_COLOURS[b][k])
                return k;
        }
        return -1;
    }

    int actionResult = 0;
    int installs = 0, plays = 0;
    int frameDuringAction = -1;     // button 0's frame while the action ran
    BOOL pendingPaintDuringAction = TRUE;
    DWORD actionTick = 0;

private:
    int action(int *counter)
    {
        ++*counter;
        actionTick = GetTickCount();
        frameDuringAction = frameOf(BUTTON_PLAY);
        RECT update;
        pendingPaintDuringAction = GetUpdateRect(g_mainWindow, &update, FALSE);
        return actionResult;
    }
};

// What the window saw on its way to menuWindowProc.
struct PaintRecord {
    DWORD tick;
    int frames[2];
};
std::vector<PaintRecord> g_paints;
int g_erases;
TestTitle *g_testTitle;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT && g_testTitle) {
        PaintRecord record = { GetTickCount(),
                               { g_testTitle->frameOf(0), g_testTitle->frameOf(1) } };
        g_paints.push_back(record);
    }
    if (message == WM_ERASEBKGND)
        g_erases++;
    return menuWindowProc(window, message, wParam, lParam);
}

BOOL CALLBACK findDialog(HWND window, LPARAM found)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof(name));
    if (strcmp(name, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

// The visible dialog of a thread, or NULL.
HWND dialogOf(DWORD thread)
{
    HWND found = NULL;
    EnumThreadWindows(thread, findDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Looks for a dialog of this process owned by the menu window, notes which
// title it describes, and closes it with its back button.
struct DialogWatch {
    std::atomic<bool> stop{false};
    std::vector<std::string> seen;   // static texts of each dialog seen
    std::vector<HWND> owners;
    std::thread thread;

    void start()
    {
        DWORD uiThread = GetCurrentThreadId();
        thread = std::thread([this, uiThread] {
            while (!stop) {
                HWND dialog = dialogOf(uiThread);
                if (dialog) {
                    std::string texts;
                    for (int id = 1013; id <= 1018; id++) {
                        char text[512] = "";
                        GetDlgItemTextA(dialog, id, text, sizeof(text));
                        texts += text;
                    }
                    seen.push_back(texts);
                    owners.push_back(GetWindow(dialog, GW_OWNER));
                    SendMessageA(GetDlgItem(dialog, IDC_INFO_BACK), BM_CLICK, 0, 0);
                    while (IsWindow(dialog) && !stop)
                        Sleep(5);
                }
                Sleep(5);
            }
        });
    }
    void finish()
    {
        stop = true;
        thread.join();
    }
};

class MenuInteraction : public testing::Test {
protected:
    void SetUp() override
    {
        g_instance = GetModuleHandleA(NULL);
        static bool registered = false;
        if (!registered) {
            WNDCLASSEXA windowClass = {};
            windowClass.cbSize = sizeof(windowClass);
            windowClass.lpfnWndProc = recordingProc;
            windowClass.hInstance = g_instance;
            windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
            windowClass.lpszClassName = "QuibInteractionTest";
            RegisterClassExA(&windowClass);
            registered = true;
        }
        window = CreateWindowExA(0, "QuibInteractionTest", "Quib Launch", WS_POPUP | WS_VISIBLE,
                                 0, 0, 800, 600, NULL, NULL, g_instance, NULL);
        ASSERT_TRUE(window != NULL);
        g_mainWindow = window;
        buildMenu();
        g_title = &title;
        g_testTitle = &title;
        UpdateWindow(window);
        resetRecords();
    }

    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
        drainMessages();
        g_testTitle = NULL;
        g_title = NULL;
        g_mainWindow = NULL;
    }

    // The layout the menu gets on an 800 x 600 screen, with the menu
    // opening as it does: Play/Install focused, Quit normal.
    void buildMenu()
    {
        title.originX = ORIGIN_X;
        title.originY = ORIGIN_Y;
        title.backgroundBitmap = solidBitmap(621, 431, BACKGROUND);
        title.boxArtPos.x = 210;
        title.boxArtPos.y = 26;
        title.boxArtRect = rectAt(ORIGIN_X + 210, ORIGIN_Y + 26, 111, 150);
        const POINT positions[2] = { { 328, 69 }, { 529, 385 } };
        const SIZE sizes[2] = { { 101, 59 }, { 79, 43 } };
        for (int b = 0; b < 2; b++) {
            MenuButton &button = title.buttons[b];
            for (int k = 0; k < 4; k++)
                button.buttonFrames[k] = solidBitmap(sizes[b].cx, sizes[b].cy, FRAME_COLOURS[b][k]);
            button.buttonPos = positions[b];
            button.buttonRect = rectAt(ORIGIN_X + positions[b].x, ORIGIN_Y + positions[b].y,
                                       sizes[b].cx, sizes[b].cy);
        }
        const RECT spots[8] = {
            { 4, 279, 70, 383 }, { 75, 279, 147, 383 }, { 154, 279, 219, 383 },
            { 451, 279, 529, 383 }, { 535, 279, 616, 383 }, { 300, 279, 373, 383 },
            { 225, 279, 297, 383 }, { 378, 279, 450, 383 },
        };
        for (int i = 0; i < 8; i++) {
            title.hotSpots[i] = spots[i];
            OffsetRect(&title.hotSpots[i], ORIGIN_X, ORIGIN_Y);
        }
        title.drawIntoBackground(title.buttons[0].buttonFrames[FRAME_FOCUSED], 328, 69);
        title.drawIntoBackground(title.buttons[1].buttonFrames[FRAME_NORMAL], 529, 385);
        title.focusButton = BUTTON_PLAY;
        title.litButton = BUTTON_NONE;
    }

    void resetRecords()
    {
        ValidateRect(window, NULL);
        g_paints.clear();
        g_erases = 0;
    }

    void drainMessages()
    {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }

    static LPARAM at(int x, int y) { return MAKELPARAM(x, y); }
    // Client points: strictly inside the buttons, the box art, nothing.
    static LPARAM onPlay() { return at(ORIGIN_X + 328 + 50, ORIGIN_Y + 69 + 30); }
    static LPARAM onBoxArt() { return at(ORIGIN_X + 210 + 50, ORIGIN_Y + 26 + 70); }
    static LPARAM onQuit() { return at(ORIGIN_X + 529 + 40, ORIGIN_Y + 385 + 20); }
    static LPARAM onNothing() { return at(ORIGIN_X + 100, ORIGIN_Y + 100); }

    void send(UINT message, LPARAM where, WPARAM wParam = 0)
    {
        SendMessageA(window, message, wParam, where);
    }

    // The area invalidated since the last reset, empty when none.
    RECT invalidated()
    {
        RECT update = { 0, 0, 0, 0 };
        GetUpdateRect(window, &update, FALSE);
        return update;
    }

    bool nothingInvalid()
    {
        RECT update = invalidated();
        return IsRectEmpty(&update) != 0;
    }

    void expectState(int focus, int lit, int frame0, int frame1)
    {
        EXPECT_EQ(focus, title.focusButton);
        EXPECT_EQ(lit, title.litButton);
        EXPECT_EQ(frame0, title.frameOf(0));
        EXPECT_EQ(frame1, title.frameOf(1));
    }

    HWND window = NULL;
    TestTitle title;
};

bool sameRect(const RECT &a, const RECT &b) { return EqualRect(&a, &b) != 0; }

RECT unionOf(const RECT &a, const RECT &b)
{
    RECT both;
    UnionRect(&both, &a, &b);
    return both;
}

TEST_F(MenuInteraction, PointerMovesFocusBetweenButtonsAndRedrawsOnlyThem)
{
    const RECT play = title.buttons[0].buttonRect, quit = title.buttons[1].buttonRect;

    // Focused 0, on 0 or on nothing: nothing drawn.
    send(WM_MOUSEMOVE, onPlay());
    send(WM_MOUSEMOVE, onNothing());
    expectState(0, 2, FRAME_FOCUSED, FRAME_NORMAL);
    EXPECT_TRUE(nothingInvalid());

    // Focused 0, on 1: Play normal, Quit focused, both rectangles invalid.
    send(WM_MOUSEMOVE, onQuit());
    expectState(1, 2, FRAME_NORMAL, FRAME_FOCUSED);
    EXPECT_TRUE(sameRect(unionOf(play, quit), invalidated()));
    EXPECT_TRUE(g_paints.empty()) << "a pointer move must not paint at once";
    UpdateWindow(window);
    EXPECT_EQ(0, g_erases) << "button changes must not erase the background";

    // Focused 1, on the box art: the box art is Play/Install's second face.
    resetRecords();
    send(WM_MOUSEMOVE, onBoxArt());
    expectState(0, 2, FRAME_FOCUSED, FRAME_NORMAL);
    EXPECT_TRUE(sameRect(unionOf(play, quit), invalidated()));

    // None, on 1: only Quit is drawn.
    title.unfocusButton(BUTTON_PLAY);
    resetRecords();
    send(WM_MOUSEMOVE, onQuit());
    expectState(1, 2, FRAME_NORMAL, FRAME_FOCUSED);
    EXPECT_TRUE(sameRect(quit, invalidated()));

    // None, on 0.
    title.unfocusButton(BUTTON_QUIT);
    resetRecords();
    send(WM_MOUSEMOVE, onPlay());
    expectState(0, 2, FRAME_FOCUSED, FRAME_NORMAL);
    EXPECT_TRUE(sameRect(play, invalidated()));
}

TEST_F(MenuInteraction, EdgesAndGapsHitNothing)
{
    const RECT quit = title.buttons[1].buttonRect;
    send(WM_MOUSEMOVE, at(quit.left, quit.top + 10));     // left edge
    send(WM_MOUSEMOVE, at(quit.left + 10, quit.bottom));  // bottom edge
    expectState(0, 2, FRAME_FOCUSED, FRAME_NORMAL);
    send(WM_MOUSEMOVE, at(quit.left + 1, quit.top + 1));
    expectState(1, 2, FRAME_NORMAL, FRAME_FOCUSED);

    // A press on the Quit button's edge does not light it.
    send(WM_LBUTTONDOWN, at(quit.right, quit.top + 10));
    expectState(1, 2, FRAME_NORMAL, FRAME_FOCUSED);

    // A press on the button that has no focus does nothing: the move
    // that would focus it never came.
    resetRecords();
    send(WM_LBUTTONDOWN, onPlay());
    expectState(1, 2, FRAME_NORMAL, FRAME_FOCUSED);
    EXPECT_TRUE(nothingInvalid());
}

TEST_F(MenuInteraction, PressAndDragFollowTheStateTable)
{
    const RECT play = title.buttons[0].buttonRect, quit = title.buttons[1].buttonRect;

    // Focused 0, down on 0: pressed, only its rectangle invalid.
    send(WM_LBUTTONDOWN, onPlay());
    expectState(0, 0, FRAME_PRESSED, FRAME_NORMAL);
    EXPECT_TRUE(sameRect(play, invalidated()));

    // Pressed 0, moves still on 0 (the box art counts): nothing drawn.
    resetRecords();
    send(WM_MOUSEMOVE, onBoxArt());
    expectState(0, 0, FRAME_PRESSED, FRAME_NORMAL);
    EXPECT_TRUE(nothingInvalid());

    // Pressed 0, onto Quit: the focus moves; release there does nothing.
    send(WM_MOUSEMOVE, onQuit());
    expectState(1, 2, FRAME_NORMAL, FRAME_FOCUSED);
    EXPECT_TRUE(sameRect(unionOf(play, quit), invalidated()));
    send(WM_LBUTTONUP, onQuit());
    expectState(1, 2, FRAME_NORMAL, FRAME_FOCUSED);
    EXPECT_TRUE(IsWindow(window));

    // Pressed 1, onto Play/Install.
    send(WM_LBUTTONDOWN, onQuit());
    expectState(1, 1, FRAME_NORMAL, FRAME_PRESSED);
    send(WM_MOUSEMOVE, onPlay());
    expectState(0, 2, FRAME_FOCUSED, FRAME_NORMAL);

    // Pressed 1, off onto nothing: springs back to focused and stays unlit
    // when the pointer returns; the release on it then does nothing.
    send(WM_MOUSEMOVE, onQuit());
    send(WM_LBUTTONDOWN, onQuit());
    resetRecords();
    send(WM_MOUSEMOVE, onNothing());
    expectState(1, 2, FRAME_NORMAL, FRAME_FOCUSED);
    EXPECT_TRUE(sameRect(quit, invalidated()));
    send(WM_MOUSEMOVE, onQuit());
    expectState(1, 2, FRAME_NORMAL, FRAME_FOCUSED);
    send(WM_LBUTTONUP, onQuit());
    expectState(1, 2, FRAME_NORMAL, FRAME_FOCUSED);
    EXPECT_TRUE(IsWindow(window));

    // Released elsewhere: nothing, the button stays lit.
    send(WM_LBUTTONDOWN, onQuit());
    resetRecords();
    send(WM_LBUTTONUP, at(5, 5));
    expectState(1, 1, FRAME_NORMAL, FRAME_PRESSED);
    EXPECT_TRUE(nothingInvalid());
}

TEST_F(MenuInteraction, ClickOnQuitAnimatesThenCloses)
{
    send(WM_MOUSEMOVE, onQuit());
    send(WM_LBUTTONDOWN, onQuit());
    resetRecords();
    DWORD start = GetTickCount();
    send(WM_LBUTTONUP, onQuit());
    DWORD elapsed = GetTickCount() - start;

    EXPECT_FALSE(IsWindow(window));
    EXPECT_GE(elapsed, ACTIVATE_MS - SLACK_MS);
    EXPECT_EQ(0, title.installs + title.plays);
    ASSERT_FALSE(g_paints.empty());
    EXPECT_EQ(FRAME_ACTIVATED, g_paints[0].frames[1]) << "activated frame painted before the pause";
}

TEST_F(MenuInteraction, FailedInstallFromBoxArtShowsActivatedThenFocusedAndRetries)
{
    title.actionResult = 0;
    send(WM_MOUSEMOVE, onBoxArt());
    send(WM_LBUTTONDOWN, onBoxArt());
    expectState(0, 0, FRAME_PRESSED, FRAME_NORMAL);
    resetRecords();
    DWORD start = GetTickCount();
    send(WM_LBUTTONUP, onBoxArt());

    EXPECT_EQ(1, title.installs);
    EXPECT_EQ(0, title.plays);
    EXPECT_EQ(FRAME_ACTIVATED, title.frameDuringAction);
    EXPECT_FALSE(title.pendingPaintDuringAction) << "the activated frame is on screen during the action";
    EXPECT_GE(title.actionTick - start, ACTIVATE_MS - SLACK_MS);
    ASSERT_EQ(1u, g_paints.size());
    EXPECT_EQ(FRAME_ACTIVATED, g_paints[0].frames[0]);
    // Back to the focused look; the menu stays.
    expectState(0, 2, FRAME_FOCUSED, FRAME_NORMAL);
    EXPECT_TRUE(sameRect(title.buttons[0].buttonRect, invalidated()));
    EXPECT_TRUE(IsWindow(window));

    // A second click tries again and, succeeding, closes the menu.
    title.actionResult = 1;
    send(WM_LBUTTONDOWN, onPlay());
    send(WM_LBUTTONUP, onPlay());
    EXPECT_EQ(2, title.installs);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(MenuInteraction, InstalledTitlePlaysOnReturnWithPressedThenActivatedFrames)
{
    title.installed = 1;
    title.actionResult = 0;
    resetRecords();
    DWORD start = GetTickCount();
    send(WM_KEYDOWN, 0, VK_RETURN);

    EXPECT_EQ(1, title.plays);
    EXPECT_EQ(0, title.installs);
    ASSERT_EQ(2u, g_paints.size());
    EXPECT_EQ(FRAME_PRESSED, g_paints[0].frames[0]);
    EXPECT_EQ(FRAME_ACTIVATED, g_paints[1].frames[0]);
    EXPECT_GE(g_paints[1].tick - g_paints[0].tick, PRESS_MS - SLACK_MS);
    EXPECT_GE(title.actionTick - g_paints[1].tick, ACTIVATE_MS - SLACK_MS);
    EXPECT_GE(title.actionTick - start, PRESS_MS + ACTIVATE_MS - SLACK_MS);
    expectState(0, 2, FRAME_FOCUSED, FRAME_NORMAL);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(MenuInteraction, SpaceOnQuitClosesAndReturnWithoutFocusChangesNothing)
{
    // No focused button: nothing drawn, the pauses still taken, no close.
    title.unfocusButton(BUTTON_PLAY);
    resetRecords();
    DWORD start = GetTickCount();
    send(WM_KEYDOWN, 0, VK_RETURN);
    EXPECT_GE(GetTickCount() - start, PRESS_MS + ACTIVATE_MS - SLACK_MS);
    expectState(2, 2, FRAME_NORMAL, FRAME_NORMAL);
    EXPECT_TRUE(nothingInvalid());
    EXPECT_TRUE(IsWindow(window));

    title.focusOnButton(BUTTON_QUIT);
    send(WM_KEYDOWN, 0, VK_SPACE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(0, title.installs + title.plays);
}

TEST_F(MenuInteraction, EscapeClosesAtOnceWithoutFrames)
{
    DWORD start = GetTickCount();
    send(WM_KEYDOWN, 0, VK_ESCAPE);
    EXPECT_LT(GetTickCount() - start, 200u);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(g_paints.empty());
    EXPECT_EQ(0, title.installs + title.plays);
}

TEST_F(MenuInteraction, TabAndRightCycleTheFocus)
{
    const RECT play = title.buttons[0].buttonRect, quit = title.buttons[1].buttonRect;
    send(WM_KEYDOWN, 0, VK_TAB);
    expectState(1, 2, FRAME_NORMAL, FRAME_FOCUSED);
    EXPECT_TRUE(sameRect(unionOf(play, quit), invalidated()));
    send(WM_KEYDOWN, 0, VK_RIGHT);
    expectState(0, 2, FRAME_FOCUSED, FRAME_NORMAL);

    // A held button loses its press too.
    send(WM_LBUTTONDOWN, onPlay());
    send(WM_KEYDOWN, 0, VK_TAB);
    expectState(1, 2, FRAME_NORMAL, FRAME_FOCUSED);

    title.unfocusButton(BUTTON_QUIT);
    resetRecords();
    send(WM_KEYDOWN, 0, VK_TAB);
    expectState(0, 2, FRAME_FOCUSED, FRAME_NORMAL);
    EXPECT_TRUE(sameRect(play, invalidated()));

    // Other keys do nothing.
    resetRecords();
    send(WM_KEYDOWN, 0, VK_LEFT);
    send(WM_KEYDOWN, 0, 'A');
    expectState(0, 2, FRAME_FOCUSED, FRAME_NORMAL);
    EXPECT_TRUE(nothingInvalid());
}

TEST_F(MenuInteraction, CursorIsTheQuestionMarkOnlyOverAProductBox)
{
    HCURSOR question = LoadCursorA(g_instance, MAKEINTRESOURCEA(IDC_QUESTION));
    HCURSOR arrow = LoadCursorA(NULL, IDC_ARROW);
    ASSERT_TRUE(question != NULL);
    ASSERT_NE(question, arrow);

    send(WM_MOUSEMOVE, at(ORIGIN_X + 30, ORIGIN_Y + 300));   // HotSpot 0
    EXPECT_EQ(question, GetCursor());
    send(WM_MOUSEMOVE, onPlay());
    EXPECT_EQ(arrow, GetCursor());
    send(WM_MOUSEMOVE, at(ORIGIN_X + 600, ORIGIN_Y + 300));  // HotSpot 4
    EXPECT_EQ(question, GetCursor());
    send(WM_MOUSEMOVE, at(ORIGIN_X + 4, ORIGIN_Y + 300));    // HotSpot 0's left edge
    EXPECT_EQ(arrow, GetCursor());
    send(WM_MOUSEMOVE, onBoxArt());
    EXPECT_EQ(arrow, GetCursor());
}

TEST_F(MenuInteraction, EachProductBoxOpensItsOwnDialogOverTheMenu)
{
    const char *editions[8] = { "Volume 1", "Volume 2", "Volume 3", "Jocko",
                                "Glimmer", "Reelies", "The Whirl", "Nodial" };
    // Quit focused beforehand; the dialogs must leave the focus alone.
    send(WM_MOUSEMOVE, onQuit());
    DialogWatch watch;
    watch.start();
    send(WM_LBUTTONDOWN, at(ORIGIN_X + 4, ORIGIN_Y + 300));   // edge: nothing
    EXPECT_TRUE(watch.seen.empty());
    for (int i = 0; i < 8; i++) {
        const RECT &spot = title.hotSpots[i];
        send(WM_LBUTTONDOWN, at(spot.left + 1, spot.top + 21));
    }
    send(WM_LBUTTONDOWN, at(ORIGIN_X + 5, ORIGIN_Y + 300));   // just inside HotSpot 0
    watch.finish();

    ASSERT_EQ(9u, watch.seen.size());
    for (int i = 0; i < 8; i++) {
        EXPECT_NE(std::string::npos, watch.seen[i].find(editions[i])) << "HotSpot " << i;
        EXPECT_EQ(window, watch.owners[i]);
    }
    EXPECT_NE(std::string::npos, watch.seen[8].find("Volume 1"));
    expectState(1, 2, FRAME_NORMAL, FRAME_FOCUSED);
    EXPECT_TRUE(g_infoFont == NULL);
}

} // namespace
