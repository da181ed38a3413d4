/* What the tests cannot see through X (usage at the end of main):
 *   list     top-level windows and their controls, as JSON
 *   hold     a mutex or a file (open without sharing) held until the probe
 *            is ended; prints whether it existed
 *   cursors  the standard arrow and hourglass over two 40 x 40 windows at
 *            the screen's top-left corner
 */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static void printString(const char *s)
{
    putchar('"');
    for (const unsigned char *p = (const unsigned char *)s; *p; ++p)
        printf(*p == '"' || *p == '\\' ? "\\%c" : *p < 0x20 || *p >= 0x80 ? "\\u%04x" : "%c", *p);
    putchar('"');
}

struct List { int count, topLevel; };

/* The window's class, text, rectangle and id, and the base name of its
 * program; then, for a top-level window, its owner and its controls. */
static BOOL CALLBACK describe(HWND window, LPARAM param)
{
    struct List *list = (struct List *)param, controls = { 0, 0 };
    char cls[64] = "", text[512] = "", exe[MAX_PATH] = "";
    RECT r;
    DWORD pid = 0, size = sizeof exe;
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, text, sizeof text);
    GetWindowRect(window, &r);
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process && QueryFullProcessImageNameA(process, 0, exe, &size))
        memmove(exe, strrchr(exe, '\\') ? strrchr(exe, '\\') + 1 : exe, strlen(exe) + 1);
    if (process)
        CloseHandle(process);
    printf("%s{\"hwnd\":%lu,\"id\":%d,\"visible\":%d,\"rect\":[%ld,%ld,%ld,%ld],\"exe\":",
           list->count++ ? "," : "", (unsigned long)(ULONG_PTR)window, GetDlgCtrlID(window),
           IsWindowVisible(window) != 0, r.left, r.top, r.right, r.bottom);
    printString(exe);
    printf(",\"class\":");
    printString(cls);
    printf(",\"text\":");
    printString(text);
    if (list->topLevel) {
        printf(",\"owner\":%lu,\"children\":[", (unsigned long)(ULONG_PTR)GetWindow(window, GW_OWNER));
        EnumChildWindows(window, describe, (LPARAM)&controls);
        printf("]");
    }
    printf("}\n");
    return TRUE;
}

int main(int argc, char **argv)
{
    if (argc == 2 && !strcmp(argv[1], "list")) {
        struct List windows = { 0, 1 };
        printf("[");
        EnumWindows(describe, (LPARAM)&windows);
        printf("]\n");
        return 0;
    }
    if (argc == 4 && !strcmp(argv[1], "hold")) {
        HANDLE held = !strcmp(argv[2], "mutex") ? CreateMutexA(NULL, TRUE, argv[3])
                    : CreateFileA(argv[3], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, 0, NULL);
        printf("{\"held\":%d,\"existed\":%d}\n", held && held != INVALID_HANDLE_VALUE,
               GetLastError() == ERROR_ALREADY_EXISTS);
        fflush(stdout);
        Sleep(INFINITE);
    }
    if (argc == 2 && !strcmp(argv[1], "cursors")) {
        static const char *const classes[] = { "QuibProbeArrow", "QuibProbeHourglass" };
        for (int i = 0; i < 2; i++) {
            WNDCLASSA windowClass = { .lpfnWndProc = DefWindowProcA, .lpszClassName = classes[i],
                                      .hCursor = LoadCursorA(NULL, i ? IDC_WAIT : IDC_ARROW) };
            RegisterClassA(&windowClass);
            ShowWindow(CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, classes[i], "", WS_POPUP, 40 * i, 0, 40, 40,
                                       NULL, NULL, NULL, NULL), SW_SHOWNOACTIVATE);
        }
        MSG message;
        while (GetMessageA(&message, NULL, 0, 0) > 0)
            DispatchMessageA(&message);
        return 0;
    }
    fprintf(stderr, "usage: probe list | probe hold mutex|file NAME | probe cursors\n");
    return 2;
}
