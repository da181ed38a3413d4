#include <windows.h>
#include "launcher/catalogue.h"
#include "launcher/globals.h"
#include "launcher/paths.h"
#include "launcher/startup.h"
#include "titles/title.h"

// Recognises the title from the files in dir (ending in '\'): the disc
// markers when onCd, the hard-disk executables otherwise, then the temporary
// copy's name. Returns 0..8, or 9 when nothing matched.
static int detectTitle(int onCd, const char *dir)
{
    for (int index = 0; index < TITLE_COUNT; ++index) {
        const TitleRow &row = titleCatalogue[index];
        if (folderHolds(dir, onCd ? row.discMarker : row.hardDiskExe))
            return index;
    }
    if (folderHolds(dir, TEMP_COPY_NAME))
        return TWO_DISC_TITLE;
    return TITLE_UNKNOWN;
}

// Fills g_ownDir; 0 when the launcher's path did not fit. A path that
// fills the buffer was cut short (XP even leaves it without its NUL): the
// folder it names is not the launcher's, so nothing in it may count.
static int findOwnDir()
{
    DWORD length = GetModuleFileNameA(g_instance, g_ownDir, PATH_SIZE);
    if (length == 0 || length >= PATH_SIZE) {
        g_ownDir[0] = '\0';
        return 0;
    }
    cutAfterLastBackslash(g_ownDir);
    return 1;
}

int launcherMain(HINSTANCE instance)
{
    g_instance = instance;
    int onCd = 0;
    int titleIndex = TITLE_UNKNOWN;
    if (findOwnDir()) {
        onCd = isCdRomDrive(g_ownDir);
        titleIndex = detectTitle(onCd, g_ownDir);
    }
    if (titleIndex > TITLE_COUNT - 1) {
        MessageBoxA(NULL, "Unknown Quib disc", "", MB_OK);
        return 0;
    }

    g_title = newTitle(onCd, titleIndex);
    if (!g_title)
        return 0;
    if (!g_title->isAlreadyRunning())
        g_title->run();
    delete g_title;
    g_title = NULL;
    return 0;
}
