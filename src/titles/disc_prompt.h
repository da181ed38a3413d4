// Asking for a disc and waiting for it to appear in some drive.
#pragma once
#include <windows.h>

// Milliseconds from start to now on the multimedia counter, right across
// the counter's wrap.
DWORD elapsedBetween(DWORD start, DWORD now);
DWORD elapsedSince(DWORD start);

INT_PTR showDiscDialog(int dialogId);
// 1 when path exists on some drive (its first character then names that
// drive), 0 when the user gave up.
int waitForDisc(int firstDialogId, int retryDialogId, char *path);
INT_PTR CALLBACK discDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
