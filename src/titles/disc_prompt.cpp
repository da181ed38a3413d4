#include <windows.h>
#include "launcher/globals.h"
#include "launcher/paths.h"
#include "launcher/system.h"
#include "resource.h"
#include "titles/disc_prompt.h"
#include "titles/title.h"

// After each OK the drives are searched for this long before the retry
// prompt appears, with a short pause between searches: a disc put in is
// seen within a fraction of a second, and the poll costs next to no CPU.
static const DWORD POLL_MS = 10000;
static const DWORD POLL_GAP_MS = 50;

static INT_PTR CALLBACK discDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A prompt that could not be shown (-1) counts as Cancel.
static int askForDisc(int dialogId)
{
    return DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(dialogId), g_mainWindow,
                           discDialogProc, 0) == 1;
}

// Between two searches of the poll: a look at the message queue that
// removes and dispatches nothing, so that Windows does not take the menu
// for hung and ghost it ("Not Responding") during the ten seconds; then a
// short pause. Input stays queued until the poll is over.
static void restBetweenSearches()
{
    MSG message;
    PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE);
    pauseShowingFrame(POLL_GAP_MS);
}

// Searches again and again for POLL_MS; 1 as soon as the path is found.
static int pollForDisc(char *path)
{
    DWORD start = millisecondCounter();
    for (;;) {
        if (fileExists(path, 0))
            return 1;
        if (millisecondCounter() - start >= POLL_MS)   // unsigned: right across the wrap
            return 0;
        restBetweenSearches();
    }
}

// One search of the drives, or the poll, under the wait pointer.
static int searchUnderWaitPointer(char *path, int poll)
{
    HCURSOR previous = SetCursor(LoadCursorA(NULL, IDC_WAIT));
    int found = poll ? pollForDisc(path) : fileExists(path, 0);
    SetCursor(previous);
    return found;
}

int waitForDisc(int firstDialogId, int retryDialogId, char *path)
{
    if (searchUnderWaitPointer(path, 0))
        return 1;
    if (!askForDisc(firstDialogId))
        return 0;

    for (;;) {
        UpdateWindow(g_mainWindow);
        if (searchUnderWaitPointer(path, 1))
            return 1;
        if (!askForDisc(retryDialogId))
            return 0;
    }
}

static INT_PTR CALLBACK discDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
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
        case IDC_PROMPT_OLDCANCEL1:
        case IDC_PROMPT_OLDCANCEL2:
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
