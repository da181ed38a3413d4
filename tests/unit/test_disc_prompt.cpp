// Volume 2's disc prompts as real modal dialogs, driven from a second thread.
#include <gtest/gtest.h>
#include <chrono>
#include <memory>
#include <thread>
#include "resource.h"
#include "test_support.h"
#include "titles/disc_prompt.h"
#include "titles/title.h"

namespace {

const char CAPTION[] = "Quibbix - Volume 2";

TEST(DiscPrompt, CommandsTransparentStaticsAndTheRetryAfterTenSeconds)
{
    EXPECT_EQ(elapsedBetween(0xFFFFFF00u, 16), 272u) << "across the counter's wrap";
    std::unique_ptr<Title> title(newTitle(0, 1));
    g_title = title.get();
    // A command is posted, then OK: after an ignored command the result is 1.
    const struct { int command; INT_PTR result; } commands[] = {
        { IDC_PROMPT_OK, 1 }, { IDC_PROMPT_CANCEL, 0 }, { 1002, 0 }, { 1003, 0 }, { IDCANCEL, 1 },
    };
    for (const auto &c : commands) {
        std::thread helper([&] {
            HWND dialog = quibtest::waitForWindow("#32770", CAPTION);
            PostMessageA(dialog, WM_COMMAND, c.command, 0);
            PostMessageA(dialog, WM_COMMAND, IDC_PROMPT_OK, 0);
        });
        EXPECT_EQ(showDiscDialog(IDD_PLAY_FIRST), c.result) << c.command;
        helper.join();
    }

    HDC dc = CreateCompatibleDC(NULL);
    EXPECT_EQ(discDialogProc(NULL, WM_CTLCOLORSTATIC, (WPARAM)dc, 0),
              (INT_PTR)GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    DeleteDC(dc);

    // The slow part: with the disc nowhere, OK on the play prompt starts ten
    // seconds of searching before the retry prompt; Cancel there gives up.
    char retryText[100] = "";
    double seconds = 0;
    std::thread helper([&] {
        HWND first = quibtest::waitForWindow("#32770", CAPTION);
        PostMessageA(first, WM_COMMAND, IDC_PROMPT_OK, 0);
        auto confirmed = std::chrono::steady_clock::now();
        while (IsWindow(first))
            Sleep(10);
        HWND retry = quibtest::waitForWindow("#32770", CAPTION, 15000);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - confirmed).count();
        GetDlgItemTextA(retry, IDC_PROMPT_RETRYTEXT, retryText, sizeof(retryText));
        PostMessageA(retry, WM_COMMAND, IDC_PROMPT_CANCEL, 0);
    });
    EXPECT_EQ(title->play(), 0);
    helper.join();
    g_title = NULL;
    EXPECT_NEAR(seconds, 10.5, 0.6);
    EXPECT_STREQ(retryText, "Put in the Quib Volume 2 CD!");
}

} // namespace
