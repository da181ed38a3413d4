#include <windows.h>
#include <string.h>
#include "launcher/catalogue.h"
#include "launcher/globals.h"
#include "launcher/paths.h"
#include "launcher/system.h"
#include "menu/bitmaps.h"
#include "resource.h"
#include "titles/disc_prompt.h"
#include "titles/two_disc_title.h"

static const DWORD INSTALLER_LOOK_MS = 1000;

static const TitleRow &whirl() { return titleCatalogue[TWO_DISC_TITLE]; }

TwoDiscTitle::TwoDiscTitle(int onCd, int titleIndex) : Title(onCd, titleIndex) {}
TwoDiscTitle::~TwoDiscTitle() {}

void TwoDiscTitle::loadBoxArt() { boxArtBitmap = loadBitmapResource(whirl().boxArtId); }
const char *TwoDiscTitle::gameWindowClass() { return whirl().gameWindowClass; }
const char *TwoDiscTitle::discMarkerPath() { return whirl().discMarkerPath; }
const char *TwoDiscTitle::promptCaption() { return whirl().promptCaption; }
const char *TwoDiscTitle::promptText() { return whirl().promptText; }
const char *TwoDiscTitle::retryText() { return whirl().retryText; }

static int installerWindowOpen()
{
    return FindWindowA(whirl().installerClass, whirl().installerTitle) != NULL;
}

// Windows directory + "\" + "~QBX4.tmp"; 0 when it does not fit.
static int tempCopyPath(char *path)
{
    char windowsDir[PATH_SIZE];
    UINT length = GetWindowsDirectoryA(windowsDir, sizeof(windowsDir));
    if (length == 0 || length >= sizeof(windowsDir))
        return 0;
    return joinPath(path, windowsDir, "\\") && appendString(path, PATH_SIZE, TEMP_COPY_NAME);
}

int TwoDiscTitle::isAlreadyRunning()
{
    if (Title::isAlreadyRunning())
        return 1;
    return installerWindowOpen() && onCd == 1;
}

int TwoDiscTitle::isInstalled()
{
    if (!checkRegistryInstall(whirl().registryKey, whirl().valueName, whirl().gameExe))
        return 0;
    return folderHolds(installDir, whirl().installedLauncher);
}

void TwoDiscTitle::run()
{
    if (onCd == 1) {
        // Let the next launcher start without finding our semaphore.
        if (g_semaphore)
            CloseHandle(g_semaphore);
        g_semaphore = NULL;
        if (isInstalled()) {
            char launcher[PATH_SIZE];
            if (joinPath(launcher, installDir, whirl().installedLauncher))
                launchProgram(launcher);
        } else {
            relaunchFromTempCopy();
        }
        return;
    }

    if (isInstalled()) {
        while (installerWindowOpen())
            pauseShowingFrame(INSTALLER_LOOK_MS);
        char copy[PATH_SIZE];
        if (tempCopyPath(copy) && fileExists(copy, 1))
            DeleteFileA(copy);
    }
    Title::run();
}

int TwoDiscTitle::install()
{
    // Disc 1 is looked for by its marker; the setup program is started from
    // the drive where the marker was found.
    char path[PATH_SIZE];
    copyString(path, sizeof(path), whirl().discMarkerPath);
    if (!waitForDisc(IDD_INSTALL_FIRST, IDD_INSTALL_RETRY, path))
        return 0;
    copyString(path + 3, sizeof(path) - 3, whirl().setupProgram);
    return launchProgram(path);
}

int TwoDiscTitle::play()
{
    return playFromInstallDir(whirl().gameExe, whirl().secondDiscMarkerPath);
}

void relaunchFromTempCopy()
{
    char ownPath[PATH_SIZE];
    DWORD length = GetModuleFileNameA(g_instance, ownPath, sizeof(ownPath));
    if (length == 0 || length >= sizeof(ownPath))
        return;
    char copy[PATH_SIZE];
    if (!tempCopyPath(copy))
        return;
    if (!CopyFileA(ownPath, copy, FALSE))
        return;
    SetFileAttributesA(copy, FILE_ATTRIBUTE_NORMAL);

    STARTUPINFOA startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    char windowsDir[PATH_SIZE];
    GetWindowsDirectoryA(windowsDir, sizeof(windowsDir));
    char commandLine[PATH_SIZE];
    copyString(commandLine, sizeof(commandLine), copy);
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof(process));
    CreateProcessA(copy, commandLine, NULL, NULL, FALSE, 0, NULL, windowsDir,
                   &startup, &process);
}
