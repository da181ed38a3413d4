#include "launcher/globals.h"

HINSTANCE g_instance;
char      g_ownDir[PATH_SIZE];
Title    *g_title;
HANDLE    g_semaphore;
HWND      g_mainWindow;
HPALETTE  g_palette;
HFONT     g_infoFont;
