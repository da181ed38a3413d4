/* Stand-in for the programs the launcher starts or looks for, copied under
 * their names. Every run appends "<own path> TAB <command line> TAB <current
 * folder>" to the file QUIB_STANDIN_LOG names. With a class and a title as
 * arguments it keeps such a window open, as a running game or installer does.
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show)
{
    char self[MAX_PATH] = "", folder[MAX_PATH] = "", log[MAX_PATH] = "";
    (void)previous, (void)arguments, (void)show;
    GetModuleFileNameA(NULL, self, sizeof self);
    GetCurrentDirectoryA(sizeof folder, folder);
    if (GetEnvironmentVariableA("QUIB_STANDIN_LOG", log, sizeof log)) {
        /* Stand-ins started together share the log: one write per line. */
        char line[3 * MAX_PATH + 1024];
        DWORD length = (DWORD)snprintf(line, sizeof line, "%s\t%s\t%s\n", self, GetCommandLineA(), folder), written;
        HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
        WriteFile(file, line, length, &written, NULL);
        CloseHandle(file);
    }
    if (__argc != 3)
        return 0;
    WNDCLASSA windowClass = { .lpfnWndProc = DefWindowProcA, .hInstance = instance, .lpszClassName = __argv[1] };
    RegisterClassA(&windowClass);
    /* Small, in the bottom-left corner, off the menu picture. */
    ShowWindow(CreateWindowExA(WS_EX_TOOLWINDOW, __argv[1], __argv[2], WS_POPUP | WS_BORDER, 0,
                               GetSystemMetrics(SM_CYSCREEN) - 24, 48, 24, NULL, NULL, instance, NULL),
               SW_SHOWNOACTIVATE);   /* the menu keeps the keyboard */
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
