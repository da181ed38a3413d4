#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <string.h>
#include "launcher/globals.h"
#include "launcher/paths.h"
#include "launcher/system.h"
#include "menu/menu.h"
#include "resource.h"
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
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS)
        return 1;
    if (!g_semaphore) {
        // Access denied: the semaphore exists, made by a launcher that
        // runs with other rights.
        if (error == ERROR_ACCESS_DENIED)
            return 1;
        // Otherwise the name is held by an object of another kind, or the
        // system refused: this launcher cannot mark itself. It still runs,
        // since refusing would leave the user with nothing at all, but not
        // beside another launcher's menu.
        if (FindWindowA(MENU_CLASS, NULL))
            return 1;
    }
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
    // An empty or relative value would name a folder of whatever drive and
    // folder are current: no installation.
    if (!isAbsolutePath(value))
        return 0;

    // The backslash is appended even to a value that already ends in one,
    // as every launcher of the series has done: Windows reads the doubled
    // backslash as one, so the paths built from it name the same files.
    char dir[PATH_SIZE];
    if (!joinPath(dir, value, "\\"))
        return 0;
    copyString(installDir, sizeof(installDir), dir);
    return folderHolds(installDir, exeName);
}

void reportLaunchFailure(DWORD error, const char *dir, const char *name)
{
    char text[64 + 2 * PATH_SIZE];
    wsprintfA(text, "Error:%d  Could not run program.\n\n", (int)error);
    appendString(text, sizeof(text), dir);
    appendString(text, sizeof(text), name);
    MessageBoxA(g_mainWindow, text, "We have a problem", MB_ICONHAND);
}

static DWORD createProcess(const char *path, const char *commandLine, const char *currentDir)
{
    // CreateProcess may write into the command line it is given.
    char line[PATH_SIZE];
    if (commandLine && !copyString(line, sizeof(line), commandLine))
        return ERROR_FILENAME_EXCED_RANGE;
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof(process));
    if (!CreateProcessA(path, commandLine ? line : NULL, NULL, NULL, FALSE, 0, NULL, currentDir,
                        &startup, &process))
        return GetLastError();
    CloseHandle(process.hThread);     // the launcher never waits for it
    CloseHandle(process.hProcess);
    return 0;
}

typedef BOOL(WINAPI *ShellExecuteExFn)(SHELLEXECUTEINFOA *);
typedef HRESULT(WINAPI *CoInitializeExFn)(void *, DWORD);

// The shell's start, which asks for elevation where the program needs it.
// shell32 (and ole32, which ShellExecuteEx wants initialised for the shell
// extensions it may use) are loaded only here, from the system directory.
// The shell passes on no command line of ours: the only one the launcher
// gives is the program's own path, which the shell gives it too.
static DWORD startThroughShell(const char *path, const char *, const char *currentDir)
{
    ShellExecuteExFn shellExecuteEx =
        procedureOf<ShellExecuteExFn>(loadSystemLibrary("shell32.dll"), "ShellExecuteExA");
    if (!shellExecuteEx)
        return ERROR_ELEVATION_REQUIRED;
    CoInitializeExFn coInitializeEx =
        procedureOf<CoInitializeExFn>(loadSystemLibrary("ole32.dll"), "CoInitializeEx");
    if (coInitializeEx)
        coInitializeEx(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    SHELLEXECUTEINFOA info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;   // errors are ours to report
    info.hwnd = g_mainWindow;
    info.lpFile = path;                                    // default verb
    info.lpDirectory = currentDir;
    info.nShow = SW_SHOWNORMAL;
    return shellExecuteEx(&info) ? 0 : GetLastError();
}

int launchWith(const char *path, const char *commandLine, const char *currentDir,
               ProgramStarter start, ProgramStarter startElevated)
{
    DWORD error = start(path, commandLine, currentDir);
    // Windows Vista and later take a program without a manifest whose name
    // holds "setup" or "install" for an installer that needs elevation, and
    // CreateProcess refuses it; the shell asks the user instead.
    if (error == ERROR_ELEVATION_REQUIRED) {
        error = startElevated(path, commandLine, currentDir);
        if (error == ERROR_CANCELLED)
            return 0;   // the user said no to the elevation prompt
    }
    if (error == 0)
        return 1;
    reportLaunchFailure(error, path, "");
    return 0;
}

int launchProgram(const char *path, const char *commandLine, const char *currentDir)
{
    return launchWith(path, commandLine, currentDir, createProcess, startThroughShell);
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
    if (!fileExists(marker, 1) && !waitForDisc(IDD_PLAY_FIRST, IDD_PLAY_RETRY, marker))
        return 0;
    return launchJoined(installDir, exeName);
}
