#include <windows.h>
#include <string.h>
#include "launcher/globals.h"
#include "launcher/paths.h"
#include "launcher/system.h"

int copyString(char *dst, size_t size, const char *src)
{
    size_t length = lstrlenA(src);
    if (length >= size) {
        if (size > 0)
            dst[0] = '\0';
        return 0;
    }
    memcpy(dst, src, length + 1);
    return 1;
}

int appendString(char *dst, size_t size, const char *src)
{
    size_t used = lstrlenA(dst);
    size_t length = lstrlenA(src);
    if (used + length >= size)
        return 0;
    memcpy(dst + used, src, length + 1);
    return 1;
}

void cutAfterLastBackslash(char *path)
{
    char *cut = NULL;
    for (char *p = path; *p; ++p) {
        if (*p == '\\' && p[1] != '\0')
            cut = p + 1;
    }
    if (cut)
        *cut = '\0';
}

char *joinPath(char *dst, const char *first, const char *second)
{
    if (!copyString(dst, PATH_SIZE, first) || !appendString(dst, PATH_SIZE, second)) {
        dst[0] = '\0';
        return NULL;
    }
    return dst;
}

static int attributesReadable(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

static int searchDrives(char *path, int exactOnly)
{
    if (attributesReadable(path))
        return 1;
    if (exactOnly)
        return 0;
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        path[0] = letter;
        if (attributesReadable(path))
            return 1;
    }
    return 0;
}

typedef BOOL(WINAPI *SetThreadErrorModeFn)(DWORD, DWORD *);

// Drives are looked at without Windows' own "There is no disk in the
// drive" boxes. Where Windows has a per-thread error mode (7 and later) it
// is used; on older systems the process's mode, which the programs the
// launcher starts would inherit, is changed only for the search.
int fileExists(char *path, int exactOnly)
{
    static SetThreadErrorModeFn setThreadErrorMode;
    static int looked;
    if (!looked) {
        looked = 1;
        setThreadErrorMode =
            procedureOf<SetThreadErrorModeFn>(GetModuleHandleA("kernel32.dll"), "SetThreadErrorMode");
    }
    DWORD threadMode;
    if (setThreadErrorMode && setThreadErrorMode(SEM_FAILCRITICALERRORS, &threadMode)) {
        int found = searchDrives(path, exactOnly);
        setThreadErrorMode(threadMode, NULL);
        return found;
    }
    UINT processMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    SetErrorMode(processMode | SEM_FAILCRITICALERRORS);
    int found = searchDrives(path, exactOnly);
    SetErrorMode(processMode);
    return found;
}

int folderHolds(const char *dir, const char *name)
{
    char candidate[PATH_SIZE];
    return joinPath(candidate, dir, name) && fileExists(candidate, 1);
}

int isAbsolutePath(const char *path)
{
    if (path[0] == '\\' && path[1] == '\\')
        return 1;
    char letter = path[0] | 0x20;
    return letter >= 'a' && letter <= 'z' && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

int isCdRomDrive(const char *path)
{
    char drive[3] = { path[0], path[0] ? path[1] : '\0', '\0' };
    return GetDriveTypeA(drive) == DRIVE_CDROM;
}
