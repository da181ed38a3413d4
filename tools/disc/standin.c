/* Stand-in for a title's setup program and game on the test discs made by
 * scripts/disc-image.sh. It lies on a disc under the real program's name
 * (setup.exe, Install\setup.exe, qbx332.exe, QBXTW.exe, PlayQTW.exe) and
 * shows a window that says how it was started: its own path, the program
 * that started it, its command line and its current folder.
 *
 * What else it does comes from the INI file of its own name beside it
 * (setup.exe reads setup.ini), so one program serves every title:
 *
 *   [Window]   Class=, Title=  its window, e.g. the class the launcher looks
 *                              for while the title's game or installer runs
 *              About=          one line on what it stands in for
 *   [Install]  Key=, Value=    the title's registry value under
 *                              HKEY_LOCAL_MACHINE
 *              Folder=         the installation folder, on the Windows drive
 *   [Files]    name=source     what Install copies into that folder; each
 *                              source relative to the INI file's folder
 *
 * With an [Install] section it offers Install, which makes the folder,
 * copies the files and writes the folder into the registry value, and
 * Remove, which takes all of that away again.
 */
#include <windows.h>
#include <tlhelp32.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

enum { ID_INSTALL = 101, ID_REMOVE, WIDTH = 560, TEXT_HEIGHT = 220 };

static char ini[MAX_PATH], iniDir[MAX_PATH], folder[MAX_PATH], key[MAX_PATH], value[MAX_PATH];
static char files[2048];   /* the names of [Files], each ending in a NUL, then one more NUL */
static HWND statusLine;

static void readIni(const char *section, const char *name, char *out, DWORD size)
{
    GetPrivateProfileStringA(section, name, "", out, size, ini);
}

/* Appends to a text of that size, cutting it short rather than overflowing. */
static void append(char *text, size_t size, const char *format, ...)
{
    size_t used = strlen(text);
    va_list arguments;
    va_start(arguments, format);
    if (used + 1 < size)
        vsnprintf(text + used, size - used, format, arguments);
    va_end(arguments);
}

/* The program that started this one, from a snapshot of the processes. It
 * may have ended already: the launcher ends once its program runs. */
static void parentName(char *out, size_t size)
{
    PROCESSENTRY32 entry;
    DWORD self = GetCurrentProcessId(), parent = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    snprintf(out, size, "unknown");
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == self)
            parent = entry.th32ParentProcessID;
    snprintf(out, size, "process %lu, which ended before this window opened", (unsigned long)parent);
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == parent && parent != 0)
            snprintf(out, size, "%s (process %lu)", entry.szExeFile, (unsigned long)parent);
    CloseHandle(snapshot);
}

/* folder + "\" + name; 0 when it does not fit. */
static int inFolder(char *path, const char *name)
{
    return snprintf(path, MAX_PATH, "%s\\%s", folder, name) < MAX_PATH;
}

static DWORD install(void)
{
    char path[MAX_PATH], source[MAX_PATH], relative[MAX_PATH];
    /* Each folder of the path in turn, from the one below the drive's root. */
    for (char *cut = strchr(folder + 3, '\\');; cut = strchr(cut + 1, '\\')) {
        snprintf(path, sizeof path, "%.*s", cut ? (int)(cut - folder) : MAX_PATH, folder);
        if (!CreateDirectoryA(path, NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
            return GetLastError();
        if (!cut)
            break;
    }
    for (const char *name = files; *name; name += strlen(name) + 1) {
        readIni("Files", name, relative, sizeof relative);
        if (snprintf(source, sizeof source, "%s%s", iniDir, relative) >= (int)sizeof source || !inFolder(path, name))
            return ERROR_FILENAME_EXCED_RANGE;
        if (!CopyFileA(source, path, FALSE))
            return GetLastError();
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);   /* a disc's files are read-only */
    }
    HKEY handle;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, NULL, 0, KEY_SET_VALUE, NULL, &handle, NULL);
    if (status != ERROR_SUCCESS)
        return (DWORD)status;
    status = RegSetValueExA(handle, value, 0, REG_SZ, (const BYTE *)folder, (DWORD)strlen(folder) + 1);
    RegCloseKey(handle);
    return (DWORD)status;
}

static int keyIsEmpty(const char *path)
{
    HKEY handle;
    DWORD subkeys = 1, values = 1;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return 0;
    RegQueryInfoKeyA(handle, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(handle);
    return subkeys == 0 && values == 0;
}

static DWORD removeInstallation(void)
{
    char path[MAX_PATH];
    DWORD result = 0;
    for (const char *name = files; *name; name += strlen(name) + 1)
        if (inFolder(path, name) && !DeleteFileA(path) && GetLastError() != ERROR_FILE_NOT_FOUND)
            result = GetLastError();
    /* The folder, then the folders above it that are left empty. */
    snprintf(path, sizeof path, "%s", folder);
    for (char *cut; RemoveDirectoryA(path) && (cut = strrchr(path, '\\')) && cut > path + 2; *cut = '\0')
        ;
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE, &handle) == ERROR_SUCCESS) {
        RegDeleteValueA(handle, value);
        RegCloseKey(handle);
    }
    /* The key, then the keys above it that are left empty, never the top
     * one (SOFTWARE). Only empty keys: Windows 95 and 98 would delete a key
     * with everything below it. */
    snprintf(path, sizeof path, "%s", key);
    for (char *cut; (cut = strrchr(path, '\\')) && keyIsEmpty(path) &&
                    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path) == ERROR_SUCCESS; *cut = '\0')
        ;
    return result;
}

static void report(const char *what, DWORD error)
{
    char text[256];
    if (error)
        snprintf(text, sizeof text, "%s failed: error %lu.", what, (unsigned long)error);
    else
        snprintf(text, sizeof text, "%s done.", what);
    SetWindowTextA(statusLine, text);
}

static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ID_INSTALL:
            report("Install", install());
            return 0;
        case ID_REMOVE:
            report("Remove", removeInstallation());
            return 0;
        case IDCANCEL:
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static HWND control(HWND parent, const char *cls, const char *text, DWORD style, int x, int y, int w, int h, int id)
{
    HWND child = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                 (HMENU)(INT_PTR)id, GetModuleHandleA(NULL), NULL);
    SendMessageA(child, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
    return child;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show)
{
    char parent[MAX_PATH + 64], self[MAX_PATH] = "", here[MAX_PATH] = "", line[MAX_PATH];
    char text[4096] = "", cls[128], title[128];
    (void)previous, (void)arguments;
    parentName(parent, sizeof parent);   /* first, while the parent may still run */
    GetModuleFileNameA(NULL, self, sizeof self);
    GetCurrentDirectoryA(sizeof here, here);

    /* The INI file: the own path with the extension .ini. */
    const char *name = strrchr(self, '\\') ? strrchr(self, '\\') + 1 : self;
    const char *dot = strrchr(name, '.') ? strrchr(name, '.') : name + strlen(name);
    snprintf(ini, sizeof ini, "%.*s.ini", (int)(dot - self), self);
    snprintf(iniDir, sizeof iniDir, "%.*s", (int)(name - self), self);
    readIni("Window", "Class", cls, sizeof cls);
    readIni("Window", "Title", title, sizeof title);
    readIni("Install", "Key", key, sizeof key);
    readIni("Install", "Value", value, sizeof value);
    readIni("Install", "Folder", line, sizeof line);
    if (line[0]) {
        char windows[MAX_PATH] = "C:\\";
        GetWindowsDirectoryA(windows, sizeof windows);
        snprintf(folder, sizeof folder, "%.3s%s", windows, line);
        GetPrivateProfileStringA("Files", NULL, "", files, sizeof files, ini);
    }

    readIni("Window", "About", line, sizeof line);
    append(text, sizeof text, "%s\r\n\r\nProgram:  %s\r\nStarted by:  %s\r\nCommand line:  %s\r\nCurrent folder:  %s\r\n",
           line[0] ? line : "A stand-in program of the Quibbix test discs.", self, parent, GetCommandLineA(), here);
    if (folder[0]) {
        append(text, sizeof text, "\r\nInstall copies ");
        for (const char *file = files; *file; file += strlen(file) + 1)
            append(text, sizeof text, "%s%s", file == files ? "" : ", ", file);
        append(text, sizeof text, " to %s and writes that folder into HKEY_LOCAL_MACHINE\\%s, value %s. "
                                  "Remove takes them away again.", folder, key, value);
    }

    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = cls[0] ? cls : "QuibStandIn";
    RegisterClassA(&windowClass);
    RECT frame = { 0, 0, WIDTH, TEXT_HEIGHT + 80 };
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, title[0] ? title : name, style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                  frame.bottom - frame.top, NULL, NULL, instance, NULL);
    control(window, "STATIC", text, SS_LEFT | SS_NOPREFIX, 12, 12, WIDTH - 24, TEXT_HEIGHT, -1);
    statusLine = control(window, "STATIC", "", SS_LEFT | SS_NOPREFIX, 12, TEXT_HEIGHT + 18, WIDTH - 24, 20, -1);
    /* The buttons at the bottom right, in the order of the Tab key. */
    int x = WIDTH - 12 - 90, y = TEXT_HEIGHT + 44;
    if (folder[0]) {
        control(window, "BUTTON", "Install", BS_DEFPUSHBUTTON | WS_TABSTOP, x - 200, y, 90, 26, ID_INSTALL);
        control(window, "BUTTON", "Remove", BS_PUSHBUTTON | WS_TABSTOP, x - 100, y, 90, 26, ID_REMOVE);
    }
    control(window, "BUTTON", "Close", BS_PUSHBUTTON | WS_TABSTOP, x, y, 90, 26, IDCANCEL);
    ShowWindow(window, show);
    SetFocus(GetDlgItem(window, folder[0] ? ID_INSTALL : IDCANCEL));

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return 0;
}
