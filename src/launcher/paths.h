// Bounded string and path helpers. Every 260-character buffer of the
// launcher is filled through these, never by unchecked copies.
#pragma once
#include <stddef.h>

// Copies src into dst (size bytes). Returns 1 when it fit; otherwise dst
// holds the empty string and the result is 0.
int copyString(char *dst, size_t size, const char *src);
// Appends src to the string in dst (size bytes). Returns 1 when it fit;
// otherwise dst is left unchanged and the result is 0.
int appendString(char *dst, size_t size, const char *src);

// Cuts a path in place just behind its last backslash that has at least one
// character after it.
void cutAfterLastBackslash(char *path);
// dst (260 characters) = first + second. Returns dst, or NULL when the
// result would not fit (dst then holds the empty string).
char *joinPath(char *dst, const char *first, const char *second);
// 1 when the path's attributes can be read. Without exactOnly the first
// character is replaced by each drive letter C..Z in turn and keeps the
// letter where the path was found ("Z" when nowhere).
int fileExists(char *path, int exactOnly);
// 1 when dir (ending in '\') + name exists; a name that does not fit the
// 260 characters counts as absent.
int folderHolds(const char *dir, const char *name);
// 1 for "X:\..." (or "X:/...") and for "\\server\share...".
int isAbsolutePath(const char *path);
// 1 when the drive of the path (its first two characters) is a CD-ROM drive.
int isCdRomDrive(const char *path);
