#include <windows.h>
#include <mmsystem.h>
#include "launcher/globals.h"
#include "launcher/paths.h"
#include "resource.h"
#include "titles/disc_prompt.h"
#include "titles/title.h"

// After each OK the drives are searched back to back for this long before
// the retry prompt appears.
static const DWORD POLL_MS = 10000;

DWORD elapsedBetween(DWORD start, DWORD now)
{
    return now - start;   // unsigned: right across the counter's wrap
}

DWORD elapsedSince(DWORD start)
{
    return elapsedBetween(start, timeGetTime());
}

INT_PTR showDiscDialog(int dialogId)
{
    return DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(dialogId),
                           g_mainWindow, discDialogProc, 0);
}

// A prompt that could not be shown (-1) counts as Cancel.
static int askForDisc(int dialogId)
{
    return showDiscDialog(dialogId) == 1;
}

int waitForDisc(int firstDialogId, int retryDialogId, char *path)
{
    HCURSOR previous = SetCursor(LoadCursorA(NULL, IDC_WAIT));
    int found = fileExists(path, 0);
    SetCursor(previous);
    if (found)
        return 1;
    if (!askForDisc(firstDialogId))
        return 0;

    for (;;) {
        UpdateWindow(g_mainWindow);
        DWORD start = timeGetTime();
        previous = SetCursor(LoadCursorA(NULL, IDC_WAIT));
        do {
            if (fileExists(path, 0)) {
                SetCursor(previous);
                return 1;
            }
        } while (elapsedSince(start) < POLL_MS);
        SetCursor(previous);
        if (!askForDisc(retryDialogId))
            return 0;
    }
}

INT_PTR CALLBACK discDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextA(dialog, g_title->promptCaption());
        if (GetDlgItem(dialog, IDC_PROMPT_TEXT))
            SetDlgItemTextA(dialog, IDC_PROMPT_TEXT, g_title->promptText());
        if (GetDlgItem(dialog, IDC_PROMPT_RETRYTEXT))
            SetDlgItemTextA(dialog, IDC_PROMPT_RETRYTEXT, g_title->retryText());
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PROMPT_OK:
            EndDialog(dialog, 1);
            return TRUE;
        case IDC_PROMPT_CANCEL:
        case 1002:
        case 1003:
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;   // Escape and the close command leave the prompt open
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    (void)lParam;
    return FALSE;
}
