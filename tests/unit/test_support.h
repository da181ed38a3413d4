// Helpers for the unit tests that work on real files, the real registry and
// real windows of the Wine prefix: drive D: is a CD-ROM drive, E: to H: are
// hard disks, C: is the prefix's own drive.
#pragma once
#include <windows.h>
#include <string.h>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>
#include "launcher/globals.h"
#include "titles/title.h"

namespace quibtest {

inline std::string parentOf(const std::string &path)
{
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

inline void makeDirs(const std::string &dir)
{
    if (dir.size() <= 3 || GetFileAttributesA(dir.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    makeDirs(parentOf(dir));
    CreateDirectoryA(dir.c_str(), NULL);
}

// Creates the file (and its folders) with the given contents.
inline bool writeFile(const std::string &path, const std::string &contents = "quib")
{
    makeDirs(parentOf(path));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(file, contents.data(), (DWORD)contents.size(), &written, NULL);
    CloseHandle(file);
    return written == contents.size();
}

inline std::string readFile(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, NULL) && got > 0)
        text.append(chunk, got);
    CloseHandle(file);
    return text;
}

inline bool exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void removeTree(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, ".."))
                removeTree(path + "\\" + found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

// Files and folders a test creates; all of them go again when it ends.
class Scratch {
public:
    ~Scratch()
    {
        for (size_t i = paths.size(); i-- > 0;)
            removeTree(paths[i]);
    }
    // Remembers a path (file or top folder) for removal.
    const std::string &track(const std::string &path)
    {
        removeTree(path);
        paths.push_back(path);
        return paths.back();
    }
    // Creates a file and remembers its top folder below the drive's root
    // (or the file itself when it lies in the root) for removal.
    void file(const std::string &path, const std::string &contents = "quib")
    {
        size_t slash = path.find('\\', 3);
        std::string top = slash == std::string::npos ? path : path.substr(0, slash);
        bool known = false;
        for (const std::string &p : paths)
            known = known || p == top;
        if (!known)
            track(top);
        writeFile(path, contents);
    }

private:
    std::vector<std::string> paths;
};

inline std::string ownExeDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof(path));
    return parentOf(path);
}

// The stand-in program of the whole-program tests (built beside the
// launcher at the top of the build directory); empty when it is not built.
inline std::string standinPath()
{
    char fromEnv[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("QUIB_STANDIN_EXE", fromEnv, sizeof(fromEnv));
    if (n > 0 && n < sizeof(fromEnv) && exists(fromEnv))
        return fromEnv;
    std::string candidate = parentOf(parentOf(ownExeDir())) + "\\standin.exe";
    return exists(candidate) ? candidate : std::string();
}

// Points the stand-in's log at a fresh file; started stand-ins append
// "path TAB command line TAB current directory" lines to it.
class StandinLog {
public:
    explicit StandinLog(const std::string &path) : path(path)
    {
        removeTree(path);
        SetEnvironmentVariableA("QUIB_STANDIN_LOG", path.c_str());
    }
    ~StandinLog()
    {
        SetEnvironmentVariableA("QUIB_STANDIN_LOG", NULL);
        removeTree(path);
    }
    // The log's lines, once at least one has arrived (empty after timeoutMs).
    std::vector<std::string> waitForLines(int timeoutMs = 5000) const
    {
        for (int waited = 0;; waited += 20) {
            std::string text = readFile(path);
            if (!text.empty() && text.back() == '\n') {
                std::vector<std::string> lines;
                size_t start = 0, end;
                while ((end = text.find('\n', start)) != std::string::npos) {
                    lines.push_back(text.substr(start, end - start));
                    start = end + 1;
                }
                return lines;
            }
            if (waited >= timeoutMs)
                return std::vector<std::string>();
            Sleep(20);
        }
    }
    // The started program's path: the first field of the first line.
    std::string firstStartedPath(int timeoutMs = 5000) const
    {
        std::vector<std::string> lines = waitForLines(timeoutMs);
        return lines.empty() ? std::string() : lines[0].substr(0, lines[0].find('\t'));
    }

    std::string path;
};

// Polls until the condition holds or the time is up.
inline bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    for (int waited = 0;; waited += 10) {
        if (condition())
            return true;
        if (waited >= timeoutMs)
            return false;
        Sleep(10);
    }
}

inline HWND waitForWindow(const char *cls, const char *title, int timeoutMs = 5000)
{
    HWND found = NULL;
    waitUntil([&] { return (found = FindWindowA(cls, title)) != NULL; }, timeoutMs);
    return found;
}

inline std::string windowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

inline std::string itemText(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? windowText(item) : std::string("<no control>");
}

// A top-level window of a given class and title, owned by this process, as
// a running game or installer would show it.
class ForeignWindow {
public:
    ForeignWindow(const char *cls, const char *title) : cls(cls)
    {
        WNDCLASSA wc;
        memset(&wc, 0, sizeof(wc));
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = cls;
        RegisterClassA(&wc);
        window = CreateWindowExA(0, cls, title, WS_POPUP, 0, 0, 10, 10,
                                 NULL, NULL, GetModuleHandleA(NULL), NULL);
    }
    ~ForeignWindow()
    {
        if (window)
            DestroyWindow(window);
        UnregisterClassA(cls.c_str(), GetModuleHandleA(NULL));
    }

    HWND window;

private:
    std::string cls;
};

// A string value under HKEY_LOCAL_MACHINE; the key goes again afterwards,
// and so do the parent keys that it leaves empty.
class RegistryValue {
public:
    RegistryValue(const std::string &key, const char *name, DWORD type,
                  const void *data, DWORD size)
        : key(key)
    {
        HKEY handle;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS,
                            NULL, &handle, NULL) == ERROR_SUCCESS) {
            ok = RegSetValueExA(handle, name, 0, type, static_cast<const BYTE *>(data),
                                size) == ERROR_SUCCESS;
            RegCloseKey(handle);
        }
    }
    RegistryValue(const std::string &key, const char *name, const std::string &text,
                  DWORD type = REG_SZ)
        : RegistryValue(key, name, type, text.c_str(), (DWORD)text.size() + 1)
    {
    }
    ~RegistryValue()
    {
        // Stops at SOFTWARE, which always has other subkeys.
        for (std::string k = key; k.find('\\') != std::string::npos; k = parentOf(k)) {
            if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, k.c_str()) != ERROR_SUCCESS)
                break;
        }
    }

    bool ok = false;

private:
    std::string key;
};

// Saves the launcher globals that a test changes and puts them back.
class GlobalsGuard {
public:
    GlobalsGuard()
        : title(g_title), mainWindow(g_mainWindow), semaphore(g_semaphore)
    {
        memcpy(ownDir, g_ownDir, sizeof(ownDir));
    }
    ~GlobalsGuard()
    {
        memcpy(g_ownDir, ownDir, sizeof(ownDir));
        g_title = title;
        g_mainWindow = mainWindow;
        g_semaphore = semaphore;
    }

private:
    char ownDir[PATH_SIZE];
    Title *title;
    HWND mainWindow;
    HANDLE semaphore;
};

inline void setOwnDir(const char *dir)
{
    memset(g_ownDir, 0, sizeof(g_ownDir));
    strncpy(g_ownDir, dir, sizeof(g_ownDir) - 1);
}

// Runs a helper on a second thread: the program's own loops (the disc poll,
// the modal prompts) keep the test's main thread busy.
class Helper {
public:
    explicit Helper(std::function<void()> body) : thread(std::move(body)) {}
    ~Helper()
    {
        if (thread.joinable())
            thread.join();
    }

private:
    std::thread thread;
};

inline void click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, id));
}

inline double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace quibtest
