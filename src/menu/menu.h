// The full-screen menu window.
#pragma once
#include <windows.h>

LRESULT CALLBACK menuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The information dialog template of each product box, by HotSpot index.
extern const WORD infoDialogIds[8];
INT_PTR CALLBACK infoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
