#include <windows.h>
#include <string.h>
#include "launcher/globals.h"
#include "launcher/paths.h"
#include "titles/disc_prompt.h"
#include "titles/title.h"

static const char SERIES_SEMAPHORE[] = "Quib AutoPlay";

Title::Title(int onCd, int titleIndex)
    : onCd(onCd), installed(0), titleIndex(titleIndex), installDir(),
      screenWidth(0), screenHeight(0), originX(0), originY(0),
      backgroundBitmap(NULL), boxArtRect(), boxArtPos(), boxArtBitmap(NULL),
      buttons(), hotSpots(), focusButton(BUTTON_PLAY), litButton(BUTTON_NONE)
{
}

Title::~Title()
{
    HBITMAP owned[10] = {
        backgroundBitmap, boxArtBitmap,
        buttons[0].buttonFrames[0], buttons[0].buttonFrames[1],
        buttons[0].buttonFrames[2], buttons[0].buttonFrames[3],
        buttons[1].buttonFrames[0], buttons[1].buttonFrames[1],
        buttons[1].buttonFrames[2], buttons[1].buttonFrames[3],
    };
    for (HBITMAP bitmap : owned) {
        if (bitmap)
            DeleteObject(bitmap);
    }
}

int Title::isAlreadyRunning()
{
    g_semaphore = CreateSemaphoreA(NULL, 1, 1, SERIES_SEMAPHORE);
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return 1;
    return FindWindowA(gameWindowClass(), NULL) != NULL;
}

int Title::checkRegistryInstall(const char *key, const char *valueName, const char *exeName)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return 0;

    char value[PATH_SIZE];
    DWORD type = 0;
    DWORD size = sizeof(value);
    LONG status = RegQueryValueExA(handle, valueName, NULL, &type,
                                   reinterpret_cast<BYTE *>(value), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return 0;
    // A value that fills the buffer without its terminating NUL is no path.
    if (size > sizeof(value) || (size == sizeof(value) && value[size - 1] != '\0'))
        return 0;
    if (size < sizeof(value))
        value[size] = '\0';

    char dir[PATH_SIZE];
    if (!joinPath(dir, value, "\\"))
        return 0;
    copyString(installDir, sizeof(installDir), dir);

    char probe[PATH_SIZE];
    if (!joinPath(probe, installDir, exeName))
        return 0;
    return fileExists(probe, 1);
}

// Shows the launch failure for a path, which may be longer than the 260
// characters a launch path can hold.
static void reportLaunchFailure(DWORD error, const char *dir, const char *name)
{
    char text[64 + 2 * PATH_SIZE];
    wsprintfA(text, "Error:%d  Could not run program.\n\n", (int)error);
    appendString(text, sizeof(text), dir);
    appendString(text, sizeof(text), name);
    MessageBoxA(g_mainWindow, text, "We have a problem", MB_ICONHAND);
}

int launchProgram(const char *path)
{
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof(process));
    if (CreateProcessA(path, NULL, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        CloseHandle(process.hThread);     // the launcher never waits for it
        CloseHandle(process.hProcess);
        return 1;
    }
    reportLaunchFailure(GetLastError(), path, "");
    return 0;
}

// Starts dir + name; a path that would not fit is refused with the message.
static int launchJoined(const char *dir, const char *name)
{
    char path[PATH_SIZE];
    if (!joinPath(path, dir, name)) {
        reportLaunchFailure(ERROR_FILENAME_EXCED_RANGE, dir, name);
        return 0;
    }
    return launchProgram(path);
}

int Title::runSetupFromOwnDir(const char *setupPath)
{
    return launchJoined(g_ownDir, setupPath);
}

int Title::playFromInstallDir(const char *exeName, const char *markerPath)
{
    char marker[PATH_SIZE];
    copyString(marker, sizeof(marker), markerPath);
    marker[0] = g_ownDir[0];
    if (!fileExists(marker, 1) && !waitForDisc(105, 107, marker))
        return 0;
    return launchJoined(installDir, exeName);
}
