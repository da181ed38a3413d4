#include <windows.h>
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

// The copy's path, the Windows directory (in windowsDir, empty when it
// does not fit) + "\" + "~QBX4.tmp"; 0 when either does not fit.
static int tempCopyPath(char *path, char *windowsDir)
{
    UINT length = GetWindowsDirectoryA(windowsDir, PATH_SIZE);
    if (length == 0 || length >= PATH_SIZE) {
        windowsDir[0] = '\0';
        return 0;
    }
    return joinPath(path, windowsDir, "\\") && appendString(path, PATH_SIZE, TEMP_COPY_NAME);
}

// Copies the launcher to the Windows directory as "~QBX4.tmp" and starts
// the copy there, with its own path as its command line and the Windows
// directory as its current directory (the setup program it starts inherits
// it). A copy that cannot be made is reported as a failure to run the
// copy: its path tells the user where the launcher could not write.
static void relaunchFromTempCopy()
{
    char ownPath[PATH_SIZE], copy[PATH_SIZE], windowsDir[PATH_SIZE];
    DWORD length = GetModuleFileNameA(g_instance, ownPath, sizeof(ownPath));
    if (length == 0 || length >= sizeof(ownPath))
        return;   // start-up has found the launcher's own path, so it fits
    if (!tempCopyPath(copy, windowsDir)) {
        reportLaunchFailure(ERROR_FILENAME_EXCED_RANGE, windowsDir, "");
        return;
    }
    if (!CopyFileA(ownPath, copy, FALSE)) {
        reportLaunchFailure(GetLastError(), copy, "");
        return;
    }
    SetFileAttributesA(copy, FILE_ATTRIBUTE_NORMAL);
    launchProgram(copy, copy, windowsDir);
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
        char copy[PATH_SIZE], windowsDir[PATH_SIZE];
        if (tempCopyPath(copy, windowsDir) && fileExists(copy, 1))
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
