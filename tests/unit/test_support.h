// Helpers for tests on the real files and windows of the Wine prefix.
#pragma once
#include <windows.h>
#include <stdio.h>
#include <string>
#include <thread>
#include <vector>

namespace quibtest {

// Empty files, each in a folder under a drive's root: all go with the object.
struct Scratch {
    std::vector<std::string> files;
    ~Scratch()
    {
        for (const std::string &path : files) {
            DeleteFileA(path.c_str());
            RemoveDirectoryA(path.substr(0, path.rfind('\\')).c_str());
        }
    }
    void file(const std::string &path)
    {
        CreateDirectoryA(path.substr(0, path.rfind('\\')).c_str(), NULL);
        if (FILE *file = fopen(path.c_str(), "w"))
            fclose(file);
        files.push_back(path);
    }
};

inline HWND waitForWindow(const char *cls, const char *title, int timeoutMs = 5000)
{
    HWND found = NULL;
    for (int waited = 0; !(found = FindWindowA(cls, title)) && waited < timeoutMs; waited += 10)
        Sleep(10);
    return found;
}

// Runs act and returns the text of the message box with that caption that
// it showed, which is closed; "" when none appeared within timeoutMs.
template <typename Act>
std::string messageDuring(const char *caption, int timeoutMs, Act act)
{
    char text[600] = "";
    std::thread watcher([&] {
        HWND box = waitForWindow("#32770", caption, timeoutMs);
        GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    act();
    watcher.join();
    return text;
}

} // namespace quibtest
