// The disc prompts and the wait for a disc, with real dialogs: a second
// thread finds the prompts and presses their buttons while the test's thread
// sits in the prompt's modal loop or in the disc poll.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <atomic>
#include <memory>
#include <string>
#include "launcher/paths.h"
#include "resource.h"
#include "test_support.h"
#include "titles/disc_prompt.h"
#include "titles/title.h"

using namespace quibtest;

namespace {

TEST(Elapsed, CountsRightAcrossTheCounterWrap)
{
    EXPECT_EQ(elapsedBetween(0xFFFFFF00u, 16), 272u);
    EXPECT_EQ(elapsedBetween(5000, 15000), 10000u);
    EXPECT_LT(elapsedSince(timeGetTime()), 1000u);
}

// A title whose texts are recognisable and whose text calls are counted.
class FakeTitle : public Title {
public:
    FakeTitle() : Title(0, 0) {}
    void loadBoxArt() override {}
    const char *gameWindowClass() override { return "QuibTestGame"; }
    const char *discMarkerPath() override { return "C:\\quib-test._CD"; }
    int isInstalled() override { return 0; }
    int install() override { return 0; }
    int play() override { return 0; }
    const char *promptCaption() override { return "Quib test caption"; }
    const char *promptText() override { ++promptTextCalls; return "first prompt text"; }
    const char *retryText() override { ++retryTextCalls; return "retry prompt text"; }

    int promptTextCalls = 0;
    int retryTextCalls = 0;
};

class DiscDialog : public ::testing::Test {
protected:
    void SetUp() override { g_title = &fake; }
    HWND open(int id)
    {
        return CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id), NULL,
                                  discDialogProc, 0);
    }

    GlobalsGuard globals;
    FakeTitle fake;
};

TEST_F(DiscDialog, OpeningFillsCaptionAndOnlyTheTextsItsTemplateHas)
{
    HWND play = open(IDD_PLAY_FIRST);
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(windowText(play), "Quib test caption");
    EXPECT_EQ(itemText(play, IDC_PROMPT_TEXT), "first prompt text");
    EXPECT_EQ(itemText(play, 0xFFFF), "(Humming is optional.)");
    DestroyWindow(play);

    HWND retry = open(IDD_PLAY_RETRY);
    ASSERT_NE(retry, nullptr);
    EXPECT_EQ(itemText(retry, IDC_PROMPT_RETRYTEXT), "retry prompt text");
    EXPECT_EQ(itemText(retry, IDC_PROMPT_REMARK), "Um... wrong disk, professor!");
    DestroyWindow(retry);
    EXPECT_EQ(fake.promptTextCalls, 1);
    EXPECT_EQ(fake.retryTextCalls, 1);

    const struct { int id; const char *remark; const char *fixed; } installs[] = {
        { IDD_INSTALL_FIRST, "Don't make me hurt you.",
          "Please insert disk #1 to install The Whirl." },
        { IDD_INSTALL_RETRY, "Hey, genius!  I don't see Disk#1",
          "Put in disk #1 to install The Whirl!" },
    };
    for (const auto &install : installs) {
        SCOPED_TRACE(install.id);
        HWND dialog = open(install.id);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(windowText(dialog), "Quib test caption");
        EXPECT_EQ(itemText(dialog, IDC_PROMPT_REMARK), install.remark);
        EXPECT_EQ(itemText(dialog, 0xFFFF), install.fixed);
        DestroyWindow(dialog);
    }
    EXPECT_EQ(fake.promptTextCalls, 1);
    EXPECT_EQ(fake.retryTextCalls, 1);
}

TEST_F(DiscDialog, StaticTextsHaveNoBackground)
{
    HDC dc = CreateCompatibleDC(NULL);
    SetBkMode(dc, OPAQUE);
    INT_PTR brush = discDialogProc(NULL, WM_CTLCOLORSTATIC, (WPARAM)dc, 0);
    EXPECT_EQ(brush, (INT_PTR)GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    DeleteDC(dc);
}

// Shows prompt 105 modally; a helper posts `first` and then clicks OK. The
// result tells whether `first` ended the prompt (and how) or was ignored.
INT_PTR promptResultAfter(const std::function<void(HWND)> &first)
{
    Helper helper([&] {
        HWND dialog = waitForWindow("#32770", "Quib test caption");
        if (!dialog)
            return;
        first(dialog);
        click(dialog, IDC_PROMPT_OK);
    });
    return showDiscDialog(IDD_PLAY_FIRST);
}

std::function<void(HWND)> command(int id)
{
    return [id](HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };
}

TEST_F(DiscDialog, OnlyItsTwoButtonsEndThePrompt)
{
    EXPECT_EQ(promptResultAfter([](HWND) {}), 1);                  // OK
    EXPECT_EQ(promptResultAfter(command(IDC_PROMPT_CANCEL)), 0);
    EXPECT_EQ(promptResultAfter(command(1002)), 0);
    EXPECT_EQ(promptResultAfter(command(1003)), 0);
    // Ignored: the OK that follows ends the prompt.
    EXPECT_EQ(promptResultAfter(command(IDOK)), 1);
    EXPECT_EQ(promptResultAfter(command(IDCANCEL)), 1);
    EXPECT_EQ(promptResultAfter(command(IDC_PROMPT_REMARK)), 1);
    EXPECT_EQ(promptResultAfter([](HWND dialog) {
                  HWND button = GetDlgItem(dialog, IDC_PROMPT_OK);
                  PostMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                  PostMessageA(button, WM_KEYUP, VK_ESCAPE, 0xC0010001);
              }), 1);
    EXPECT_EQ(promptResultAfter([](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }), 1);
}

TEST_F(DiscDialog, PromptThatCannotBeShownCountsAsCancel)
{
    char path[PATH_SIZE] = "C:\\quib-nowhere\\none._CD";
    EXPECT_EQ(waitForDisc(9001, 9002, path), 0);
}

// Play and install of real titles with the disc missing, elsewhere, or
// arriving while the launcher polls.
class DiscWait : public ::testing::Test {
protected:
    void SetUp() override
    {
        standin = standinPath();
        if (standin.empty())
            GTEST_SKIP() << "the stand-in program is not built";
        scratch.track("E:\\quib-prompt");
        makeDirs("E:\\quib-prompt");
        setOwnDir("E:\\quib-prompt\\");
        title.reset(newTitle(0, 1));
        g_title = title.get();
        g_mainWindow = NULL;
        copyString(title->installDir, PATH_SIZE, "E:\\quib-prompt\\");
        ASSERT_TRUE(CopyFileA(standin.c_str(), GAME, FALSE));
    }

    const char *CAPTION = "Quibbix - Volume 2";
    const char *GAME = "E:\\quib-prompt\\qbx32v2.exe";
    GlobalsGuard globals;
    Scratch scratch;
    std::string standin;
    StandinLog log{ "E:\\quib-standin.log" };
    std::unique_ptr<Title> title;
};

// Cancels every prompt of the title that shows up (only those with the
// given control, when one is named), and counts them.
class PromptCanceller {
public:
    explicit PromptCanceller(const char *caption, int withControl = 0)
        : helper([this, caption, withControl] {
              while (!stop) {
                  HWND dialog = FindWindowA("#32770", caption);
                  if (dialog && (!withControl || GetDlgItem(dialog, withControl))) {
                      ++prompts;
                      click(dialog, IDC_PROMPT_CANCEL);
                      waitUntil([&] { return !IsWindow(dialog); }, 2000);
                  }
                  Sleep(10);
              }
          })
    {
    }
    ~PromptCanceller() { stop = true; }

    std::atomic<bool> stop{ false };
    std::atomic<int> prompts{ 0 };

private:
    Helper helper;
};

TEST_F(DiscWait, DiscOnAnotherDriveStartsTheGameWithoutAPrompt)
{
    scratch.file("H:\\qbx2\\Qbx2._CD");
    PromptCanceller canceller(CAPTION);
    EXPECT_EQ(title->play(), 1);
    EXPECT_EQ(log.firstStartedPath(), GAME);
    EXPECT_EQ(canceller.prompts, 0);
    canceller.stop = true;
}

TEST_F(DiscWait, MissingDiscAsksAndCancelStartsNothing)
{
    std::string text, humming, retryControl;
    bool openAfterEscape = false;
    Helper helper([&] {
        HWND dialog = waitForWindow("#32770", CAPTION);
        if (!dialog)
            return;
        text = itemText(dialog, IDC_PROMPT_TEXT);
        humming = itemText(dialog, 0xFFFF);
        retryControl = itemText(dialog, IDC_PROMPT_RETRYTEXT);
        PostMessageA(GetDlgItem(dialog, IDC_PROMPT_OK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        Sleep(300);
        openAfterEscape = IsWindow(dialog) && IsWindowVisible(dialog);
        click(dialog, IDC_PROMPT_CANCEL);
    });
    EXPECT_EQ(title->play(), 0);
    EXPECT_EQ(text, "Please insert the Quib Volume 2 CD.");
    EXPECT_EQ(humming, "(Humming is optional.)");
    EXPECT_EQ(retryControl, "<no control>");
    EXPECT_TRUE(openAfterEscape);
    EXPECT_TRUE(log.waitForLines(300).empty()) << "the game was started";
}

TEST_F(DiscWait, DiscArrivingDuringThePollStartsTheGame)
{
    auto start = std::chrono::steady_clock::now();
    Helper helper([&] {
        HWND dialog = waitForWindow("#32770", CAPTION);
        if (!dialog)
            return;
        click(dialog, IDC_PROMPT_OK);
        waitUntil([&] { return !IsWindow(dialog); }, 2000);
        Sleep(500);
        scratch.file("G:\\qbx2\\Qbx2._CD");
    });
    PromptCanceller retries(CAPTION, IDC_PROMPT_RETRYTEXT);
    EXPECT_EQ(title->play(), 1);
    double seconds = secondsSince(start);
    EXPECT_EQ(log.firstStartedPath(), GAME);
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(retries.prompts, 0);
    retries.stop = true;
}

// The one slow test: the retry prompt comes after ten seconds of polling.
TEST_F(DiscWait, RetryPromptAfterTenSecondsOfPolling)
{
    double seconds = 0;
    std::string remark, retryText, promptControl;
    Helper helper([&] {
        HWND first = waitForWindow("#32770", CAPTION);
        if (!first)
            return;
        auto confirmed = std::chrono::steady_clock::now();
        click(first, IDC_PROMPT_OK);
        waitUntil([&] { return !IsWindow(first); }, 2000);
        HWND retry = waitForWindow("#32770", CAPTION, 15000);
        seconds = secondsSince(confirmed);
        if (!retry)
            return;
        remark = itemText(retry, IDC_PROMPT_REMARK);
        retryText = itemText(retry, IDC_PROMPT_RETRYTEXT);
        promptControl = itemText(retry, IDC_PROMPT_TEXT);
        click(retry, IDC_PROMPT_CANCEL);
    });
    EXPECT_EQ(title->play(), 0);
    EXPECT_GE(seconds, 9.9);
    EXPECT_LT(seconds, 11.5);
    EXPECT_EQ(remark, "Um... wrong disk, professor!");
    EXPECT_EQ(retryText, "Put in the Quib Volume 2 CD!");
    EXPECT_EQ(promptControl, "<no control>");
    EXPECT_TRUE(log.waitForLines(300).empty()) << "the game was started";
}

TEST_F(DiscWait, TwoDiscInstallAsksForDiscOne)
{
    std::unique_ptr<Title> whirl(newTitle(0, 6));
    g_title = whirl.get();
    std::string fixed;
    bool hasPromptText = true;
    Helper helper([&] {
        HWND dialog = waitForWindow("#32770", "Quibbix - The Whirl");
        if (!dialog)
            return;
        fixed = itemText(dialog, 0xFFFF);
        hasPromptText = GetDlgItem(dialog, IDC_PROMPT_TEXT) != NULL;
        click(dialog, IDC_PROMPT_CANCEL);
    });
    EXPECT_EQ(whirl->install(), 0);
    EXPECT_EQ(fixed, "Please insert disk #1 to install The Whirl.");
    EXPECT_FALSE(hasPromptText);
}

} // namespace
