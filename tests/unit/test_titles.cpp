// How launchProgram decides between its two ways to start a program, with
// stand-ins for both: Windows never answers ERROR_ELEVATION_REQUIRED under
// Wine, and the shell's elevation prompt cannot be answered from a test.
#include <gtest/gtest.h>
#include <thread>
#include "test_support.h"
#include "titles/title.h"

namespace {

DWORD g_directError, g_shellError;
int g_shellStarts;

DWORD startDirectly(const char *) { return g_directError; }
DWORD startThroughShell(const char *) { ++g_shellStarts; return g_shellError; }

TEST(Launch, ElevationGoesThroughTheShellAndOnlyADeclinedPromptIsSilent)
{
    const struct { DWORD direct, shell; int result, shellStarts; const char *message; } rows[] = {
        { 0, 0, 1, 0, "" },
        { ERROR_ELEVATION_REQUIRED, 0, 1, 1, "" },
        { ERROR_ELEVATION_REQUIRED, ERROR_CANCELLED, 0, 1, "" },
        { ERROR_ELEVATION_REQUIRED, ERROR_ACCESS_DENIED, 0, 1, "Error:5  Could not run program.\n\nE:\\setup.exe" },
        { ERROR_FILE_NOT_FOUND, 0, 0, 0, "Error:2  Could not run program.\n\nE:\\setup.exe" },
        { ERROR_CANCELLED, 0, 0, 0, "Error:1223  Could not run program.\n\nE:\\setup.exe" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.direct << " then " << row.shell);
        g_directError = row.direct, g_shellError = row.shell, g_shellStarts = 0;
        char message[300] = "";
        std::thread watcher([&] {
            HWND box = quibtest::waitForWindow("#32770", "We have a problem", *row.message ? 5000 : 300);
            GetDlgItemTextA(box, 0xFFFF, message, sizeof(message));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(launchWith("E:\\setup.exe", startDirectly, startThroughShell), row.result);
        watcher.join();
        EXPECT_EQ(g_shellStarts, row.shellStarts);
        EXPECT_STREQ(message, row.message);
    }
}

} // namespace
