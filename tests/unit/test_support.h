// Helpers for the unit tests that work on real files, the real registry and
// real windows of the Wine prefix: drive D: is a CD-ROM drive, E: to H: are
// hard disks, C: is the prefix's own drive.
#pragma once
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <functional>
#include <string>
#include <thread>
#include <vector>
#include "launcher/globals.h"
#include "titles/title.h"

namespace quibtest {

// Creates the folder and those above it.
inline void makeDirs(const std::string &dir)
{
    for (size_t at = dir.find('\\', 3); at != std::string::npos; at = dir.find('\\', at + 1))
        CreateDirectoryA(dir.substr(0, at).c_str(), NULL);
    CreateDirectoryA(dir.c_str(), NULL);
}

// Creates an empty file and its folders.
inline void writeFile(const std::string &path)
{
    makeDirs(path.substr(0, path.find_last_of('\\')));
    if (FILE *file = fopen(path.c_str(), "w"))
        fclose(file);
}

inline void removeTree(const std::string &path)
{
    if (path.size() <= 3)
        return;   // never a whole drive
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, ".."))
            removeTree(path + "\\" + found.cFileName);
    FindClose(search);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str()) || DeleteFileA(path.c_str());
}

// Files and folders a test creates: gone before and after it.
struct Scratch {
    std::vector<std::string> paths;
    ~Scratch() { for (const std::string &path : paths) removeTree(path); }
    void track(const std::string &path) { removeTree(path); paths.push_back(path); }
    // A new file whose top folder (or itself, in a root) goes afterwards.
    void file(const std::string &path)
    {
        track(path.substr(0, path.find('\\', 3)));
        writeFile(path);
    }
};

// The stand-in program, built at the top of the build directory (empty
// when it is not). Each stand-in started appends a line "path TAB command
// line TAB current directory" to the log.
inline std::string standinPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof(path));
    for (int up = 0; up < 3; ++up)
        *strrchr(path, '\\') = '\0';
    strcat(path, "\\standin.exe");
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ? path : "";
}

struct StandinLog {
    std::string path;
    explicit StandinLog(const char *path) : path(path)
    {
        DeleteFileA(path);
        SetEnvironmentVariableA("QUIB_STANDIN_LOG", path);
    }
    ~StandinLog() { SetEnvironmentVariableA("QUIB_STANDIN_LOG", NULL); DeleteFileA(path.c_str()); }
    // The first line, once it has arrived (empty after timeoutMs).
    std::string firstLine(int timeoutMs = 5000) const
    {
        for (int waited = 0; waited <= timeoutMs; waited += 20, Sleep(20)) {
            char line[1024] = "";
            if (FILE *file = fopen(path.c_str(), "r")) {
                fgets(line, sizeof(line), file);
                fclose(file);
            }
            if (strchr(line, '\n'))
                return std::string(line, strcspn(line, "\n"));
        }
        return "";
    }
};

inline HWND waitForWindow(const char *cls, const char *title, int timeoutMs = 5000)
{
    HWND found = NULL;
    for (int waited = 0; !(found = FindWindowA(cls, title)) && waited < timeoutMs; waited += 10)
        Sleep(10);
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
    return item ? windowText(item) : "<no control>";
}

inline void click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

// Runs a helper on a second thread while the program's own modal loops or
// disc poll keep the test's thread busy; joined at the latest when it goes.
struct Helper {
    std::thread thread;
    explicit Helper(std::function<void()> body) : thread(std::move(body)) {}
    ~Helper() { if (thread.joinable()) thread.join(); }
};

// Puts back the launcher globals that a test changes.
struct GlobalsGuard {
    std::string ownDir = g_ownDir;
    Title *title = g_title;
    HWND mainWindow = g_mainWindow;
    HANDLE semaphore = g_semaphore;
    HINSTANCE instance = g_instance;
    void setOwnDir(const char *dir) { strncpy(g_ownDir, dir, PATH_SIZE - 1); }
    ~GlobalsGuard()
    {
        setOwnDir(ownDir.c_str());
        g_title = title;
        g_mainWindow = mainWindow;
        g_semaphore = semaphore;
        g_instance = instance;
    }
};

} // namespace quibtest
