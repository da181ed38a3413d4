// The menu screen: one borderless pop-up window over the whole screen, black
// except for the 621 x 431 menu picture centred on it. The box art and the
// two buttons are composed into the picture once; painting is one blit of
// the composed picture.
#include <windows.h>
#include "launcher/globals.h"
#include "menu/bitmaps.h"
#include "menu/layout.h"
#include "menu/menu.h"
#include "resource.h"
#include "titles/title.h"

const char MENU_CLASS[] = "QuibLaunch";
static const char MENU_CAPTION[] = "Quib Launch";

// Frames 0..3 (normal, pressed, activated, focused) of each button.
static const int PLAY_FRAMES[4] = {
    IDB_PLAY_NORMAL, IDB_PLAY_PRESSED, IDB_PLAY_ACTIVATED, IDB_PLAY_FOCUSED };
static const int INSTALL_FRAMES[4] = {
    IDB_INSTALL_NORMAL, IDB_INSTALL_PRESSED, IDB_INSTALL_ACTIVATED, IDB_INSTALL_FOCUSED };
static const int QUIT_FRAMES[4] = {
    IDB_QUIT_NORMAL, IDB_QUIT_PRESSED, IDB_QUIT_ACTIVATED, IDB_QUIT_FOCUSED };

// The class stays registered for the life of the process; a second menu in
// the same process finds it already there.
static void registerMenuClass()
{
    WNDCLASSEXA windowClass;
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = 0;
    windowClass.lpfnWndProc = menuWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = g_instance;
    windowClass.hIcon = LoadIconA(g_instance, MAKEINTRESOURCEA(IDI_LAUNCHER));
    windowClass.hCursor = NULL;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = NULL;
    windowClass.lpszClassName = MENU_CLASS;
    windowClass.hIconSm = NULL;
    RegisterClassExA(&windowClass);
}

static SIZE bitmapSize(HBITMAP bitmap)
{
    BITMAP info;
    SIZE size = { 0, 0 };
    if (bitmap && GetObjectA(bitmap, sizeof(info), &info)) {
        size.cx = info.bmWidth;
        size.cy = info.bmHeight;
    }
    return size;
}

// Client rectangle of a bitmap drawn at a picture point.
static RECT placeOnScreen(const Title *title, POINT pos, HBITMAP bitmap)
{
    SIZE size = bitmapSize(bitmap);
    RECT rect;
    rect.left = title->originX + pos.x;
    rect.top = title->originY + pos.y;
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    return rect;
}

static void loadButton(Title *title, int button, const int frameIds[4], POINT pos)
{
    MenuButton *menuButton = &title->buttons[button];
    for (int frame = 0; frame < 4; frame++)
        menuButton->buttonFrames[frame] = loadBitmapResource(frameIds[frame]);
    menuButton->buttonPos = pos;
    menuButton->buttonRect = placeOnScreen(title, pos, menuButton->buttonFrames[FRAME_NORMAL]);
}

static void placeHotSpots(Title *title)
{
    for (int i = 0; i < HOTSPOT_COUNT; i++) {
        title->hotSpots[i] = HOT_SPOTS[i];
        OffsetRect(&title->hotSpots[i], title->originX, title->originY);
    }
}

static void runMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void Title::run()
{
    // The palette comes first, then the bitmaps: every conversion goes
    // through the palette. The window is made last, over the whole screen,
    // and painted at once: it covers the screen once its picture is ready.
    const BITMAPINFOHEADER *picture = lockBitmapResource(IDB_MENU);
    if (!picture)
        return;
    g_palette = createPaletteFromDib(picture, reinterpret_cast<const RGBQUAD *>(
        reinterpret_cast<const BYTE *>(picture) + picture->biSize));
    backgroundBitmap = createBitmapFromDib(picture);

    // Centre the picture; on a screen smaller than the picture the origin
    // is negative and the picture is cut off at the edges.
    SIZE pictureSize = bitmapSize(backgroundBitmap);
    screenWidth = GetSystemMetrics(SM_CXSCREEN);
    screenHeight = GetSystemMetrics(SM_CYSCREEN);
    originX = (screenWidth - pictureSize.cx) / 2;
    originY = (screenHeight - pictureSize.cy) / 2;

    loadBoxArt();
    boxArtPos = BOX_ART_POS;
    boxArtRect = placeOnScreen(this, boxArtPos, boxArtBitmap);
    drawIntoBackground(boxArtBitmap, boxArtPos.x, boxArtPos.y);

    installed = isInstalled();
    loadButton(this, BUTTON_PLAY, installed ? PLAY_FRAMES : INSTALL_FRAMES, PLAY_BUTTON_POS);
    drawIntoBackground(buttons[BUTTON_PLAY].buttonFrames[FRAME_FOCUSED],
                       PLAY_BUTTON_POS.x, PLAY_BUTTON_POS.y);
    focusButton = BUTTON_PLAY;
    litButton = BUTTON_NONE;

    loadButton(this, BUTTON_QUIT, QUIT_FRAMES, QUIT_BUTTON_POS);
    drawIntoBackground(buttons[BUTTON_QUIT].buttonFrames[FRAME_NORMAL],
                       QUIT_BUTTON_POS.x, QUIT_BUTTON_POS.y);

    placeHotSpots(this);

    registerMenuClass();
    g_mainWindow = CreateWindowExA(0, MENU_CLASS, MENU_CAPTION, WS_POPUP | WS_VISIBLE, 0, 0,
                                   screenWidth, screenHeight, NULL, NULL, g_instance, NULL);
    if (g_mainWindow) {
        UpdateWindow(g_mainWindow);
        SetCursor(LoadCursorA(NULL, IDC_ARROW));
        runMessageLoop();
    }

    // The window is gone; later message boxes have no owner.
    g_mainWindow = NULL;
    if (g_palette)
        DeleteObject(g_palette);
    g_palette = NULL;
}

static void paintMenu(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (g_title && g_title->backgroundBitmap)
        drawBitmap(dc, g_title->backgroundBitmap, g_title->originX, g_title->originY);
    EndPaint(window, &paint);
}

// Pointer positions are the low and high words of lParam, taken unsigned
// rather than with GET_X_LPARAM: the window covers the screen from (0, 0),
// so a point left of or above it can only land far outside every button.
static int pointerX(LPARAM lParam) { return LOWORD(lParam); }
static int pointerY(LPARAM lParam) { return HIWORD(lParam); }

static void pressAt(int x, int y)
{
    int hotSpot;
    if (g_title->hitFocusedButton(x, y))
        g_title->pressFocusedButton();
    else if (g_title->hitHotSpot(x, y, &hotSpot))
        openInfoDialog(hotSpot);
}

static void releaseAt(int x, int y)
{
    if (g_title->hitLitButton(x, y))
        g_title->activateLitButton();
}

LRESULT CALLBACK menuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paintMenu(window);
        return 0;
    case WM_QUERYNEWPALETTE:
        if (g_palette) {
            HDC dc = GetDC(window);
            realizeMenuPalette(dc);
            ReleaseDC(window, dc);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_MOUSEMOVE:
        g_title->trackPointer(pointerX(lParam), pointerY(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        pressAt(pointerX(lParam), pointerY(lParam));
        return 0;
    case WM_LBUTTONUP:
        releaseAt(pointerX(lParam), pointerY(lParam));
        return 0;
    case WM_KEYDOWN:
        handleMenuKey(wParam);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
