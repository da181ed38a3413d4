#include <windows.h>
#include <string.h>
#include "launcher/globals.h"
#include "launcher/paths.h"

int copyString(char *dst, size_t size, const char *src)
{
    size_t length = strlen(src);
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
    size_t used = strlen(dst);
    size_t length = strlen(src);
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

int fileExists(char *path, int exactOnly)
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

int isCdRomDrive(const char *path)
{
    char drive[3] = { path[0], path[0] ? path[1] : '\0', '\0' };
    return GetDriveTypeA(drive) == DRIVE_CDROM;
}
