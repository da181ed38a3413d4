// The information dialogs: a picture with a few centred texts over it and
// a "Back to Quib" button. Every dialog is re-laid out on the picture's
// 570 x 320 pixel grid with a font of its own, and centred on the screen.
#include <windows.h>
#include "launcher/globals.h"
#include "menu/menu.h"
#include "resource.h"

enum {
    GRID_WIDTH = 570,    // the pixel size of the dialogs' picture
    GRID_HEIGHT = 320,
};

static HFONT createInfoFont()
{
    return CreateFontA(-15, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY,
                       VARIABLE_PITCH | FF_ROMAN, "Times New Roman");
}

// The control's rectangle in the dialog's client coordinates.
static RECT controlRect(HWND dialog, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    POINT topLeft = { rect.left, rect.top };
    ScreenToClient(dialog, &topLeft);
    RECT result = { topLeft.x, topLeft.y,
                    topLeft.x + (rect.right - rect.left), topLeft.y + (rect.bottom - rect.top) };
    return result;
}

// Text blocks carry consecutive ids from the first text id; each keeps only
// its vertical place, scaled to the grid, and spans the grid's full width.
static void layOutTextBlocks(HWND dialog, int clientHeight)
{
    for (int id = IDC_INFO_TEXT1;; id++) {
        HWND control = GetDlgItem(dialog, id);
        if (!control)
            break;
        RECT rect = controlRect(dialog, control);
        int height = (rect.bottom - rect.top) * GRID_HEIGHT / clientHeight;
        int top = rect.top * GRID_HEIGHT / clientHeight;
        MoveWindow(control, 0, top, GRID_WIDTH, height, TRUE);
        SendDlgItemMessageA(dialog, id, WM_SETFONT, (WPARAM)g_infoFont, TRUE);
    }
}

// The back button keeps its proportional place and size in both axes.
static void layOutBackButton(HWND dialog, int clientWidth, int clientHeight)
{
    HWND button = GetDlgItem(dialog, IDC_INFO_BACK);
    if (!button)
        return;
    RECT rect = controlRect(dialog, button);
    int width = (rect.right - rect.left) * GRID_WIDTH / clientWidth;
    int height = (rect.bottom - rect.top) * GRID_HEIGHT / clientHeight;
    int left = rect.left * GRID_WIDTH / clientWidth;
    int top = rect.top * GRID_HEIGHT / clientHeight;
    MoveWindow(button, left, top, width, height, TRUE);
    SendDlgItemMessageA(dialog, IDC_INFO_BACK, WM_SETFONT, (WPARAM)g_infoFont, TRUE);
}

// Outer size of the grid, centred on the screen (not on the menu window).
static void sizeAndCentre(HWND dialog)
{
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(dialog, NULL, 0, 0, GRID_WIDTH, GRID_HEIGHT, SWP_NOMOVE | SWP_NOZORDER);

    RECT window;
    GetWindowRect(dialog, &window);
    int left = (screenWidth - (window.right - window.left)) / 2;
    int top = (screenHeight - (window.bottom - window.top)) / 2;
    SetWindowPos(dialog, NULL, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

static void layOutInfoDialog(HWND dialog)
{
    g_infoFont = createInfoFont();
    if (g_infoFont) {
        RECT client;
        GetClientRect(dialog, &client);
        // The templates never give an empty client area; a zero would only
        // turn the scaling into a division by zero.
        if (client.right > 0 && client.bottom > 0) {
            layOutTextBlocks(dialog, client.bottom);
            layOutBackButton(dialog, client.right, client.bottom);
        }
    }
    sizeAndCentre(dialog);
}

// The picture control loaded its bitmap itself, and Wine's static control
// never frees it: each dialog would leave its 570 x 320 picture behind.
// Taking the bitmap back from the control first makes deleting it right on
// Windows as well, where the control then has nothing left to free.
static void freePicture(HWND dialog)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[8];
        if (!GetClassNameA(child, className, sizeof(className)) || lstrcmpiA(className, "Static") != 0 ||
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
            continue;
        HGDIOBJ picture = reinterpret_cast<HGDIOBJ>(
            SendMessageA(child, STM_SETIMAGE, IMAGE_BITMAP, 0));
        if (picture)
            DeleteObject(picture);
    }
}

INT_PTR CALLBACK infoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        layOutInfoDialog(dialog);
        return TRUE;   // the dialog manager focuses the back button
    case WM_COMMAND:
        // Only the back button closes the dialog: Escape and Return do not.
        if (LOWORD(wParam) == IDC_INFO_BACK) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORSTATIC:
        // Texts and picture draw over the picture without a background.
        SetBkMode((HDC)wParam, TRANSPARENT);
        return (INT_PTR)GetStockObject(NULL_BRUSH);
    case WM_DESTROY:
        freePicture(dialog);
        if (g_infoFont) {
            DeleteObject(g_infoFont);
            g_infoFont = NULL;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
