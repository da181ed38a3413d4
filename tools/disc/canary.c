/* A winmm.dll planted beside the launcher, as anyone could put one on a
 * disc or into a game folder. On the test discs for real Windows it says in
 * a message box that it was loaded; in the whole-program tests
 * (QUIB_STANDIN_LOG set) it notes that in the stand-in log. It serves the
 * one function the launcher uses. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <stdio.h>

BOOL WINAPI DllMain(HINSTANCE dll, DWORD reason, LPVOID reserved)
{
    char log[MAX_PATH], self[MAX_PATH], planted[MAX_PATH], text[3 * MAX_PATH];
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    GetModuleFileNameA(NULL, self, sizeof self);
    if (GetEnvironmentVariableA("QUIB_STANDIN_LOG", log, sizeof log)) {
        FILE *file = fopen(log, "a");
        if (file)
            fprintf(file, "planted winmm.dll\t%s\t\n", self), fclose(file);
        return TRUE;
    }
    /* Windows' rules for DLLs advise against user32 calls in DllMain: they
     * run under the loader lock and may need DLLs that are not yet set up.
     * A canary may break that rule. It must never be loaded at all; if it
     * is, the box stops the program at the moment of the load, before it
     * can go on, and cannot be missed. A box shown later, from a thread,
     * would vanish unseen when the launcher ends right after starting a
     * game. At worst the program hangs with the box on the screen, which
     * still tells what happened. */
    GetModuleFileNameA(dll, planted, sizeof planted);
    snprintf(text, sizeof text, "%s was loaded by %s.\n\nNothing should ever load this file. "
             "Please note what you did just before this box appeared.",
             planted, self);
    MessageBoxA(NULL, text, "Planted winmm.dll", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST);
    return TRUE;
}

DWORD WINAPI __declspec(dllexport) timeGetTime(void)
{
    return GetTickCount();
}
