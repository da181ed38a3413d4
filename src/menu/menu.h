// The full-screen menu window.
#pragma once
#include <windows.h>

// Class of the menu window; other launchers look for it.
extern const char MENU_CLASS[];

LRESULT CALLBACK menuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Keys pressed on the menu window (virtual-key code of WM_KEYDOWN).
void handleMenuKey(WPARAM key);
// Opens the information dialog of a product box (HotSpot index 0..7),
// modal over the menu window.
void openInfoDialog(int hotSpot);
INT_PTR CALLBACK infoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
