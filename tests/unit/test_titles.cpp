// The titles' common operations on the real registry, files, windows and
// processes of the test prefix: the installed test, the already-running
// test, starting setup programs and the hand-over to a copy.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "test_support.h"

using namespace quibtest;

namespace {

// A value under HKEY_LOCAL_MACHINE for as long as the object lives.
struct RegistryValue {
    HKEY key = NULL;
    const char *name;
    RegistryValue(const char *path, const char *name, const std::string &text,
                  DWORD type = REG_SZ, DWORD size = 0) : name(name)
    {
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
        RegSetValueExA(key, name, 0, type, (const BYTE *)text.c_str(),
                       size ? size : (DWORD)text.size() + 1);
    }
    ~RegistryValue() { RegDeleteValueA(key, name); RegCloseKey(key); }
};

std::unique_ptr<Title> makeTitle(int row, int onCd = 0)
{
    return std::unique_ptr<Title>(newTitle(onCd, row));
}

TEST(Installed, RegistryValueAndGameDecide)
{
    // Where each title's installer records its directory, and the game there.
    const char *const rows[9][3] = {
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
    const std::string dir = "E:\\quib-installed";
    Scratch scratch;
    std::unique_ptr<Title> title;
    auto installed = [&](int row, const std::string &value, DWORD type = REG_SZ, DWORD size = 0) {
        RegistryValue registered(rows[row][0], rows[row][1], value, type, size);
        title = makeTitle(row);
        return title->isInstalled();
    };
    for (int row = 0; row < 9; ++row) {
        scratch.track(dir);
        writeFile(dir + "\\" + rows[row][2]);
        writeFile(dir + "\\QuibLaunch.exe");
        EXPECT_EQ(installed(row, dir), 1) << row;
        EXPECT_EQ(title->installDir, dir + "\\") << row;
    }
    // The last row's game is there.
    EXPECT_EQ(installed(8, dir, REG_EXPAND_SZ), 0);
    EXPECT_EQ(installed(8, "E:\\" + std::string(257, 'x'), REG_SZ, 260), 0) << "no NUL";
    EXPECT_EQ(installed(8, dir + "\\"), 1);
    EXPECT_EQ(title->installDir, dir + "\\\\") << "a trailing backslash is doubled";
    EXPECT_EQ(installed(7, dir), 0) << "without its game";
    EXPECT_EQ(title->installDir, dir + "\\");
    writeFile(dir + "\\QBXTW.exe");
    DeleteFileA((dir + "\\QuibLaunch.exe").c_str());
    EXPECT_EQ(installed(6, dir), 0) << "the two-disc title without its launcher";
}

// A top-level window as a running game or installer would show it.
HWND foreignWindow(const char *cls, const char *title)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(0, cls, title, WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
}

TEST(AlreadyRunning, SemaphoreGameWindowAndTheInstallerOnlyFromACd)
{
    GlobalsGuard globals;
    // Each call leaves the semaphore open; the next call needs it closed.
    auto running = [](int row, int onCd) {
        int result = makeTitle(row, onCd)->isAlreadyRunning();
        CloseHandle(g_semaphore);
        return result;
    };
    EXPECT_EQ(running(1, 0), 0);
    HANDLE other = CreateSemaphoreA(NULL, 1, 1, "Quib AutoPlay");
    EXPECT_EQ(running(8, 0), 1);
    CloseHandle(other);

    HWND game = foreignWindow("QBX vol. 2", "anything");
    EXPECT_EQ(running(1, 0), 1);
    EXPECT_EQ(running(2, 0), 0);
    DestroyWindow(game);

    HWND installer = foreignWindow("InstallShield_Win", "Quibbix The Whirl");
    EXPECT_EQ(running(6, 1), 1);
    EXPECT_EQ(running(6, 0), 0);
    EXPECT_EQ(running(0, 1), 0);
    DestroyWindow(installer);
}

class Launching : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (standin.empty())
            FAIL() << "the stand-in program is not built";
        scratch.track("E:\\quib-launch");
        makeDirs("E:\\quib-launch\\setup");
        globals.setOwnDir("E:\\quib-launch\\");
    }

    GlobalsGuard globals;
    Scratch scratch;
    std::string standin = standinPath();
    StandinLog log{ "E:\\quib-standin.log" };
};

TEST_F(Launching, InstallStartsSetupBesideTheLauncherOrReportsItMissing)
{
    std::string problem;
    {
        Helper watcher([&] {
            HWND box = waitForWindow("#32770", "We have a problem");
            problem = itemText(box, 0xFFFF);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(makeTitle(1)->install(), 0);
    }
    EXPECT_EQ(problem, "Error:2  Could not run program.\n\nE:\\quib-launch\\q2setup.exe");

    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof(cwd), cwd);
    const std::string setup = "E:\\quib-launch\\setup\\setup.exe";
    ASSERT_TRUE(CopyFileA(standin.c_str(), setup.c_str(), FALSE));
    EXPECT_EQ(makeTitle(7)->install(), 1);
    // No command line of our own: the child sees just its path (Wine quotes
    // it); the current directory is the launcher's.
    std::string line = log.firstLine();
    EXPECT_TRUE(line == setup + "\t" + setup + "\t" + cwd ||
                line == setup + "\t\"" + setup + "\"\t" + cwd) << line;
}

TEST_F(Launching, TwoDiscInstallStartsSetupFromTheDriveWithDiscOne)
{
    scratch.file("F:\\Install\\QBXTW.exe");
    ASSERT_TRUE(CopyFileA(standin.c_str(), "F:\\Install\\setup.exe", FALSE));
    globals.setOwnDir("C:\\windows\\");
    auto title = makeTitle(6);
    g_title = title.get();
    EXPECT_EQ(title->install(), 1);
    EXPECT_EQ(log.firstLine().find("F:\\Install\\setup.exe\t"), 0u);
}

// The stand-in, loaded as a module, plays the launcher's own read-only
// program file on the CD: its copy then records how it was started.
TEST_F(Launching, NotInstalledFromCdHandsOverToACopyInTheWindowsDirectory)
{
    const std::string copy = "C:\\windows\\~QBX4.tmp", source = "E:\\quib-launch\\QuibLaunch.exe";
    scratch.track(copy);
    ASSERT_TRUE(CopyFileA(standin.c_str(), source.c_str(), FALSE));
    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);
    HMODULE module = LoadLibraryA(source.c_str());
    g_instance = module;
    auto title = makeTitle(6, 1);
    ASSERT_EQ(title->isAlreadyRunning(), 0);
    title->run();
    HANDLE semaphore = OpenSemaphoreA(SYNCHRONIZE, FALSE, "Quib AutoPlay");
    EXPECT_EQ(semaphore, nullptr) << "the semaphore must go before the hand-over";
    CloseHandle(semaphore);
    // Path, command line (the same text, unquoted) and current directory.
    EXPECT_EQ(log.firstLine(), copy + "\t" + copy + "\tC:\\windows");
    EXPECT_EQ(GetFileAttributesA(copy.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    FreeLibrary(module);
    for (int i = 0; i < 150 && !DeleteFileA(copy.c_str()); ++i)
        Sleep(20);   // the copy may still be running for a moment
}

} // namespace
