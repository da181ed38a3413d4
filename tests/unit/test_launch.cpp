// What no test from outside can reach: launchProgram's choice between
// starting a program directly and through the shell, with stand-ins for both
// (Wine never answers ERROR_ELEVATION_REQUIRED, and no test can answer the
// elevation prompt); and a game path too long to start (a title counts as
// installed only when that same path fits).
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "launcher/paths.h"
#include "test_support.h"
#include "titles/title.h"

namespace {

DWORD g_directError, g_shellError;
int g_shellStarts;

DWORD startDirectly(const char *, const char *, const char *) { return g_directError; }
DWORD startThroughShell(const char *, const char *, const char *) { ++g_shellStarts; return g_shellError; }

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
        int result = -1;
        EXPECT_EQ(quibtest::messageDuring("We have a problem", *row.message ? 5000 : 300, [&] {
                      result = launchWith("E:\\setup.exe", NULL, NULL, startDirectly, startThroughShell);
                  }), row.message);
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(g_shellStarts, row.shellStarts);
    }
}

// Play joins the installation folder and the game's name; when the two do
// not fit 260 characters, the message names both, whole.
TEST(Launch, AGamePathThatDoesNotFitIsReportedWithFolderAndName)
{
    std::unique_ptr<Title> title(newTitle(0, 1));
    const std::string folder = "C:\\" + std::string(245, 'q') + "\\";
    copyString(g_ownDir, PATH_SIZE, "C:\\");
    copyString(title->installDir, PATH_SIZE, folder.c_str());
    int result = -1;
    EXPECT_EQ(quibtest::messageDuring("We have a problem", 5000, [&] {
                  result = title->playFromInstallDir("qbx32v2.exe", "C:\\");   // the "disc" is in
              }), "Error:206  Could not run program.\n\n" + folder + "qbx32v2.exe");
    EXPECT_EQ(result, 0);
    g_ownDir[0] = '\0';
}

} // namespace
