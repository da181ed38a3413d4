// The disc prompt's commands as a real modal dialog, driven from a second
// thread: only its two buttons (and two ids no prompt carries) end it.
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include "resource.h"
#include "test_support.h"
#include "titles/disc_prompt.h"
#include "titles/title.h"

namespace {

TEST(DiscPrompt, OnlyItsButtonsEndItAndItsTextsHaveNoBackground)
{
    EXPECT_EQ(elapsedBetween(0xFFFFFF00u, 16), 272u) << "across the counter's wrap";
    std::unique_ptr<Title> title(newTitle(0, 1));
    g_title = title.get();
    // A command is posted, then OK: after an ignored command the result is 1.
    const struct { int command; INT_PTR result; } commands[] = {
        { IDC_PROMPT_OK, 1 }, { IDC_PROMPT_CANCEL, 0 }, { IDC_PROMPT_OLDCANCEL1, 0 },
        { IDC_PROMPT_OLDCANCEL2, 0 }, { IDCANCEL, 1 },
    };
    for (const auto &c : commands) {
        std::thread helper([&] {
            HWND dialog = quibtest::waitForWindow("#32770", title->promptCaption());
            PostMessageA(dialog, WM_COMMAND, c.command, 0);
            PostMessageA(dialog, WM_COMMAND, IDC_PROMPT_OK, 0);
        });
        EXPECT_EQ(showDiscDialog(IDD_PLAY_FIRST), c.result) << c.command;
        helper.join();
    }
    g_title = NULL;

    HDC dc = CreateCompatibleDC(NULL);
    EXPECT_EQ(discDialogProc(NULL, WM_CTLCOLORSTATIC, (WPARAM)dc, 0), (INT_PTR)GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    DeleteDC(dc);
}

} // namespace
