// Helpers for tests on the real windows of the system they run on.
#pragma once
#include <windows.h>
#include <string>
#include <thread>

namespace quibtest {

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
