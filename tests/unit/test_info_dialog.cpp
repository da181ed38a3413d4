// The information dialogs: their compiled templates, and each dialog as a
// press on its product box opens it: its layout on the 570 x 320 grid, how
// it closes and what becomes of its font.
#include <gtest/gtest.h>
#include <stddef.h>
#include <string.h>
#include <string>
#include <vector>
#include "dib_test_support.h"
#include "launcher/globals.h"
#include "menu/menu.h"
#include "resource.h"

namespace {

const DWORD PICTURE = 0x5000000E, BACK = 0x50010000, NO_ID = 0xFFFFFFFF;
const DWORD CENTRED = 0x50000001, GROUP_CENTRED = 0x50020001, GROUP_LEFT = 0x50020000;

struct Control {
    DWORD id, style;
    short x, y, cx, cy;
};

// The controls of each template, by HotSpot index.
const std::vector<Control> TEMPLATES[8] = {
    { { 1013, CENTRED, 13, 11, 226, 41 }, { NO_ID, PICTURE, 0, 0, 253, 135 }, { 1002, BACK, 101, 91, 50, 14 },
      { 1014, CENTRED, 10, 57, 233, 31 }, { 1015, CENTRED, 8, 113, 235, 17 } },
    { { 1013, CENTRED, 15, 3, 223, 41 }, { NO_ID, PICTURE, 0, 0, 311, 216 }, { 1002, BACK, 101, 90, 50, 14 },
      { 1014, CENTRED, 17, 50, 219, 34 }, { 1015, CENTRED, 1, 112, 250, 18 } },
    { { NO_ID, PICTURE, 0, 0, 285, 160 }, { 1002, BACK, 101, 89, 50, 14 },
      { 1013, GROUP_CENTRED, 6, 11, 240, 80 }, { 1014, GROUP_CENTRED, 1, 113, 250, 17 } },
    { { NO_ID, PICTURE, 0, 0, 285, 160 }, { 1002, BACK, 101, 94, 50, 14 }, { 1013, GROUP_CENTRED, 6, 5, 240, 45 },
      { 1014, GROUP_CENTRED, 6, 54, 240, 33 }, { 1015, GROUP_CENTRED, 6, 115, 240, 18 } },
    { { 1013, CENTRED, 13, 6, 225, 8 }, { NO_ID, PICTURE, 0, 0, 253, 135 }, { 1002, BACK, 101, 92, 50, 14 },
      { 1014, CENTRED, 8, 53, 235, 12 }, { 1015, CENTRED, 4, 112, 245, 20 }, { 1016, CENTRED, 11, 68, 230, 20 },
      { 1017, CENTRED, 6, 31, 240, 19 }, { 1018, CENTRED, 14, 19, 225, 8 } },
    { { NO_ID, PICTURE, 0, 0, 253, 135 }, { 1002, BACK, 101, 93, 50, 14 }, { 1013, GROUP_CENTRED, 9, 3, 235, 49 },
      { 1014, GROUP_CENTRED, 9, 50, 235, 40 }, { 1015, GROUP_CENTRED, 10, 112, 235, 20 } },
    { { NO_ID, PICTURE, 0, 0, 285, 160 }, { 1002, BACK, 101, 95, 50, 14 }, { 1013, GROUP_LEFT, 6, 18, 240, 65 },
      { 1014, GROUP_CENTRED, 1, 115, 250, 17 }, { 1015, GROUP_CENTRED, 6, 4, 240, 10 },
      { 1016, GROUP_LEFT, 6, 80, 240, 10 } },
    { { NO_ID, PICTURE, 0, 0, 285, 160 }, { 1002, BACK, 101, 94, 50, 14 }, { 1013, GROUP_CENTRED, 6, 3, 239, 37 },
      { 1014, GROUP_CENTRED, 1, 113, 250, 17 }, { 1015, GROUP_CENTRED, 10, 41, 232, 52 } },
};

// The fixed parts of a compiled extended dialog template and of each of its
// items, whose class is always an atom.
struct TemplateHeader {
    WORD version, signature;
    DWORD helpId, exStyle, style;
    WORD count;
    short x, y, cx, cy;
    WORD menu, windowClass, caption, points, weight;
    BYTE italic, charset;
    WCHAR face[16];
};
struct TemplateItem {
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    DWORD id;
    WORD classMark, classAtom;
};

TEST(InfoDialogTemplates, HeadersAndControlsAreExact)
{
    for (int d = 0; d < 8; d++) {
        SCOPED_TRACE(testing::Message() << "template " << infoDialogIds[d]);
        HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(infoDialogIds[d]), RT_DIALOG);
        ASSERT_TRUE(found != NULL);
        const BYTE *base = static_cast<const BYTE *>(LockResource(LoadResource(NULL, found))), *p = base;
        const TemplateHeader header = { 1, 0xFFFF, 0, 0x200, 0x900008C0, (WORD)TEMPLATES[d].size(), 0, 0, 252, 135,
                                        0, 0, 0, 12, 0, 0, DEFAULT_CHARSET, L"Times New Roman" };
        const size_t headerSize = offsetof(TemplateHeader, face) + sizeof(header.face);
        ASSERT_EQ(0, memcmp(&header, p, headerSize)) << "header";
        p += headerSize;
        for (const Control &c : TEMPLATES[d]) {
            p = base + ((p - base + 3) & ~3);
            DWORD exStyle = c.style == PICTURE || c.style == BACK ? 0 : WS_EX_TRANSPARENT;
            const TemplateItem item = { 0, exStyle, c.style, c.x, c.y, c.cx, c.cy, c.id, 0xFFFF,
                                        (WORD)(c.style == BACK ? 0x80 : 0x82) };   // button, static
            EXPECT_EQ(0, memcmp(&item, p, sizeof(item))) << "control " << (int)c.id;
            p += sizeof(item);
            const WORD *title = reinterpret_cast<const WORD *>(p);
            p += *title == 0xFFFF ? 4 : (wcslen(reinterpret_cast<const wchar_t *>(title)) + 1) * 2;
            p += 2 + *reinterpret_cast<const WORD *>(p);   // creation data
        }
    }
}

// Template units to pixels, position and size converted apart as the
// dialog manager does.
RECT templatePixels(HWND dialog, const Control &c)
{
    RECT units = { c.x, c.y, c.cx, c.cy };
    MapDialogRect(dialog, &units);
    return { units.left, units.top, units.left + units.right, units.top + units.bottom };
}

// Outer size and place; text blocks span the grid at their scaled height;
// the back button is scaled both ways; all use the dialog's font.
void expectLayout(HWND dialog, const std::vector<Control> &controls)
{
    RECT window, client = templatePixels(dialog, { 0, 0, 0, 0, 252, 135 });
    GetWindowRect(dialog, &window);
    EXPECT_EQ(g_mainWindow, GetWindow(dialog, GW_OWNER));
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 570) / 2, window.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 320) / 2, window.top);
    EXPECT_EQ(570, window.right - window.left);
    EXPECT_EQ(320, window.bottom - window.top);
    ASSERT_TRUE(g_infoFont != NULL);
    for (const Control &c : controls) {
        if (c.id == NO_ID)
            continue;
        SCOPED_TRACE(testing::Message() << "control " << c.id);
        HWND control = GetDlgItem(dialog, c.id);
        RECT was = templatePixels(dialog, c), now;
        GetWindowRect(control, &now);
        MapWindowPoints(NULL, dialog, reinterpret_cast<POINT *>(&now), 2);
        bool text = c.id != IDC_INFO_BACK;
        EXPECT_EQ(text ? 0 : was.left * 570 / client.right, now.left);
        EXPECT_EQ(text ? 570 : (was.right - was.left) * 570 / client.right, now.right - now.left);
        EXPECT_EQ(was.top * 320 / client.bottom, now.top);
        EXPECT_EQ((was.bottom - was.top) * 320 / client.bottom, now.bottom - now.top);
        EXPECT_EQ((LRESULT)g_infoFont, SendMessageA(control, WM_GETFONT, 0, 0));
    }
}

void pressKey(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 0);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

// A press on the menu at a picture point, with `look` at its dialog.
void pressOnPicture(int x, int y, const std::function<void(HWND)> &look)
{
    whileDialogs(look, [&] { menuWindowProc(g_mainWindow, WM_LBUTTONDOWN, 0, MAKELPARAM(89 + x, 84 + y)); });
}

// Each box opens its own dialog over the menu, and only the back button
// closes it; then they open and close again and again.
TEST(InfoDialog, EachBoxOpensItsDialogOnTheGridThatOnlyItsButtonCloses)
{
    g_instance = GetModuleHandleA(NULL);
    g_mainWindow = CreateWindowExA(0, "STATIC", "Quib Launch", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, NULL,
                                   NULL, g_instance, NULL);
    MenuTestTitle title;
    for (int i = 0; i < 8; i++) {
        title.hotSpots[i] = TEST_HOT_SPOTS[i];
        OffsetRect(&title.hotSpots[i], 89, 84);
    }
    g_title = &title;
    g_infoFont = NULL;
    int looks = 0;
    pressOnPicture(4, 300, [&](HWND) { looks++; });   // the first box's edge
    EXPECT_EQ(0, looks);
    for (int i = 0; i < 9; i++) {
        const int d = i % 8;   // lastly, just inside the first box
        SCOPED_TRACE(testing::Message() << "dialog " << infoDialogIds[d]);
        HFONT font = NULL;
        looks = 0;
        pressOnPicture(i < 8 ? TEST_HOT_SPOTS[i].left + 1 : 5, 300, [&](HWND dialog) {
            HWND back = GetDlgItem(dialog, IDC_INFO_BACK);
            if (++looks == 1) {
                font = g_infoFont;
                expectLayout(dialog, TEMPLATES[d]);
                pressKey(back, VK_ESCAPE);
                SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                SendMessageA(dialog, WM_COMMAND, IDOK, 0);
                SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            } else if (looks == 2 && i % 2) {
                pressKey(back, VK_SPACE);
            } else {
                SendMessageA(back, BM_CLICK, 0, 0);
            }
        });
        EXPECT_EQ(2, looks) << "closed too early or not by Space";
        EXPECT_TRUE(g_infoFont == NULL);
        EXPECT_TRUE(font != NULL && GetObjectType(font) == 0) << "the dialog's font is not deleted";
    }

    int closedClean = 0;
    for (int n = 0; n < 50; n++) {
        HFONT font = NULL;
        pressOnPicture(TEST_HOT_SPOTS[n % 8].left + 1, 300, [&](HWND dialog) {
            font = g_infoFont;
            SendMessageA(GetDlgItem(dialog, IDC_INFO_BACK), BM_CLICK, 0, 0);
        });
        closedClean += font != NULL && g_infoFont == NULL && GetObjectType(font) == 0;
    }
    EXPECT_EQ(50, closedClean) << "of 50 opened and closed";
    DestroyWindow(g_mainWindow);
    g_mainWindow = NULL;
    g_title = NULL;
}

}  // namespace
