// The titles' common operations on the real registry, files, windows and
// processes of the test prefix: the installed test, the already-running
// test, starting setup programs and the launch failure message.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "launcher/paths.h"
#include "test_support.h"
#include "titles/title.h"
#include "titles/two_disc_title.h"

using namespace quibtest;

namespace {

struct InstallRow {
    const char *key;
    const char *valueName;
    const char *gameExe;
};

// Where each title's installer records its directory, and the game there.
const InstallRow INSTALL_ROWS[9] = {
    { "SOFTWARE\\Fennwick\\QBX", "[InstallDir]", "Qbx32.exe" },
    { "SOFTWARE\\Fennwick\\QBXV2", "InstallDir", "qbx32v2.exe" },
    { "SOFTWARE\\Fennwick\\QBXV3", "InstallDir", "qbx332.exe" },
    { "SOFTWARE\\Fennwick\\QBXJ", "InstallDir", "Qbxj32.exe" },
    { "SOFTWARE\\Fennwick\\QBXGLIM", "InstallDir", "qbxglim32.exe" },
    { "SOFTWARE\\Fennwick\\QBXRLS", "InstallDir", "reelies32.exe" },
    { "SOFTWARE\\Marrowby\\Setup\\QuibWhirl", "Directory", "QBXTW.exe" },
    { "SOFTWARE\\Marrowby\\Setup\\QBX_Nod", "Directory", "QBX Nodial.exe" },
    { "SOFTWARE\\Marrowby\\Setup\\QBXBRZ", "Directory", "QBX Brasher.exe" },
};

const char INSTALL_ROOT[] = "E:\\quib-installed";

std::unique_ptr<Title> makeTitle(int row, int onCd = 0)
{
    return std::unique_ptr<Title>(newTitle(onCd, row));
}

class Installed : public ::testing::Test {
protected:
    void SetUp() override { scratch.track(INSTALL_ROOT); }

    Scratch scratch;
};

TEST_F(Installed, EveryRowReadsItsOwnValueAndFindsItsGame)
{
    for (int row = 0; row < 9; ++row) {
        SCOPED_TRACE(row);
        const InstallRow &r = INSTALL_ROWS[row];
        std::string dir = std::string(INSTALL_ROOT) + "\\row" + std::to_string(row);
        writeFile(dir + "\\" + r.gameExe);
        writeFile(dir + "\\QuibLaunch.exe");
        auto title = makeTitle(row);
        {
            RegistryValue value(r.key, r.valueName, dir);
            ASSERT_TRUE(value.ok);
            EXPECT_EQ(title->isInstalled(), 1);
            EXPECT_EQ(std::string(title->installDir), dir + "\\");
        }
        // The same directory under a neighbour's value name is not enough.
        const char *wrongName = row == 0 ? "InstallDir" : row < 6 ? "[InstallDir]" : "InstallDir";
        RegistryValue wrong(r.key, wrongName, dir);
        EXPECT_EQ(makeTitle(row)->isInstalled(), 0);
    }
}

TEST_F(Installed, ExpandableStringIsNotADirectory)
{
    writeFile(std::string(INSTALL_ROOT) + "\\qbx32v2.exe");
    RegistryValue value(INSTALL_ROWS[1].key, "InstallDir", INSTALL_ROOT, REG_EXPAND_SZ);
    EXPECT_EQ(makeTitle(1)->isInstalled(), 0);
}

TEST_F(Installed, MissingGameKeepsTheDirectory)
{
    RegistryValue value(INSTALL_ROWS[1].key, "InstallDir", "E:\\Games\\Vol2");
    auto title = makeTitle(1);
    EXPECT_EQ(title->isInstalled(), 0);
    EXPECT_STREQ(title->installDir, "E:\\Games\\Vol2\\");
}

TEST_F(Installed, TrailingBackslashIsDoubled)
{
    writeFile(std::string(INSTALL_ROOT) + "\\QBX Nodial.exe");
    RegistryValue value(INSTALL_ROWS[7].key, "Directory", std::string(INSTALL_ROOT) + "\\");
    auto title = makeTitle(7);
    EXPECT_EQ(title->isInstalled(), 1);
    EXPECT_EQ(std::string(title->installDir), std::string(INSTALL_ROOT) + "\\\\");
}

TEST_F(Installed, ValuesThatDoNotFitAreNotInstalled)
{
    // 260 bytes and no terminating NUL.
    std::string full(260, 'x');
    full.replace(0, 3, "E:\\");
    {
        RegistryValue value(INSTALL_ROWS[1].key, "InstallDir", REG_SZ, full.data(), 260);
        ASSERT_TRUE(value.ok);
        auto title = makeTitle(1);
        EXPECT_EQ(title->isInstalled(), 0);
        EXPECT_STREQ(title->installDir, "");
    }
    // 259 characters: the backslash behind it no longer fits.
    {
        RegistryValue value(INSTALL_ROWS[1].key, "InstallDir", full.substr(0, 259));
        ASSERT_TRUE(value.ok);
        EXPECT_EQ(makeTitle(1)->isInstalled(), 0);
    }
}

TEST_F(Installed, TwoDiscTitleAlsoNeedsTheInstalledLauncher)
{
    writeFile(std::string(INSTALL_ROOT) + "\\QBXTW.exe");
    RegistryValue value(INSTALL_ROWS[6].key, "Directory", INSTALL_ROOT);
    auto title = makeTitle(6);
    EXPECT_EQ(title->isInstalled(), 0);
    EXPECT_EQ(std::string(title->installDir), std::string(INSTALL_ROOT) + "\\");
    writeFile(std::string(INSTALL_ROOT) + "\\QuibLaunch.exe");
    EXPECT_EQ(title->isInstalled(), 1);
}

TEST_F(Installed, TwoDiscLauncherPathThatDoesNotFitIsNotInstalled)
{
    // 245 characters + "\" + "QBXTW.exe" fits; + "QuibLaunch.exe" does not.
    std::string dir = std::string(INSTALL_ROOT) + "\\" + std::string(245 - 18, 'w');
    ASSERT_EQ(dir.size(), 245u);
    ASSERT_TRUE(writeFile(dir + "\\QBXTW.exe"));
    RegistryValue value(INSTALL_ROWS[6].key, "Directory", dir);
    EXPECT_EQ(makeTitle(6)->isInstalled(), 0);
}

// Closes the semaphore that isAlreadyRunning leaves open.
class AlreadyRunning : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (g_semaphore)
            CloseHandle(g_semaphore);
    }
    GlobalsGuard globals;
};

TEST_F(AlreadyRunning, NothingElseRunning)
{
    EXPECT_EQ(makeTitle(1)->isAlreadyRunning(), 0);
    EXPECT_NE(g_semaphore, nullptr);
}

TEST_F(AlreadyRunning, AnotherLauncherHoldsTheSemaphore)
{
    HANDLE other = CreateSemaphoreA(NULL, 1, 1, "Quib AutoPlay");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(makeTitle(8)->isAlreadyRunning(), 1);
    CloseHandle(other);
}

TEST_F(AlreadyRunning, TheTitlesGameIsRunning)
{
    ForeignWindow game("QBX vol. 2", "anything");
    ASSERT_NE(game.window, nullptr);
    EXPECT_EQ(makeTitle(1)->isAlreadyRunning(), 1);
    CloseHandle(g_semaphore);
    // Another title's game does not count.
    EXPECT_EQ(makeTitle(2)->isAlreadyRunning(), 0);
}

TEST_F(AlreadyRunning, InstallerWindowStopsOnlyTheCdLauncher)
{
    ForeignWindow installer("InstallShield_Win", "Quibbix The Whirl");
    ASSERT_NE(installer.window, nullptr);
    EXPECT_EQ(makeTitle(6, 1)->isAlreadyRunning(), 1);
    CloseHandle(g_semaphore);
    EXPECT_EQ(makeTitle(6, 0)->isAlreadyRunning(), 0);
    CloseHandle(g_semaphore);
    // A single-disc title never looks for it.
    EXPECT_EQ(makeTitle(0, 1)->isAlreadyRunning(), 0);
}

TEST_F(AlreadyRunning, InstallerWindowNeedsItsTitle)
{
    ForeignWindow installer("InstallShield_Win", "Some other setup");
    EXPECT_EQ(makeTitle(6, 1)->isAlreadyRunning(), 0);
}

// What a message box "We have a problem" said; it is dismissed with OK.
struct ProblemBox {
    bool seen = false;
    std::string text;
    bool handIcon = false;
};

// Watches for the launch failure box from a second thread while the test's
// thread sits in the box's modal loop.
class ProblemBoxWatcher {
public:
    ProblemBoxWatcher()
        : helper([this] {
              HWND box = waitForWindow("#32770", "We have a problem", 5000);
              if (!box)
                  return;
              result.seen = true;
              result.text = itemText(box, 0xFFFF);
              HWND icon = GetDlgItem(box, 1088);
              HICON shown = icon ? (HICON)SendMessageA(icon, STM_GETICON, 0, 0) : NULL;
              result.handIcon = shown && shown == LoadIconA(NULL, IDI_HAND);
              PostMessageA(box, WM_COMMAND, IDOK, 0);
          })
    {
    }
    ProblemBox result;

private:
    Helper helper;
};

class Launching : public ::testing::Test {
protected:
    void SetUp() override
    {
        standin = standinPath();
        if (standin.empty())
            GTEST_SKIP() << "the stand-in program is not built";
        scratch.track(ROOT);
        CreateDirectoryA(ROOT, NULL);
    }

    const char *ROOT = "E:\\quib-launch";
    GlobalsGuard globals;
    Scratch scratch;
    std::string standin;
    StandinLog log{ "E:\\quib-standin.log" };
};

TEST_F(Launching, InstallStartsTheSetupProgramBesideTheLauncher)
{
    const struct { int row; const char *setup; } rows[] = {
        { 1, "q2setup.exe" }, { 3, "Installs.exe" }, { 7, "setup\\setup.exe" },
    };
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof(cwd), cwd);
    setOwnDir("E:\\quib-launch\\");
    for (const auto &r : rows) {
        SCOPED_TRACE(r.row);
        std::string setup = std::string(ROOT) + "\\" + r.setup;
        makeDirs(parentOf(setup));
        ASSERT_TRUE(CopyFileA(standin.c_str(), setup.c_str(), FALSE));
        EXPECT_EQ(makeTitle(r.row)->install(), 1);
        std::vector<std::string> lines = log.waitForLines();
        ASSERT_EQ(lines.size(), 1u);
        // No command line of our own: the child sees just its path (Wine
        // puts it in quotes); the current directory is the launcher's.
        std::string quoted = "\"" + setup + "\"";
        EXPECT_TRUE(lines[0] == setup + "\t" + setup + "\t" + cwd ||
                    lines[0] == setup + "\t" + quoted + "\t" + cwd) << lines[0];
        removeTree(setup);
        removeTree(log.path);
    }
}

TEST_F(Launching, MissingSetupProgramIsReported)
{
    setOwnDir("E:\\quib-launch\\");
    ProblemBoxWatcher watcher;
    int started = makeTitle(1)->install();
    EXPECT_EQ(started, 0);
    ProblemBox box = watcher.result;
    EXPECT_TRUE(box.seen);
    EXPECT_EQ(box.text, "Error:2  Could not run program.\n\nE:\\quib-launch\\q2setup.exe");
    EXPECT_TRUE(box.handIcon);
}

TEST_F(Launching, LaunchPathThatDoesNotFitIsRefusedWithTheWholePath)
{
    std::string dir = std::string(ROOT) + "\\" + std::string(240, 'p') + "\\";
    setOwnDir(dir.c_str());
    ProblemBoxWatcher watcher;
    EXPECT_EQ(makeTitle(7)->install(), 0);
    ProblemBox box = watcher.result;
    EXPECT_EQ(box.text, "Error:206  Could not run program.\n\n" + dir + "setup\\setup.exe");
}

TEST_F(Launching, TwoDiscInstallStartsSetupFromTheDriveWithDiscOne)
{
    Scratch disc;
    disc.file("F:\\Install\\QBXTW.exe");
    ASSERT_TRUE(CopyFileA(standin.c_str(), "F:\\Install\\setup.exe", FALSE));
    setOwnDir("C:\\windows\\");
    auto title = makeTitle(6);
    g_title = title.get();
    EXPECT_EQ(title->install(), 1);
    EXPECT_EQ(log.firstStartedPath(), "F:\\Install\\setup.exe");
}

// The two-disc title on a CD hands over to another process. The stand-in,
// loaded as a module, plays the launcher's own program file: its copy then
// records how it was started.
class HandOver : public Launching {
protected:
    void SetUp() override
    {
        Launching::SetUp();
        if (IsSkipped())
            return;
        scratch.track(COPY);
        source = std::string(ROOT) + "\\disc\\QuibLaunch.exe";
        makeDirs(parentOf(source));
        ASSERT_TRUE(CopyFileA(standin.c_str(), source.c_str(), FALSE));
        SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);
        module = LoadLibraryA(source.c_str());
        ASSERT_NE(module, nullptr);
        instance = g_instance;
        g_instance = module;
    }
    void TearDown() override
    {
        if (!module)
            return;
        g_instance = instance;
        FreeLibrary(module);
        // The copy may still be running for a moment.
        waitUntil([&] { DeleteFileA(COPY); return !exists(COPY); }, 3000);
    }
    bool semaphoreExists()
    {
        HANDLE h = OpenSemaphoreA(SYNCHRONIZE, FALSE, "Quib AutoPlay");
        if (h)
            CloseHandle(h);
        return h != NULL;
    }

    const char *COPY = "C:\\windows\\~QBX4.tmp";
    std::string source;
    HMODULE module = NULL;
    HINSTANCE instance = NULL;
};

TEST_F(HandOver, NotInstalledStartsACopyInTheWindowsDirectory)
{
    // No earlier copy: over an existing file the source's read-only
    // attribute would not carry over anyway.
    auto title = makeTitle(6, 1);
    ASSERT_EQ(title->isAlreadyRunning(), 0);
    title->run();
    EXPECT_FALSE(semaphoreExists()) << "the semaphore was not let go before the hand-over";

    std::vector<std::string> lines = log.waitForLines();
    ASSERT_EQ(lines.size(), 1u);
    // Path, command line (the same text, unquoted) and current directory.
    EXPECT_EQ(lines[0], "C:\\windows\\~QBX4.tmp\tC:\\windows\\~QBX4.tmp\tC:\\windows");
    EXPECT_EQ(GetFileAttributesA(COPY) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(readFile(COPY), readFile(source));
}

TEST_F(HandOver, InstalledStartsTheInstalledLauncher)
{
    std::string dir = std::string(ROOT) + "\\inst";
    writeFile(dir + "\\QBXTW.exe");
    ASSERT_TRUE(CopyFileA(standin.c_str(), (dir + "\\QuibLaunch.exe").c_str(), FALSE));
    RegistryValue value(INSTALL_ROWS[6].key, "Directory", dir);
    auto title = makeTitle(6, 1);
    ASSERT_EQ(title->isAlreadyRunning(), 0);
    title->run();
    EXPECT_FALSE(semaphoreExists());
    EXPECT_EQ(log.firstStartedPath(), dir + "\\QuibLaunch.exe");
    EXPECT_FALSE(exists(COPY));
}

} // namespace
