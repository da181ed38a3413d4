// The information dialogs: their compiled templates, their layout on the
// 570 x 320 grid, how they close and what becomes of their font. A second
// thread looks at each modal dialog while the test thread is inside it.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <atomic>
#include <string>
#include <thread>
#include <vector>
#include "launcher/globals.h"
#include "menu/menu.h"
#include "resource.h"

namespace {

// ---- the compiled templates --------------------------------------------

const WORD STATIC_ATOM = 0x0082, BUTTON_ATOM = 0x0080;
const DWORD PICTURE = 0x5000000E, BACK = 0x50010000;
const DWORD CENTRED = 0x50000001, GROUP_CENTRED = 0x50020001, GROUP_LEFT = 0x50020000;
const DWORD NO_ID = 0xFFFFFFFF;

struct Control {
    DWORD id;
    DWORD style;
    short x, y, cx, cy;
};

struct Template {
    WORD id;
    int heading;    // the text block with the series name
    int purchase;   // the text block with the purchase note
    std::vector<Control> controls;
};

const std::vector<Template> &expectedTemplates()
{
    static const std::vector<Template> templates = {
        { 149, 1013, 1015, {
            { 1013, CENTRED, 13, 11, 226, 41 }, { NO_ID, PICTURE, 0, 0, 253, 135 },
            { 1002, BACK, 101, 91, 50, 14 }, { 1014, CENTRED, 10, 57, 233, 31 },
            { 1015, CENTRED, 8, 113, 235, 17 } } },
        { 146, 1013, 1015, {
            { 1013, CENTRED, 15, 3, 223, 41 }, { NO_ID, PICTURE, 0, 0, 311, 216 },
            { 1002, BACK, 101, 90, 50, 14 }, { 1014, CENTRED, 17, 50, 219, 34 },
            { 1015, CENTRED, 1, 112, 250, 18 } } },
        { 150, 1013, 1014, {
            { NO_ID, PICTURE, 0, 0, 285, 160 }, { 1002, BACK, 101, 89, 50, 14 },
            { 1013, GROUP_CENTRED, 6, 11, 240, 80 }, { 1014, GROUP_CENTRED, 1, 113, 250, 17 } } },
        { 152, 1013, 1015, {
            { NO_ID, PICTURE, 0, 0, 285, 160 }, { 1002, BACK, 101, 94, 50, 14 },
            { 1013, GROUP_CENTRED, 6, 5, 240, 45 }, { 1014, GROUP_CENTRED, 6, 54, 240, 33 },
            { 1015, GROUP_CENTRED, 6, 115, 240, 18 } } },
        { 32257, 1013, 1015, {
            { 1013, CENTRED, 13, 6, 225, 8 }, { NO_ID, PICTURE, 0, 0, 253, 135 },
            { 1002, BACK, 101, 92, 50, 14 }, { 1014, CENTRED, 8, 53, 235, 12 },
            { 1015, CENTRED, 4, 112, 245, 20 }, { 1016, CENTRED, 11, 68, 230, 20 },
            { 1017, CENTRED, 6, 31, 240, 19 }, { 1018, CENTRED, 14, 19, 225, 8 } } },
        { 153, 1013, 1015, {
            { NO_ID, PICTURE, 0, 0, 253, 135 }, { 1002, BACK, 101, 93, 50, 14 },
            { 1013, GROUP_CENTRED, 9, 3, 235, 49 }, { 1014, GROUP_CENTRED, 9, 50, 235, 40 },
            { 1015, GROUP_CENTRED, 10, 112, 235, 20 } } },
        { 151, 1015, 1014, {
            { NO_ID, PICTURE, 0, 0, 285, 160 }, { 1002, BACK, 101, 95, 50, 14 },
            { 1013, GROUP_LEFT, 6, 18, 240, 65 }, { 1014, GROUP_CENTRED, 1, 115, 250, 17 },
            { 1015, GROUP_CENTRED, 6, 4, 240, 10 }, { 1016, GROUP_LEFT, 6, 80, 240, 10 } } },
        { 156, 1013, 1014, {
            { NO_ID, PICTURE, 0, 0, 285, 160 }, { 1002, BACK, 101, 94, 50, 14 },
            { 1013, GROUP_CENTRED, 6, 3, 239, 37 }, { 1014, GROUP_CENTRED, 1, 113, 250, 17 },
            { 1015, GROUP_CENTRED, 10, 41, 232, 52 } } },
    };
    return templates;
}

// A cursor over the bytes of a DLGTEMPLATEEX.
struct Reader {
    const BYTE *p;
    WORD word() { WORD v; memcpy(&v, p, 2); p += 2; return v; }
    DWORD dword() { DWORD v; memcpy(&v, p, 4); p += 4; return v; }
    short shortValue() { return static_cast<short>(word()); }
    std::wstring string()
    {
        std::wstring text;
        for (WORD c; (c = word()) != 0;)
            text += static_cast<wchar_t>(c);
        return text;
    }
    void alignDword(const BYTE *base) { p = base + ((p - base + 3) & ~3); }
};

struct ParsedControl {
    DWORD id, style, exStyle, helpId;
    short x, y, cx, cy;
    WORD classAtom;       // 0 when the class is given by name
    int titleOrdinal;     // -1 when the title is a string
    std::wstring title;
    WORD extra;
};

struct ParsedTemplate {
    WORD version, signature;
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    std::wstring menu, windowClass, title, face;
    WORD points, weight;
    BYTE italic, charset;
    std::vector<ParsedControl> controls;
};

bool parseTemplate(WORD id, ParsedTemplate *out)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceExA(module, RT_DIALOG, MAKEINTRESOURCEA(id),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (!found)
        return false;
    const BYTE *base = static_cast<const BYTE *>(LockResource(LoadResource(module, found)));
    Reader r = { base };
    ParsedTemplate &t = *out;
    t.version = r.word();
    t.signature = r.word();
    t.helpId = r.dword();
    t.exStyle = r.dword();
    t.style = r.dword();
    WORD count = r.word();
    t.x = r.shortValue(); t.y = r.shortValue(); t.cx = r.shortValue(); t.cy = r.shortValue();
    t.menu = r.string();
    t.windowClass = r.string();
    t.title = r.string();
    t.points = r.word();
    t.weight = r.word();
    t.italic = *r.p++;
    t.charset = *r.p++;
    t.face = r.string();
    for (WORD i = 0; i < count; i++) {
        r.alignDword(base);
        ParsedControl c;
        c.helpId = r.dword();
        c.exStyle = r.dword();
        c.style = r.dword();
        c.x = r.shortValue(); c.y = r.shortValue(); c.cx = r.shortValue(); c.cy = r.shortValue();
        c.id = r.dword();
        c.classAtom = 0;
        if (r.word() == 0xFFFF)
            c.classAtom = r.word();
        else
            r.p -= 2, r.string();
        c.titleOrdinal = -1;
        if (r.word() == 0xFFFF) {
            c.titleOrdinal = r.word();
        } else {
            r.p -= 2;
            c.title = r.string();
        }
        c.extra = r.word();
        r.p += c.extra;
        t.controls.push_back(c);
    }
    return true;
}

const ParsedControl *findControl(const ParsedTemplate &t, DWORD id)
{
    for (const ParsedControl &c : t.controls) {
        if (c.id == id)
            return &c;
    }
    return NULL;
}

std::vector<std::wstring> linesOf(const std::wstring &text)
{
    std::vector<std::wstring> lines(1);
    for (wchar_t c : text) {
        if (c == L'\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

TEST(InfoDialogTemplates, HeadersAndControlsAreExact)
{
    for (const Template &expected : expectedTemplates()) {
        SCOPED_TRACE(testing::Message() << "template " << expected.id);
        ParsedTemplate t;
        ASSERT_TRUE(parseTemplate(expected.id, &t));
        EXPECT_EQ(1, t.version);
        EXPECT_EQ(0xFFFF, t.signature);
        EXPECT_EQ(0u, t.helpId);
        EXPECT_EQ(0x00000200u, t.exStyle);
        EXPECT_EQ(0x900008C0u, t.style);
        EXPECT_EQ(0, t.x); EXPECT_EQ(0, t.y); EXPECT_EQ(252, t.cx); EXPECT_EQ(135, t.cy);
        EXPECT_TRUE(t.menu.empty() && t.windowClass.empty() && t.title.empty());
        EXPECT_EQ(12, t.points);
        EXPECT_EQ(0, t.weight);
        EXPECT_EQ(0, t.italic);
        EXPECT_EQ(1, t.charset);
        EXPECT_TRUE(t.face == L"Times New Roman");

        ASSERT_EQ(expected.controls.size(), t.controls.size());
        for (size_t i = 0; i < t.controls.size(); i++) {
            const Control &e = expected.controls[i];
            const ParsedControl &c = t.controls[i];
            SCOPED_TRACE(testing::Message() << "control " << i << " id " << (int)e.id);
            EXPECT_EQ(e.id, c.id);
            EXPECT_EQ(e.style, c.style);
            EXPECT_EQ(e.style == PICTURE || e.style == BACK ? 0u : 0x20u, c.exStyle);
            EXPECT_EQ(0u, c.helpId);
            EXPECT_EQ(e.x, c.x); EXPECT_EQ(e.y, c.y); EXPECT_EQ(e.cx, c.cx); EXPECT_EQ(e.cy, c.cy);
            EXPECT_EQ(e.style == BACK ? BUTTON_ATOM : STATIC_ATOM, c.classAtom);
            EXPECT_EQ(0, c.extra);
            if (e.style == PICTURE)
                EXPECT_EQ(IDB_INFO_BACKGROUND, c.titleOrdinal);
            else if (e.style == BACK)
                EXPECT_TRUE(c.title == L"Back to Quib");
            else
                EXPECT_FALSE(c.title.empty());
        }
    }
}

TEST(InfoDialogTemplates, TextsHaveTheirRoles)
{
    for (const Template &expected : expectedTemplates()) {
        SCOPED_TRACE(testing::Message() << "template " << expected.id);
        ParsedTemplate t;
        ASSERT_TRUE(parseTemplate(expected.id, &t));
        const ParsedControl *heading = findControl(t, expected.heading);
        const ParsedControl *purchase = findControl(t, expected.purchase);
        ASSERT_TRUE(heading && purchase);
        // "QUIBBIX" with the registered sign, as the ANSI code page has it.
        EXPECT_EQ(0u, heading->title.find(L"QUIBBIX\u00AE ")) ;
        std::vector<std::wstring> note = linesOf(purchase->title);
        ASSERT_EQ(2u, note.size());
        EXPECT_NE(std::wstring::npos, purchase->title.find(L"555-"));
        EXPECT_NE(std::wstring::npos, purchase->title.find(L"example.com"));
    }

}

// ---- the open dialog ----------------------------------------------------

BOOL CALLBACK findDialog(HWND window, LPARAM found)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof(name));
    if (strcmp(name, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

HWND waitForDialog(DWORD thread, const std::atomic<bool> &stop)
{
    for (int i = 0; i < 400 && !stop; i++) {
        HWND found = NULL;
        EnumThreadWindows(thread, findDialog, reinterpret_cast<LPARAM>(&found));
        if (found)
            return found;
        Sleep(5);
    }
    return NULL;
}

RECT clientRectOf(HWND dialog, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(NULL, dialog, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

// What the watching thread saw of one dialog.
struct Observation {
    bool opened = false;
    HWND owner = NULL;
    RECT window = {};
    RECT client = {};
    RECT templateClient = {};           // the template's client size in pixels
    std::vector<RECT> blocks;           // text blocks 1013, 1014, ... after layout
    std::vector<RECT> templateBlocks;   // the same in template pixels
    RECT button = {}, templateButton = {};
    bool fontsSet = true;
    bool buttonFocused = false;
    bool openAfterRefusals = false;
    HFONT font = NULL;
    std::vector<std::string> problems;  // texts that do not fit
};

// Pixels of a rectangle in the dialog's units.
RECT templatePixels(HWND dialog, short x, short y, short cx, short cy)
{
    // Position and size are converted separately, as the dialog manager
    // does when it creates the controls.
    RECT units = { x, y, cx, cy };
    MapDialogRect(dialog, &units);
    RECT rect = { units.left, units.top, units.left + units.right, units.top + units.bottom };
    return rect;
}

// Pixels kept clear of the dialog's right frame so no line touches it.
const int EDGE_MARGIN = 8;

// Every line of a text block drawn with the dialog's font must lie inside
// the visible part of the picture and above whatever comes below it.
void checkTextFits(HWND dialog, int id, const RECT &block, int limit, Observation *seen)
{
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    LONG style = GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE);
    bool centred = (style & SS_TYPEMASK) == SS_CENTER;

    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, seen->font);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    int lines = 0;
    for (char *line = text;; lines++) {
        char *end = strchr(line, '\n');
        int length = end ? (int)(end - line) : (int)strlen(line);
        SIZE size = { 0, 0 };
        GetTextExtentPoint32A(dc, line, length, &size);
        int right = centred ? (570 + size.cx) / 2 : size.cx;
        if (right > seen->client.right - EDGE_MARGIN)
            seen->problems.push_back(std::to_string(id) + " too wide (" + std::to_string(right) + " > " +
                                     std::to_string(seen->client.right - EDGE_MARGIN) + "): " + std::string(line, length));
        if (!end)
            break;
        line = end + 1;
    }
    int bottom = block.top + (lines + 1) * metrics.tmHeight;
    if (bottom > block.bottom || bottom > limit)
        seen->problems.push_back(std::to_string(id) + " too tall: ends at " + std::to_string(bottom));
    SelectObject(dc, old);
    DeleteDC(dc);
}

void observeLayout(HWND dialog, const ParsedTemplate &t, Observation *seen)
{
    seen->owner = GetWindow(dialog, GW_OWNER);
    GetWindowRect(dialog, &seen->window);
    GetClientRect(dialog, &seen->client);
    seen->templateClient = templatePixels(dialog, 0, 0, t.cx, t.cy);
    seen->font = g_infoFont;
    for (DWORD id = IDC_INFO_FIRSTTEXT;; id++) {
        const ParsedControl *c = findControl(t, id);
        HWND control = GetDlgItem(dialog, id);
        if (!c || !control)
            break;
        seen->blocks.push_back(clientRectOf(dialog, control));
        seen->templateBlocks.push_back(templatePixels(dialog, c->x, c->y, c->cx, c->cy));
        if ((HFONT)SendMessageA(control, WM_GETFONT, 0, 0) != g_infoFont)
            seen->fontsSet = false;
    }
    HWND button = GetDlgItem(dialog, IDC_INFO_BACK);
    const ParsedControl *b = findControl(t, IDC_INFO_BACK);
    seen->button = clientRectOf(dialog, button);
    seen->templateButton = templatePixels(dialog, b->x, b->y, b->cx, b->cy);
    if ((HFONT)SendMessageA(button, WM_GETFONT, 0, 0) != g_infoFont)
        seen->fontsSet = false;
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, NULL), &gui);
    seen->buttonFocused = gui.hwndFocus == button;

    // Blocks above the button end above it; the rest end inside the client.
    for (size_t i = 0; i < seen->blocks.size(); i++) {
        const RECT &block = seen->blocks[i];
        int limit = block.top < seen->button.top ? seen->button.top : seen->client.bottom;
        for (const RECT &other : seen->blocks) {
            if (other.top > block.top && other.top < limit)
                limit = other.top;
        }
        checkTextFits(dialog, IDC_INFO_FIRSTTEXT + (int)i, block, limit, seen);
    }
}

// Escape, Alt+F4, OK and Cancel must all leave the dialog open.
bool refusesToClose(HWND dialog)
{
    HWND button = GetDlgItem(dialog, IDC_INFO_BACK);
    PostMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(button, WM_KEYUP, VK_ESCAPE, 0);
    SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    Sleep(60);
    return IsWindow(dialog) && IsWindowVisible(dialog);
}

void closeWithBackButton(HWND dialog, bool bySpace)
{
    HWND button = GetDlgItem(dialog, IDC_INFO_BACK);
    if (bySpace) {
        PostMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
        PostMessageA(button, WM_KEYUP, VK_SPACE, 0xC0000001);
    } else {
        SendMessageA(button, BM_CLICK, 0, 0);
    }
    for (int i = 0; i < 200 && IsWindow(dialog); i++)
        Sleep(5);
}

class InfoDialog : public testing::Test {
protected:
    void SetUp() override
    {
        g_instance = GetModuleHandleA(NULL);
        owner = CreateWindowExA(0, "STATIC", "Quib Launch", WS_POPUP | WS_VISIBLE,
                                0, 0, 800, 600, NULL, NULL, g_instance, NULL);
        ASSERT_TRUE(owner != NULL);
        g_mainWindow = owner;
        g_infoFont = NULL;
    }
    void TearDown() override
    {
        DestroyWindow(owner);
        g_mainWindow = NULL;
    }

    // Opens the dialog of a product box and lets watch() look at it from
    // another thread; watch must close it.
    template <typename Watch>
    void openWatched(int hotSpot, Watch watch)
    {
        std::atomic<bool> stop(false);
        DWORD uiThread = GetCurrentThreadId();
        std::thread watcher([&] {
            HWND dialog = waitForDialog(uiThread, stop);
            if (dialog)
                watch(dialog);
        });
        openInfoDialog(hotSpot);
        stop = true;
        watcher.join();
    }

    HWND owner = NULL;
};

TEST_F(InfoDialog, EachOpensLaidOutOnTheGridCentredAndClosesOnlyByItsButton)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    for (int i = 0; i < 8; i++) {
        SCOPED_TRACE(testing::Message() << "dialog " << infoDialogIds[i]);
        ParsedTemplate t;
        ASSERT_TRUE(parseTemplate(infoDialogIds[i], &t));
        Observation seen;
        openWatched(i, [&](HWND dialog) {
            seen.opened = true;
            observeLayout(dialog, t, &seen);
            seen.openAfterRefusals = refusesToClose(dialog);
            closeWithBackButton(dialog, i % 2 == 0);
        });
        ASSERT_TRUE(seen.opened);
        EXPECT_EQ(owner, seen.owner);
        EXPECT_EQ(570, seen.window.right - seen.window.left);
        EXPECT_EQ(320, seen.window.bottom - seen.window.top);
        EXPECT_EQ((screenWidth - 570) / 2, seen.window.left);
        EXPECT_EQ((screenHeight - 320) / 2, seen.window.top);

        const int W = seen.templateClient.right, H = seen.templateClient.bottom;
        ASSERT_GT(W, 0);
        ASSERT_GT(H, 0);
        size_t texts = 0;
        for (const ParsedControl &c : t.controls)
            texts += c.id >= IDC_INFO_FIRSTTEXT && c.id != NO_ID;
        ASSERT_EQ(texts, seen.blocks.size());
        for (size_t k = 0; k < seen.blocks.size(); k++) {
            const RECT &was = seen.templateBlocks[k], &now = seen.blocks[k];
            SCOPED_TRACE(testing::Message() << "text " << IDC_INFO_FIRSTTEXT + k);
            EXPECT_EQ(0, now.left);
            EXPECT_EQ(570, now.right - now.left);
            EXPECT_EQ(was.top * 320 / H, now.top);
            EXPECT_EQ((was.bottom - was.top) * 320 / H, now.bottom - now.top);
        }
        const RECT &was = seen.templateButton, &now = seen.button;
        EXPECT_EQ(was.left * 570 / W, now.left);
        EXPECT_EQ(was.top * 320 / H, now.top);
        EXPECT_EQ((was.right - was.left) * 570 / W, now.right - now.left);
        EXPECT_EQ((was.bottom - was.top) * 320 / H, now.bottom - now.top);

        EXPECT_TRUE(seen.font != NULL);
        EXPECT_TRUE(seen.fontsSet);
        EXPECT_TRUE(seen.buttonFocused);
        EXPECT_TRUE(seen.openAfterRefusals);
        for (const std::string &problem : seen.problems)
            ADD_FAILURE() << problem;

        EXPECT_TRUE(g_infoFont == NULL);
        EXPECT_EQ(0u, GetObjectType(seen.font)) << "the dialog's font is deleted";
    }
}

TEST_F(InfoDialog, OpensAndClosesFiftyTimesWithAFreshFontEachTime)
{
    int opened = 0, fontsGone = 0;
    for (int n = 0; n < 50; n++) {
        HFONT font = NULL;
        openWatched(n % 8, [&](HWND dialog) {
            opened++;
            font = g_infoFont;
            closeWithBackButton(dialog, false);
        });
        fontsGone += font != NULL && g_infoFont == NULL && GetObjectType(font) == 0;
    }
    EXPECT_EQ(50, opened);
    EXPECT_EQ(50, fontsGone);
}

} // namespace
