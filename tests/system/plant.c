/* A winmm.dll planted beside the launcher, as anyone could put one on a
 * disc or into a game folder: it notes in the stand-in log that it was
 * loaded, and serves the one function the launcher uses. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <stdio.h>

BOOL WINAPI DllMain(HINSTANCE dll, DWORD reason, LPVOID reserved)
{
    char log[MAX_PATH], self[MAX_PATH];
    (void)dll, (void)reserved;
    if (reason == DLL_PROCESS_ATTACH && GetEnvironmentVariableA("QUIB_STANDIN_LOG", log, sizeof log)) {
        FILE *file = fopen(log, "a");
        GetModuleFileNameA(NULL, self, sizeof self);
        if (file)
            fprintf(file, "planted winmm.dll\t%s\t\n", self), fclose(file);
    }
    return TRUE;
}

DWORD WINAPI __declspec(dllexport) timeGetTime(void)
{
    return GetTickCount();
}
