// Launcher-wide state. Each global is set once, by the code named beside it.
#pragma once
#include <windows.h>

class Title;

enum { PATH_SIZE = 260 };   // every path buffer of the launcher

extern HINSTANCE g_instance;        // start-up: the launcher's own module
extern char      g_ownDir[PATH_SIZE]; // start-up: own directory, ends in '\'
extern Title    *g_title;           // start-up: the one Title object
extern HANDLE    g_semaphore;       // isAlreadyRunning: "Quib AutoPlay"
extern HWND      g_mainWindow;      // menu run: owner of dialogs and boxes
extern HPALETTE  g_palette;         // menu run: palette of the menu picture
extern HFONT     g_infoFont;        // open information dialog's font, or NULL
