// The disc prompts and the wait for a disc, with real dialogs: a second
// thread finds the prompts and presses their buttons while the test's thread
// sits in the prompt's modal loop or in the disc poll.
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <memory>
#include "launcher/paths.h"
#include "resource.h"
#include "test_support.h"
#include "titles/disc_prompt.h"

using namespace quibtest;

namespace {

const char CAPTION[] = "Quibbix - Volume 2";

// Volume 2, played from E: while its disc is missing, elsewhere or arriving;
// the stand-in plays the game.
class DiscPrompt : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_title = title.get();
        g_mainWindow = NULL;
        scratch.track("E:\\quib-prompt");
        makeDirs("E:\\quib-prompt");
        globals.setOwnDir("E:\\quib-prompt\\");
        copyString(title->installDir, PATH_SIZE, "E:\\quib-prompt\\");
        if (standin.empty() || !CopyFileA(standin.c_str(), GAME, FALSE))
            FAIL() << "the stand-in program is not built";
    }
    // The next prompt once the last one has gone, or NULL once play() is over.
    HWND nextPrompt(HWND last = NULL)
    {
        while (IsWindow(last))
            Sleep(10);
        for (int waited = 0; !done && waited < 15000; waited += 10, Sleep(10))
            if (HWND prompt = FindWindowA("#32770", CAPTION))
                return prompt;
        return NULL;
    }
    int play()
    {
        int started = title->play();
        done = true;
        return started;
    }
    bool gameStarted(int timeoutMs) { return log.firstLine(timeoutMs).find(GAME) == 0; }

    const char *GAME = "E:\\quib-prompt\\qbx32v2.exe";
    GlobalsGuard globals;
    std::unique_ptr<Title> title{ newTitle(0, 1) };
    Scratch scratch;
    std::string standin = standinPath();
    StandinLog log{ "E:\\quib-standin.log" };
    std::atomic<bool> done{ false };
};

TEST_F(DiscPrompt, TextsPerTemplateButtonsAndTransparentStatics)
{
    EXPECT_EQ(elapsedBetween(0xFFFFFF00u, 16), 272u);
    const struct { int dialog, control; const char *text; } texts[] = {
        { IDD_PLAY_FIRST, IDC_PROMPT_TEXT, "Please insert the Quib Volume 2 CD." },
        { IDD_PLAY_FIRST, IDC_PROMPT_RETRYTEXT, "<no control>" },
        { IDD_PLAY_RETRY, IDC_PROMPT_RETRYTEXT, "Put in the Quib Volume 2 CD!" },
        { IDD_PLAY_RETRY, IDC_PROMPT_TEXT, "<no control>" },
        { IDD_INSTALL_FIRST, IDC_PROMPT_REMARK, "Don't make me hurt you." },
        { IDD_INSTALL_RETRY, IDC_PROMPT_REMARK, "Hey, genius!  I don't see Disk#1" },
    };
    for (const auto &t : texts) {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(t.dialog),
                                         NULL, discDialogProc, 0);
        EXPECT_EQ(windowText(dialog), CAPTION) << t.text;
        EXPECT_EQ(itemText(dialog, t.control), t.text);
        // Every text is its own group, centred both ways.
        if (HWND text = GetDlgItem(dialog, t.control))
            EXPECT_EQ(GetWindowLongA(text, GWL_STYLE),
                      WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER | SS_CENTERIMAGE) << t.text;
        DestroyWindow(dialog);
    }

    // A command is posted, then OK clicked: after an ignored command it is 1.
    const struct { int command; INT_PTR result; } commands[] = {
        { IDC_PROMPT_OK, 1 }, { IDC_PROMPT_CANCEL, 0 }, { 1002, 0 }, { 1003, 0 },
        { IDOK, 1 }, { IDCANCEL, 1 }, { IDC_PROMPT_REMARK, 1 },
    };
    for (const auto &c : commands) {
        Helper helper([&] {
            HWND dialog = waitForWindow("#32770", CAPTION);
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(c.command, BN_CLICKED), 0);
            click(dialog, IDC_PROMPT_OK);
        });
        EXPECT_EQ(showDiscDialog(IDD_PLAY_FIRST), c.result) << c.command;
    }

    HDC dc = CreateCompatibleDC(NULL);
    EXPECT_EQ(discDialogProc(NULL, WM_CTLCOLORSTATIC, (WPARAM)dc, 0),
              (INT_PTR)GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    DeleteDC(dc);
}

TEST_F(DiscPrompt, DiscOnAnotherDriveIsFoundAndCancelStartsNothing)
{
    HWND prompt = NULL;
    scratch.file("H:\\qbx2\\Qbx2._CD");
    {
        Helper helper([&] { click(prompt = nextPrompt(), IDC_PROMPT_CANCEL); });
        EXPECT_EQ(play(), 1);
    }
    EXPECT_EQ(prompt, nullptr);
    EXPECT_TRUE(gameStarted(5000));

    removeTree("H:\\qbx2");
    DeleteFileA(log.path.c_str());
    done = false;
    Helper helper([&] { click(prompt = nextPrompt(), IDC_PROMPT_CANCEL); });
    EXPECT_EQ(play(), 0);
    EXPECT_FALSE(gameStarted(300));
    char path[PATH_SIZE] = "C:\\quib-nowhere\\none._CD";
    EXPECT_EQ(waitForDisc(9001, 9002, path), 0) << "a prompt that cannot be shown";
}

// The one slow test: Escape leaves the prompt open; after OK the drives are
// polled for ten seconds before the retry prompt; a disc that arrives while
// they are polled again starts the game without another prompt.
TEST_F(DiscPrompt, RetryAfterTenSecondsThenTheDiscArrives)
{
    std::string text, retryText;
    bool openAfterEscape = false;
    double seconds = 0;
    HWND again = NULL;
    Helper helper([&] {
        HWND first = nextPrompt();
        text = itemText(first, IDC_PROMPT_TEXT);
        PostMessageA(GetDlgItem(first, IDC_PROMPT_OK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(first, WM_CLOSE, 0, 0);
        Sleep(300);
        openAfterEscape = IsWindowVisible(first);
        click(first, IDC_PROMPT_OK);
        auto confirmed = std::chrono::steady_clock::now();
        HWND retry = nextPrompt(first);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - confirmed).count();
        retryText = itemText(retry, IDC_PROMPT_RETRYTEXT);
        click(retry, IDC_PROMPT_OK);
        Sleep(500);
        scratch.file("G:\\qbx2\\Qbx2._CD");
        click(again = nextPrompt(retry), IDC_PROMPT_CANCEL);
    });
    EXPECT_EQ(play(), 1);
    EXPECT_TRUE(gameStarted(5000));
    helper.thread.join();
    EXPECT_EQ(text, "Please insert the Quib Volume 2 CD.");
    EXPECT_TRUE(openAfterEscape);
    EXPECT_GE(seconds, 9.9);
    EXPECT_LT(seconds, 11.5);
    EXPECT_EQ(retryText, "Put in the Quib Volume 2 CD!");
    EXPECT_EQ(again, nullptr);
}

} // namespace
