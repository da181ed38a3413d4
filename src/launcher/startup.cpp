#include <windows.h>
#include "launcher/catalogue.h"
#include "launcher/globals.h"
#include "launcher/paths.h"
#include "launcher/startup.h"
#include "titles/title.h"

// A candidate that does not fit its buffer counts as absent.
static int existsInDir(const char *dir, const char *name)
{
    char candidate[PATH_SIZE];
    if (!joinPath(candidate, dir, name))
        return 0;
    return fileExists(candidate, 1);
}

int detectTitle(int onCd, const char *dir)
{
    for (int index = 0; index < TITLE_COUNT; ++index) {
        const TitleRow &row = titleCatalogue[index];
        if (existsInDir(dir, onCd ? row.discMarker : row.hardDiskExe))
            return index;
    }
    if (existsInDir(dir, TEMP_COPY_NAME))
        return TWO_DISC_TITLE;
    return TITLE_UNKNOWN;
}

int launcherMain(HINSTANCE instance)
{
    g_instance = instance;
    GetModuleFileNameA(g_instance, g_ownDir, PATH_SIZE);
    g_ownDir[PATH_SIZE - 1] = '\0';   // XP leaves a truncated name unterminated
    cutAfterLastBackslash(g_ownDir);

    int onCd = isCdRomDrive(g_ownDir);
    int titleIndex = detectTitle(onCd, g_ownDir);
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
