/* Probe: looks at and drives windows of other processes, for the
 * whole-program tests. Runs under Wine as a console program and prints
 * one JSON value on stdout per call. Handles and numbers on the command
 * line may be decimal or 0x-hex.
 *
 *   list [pid]                      top-level windows (hidden and owned too)
 *   text <hwnd>                     window text
 *   click <hwnd> <id>               posts WM_COMMAND(id, BN_CLICKED) to hwnd
 *   post <hwnd> <msg> <w> <l>       PostMessage
 *   send <hwnd> <msg> <w> <l>       SendMessageTimeout (2 s)
 *   key <hwnd> <vk>                 posts WM_KEYDOWN and WM_KEYUP
 *   cursorpos <x> <y>               SetCursorPos
 *   cursor                          current cursor (GetCursorInfo)
 *   pixels <x> <y> <w> <h> <file>   screen area into a 24-bit BMP file
 *   isgdi <handle>                  GetObjectType
 *   wait <class|-> <title|-> <ms>   waits for a top-level window
 *   wait-gone <hwnd> <ms>           waits until a window is destroyed
 *   run <exe> <cwd|-> <ms>          starts a program, waits for its end
 *   hold-semaphore <name> <s>       creates a named semaphore, keeps it
 *   semaphore <name>                does a semaphore of that name exist
 *   reg-set <key> <name|-> <SZ|EXPAND_SZ> <data>   under HKLM
 *   reg-delete <key> [name]         a value, or the key and its subkeys
 *   drivetype <letter>              GetDriveTypeA
 *   screen                          screen size
 *   procs                           running processes: pid, parent, exe
 *   kill <pid>...                   TerminateProcess each of them
 */
#include <windows.h>
#include <tlhelp32.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void printJsonString(const char *s)
{
    putchar('"');
    for (const unsigned char *p = (const unsigned char *)s; *p; ++p) {
        if (*p == '"' || *p == '\\')
            printf("\\%c", *p);
        else if (*p < 0x20)
            printf("\\u%04x", *p);
        else if (*p < 0x80)
            putchar(*p);
        else
            printf("\\u%04x", *p);   /* ANSI code page 1252 is close enough */
    }
    putchar('"');
}

static unsigned long long parseNumber(const char *s)
{
    return strtoull(s, NULL, 0);
}

static HWND parseWindow(const char *s)
{
    return (HWND)(ULONG_PTR)parseNumber(s);
}

static void printRect(const char *name, RECT r)
{
    printf("\"%s\":[%ld,%ld,%ld,%ld]", name, r.left, r.top, r.right, r.bottom);
}

static void printWindowBasics(HWND w)
{
    char cls[256] = "", text[1024] = "";
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, text, sizeof text);
    printf("\"hwnd\":%llu,\"class\":", (unsigned long long)(ULONG_PTR)w);
    printJsonString(cls);
    printf(",\"text\":");
    printJsonString(text);
    RECT r;
    GetWindowRect(w, &r);
    printf(",");
    printRect("rect", r);
    printf(",\"visible\":%s", IsWindowVisible(w) ? "true" : "false");
}

typedef struct {
    int first;
} ChildState;

static BOOL CALLBACK printChild(HWND child, LPARAM lParam)
{
    ChildState *state = (ChildState *)lParam;
    if (!state->first)
        printf(",");
    state->first = 0;
    printf("{\"id\":%d,", GetDlgCtrlID(child));
    printWindowBasics(child);
    printf(",\"parent\":%llu}", (unsigned long long)(ULONG_PTR)GetParent(child));
    return TRUE;
}

typedef struct {
    DWORD pid;
    int first;
} ListState;

static BOOL CALLBACK printTopLevel(HWND w, LPARAM lParam)
{
    ListState *state = (ListState *)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (state->pid && pid != state->pid)
        return TRUE;
    if (!state->first)
        printf(",\n");
    state->first = 0;
    printf("{");
    printWindowBasics(w);
    RECT client;
    GetClientRect(w, &client);
    printf(",\"pid\":%lu,\"owner\":%llu,", pid,
           (unsigned long long)(ULONG_PTR)GetWindow(w, GW_OWNER));
    printRect("client", client);
    printf(",\"enabled\":%s,\"children\":[", IsWindowEnabled(w) ? "true" : "false");
    ChildState children = {1};
    EnumChildWindows(w, printChild, (LPARAM)&children);
    printf("]}");
    return TRUE;
}

static int cmdList(int argc, char **argv)
{
    ListState state = {argc > 0 ? (DWORD)parseNumber(argv[0]) : 0, 1};
    printf("[");
    EnumWindows(printTopLevel, (LPARAM)&state);
    printf("]\n");
    return 0;
}

static int cmdText(char **argv)
{
    char text[4096] = "";
    HWND w = parseWindow(argv[0]);
    if (!IsWindow(w)) {
        printf("null\n");
        return 1;
    }
    GetWindowTextA(w, text, sizeof text);
    printJsonString(text);
    printf("\n");
    return 0;
}

static int cmdClick(char **argv)
{
    HWND dialog = parseWindow(argv[0]);
    int id = (int)parseNumber(argv[1]);
    HWND control = GetDlgItem(dialog, id);
    BOOL ok = PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)control);
    printf("{\"posted\":%s}\n", ok ? "true" : "false");
    return ok ? 0 : 1;
}

static int cmdPost(char **argv)
{
    BOOL ok = PostMessageA(parseWindow(argv[0]), (UINT)parseNumber(argv[1]),
                           (WPARAM)parseNumber(argv[2]), (LPARAM)parseNumber(argv[3]));
    printf("{\"posted\":%s}\n", ok ? "true" : "false");
    return ok ? 0 : 1;
}

static int cmdSend(char **argv)
{
    DWORD_PTR result = 0;
    LRESULT ok = SendMessageTimeoutA(parseWindow(argv[0]), (UINT)parseNumber(argv[1]),
                                     (WPARAM)parseNumber(argv[2]), (LPARAM)parseNumber(argv[3]),
                                     SMTO_ABORTIFHUNG, 2000, &result);
    printf("{\"sent\":%s,\"result\":%lld}\n", ok ? "true" : "false", (long long)result);
    return ok ? 0 : 1;
}

static int cmdKey(char **argv)
{
    HWND w = parseWindow(argv[0]);
    UINT vk = (UINT)parseNumber(argv[1]);
    UINT scan = MapVirtualKeyA(vk, 0);
    BOOL down = PostMessageA(w, WM_KEYDOWN, vk, 1 | (scan << 16));
    BOOL up = PostMessageA(w, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
    printf("{\"posted\":%s}\n", down && up ? "true" : "false");
    return down && up ? 0 : 1;
}

static int cmdCursorPos(char **argv)
{
    BOOL ok = SetCursorPos((int)parseNumber(argv[0]), (int)parseNumber(argv[1]));
    POINT p;
    GetCursorPos(&p);
    printf("{\"ok\":%s,\"x\":%ld,\"y\":%ld}\n", ok ? "true" : "false", p.x, p.y);
    return 0;
}

static int cmdCursor(void)
{
    CURSORINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    BOOL ok = GetCursorInfo(&info);
    HCURSOR arrow = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    printf("{\"ok\":%s,\"handle\":%llu,\"arrow\":%llu,\"is_arrow\":%s,\"showing\":%s,"
           "\"x\":%ld,\"y\":%ld",
           ok ? "true" : "false", (unsigned long long)(ULONG_PTR)info.hCursor,
           (unsigned long long)(ULONG_PTR)arrow, info.hCursor == arrow ? "true" : "false",
           (info.flags & CURSOR_SHOWING) ? "true" : "false", info.ptScreenPos.x,
           info.ptScreenPos.y);
    ICONINFO icon;
    if (info.hCursor && GetIconInfo(info.hCursor, &icon)) {
        BITMAP bm;
        memset(&bm, 0, sizeof bm);
        GetObjectA(icon.hbmMask, sizeof bm, &bm);
        printf(",\"hotspot\":[%lu,%lu],\"size\":[%ld,%ld]", icon.xHotspot, icon.yHotspot,
               bm.bmWidth, icon.hbmColor ? bm.bmHeight : bm.bmHeight / 2);
        if (icon.hbmMask)
            DeleteObject(icon.hbmMask);
        if (icon.hbmColor)
            DeleteObject(icon.hbmColor);
    }
    printf("}\n");
    return 0;
}

static int cmdPixels(char **argv)
{
    int x = (int)parseNumber(argv[0]), y = (int)parseNumber(argv[1]);
    int w = (int)parseNumber(argv[2]), h = (int)parseNumber(argv[3]);
    const char *out = argv[4];
    if (w <= 0 || h <= 0) {
        printf("{\"error\":\"empty area\"}\n");
        return 1;
    }

    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;   /* bottom-up, as a BMP file stores it */
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    void *bits = NULL;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BOOL ok = BitBlt(mem, 0, 0, w, h, screen, x, y, SRCCOPY);
    GdiFlush();

    DWORD stride = ((DWORD)w * 3 + 3) & ~3u;
    DWORD imageSize = stride * (DWORD)h;
    BITMAPFILEHEADER fh;
    memset(&fh, 0, sizeof fh);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + imageSize;
    bi.bmiHeader.biSizeImage = imageSize;

    int written = 0;
    FILE *f = fopen(out, "wb");
    if (f) {
        written = fwrite(&fh, sizeof fh, 1, f) == 1 &&
                  fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
                  fwrite(bits, 1, imageSize, f) == imageSize;
        fclose(f);
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    printf("{\"ok\":%s,\"written\":%s}\n", ok ? "true" : "false", written ? "true" : "false");
    return ok && written ? 0 : 1;
}

static int cmdIsGdi(char **argv)
{
    DWORD type = GetObjectType((HGDIOBJ)(ULONG_PTR)parseNumber(argv[0]));
    printf("{\"type\":%lu}\n", type);
    return 0;
}

static const char *dashIsNull(const char *s)
{
    return strcmp(s, "-") == 0 ? NULL : s;
}

static int cmdWait(char **argv)
{
    const char *cls = dashIsNull(argv[0]);
    const char *title = dashIsNull(argv[1]);
    DWORD limit = (DWORD)parseNumber(argv[2]);
    DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowA(cls, title);
        if (w) {
            printf("{\"hwnd\":%llu}\n", (unsigned long long)(ULONG_PTR)w);
            return 0;
        }
        if (GetTickCount() - start >= limit)
            break;
        Sleep(25);
    }
    printf("{\"hwnd\":null}\n");
    return 1;
}

static int cmdWaitGone(char **argv)
{
    HWND w = parseWindow(argv[0]);
    DWORD limit = (DWORD)parseNumber(argv[1]);
    DWORD start = GetTickCount();
    while (IsWindow(w)) {
        if (GetTickCount() - start >= limit) {
            printf("{\"gone\":false}\n");
            return 1;
        }
        Sleep(25);
    }
    printf("{\"gone\":true}\n");
    return 0;
}

/* Starts a program by its full path with no command line (as the
 * launcher itself is started from a disc), prints its pid at once and its
 * exit code when it ends. */
static int cmdRun(char **argv)
{
    STARTUPINFOA si;
    PROCESS_INFORMATION pi;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    const char *cwd = dashIsNull(argv[1]);
    DWORD limit = (DWORD)parseNumber(argv[2]);
    if (!CreateProcessA(argv[0], NULL, NULL, NULL, FALSE, 0, NULL, cwd, &si, &pi)) {
        printf("{\"error\":%lu}\n", GetLastError());
        return 1;
    }
    printf("{\"pid\":%lu}\n", pi.dwProcessId);
    fflush(stdout);
    DWORD waited = WaitForSingleObject(pi.hProcess, limit);
    if (waited != WAIT_OBJECT_0) {
        printf("{\"timeout\":true}\n");
        return 1;
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    printf("{\"exit\":%lu}\n", code);
    return 0;
}

static int cmdHoldSemaphore(char **argv)
{
    HANDLE s = CreateSemaphoreA(NULL, 1, 1, argv[0]);
    DWORD error = GetLastError();
    printf("{\"ok\":%s,\"existed\":%s}\n", s ? "true" : "false",
           error == ERROR_ALREADY_EXISTS ? "true" : "false");
    fflush(stdout);
    Sleep((DWORD)parseNumber(argv[1]) * 1000);
    return 0;
}

static int cmdSemaphore(char **argv)
{
    HANDLE s = OpenSemaphoreA(SYNCHRONIZE, FALSE, argv[0]);
    printf("{\"exists\":%s}\n", s ? "true" : "false");
    if (s)
        CloseHandle(s);
    return 0;
}

static const char *skipHklm(const char *key)
{
    static const char *prefixes[] = {"HKLM\\", "HKEY_LOCAL_MACHINE\\"};
    for (int i = 0; i < 2; ++i) {
        size_t n = strlen(prefixes[i]);
        if (_strnicmp(key, prefixes[i], n) == 0)
            return key + n;
    }
    return key;
}

static int cmdRegSet(char **argv)
{
    HKEY key;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, skipHklm(argv[0]), 0, NULL, 0,
                                  KEY_WRITE, NULL, &key, NULL);
    if (status == ERROR_SUCCESS) {
        DWORD type = _stricmp(argv[2], "EXPAND_SZ") == 0 ? REG_EXPAND_SZ : REG_SZ;
        status = RegSetValueExA(key, dashIsNull(argv[1]), 0, type, (const BYTE *)argv[3],
                                (DWORD)strlen(argv[3]) + 1);
        RegCloseKey(key);
    }
    printf("{\"status\":%ld}\n", status);
    return status == ERROR_SUCCESS ? 0 : 1;
}

static LONG deleteTree(HKEY parent, const char *name)
{
    HKEY key;
    LONG status = RegOpenKeyExA(parent, name, 0, KEY_READ | KEY_WRITE, &key);
    if (status != ERROR_SUCCESS)
        return status;
    char child[256];
    for (;;) {
        DWORD size = sizeof child;
        if (RegEnumKeyExA(key, 0, child, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        if (deleteTree(key, child) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, name);
}

static int cmdRegDelete(int argc, char **argv)
{
    LONG status;
    if (argc > 1) {
        HKEY key;
        status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, skipHklm(argv[0]), 0, KEY_WRITE, &key);
        if (status == ERROR_SUCCESS) {
            status = RegDeleteValueA(key, argv[1]);
            RegCloseKey(key);
        }
    } else {
        status = deleteTree(HKEY_LOCAL_MACHINE, skipHklm(argv[0]));
    }
    printf("{\"status\":%ld}\n", status);
    return 0;
}

static int cmdDriveType(char **argv)
{
    char root[4] = {argv[0][0], ':', '\\', '\0'};
    printf("{\"type\":%u}\n", GetDriveTypeA(root));
    return 0;
}

static int cmdScreen(void)
{
    printf("{\"width\":%d,\"height\":%d}\n", GetSystemMetrics(SM_CXSCREEN),
           GetSystemMetrics(SM_CYSCREEN));
    return 0;
}

static int cmdProcs(void)
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    int first = 1;
    printf("[");
    if (snap != INVALID_HANDLE_VALUE && Process32First(snap, &entry)) {
        do {
            printf("%s{\"pid\":%lu,\"parent\":%lu,\"exe\":", first ? "" : ",",
                   entry.th32ProcessID, entry.th32ParentProcessID);
            printJsonString(entry.szExeFile);
            printf("}");
            first = 0;
        } while (Process32Next(snap, &entry));
    }
    if (snap != INVALID_HANDLE_VALUE)
        CloseHandle(snap);
    printf("]\n");
    return 0;
}

/* Prints how many were ended and how many still run afterwards (a pid that
 * no longer exists counts as neither). */
static int cmdKill(int argc, char **argv)
{
    int killed = 0, left = 0;
    for (int i = 0; i < argc; ++i) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                     (DWORD)parseNumber(argv[i]));
        if (!process)
            continue;
        if (TerminateProcess(process, 1))
            ++killed;
        if (WaitForSingleObject(process, 2000) != WAIT_OBJECT_0)
            ++left;
        CloseHandle(process);
    }
    printf("{\"killed\":%d,\"left\":%d}\n", killed, left);
    return 0;
}

typedef struct {
    const char *name;
    int minArgs;
} Command;

int main(int argc, char **argv)
{
    static const Command commands[] = {
        {"list", 0}, {"text", 1}, {"click", 2}, {"post", 4}, {"send", 4},
        {"key", 2}, {"cursorpos", 2}, {"cursor", 0}, {"pixels", 5}, {"isgdi", 1},
        {"wait", 3}, {"wait-gone", 2}, {"run", 3}, {"hold-semaphore", 2},
        {"semaphore", 1}, {"reg-set", 4}, {"reg-delete", 1}, {"drivetype", 1},
        {"screen", 0}, {"procs", 0}, {"kill", 0},
    };
    if (argc < 2) {
        fprintf(stderr, "usage: probe <command> [arguments]\n");
        return 2;
    }
    const char *cmd = argv[1];
    int n = argc - 2;
    char **args = argv + 2;
    for (size_t i = 0; i < sizeof commands / sizeof commands[0]; ++i) {
        if (strcmp(cmd, commands[i].name) != 0)
            continue;
        if (n < commands[i].minArgs) {
            fprintf(stderr, "probe %s: needs %d arguments\n", cmd, commands[i].minArgs);
            return 2;
        }
        switch (i) {
        case 0: return cmdList(n, args);
        case 1: return cmdText(args);
        case 2: return cmdClick(args);
        case 3: return cmdPost(args);
        case 4: return cmdSend(args);
        case 5: return cmdKey(args);
        case 6: return cmdCursorPos(args);
        case 7: return cmdCursor();
        case 8: return cmdPixels(args);
        case 9: return cmdIsGdi(args);
        case 10: return cmdWait(args);
        case 11: return cmdWaitGone(args);
        case 12: return cmdRun(args);
        case 13: return cmdHoldSemaphore(args);
        case 14: return cmdSemaphore(args);
        case 15: return cmdRegSet(args);
        case 16: return cmdRegDelete(n, args);
        case 17: return cmdDriveType(args);
        case 18: return cmdScreen();
        case 19: return cmdProcs();
        case 20: return cmdKill(n, args);
        }
    }
    fprintf(stderr, "probe: unknown command %s\n", cmd);
    return 2;
}
