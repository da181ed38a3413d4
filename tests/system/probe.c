/* Probe: looks at and drives windows of other processes, for the
 * whole-program tests. Runs under Wine as a console program and prints
 * one JSON value on stdout per call. Numbers may be decimal or 0x-hex.
 *
 *   list                            top-level windows with their children
 *   post <hwnd> (<msg> <w> <l>)...  PostMessage, once per triple
 *   cursorpos <x> <y>               SetCursorPos
 *   pixels <x> <y> <w> <h> <file>   screen area into a 24-bit BMP file
 *   run <exe> <cwd> <ms>            starts a program, waits for its end
 *   hold-semaphore <name> <s>       creates a named semaphore, keeps it
 *   semaphore <name>                does a semaphore of that name exist
 *   reg-set <key> <name> <data>     REG_SZ value under HKLM
 *   reg-delete <key>                HKLM key and its subkeys
 *   screen                          screen size and the CD-ROM drive letters
 *   procs                           running processes: pid, parent, exe
 *   kill <pid>...                   TerminateProcess each of them
 */
#include <windows.h>
#include <tlhelp32.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define NUM(s) strtoull((s), NULL, 0)
#define HANDLE_NUM(h) ((unsigned long long)(ULONG_PTR)(h))
#define JSON_BOOL(b) ((b) ? "true" : "false")

static void printJsonString(const char *s)
{
    putchar('"');
    for (const unsigned char *p = (const unsigned char *)s; *p; ++p) {
        if (*p == '"' || *p == '\\')
            printf("\\%c", *p);
        else if (*p < 0x20 || *p >= 0x80)
            printf("\\u%04x", *p);   /* ANSI code page 1252 is close enough */
        else
            putchar(*p);
    }
    putchar('"');
}

static int listIsEmpty;

/* One window as a JSON object; with lParam set, also its descendants. */
static BOOL CALLBACK describeWindow(HWND w, LPARAM withChildren)
{
    char cls[256] = "", text[1024] = "";
    RECT r;
    DWORD pid = 0;
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, text, sizeof text);
    GetWindowRect(w, &r);
    GetWindowThreadProcessId(w, &pid);
    printf("%s{\"hwnd\":%llu,\"id\":%d,\"pid\":%lu,\"owner\":%llu,\"visible\":%s,"
           "\"rect\":[%ld,%ld,%ld,%ld],\"class\":",
           listIsEmpty ? "" : ",\n", HANDLE_NUM(w), GetDlgCtrlID(w), pid,
           HANDLE_NUM(GetWindow(w, GW_OWNER)), JSON_BOOL(IsWindowVisible(w)),
           r.left, r.top, r.right, r.bottom);
    printJsonString(cls);
    printf(",\"text\":");
    printJsonString(text);
    if (withChildren) {
        printf(",\"children\":[");
        listIsEmpty = 1;
        EnumChildWindows(w, describeWindow, 0);
        printf("]");
    }
    printf("}");
    listIsEmpty = 0;
    return TRUE;
}

static int cmdList(char **argv)
{
    (void)argv;
    listIsEmpty = 1;
    printf("[");
    EnumWindows(describeWindow, 1);
    printf("]\n");
    return 0;
}

static int cmdPost(char **argv)
{
    BOOL ok = TRUE;
    for (char **m = argv + 1; m[0] && m[1] && m[2]; m += 3)
        ok = PostMessageA((HWND)(ULONG_PTR)NUM(argv[0]), (UINT)NUM(m[0]), (WPARAM)NUM(m[1]),
                          (LPARAM)NUM(m[2])) && ok;
    printf("{\"posted\":%s}\n", JSON_BOOL(ok));
    return !ok;
}

static int cmdCursorPos(char **argv)
{
    BOOL ok = SetCursorPos((int)NUM(argv[0]), (int)NUM(argv[1]));
    printf("{\"ok\":%s}\n", JSON_BOOL(ok));
    return !ok;
}

static int cmdPixels(char **argv)
{
    int x = (int)NUM(argv[0]), y = (int)NUM(argv[1]);
    int w = (int)NUM(argv[2]), h = (int)NUM(argv[3]);
    BITMAPINFOHEADER info = {.biSize = sizeof info, .biWidth = w, .biHeight = h, .biPlanes = 1,
                             .biBitCount = 24, .biCompression = BI_RGB};
    info.biSizeImage = (((DWORD)w * 3 + 3) & ~3u) * (DWORD)h;   /* bottom-up rows */
    BITMAPFILEHEADER file = {.bfType = 0x4D42, .bfOffBits = sizeof file + sizeof info};
    file.bfSize = file.bfOffBits + info.biSizeImage;

    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    void *bits = NULL;
    HBITMAP dib = CreateDIBSection(screen, (BITMAPINFO *)&info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BOOL ok = dib && BitBlt(mem, 0, 0, w, h, screen, x, y, SRCCOPY);
    GdiFlush();
    FILE *out = ok ? fopen(argv[4], "wb") : NULL;
    ok = out && fwrite(&file, sizeof file, 1, out) == 1 &&
         fwrite(&info, sizeof info, 1, out) == 1 &&
         fwrite(bits, info.biSizeImage, 1, out) == 1;
    if (out)
        fclose(out);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    printf("{\"written\":%s}\n", JSON_BOOL(ok));
    return !ok;
}

/* Starts a program by its full path with no command line (as the
 * launcher itself is started from a disc), prints its pid at once and its
 * exit code when it ends. */
static int cmdRun(char **argv)
{
    STARTUPINFOA si = {.cb = sizeof si};
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(argv[0], NULL, NULL, NULL, FALSE, 0, NULL, argv[1], &si, &pi)) {
        printf("{\"error\":%lu}\n", GetLastError());
        return 1;
    }
    printf("{\"pid\":%lu}\n", pi.dwProcessId);
    fflush(stdout);
    DWORD code = 0;
    if (WaitForSingleObject(pi.hProcess, (DWORD)NUM(argv[2])) != WAIT_OBJECT_0)
        return 1;
    GetExitCodeProcess(pi.hProcess, &code);
    printf("{\"exit\":%lu}\n", code);
    return 0;
}

static int cmdHoldSemaphore(char **argv)
{
    CreateSemaphoreA(NULL, 1, 1, argv[0]);
    printf("{\"existed\":%s}\n", JSON_BOOL(GetLastError() == ERROR_ALREADY_EXISTS));
    fflush(stdout);
    Sleep((DWORD)NUM(argv[1]) * 1000);
    return 0;
}

static int cmdSemaphore(char **argv)
{
    HANDLE s = OpenSemaphoreA(SYNCHRONIZE, FALSE, argv[0]);
    printf("{\"exists\":%s}\n", JSON_BOOL(s));
    return 0;
}

static int cmdRegSet(char **argv)
{
    LONG status = RegSetKeyValueA(HKEY_LOCAL_MACHINE, argv[0], argv[1], REG_SZ, argv[2],
                                  (DWORD)strlen(argv[2]) + 1);
    printf("{\"status\":%ld}\n", status);
    return status != ERROR_SUCCESS;
}

static int cmdRegDelete(char **argv)
{
    printf("{\"status\":%ld}\n", RegDeleteTreeA(HKEY_LOCAL_MACHINE, argv[0]));
    return 0;
}

static int cmdScreen(char **argv)
{
    (void)argv;
    char cdrom[27] = "", drive[3] = "C:";
    for (char letter = 'C'; letter <= 'Z'; letter++) {
        drive[0] = letter;
        if (GetDriveTypeA(drive) == DRIVE_CDROM)
            strncat(cdrom, drive, 1);
    }
    printf("{\"width\":%d,\"height\":%d,\"cdrom\":\"%s\"}\n", GetSystemMetrics(SM_CXSCREEN),
           GetSystemMetrics(SM_CYSCREEN), cdrom);
    return 0;
}

static int cmdProcs(char **argv)
{
    (void)argv;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {.dwSize = sizeof entry};
    const char *separator = "";
    printf("[");
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry)) {
        printf("%s{\"pid\":%lu,\"parent\":%lu,\"exe\":", separator, entry.th32ProcessID,
               entry.th32ParentProcessID);
        printJsonString(entry.szExeFile);
        printf("}");
        separator = ",";
    }
    printf("]\n");
    return 0;
}

/* Prints how many still run afterwards (a pid that no longer exists does
 * not count). */
static int cmdKill(char **argv)
{
    int left = 0;
    for (; *argv; ++argv) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, (DWORD)NUM(*argv));
        if (!process)
            continue;
        TerminateProcess(process, 1);
        left += WaitForSingleObject(process, 2000) != WAIT_OBJECT_0;
        CloseHandle(process);
    }
    printf("{\"left\":%d}\n", left);
    return 0;
}

int main(int argc, char **argv)
{
    static const struct {
        const char *name;
        int args;
        int (*run)(char **argv);
    } commands[] = {
        {"list", 0, cmdList}, {"post", 4, cmdPost}, {"cursorpos", 2, cmdCursorPos},
        {"pixels", 5, cmdPixels}, {"run", 3, cmdRun}, {"hold-semaphore", 2, cmdHoldSemaphore},
        {"semaphore", 1, cmdSemaphore}, {"reg-set", 3, cmdRegSet},
        {"reg-delete", 1, cmdRegDelete}, {"screen", 0, cmdScreen}, {"procs", 0, cmdProcs},
        {"kill", 0, cmdKill},
    };
    for (size_t i = 0; argc > 1 && i < sizeof commands / sizeof commands[0]; ++i) {
        if (strcmp(argv[1], commands[i].name) == 0 && argc - 2 >= commands[i].args)
            return commands[i].run(argv + 2);
    }
    fprintf(stderr, "usage: probe <command> <arguments>, see probe.c\n");
    return 2;
}
