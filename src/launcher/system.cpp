#include <windows.h>
#include "launcher/globals.h"
#include "launcher/paths.h"
#include "launcher/system.h"

void pauseShowingFrame(DWORD ms)
{
    // GDI may still hold drawing calls in its batch. A plain Sleep would
    // leave the last frame off the screen under Wine, which copies a
    // window's drawing to the X screen only when the thread waits for
    // messages (or 50 ms after the last copy). A message wait with no
    // handles and an empty wake mask waits for the whole pause on Windows
    // and under Wine, returns for no input, and dispatches nothing.
    GdiFlush();
    DWORD start = GetTickCount();
    for (DWORD waited = 0; waited < ms; waited = GetTickCount() - start) {
        if (MsgWaitForMultipleObjects(0, NULL, FALSE, ms - waited, 0) == WAIT_FAILED) {
            Sleep(ms - waited);
            return;
        }
    }
}

HMODULE loadSystemLibrary(const char *name)
{
    char path[PATH_SIZE];
    UINT length = GetSystemDirectoryA(path, sizeof(path));
    if (length == 0 || length >= sizeof(path) || !appendString(path, sizeof(path), "\\") ||
        !appendString(path, sizeof(path), name))
        return NULL;
    // The altered search order looks for the DLL's own imports in the
    // system directory too, never in the launcher's folder.
    return LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}

typedef DWORD(WINAPI *TimeGetTime)(void);

DWORD millisecondCounter()
{
    static TimeGetTime timeGetTime;
    static int looked;
    if (!looked) {
        looked = 1;
        timeGetTime = procedureOf<TimeGetTime>(loadSystemLibrary("winmm.dll"), "timeGetTime");
    }
    return timeGetTime ? timeGetTime() : GetTickCount();
}
