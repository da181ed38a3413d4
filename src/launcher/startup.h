#pragma once
#include <windows.h>

// Recognises the title from the files in dir (ending in '\'): the disc
// markers when onCd, the hard-disk executables otherwise, then the temporary
// copy's name. Returns 0..8, or 9 when nothing matched.
int detectTitle(int onCd, const char *dir);

// The launcher's whole life: recognise, check, run, clean up. Returns 0.
int launcherMain(HINSTANCE instance);
