/* Stand-in for the programs the launcher starts or looks for (setup
 * programs, games, the installed launcher). Tests copy it under any name.
 *
 * Every run appends one line to the file named by QUIB_STANDIN_LOG:
 *     <own full path> TAB <command line, verbatim> TAB <current directory>
 *
 * When "<own full path>.window" exists and holds "class|title", the
 * stand-in opens a top-level window of that class and title and keeps it
 * until the window is closed or 120 seconds have passed. Otherwise it
 * exits at once. The exit code is always 0.
 */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static LRESULT CALLBACK standinWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY || message == WM_TIMER) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int show)
{
    (void)previous;
    (void)cmdLine;
    (void)show;
    char self[MAX_PATH] = "", cwd[MAX_PATH] = "", logPath[MAX_PATH] = "", line[4096];
    GetModuleFileNameA(NULL, self, sizeof self);
    GetCurrentDirectoryA(sizeof cwd, cwd);
    DWORD logLen = GetEnvironmentVariableA("QUIB_STANDIN_LOG", logPath, sizeof logPath);
    if (logLen > 0 && logLen < sizeof logPath) {
        /* Stand-ins started together append to the same log: share it, and
         * write each line at once. */
        snprintf(line, sizeof line, "%s\t%s\t%s\n", self, GetCommandLineA(), cwd);
        HANDLE log = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        DWORD written;
        WriteFile(log, line, (DWORD)strlen(line), &written, NULL);
        CloseHandle(log);
    }

    strcat(self, ".window");
    FILE *spec = fopen(self, "r");
    if (!spec || !fgets(line, sizeof line, spec))
        return 0;
    line[strcspn(line, "\r\n")] = '\0';
    char *title = strchr(line, '|');
    if (!title)
        return 0;
    *title++ = '\0';

    WNDCLASSA wc = {.lpfnWndProc = standinWindowProc, .hInstance = instance,
                    .hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW),
                    .hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH), .lpszClassName = line};
    RegisterClassA(&wc);
    /* Small and in the bottom-left corner, off the menu picture. */
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, line, title, WS_POPUP | WS_BORDER,
                                  0, GetSystemMetrics(SM_CYSCREEN) - 24, 48, 24, NULL, NULL,
                                  instance, NULL);
    if (!window)
        return 0;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, 1, 120000, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
