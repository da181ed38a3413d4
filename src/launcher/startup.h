#pragma once
#include <windows.h>

// The launcher's whole life: recognise, check, run, clean up. Returns 0.
int launcherMain(HINSTANCE instance);
