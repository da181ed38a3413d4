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

// A function of a loaded DLL (NULL when the DLL is not loaded or lacks it),
// as the type it is called through. GetProcAddress returns a generic
// function pointer; going through void (*)() converts it without warnings.
template <typename Function>
Function procedureOf(HMODULE module, const char *name)
{
    return module ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                  : NULL;
}

// timeGetTime of the system's winmm.dll, loaded the first time it is
// needed; GetTickCount when winmm cannot be loaded.
DWORD millisecondCounter();
