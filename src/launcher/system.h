// What the launcher needs of Windows beyond plain calls: pauses that show
// what was drawn, DLLs that can only come from the system directory, and
// the multimedia millisecond counter.
#pragma once
#include <windows.h>

// Blocks the thread for ms milliseconds, with what it drew on the screen
// for the whole pause. Nothing is dispatched: input that arrives waits in
// the queue until the pause is over.
void pauseShowingFrame(DWORD ms);

// Loads a DLL of the system directory by its full path (NULL on failure),
// so that no file of the same name beside the launcher is ever used.
HMODULE loadSystemLibrary(const char *name);

// timeGetTime of the system's winmm.dll, loaded the first time it is
// needed; GetTickCount when winmm cannot be loaded.
DWORD millisecondCounter();
