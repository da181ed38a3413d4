/* Stand-in for the programs the launcher starts or looks for (setup
 * programs, games, the installed launcher). Tests copy it under any name.
 *
 * Every run appends one line to the file named by QUIB_STANDIN_LOG:
 *     <own full path> TAB <command line, verbatim> TAB <current directory>
 *
 * When "<own full path>.window" exists and holds "class|title" (optionally
 * followed by "|hidden"), the stand-in registers that class, opens a
 * top-level window of that class and title and keeps it until the window
 * is closed or 120 seconds have passed. Otherwise it exits at once.
 * The exit code is always 0.
 */
#include <windows.h>
#include <string.h>

#define LINE_SIZE 2048
#define LIFETIME_MS 120000
#define LIFETIME_TIMER 1

static void appendLog(void)
{
    char logPath[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("QUIB_STANDIN_LOG", logPath, sizeof logPath);
    if (n == 0 || n >= sizeof logPath)
        return;

    char self[MAX_PATH] = "";
    char cwd[MAX_PATH] = "";
    GetModuleFileNameA(NULL, self, sizeof self);
    self[sizeof self - 1] = '\0';
    GetCurrentDirectoryA(sizeof cwd, cwd);
    const char *cmd = GetCommandLineA();

    char line[LINE_SIZE];
    int len = wsprintfA(line, "%s\t", self);
    int cmdLen = lstrlenA(cmd);
    int cwdLen = lstrlenA(cwd);
    if (len + cmdLen + cwdLen + 3 > LINE_SIZE)
        cmdLen = LINE_SIZE - len - cwdLen - 3;
    memcpy(line + len, cmd, cmdLen);
    len += cmdLen;
    line[len++] = '\t';
    memcpy(line + len, cwd, cwdLen);
    len += cwdLen;
    line[len++] = '\n';

    /* Several stand-ins may append to the same log; retry while another
     * one holds it open. */
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ,
                                  NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(file, line, (DWORD)len, &written, NULL);
            CloseHandle(file);
            return;
        }
        Sleep(20);
    }
}

/* Reads "class|title[|hidden]" from the companion file. Returns 1 when a
 * window is wanted. */
static int readWindowSpec(char *cls, char *title, int *hidden)
{
    char path[MAX_PATH + 8];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    path[MAX_PATH - 1] = '\0';
    lstrcatA(path, ".window");

    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    char text[600];
    DWORD got = 0;
    ReadFile(file, text, sizeof text - 1, &got, NULL);
    CloseHandle(file);
    text[got] = '\0';
    while (got > 0 && (text[got - 1] == '\n' || text[got - 1] == '\r'))
        text[--got] = '\0';

    char *bar = strchr(text, '|');
    if (!bar)
        return 0;
    *bar = '\0';
    char *rest = bar + 1;
    char *bar2 = strchr(rest, '|');
    *hidden = 0;
    if (bar2) {
        *bar2 = '\0';
        *hidden = lstrcmpiA(bar2 + 1, "hidden") == 0;
    }
    lstrcpynA(cls, text, 256);
    lstrcpynA(title, rest, 256);
    return cls[0] != '\0';
}

static LRESULT CALLBACK standinWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == LIFETIME_TIMER)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void holdWindow(HINSTANCE instance, const char *cls, const char *title, int hidden)
{
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = standinWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);

    /* Small and out of the way in the bottom-left corner, so that it does
     * not cover the middle of the screen where the menu picture lies. */
    int screenH = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, cls, title, WS_POPUP | WS_BORDER,
                                  0, screenH - 24, 48, 24, NULL, NULL, instance, NULL);
    if (!window)
        return;
    if (!hidden)
        ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, LIFETIME_TIMER, LIFETIME_MS, NULL);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int show)
{
    (void)previous;
    (void)cmdLine;
    (void)show;
    appendLog();

    char cls[256], title[256];
    int hidden = 0;
    if (readWindowSpec(cls, title, &hidden))
        holdWindow(instance, cls, title, hidden);
    return 0;
}
