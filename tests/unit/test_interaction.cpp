// The menu's pointer and key handling, driven through menuWindowProc with
// real messages on a real window. The menu is laid out by hand as on an
// 800 x 600 screen, with plain-coloured frames, so that the frame a button
// shows can be read back from the composed picture.
//
// Steps are two letters each, separated by spaces: m, d, u (pointer move,
// press, release) at a point, k a key; "x-" takes the focus away.
#include <gtest/gtest.h>
#include <string.h>
#include <vector>
#include "dib_test_support.h"
#include "launcher/globals.h"
#include "menu/menu.h"
#include "resource.h"

namespace {

const int OX = 89, OY = 84;
const DWORD PRESS_MS = 250, ACTIVATE_MS = 500, SLACK_MS = 40;
const RECT BUTTONS[2] = { { 328, 69, 429, 128 }, { 529, 385, 608, 428 } };   // in the picture

// Inside Play, the box art and Quit; on nothing; off the picture; Quit's
// left and bottom edges; HotSpot 0's left edge and just inside; HotSpot 4.
const char POINT_NAMES[] = "PBQNELMhHF";
const POINT POINTS[] = { { 378, 99 }, { 260, 96 }, { 569, 405 }, { 100, 100 }, { -84, -79 },
                         { 529, 395 }, { 539, 428 }, { 4, 300 }, { 5, 300 }, { 600, 300 } };
const char KEY_NAMES[] = "TRASCX";
const WPARAM KEYS[] = { VK_TAB, VK_RIGHT, 'A', VK_SPACE, VK_RETURN, VK_ESCAPE };

// Frame k of button b is a plain picture of this colour.
COLORREF frameColour(int b, int k) { return RGB(40 + 50 * k, 60 + 100 * b, 30); }

HBITMAP plainBitmap(int width, int height, COLORREF c)
{
    RGBQUAD colour = { GetBValue(c), GetGValue(c), GetRValue(c), 0 };
    return createBitmapFromDib(dibHeader(makeDib(width, height, 8, 1, { colour }, {})));
}

struct TestTitle : MenuTestTitle {
    int install() override { return action(&installs); }
    int play() override { return action(&plays); }

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

    // Notes the frame on show while the action runs, and whether it is painted.
    int action(int *counter)
    {
        ++*counter;
        actionTick = GetTickCount();
        frameDuringAction = frameOf(BUTTON_PLAY);
        paintPendingDuringAction = GetUpdateRect(g_mainWindow, NULL, FALSE);
        return actionResult;
    }

    int actionResult = 0, installs = 0, plays = 0, frameDuringAction = -1;
    BOOL paintPendingDuringAction = TRUE;
    DWORD actionTick = 0;
};

// What reached menuWindowProc: paints, with the frames then shown, and erases.
struct PaintRecord {
    DWORD tick;
    int frames[2];
};
std::vector<PaintRecord> g_paints;
int g_erases;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TestTitle *title = static_cast<TestTitle *>(g_title);
    if (message == WM_PAINT)
        g_paints.push_back({ GetTickCount(), { title->frameOf(0), title->frameOf(1) } });
    g_erases += message == WM_ERASEBKGND;
    return menuWindowProc(window, message, wParam, lParam);
}

enum { NO_AREA, PLAY_AREA, QUIT_AREA, BOTH_AREAS };
const int N = FRAME_NORMAL, F = FRAME_FOCUSED, P = FRAME_PRESSED;

class MenuInteraction : public testing::Test {
protected:
    void SetUp() override
    {
        g_instance = GetModuleHandleA(NULL);
        WNDCLASSA windowClass = { 0, recordingProc, 0, 0, g_instance, NULL, NULL, NULL, NULL, "QuibInteractionTest" };
        RegisterClassA(&windowClass);   // fails harmlessly from the second test on
        title.originX = OX;
        title.originY = OY;
        title.backgroundBitmap = plainBitmap(621, 431, RGB(10, 10, 10));
        title.boxArtRect = { OX + 210, OY + 26, OX + 321, OY + 176 };
        for (int b = 0; b < 2; b++) {
            const RECT &r = BUTTONS[b];
            for (int k = 0; k < 4; k++)
                title.buttons[b].buttonFrames[k] = plainBitmap(r.right - r.left, r.bottom - r.top, frameColour(b, k));
            title.buttons[b].buttonPos = { r.left, r.top };
            title.buttons[b].buttonRect = { OX + r.left, OY + r.top, OX + r.right, OY + r.bottom };
        }
        for (int i = 0; i < 8; i++) {
            title.hotSpots[i] = TEST_HOT_SPOTS[i];
            OffsetRect(&title.hotSpots[i], OX, OY);
        }
        g_title = &title;
    }

    void TearDown() override
    {
        dropWindow();
        g_title = NULL;
    }

    // Destroys the window and takes its quit message off the queue.
    void dropWindow()
    {
        DestroyWindow(window);
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        g_mainWindow = NULL;
    }

    // The menu as it opens, Play/Install focused and Quit normal, in a new
    // window when the last one closed; then the steps, all painted.
    void open(const char *steps)
    {
        if (!IsWindow(window)) {
            dropWindow();
            g_mainWindow = window = CreateWindowExA(0, "QuibInteractionTest", "Quib Launch", WS_POPUP | WS_VISIBLE,
                                                    0, 0, 800, 600, NULL, NULL, g_instance, NULL);
        }
        title.drawButtonFrame(BUTTON_QUIT, FRAME_NORMAL);
        title.focusOnButton(BUTTON_PLAY);
        title.installs = title.plays = 0;
        run(steps);
        UpdateWindow(window);
        ValidateRect(window, NULL);
        g_paints.clear();
        g_erases = 0;
    }

    void run(const char *steps)
    {
        for (size_t i = 0; i + 1 < strlen(steps); i += 3) {
            char op = steps[i], arg = steps[i + 1];
            POINT p = strchr("mdu", op) ? POINTS[strchr(POINT_NAMES, arg) - POINT_NAMES] : POINT();
            if (op == 'x')
                title.unfocusButton(title.focusButton);
            else if (op == 'k')
                SendMessageA(window, WM_KEYDOWN, KEYS[strchr(KEY_NAMES, arg) - KEY_NAMES], 0);
            else
                SendMessageA(window, op == 'm' ? WM_MOUSEMOVE : op == 'd' ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0,
                             MAKELPARAM(OX + p.x, OY + p.y));
        }
    }

    void expectState(int focus, int lit, int frame0, int frame1, int area)
    {
        EXPECT_EQ(focus, title.focusButton);
        EXPECT_EQ(lit, title.litButton);
        EXPECT_EQ(frame0, title.frameOf(0));
        EXPECT_EQ(frame1, title.frameOf(1));
        RECT none = {}, expected, update = {};
        UnionRect(&expected, area & PLAY_AREA ? &title.buttons[0].buttonRect : &none,
                  area & QUIT_AREA ? &title.buttons[1].buttonRect : &none);
        GetUpdateRect(window, &update, FALSE);
        EXPECT_TRUE(EqualRect(&expected, &update)) << "invalidated " << update.left << "," << update.top;
    }

    HWND window = NULL;
    TestTitle title;
};

// Every step that only moves the focus or the press: the state it leads to,
// the frames on show, the area invalidated (painted later without erasing)
// and, after a move, the cursor.
TEST_F(MenuInteraction, StepsFollowTheStateTable)
{
    const HCURSOR question = LoadCursorA(g_instance, MAKEINTRESOURCEA(IDC_QUESTION));
    const HCURSOR arrow = LoadCursorA(NULL, IDC_ARROW);
    const struct { const char *before, *step; int focus, lit, frame0, frame1, area; char cursor; } rows[] = {
        { "", "mP", 0, 2, F, N, NO_AREA, '.' },
        { "", "mN", 0, 2, F, N, NO_AREA, '.' },
        { "", "mL", 0, 2, F, N, NO_AREA, '.' },   // edges are outside
        { "", "mM", 0, 2, F, N, NO_AREA, '.' },
        { "", "mH", 0, 2, F, N, NO_AREA, '?' },   // over a product box
        { "", "mF", 0, 2, F, N, NO_AREA, '?' },
        { "", "mh", 0, 2, F, N, NO_AREA, '.' },   // on its edge
        { "", "mQ", 1, 2, N, F, BOTH_AREAS, '.' },
        { "mQ", "mB", 0, 2, F, N, BOTH_AREAS, '.' },   // the box art is Play's second face
        { "x-", "mQ", 1, 2, N, F, QUIT_AREA, '.' },
        { "x-", "mP", 0, 2, F, N, PLAY_AREA, '.' },
        { "", "dP", 0, 0, P, N, PLAY_AREA, ' ' },
        { "", "dB", 0, 0, P, N, PLAY_AREA, ' ' },
        { "dP", "mB", 0, 0, P, N, NO_AREA, '.' },
        { "dP", "mQ", 1, 2, N, F, BOTH_AREAS, '.' },     // dragged onto Quit
        { "dP mQ", "uQ", 1, 2, N, F, NO_AREA, ' ' },
        { "mQ dQ", "mP", 0, 2, F, N, BOTH_AREAS, '.' },
        { "mQ dQ", "mN", 1, 2, N, F, QUIT_AREA, '.' },   // dragged off: springs back
        { "mQ dQ mN", "mQ", 1, 2, N, F, NO_AREA, '.' },  // and stays unlit
        { "mQ dQ mN mQ", "uQ", 1, 2, N, F, NO_AREA, ' ' },
        { "mQ dQ", "uE", 1, 1, N, P, NO_AREA, ' ' },     // released elsewhere
        { "mQ", "dP", 1, 2, N, F, NO_AREA, ' ' },        // the unfocused button
        { "mQ", "dL", 1, 2, N, F, NO_AREA, ' ' },
        { "", "kT", 1, 2, N, F, BOTH_AREAS, ' ' },
        { "mQ", "kR", 0, 2, F, N, BOTH_AREAS, ' ' },
        { "dP", "kT", 1, 2, N, F, BOTH_AREAS, ' ' },
        { "x-", "kT", 0, 2, F, N, PLAY_AREA, ' ' },
        { "", "kA", 0, 2, F, N, NO_AREA, ' ' },
        { "x-", "kC", 2, 2, N, N, NO_AREA, ' ' },        // Return without a focused button
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "'" << row.before << "' then " << row.step);
        open(row.before);
        run(row.step);
        expectState(row.focus, row.lit, row.frame0, row.frame1, row.area);
        EXPECT_TRUE(g_paints.empty()) << "painted at once";
        if (row.cursor != ' ')
            EXPECT_EQ(row.cursor == '?' ? question : arrow, GetCursor());
        UpdateWindow(window);
        EXPECT_EQ(0, g_erases);
        EXPECT_TRUE(IsWindow(window) && title.installs + title.plays == 0);
    }
}

// What a button's action or the closing shows first, and how long it waits.
TEST_F(MenuInteraction, ActivationShowsItsFramesThenActsOrCloses)
{
    const DWORD BOTH = PRESS_MS + ACTIVATE_MS;
    const struct { int installed, result; const char *before, *step; int installs, plays; bool closes; DWORD pause; } rows[] = {
        { 0, 0, "mB dB", "uB", 1, 0, false, ACTIVATE_MS },   // a failed install from the box art
        { 0, 1, "dP", "uP", 1, 0, true, ACTIVATE_MS },
        { 1, 0, "", "kC", 0, 1, false, BOTH },               // Return plays an installed title
        { 0, 0, "mQ dQ", "uQ", 0, 0, true, ACTIVATE_MS },
        { 0, 0, "mQ", "kS", 0, 0, true, BOTH },
        { 0, 0, "mQ", "kX", 0, 0, true, 0 },                 // Escape closes at once
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "'" << row.before << "' then " << row.step);
        title.installed = row.installed;
        title.actionResult = row.result;
        open(row.before);
        DWORD start = GetTickCount();
        run(row.step);
        DWORD elapsed = (row.installs + row.plays ? title.actionTick : GetTickCount()) - start;
        EXPECT_TRUE(row.installs == title.installs && row.plays == title.plays);
        EXPECT_NE(row.closes, IsWindow(window) != 0);
        int button = row.installs + row.plays ? BUTTON_PLAY : BUTTON_QUIT;
        if (!row.pause) {
            EXPECT_TRUE(elapsed < 200 && g_paints.empty());
            continue;
        }
        EXPECT_GE(elapsed, row.pause - SLACK_MS);
        ASSERT_FALSE(g_paints.empty());
        EXPECT_EQ(FRAME_ACTIVATED, g_paints.back().frames[button]);
        if (row.step[0] == 'k')
            EXPECT_EQ(FRAME_PRESSED, g_paints.front().frames[button]);
        if (button == BUTTON_PLAY) {
            EXPECT_EQ(FRAME_ACTIVATED, title.frameDuringAction);
            EXPECT_FALSE(title.paintPendingDuringAction) << "activated frame not on screen";
            EXPECT_GE(title.actionTick - g_paints.back().tick, ACTIVATE_MS - SLACK_MS);
        }
        if (!row.closes)
            expectState(0, 2, F, N, PLAY_AREA);
    }
}

}  // namespace
