// The installed test on the prefix's registry and files; the launch failure.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <memory>
#include <string>
#include <thread>
#include "test_support.h"
#include "titles/title.h"

namespace {

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
    std::unique_ptr<Title> title;
    auto installed = [&](int row, const std::string &value, DWORD type = REG_SZ, DWORD size = 0) {
        HKEY key;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, rows[row][0], 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
        RegSetValueExA(key, rows[row][1], 0, type, (const BYTE *)value.c_str(),
                       size ? size : (DWORD)value.size() + 1);
        title.reset(newTitle(0, row));
        int result = title->isInstalled();
        RegDeleteValueA(key, rows[row][1]);
        RegCloseKey(key);
        return result;
    };
    quibtest::Scratch scratch;
    std::string dir;
    for (int row = 0; row < 9; ++row) {
        dir = "E:\\quib-installed" + std::to_string(row);
        scratch.file(dir + "\\" + rows[row][2]);
        scratch.file(dir + "\\QuibLaunch.exe");
        EXPECT_EQ(installed(row, dir), 1) << row;
        EXPECT_EQ(title->installDir, dir + "\\") << row;
    }
    // The last row's game is in dir.
    EXPECT_EQ(installed(8, dir, REG_EXPAND_SZ), 0);
    EXPECT_EQ(installed(8, "E:\\" + std::string(257, 'x'), REG_SZ, 260), 0) << "no NUL";
    EXPECT_EQ(installed(8, dir + "\\"), 1);
    EXPECT_EQ(title->installDir, dir + "\\\\") << "a trailing backslash is doubled";
    EXPECT_EQ(installed(7, dir), 0) << "without its game";
}

TEST(Launch, FailureNamesTheErrorAndThePath)
{
    char problem[300] = "";
    std::thread watcher([&] {
        HWND box = quibtest::waitForWindow("#32770", "We have a problem");
        GetDlgItemTextA(box, 0xFFFF, problem, sizeof(problem));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(launchProgram("E:\\quib-q2setup.exe"), 0);
    watcher.join();
    EXPECT_STREQ(problem, "Error:2  Could not run program.\n\nE:\\quib-q2setup.exe");
}

// The stand-in program plays the launcher's own file, so the copy that the
// two-disc title starts from the Windows directory logs how it was started.
TEST(HandOver, CdLauncherStartsACopyOfItselfInTheWindowsDirectory)
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof(path));
    std::string standin = path;   // <build>\tests\unit\unit_tests.exe
    for (int up = 0; up < 3; ++up)
        standin.erase(standin.rfind('\\'));
    standin += "\\standin.exe";
    const std::string own = "E:\\quib-handover.exe", copy = "C:\\windows\\~QBX4.tmp";
    const char log[] = "E:\\quib-handover.log";
    SetEnvironmentVariableA("QUIB_STANDIN_LOG", log);
    ASSERT_TRUE(CopyFileA(standin.c_str(), own.c_str(), FALSE));
    SetFileAttributesA(own.c_str(), FILE_ATTRIBUTE_READONLY);   // as on a disc
    HINSTANCE launcher = g_instance;
    g_instance = LoadLibraryA(own.c_str());

    std::unique_ptr<Title> title(newTitle(1, 6));
    ASSERT_EQ(title->isAlreadyRunning(), 0);
    title->run();
    HANDLE semaphore = OpenSemaphoreA(SYNCHRONIZE, FALSE, "Quib AutoPlay");
    EXPECT_EQ(semaphore, nullptr) << "closed before the copy starts";
    char line[3 * MAX_PATH] = "";
    for (int waited = 0; !line[0] && waited < 5000; waited += 20) {
        Sleep(20);
        if (FILE *file = fopen(log, "r")) {
            fgets(line, sizeof(line), file);
            fclose(file);
        }
    }
    // Its path, the same text as its command line, and its current directory.
    line[strcspn(line, "\r\n")] = '\0';
    EXPECT_EQ(std::string(line), copy + "\t" + copy + "\tC:\\windows");
    EXPECT_EQ(GetFileAttributesA(copy.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << "normal attributes";

    FreeLibrary(g_instance);
    g_instance = launcher;
    SetFileAttributesA(own.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(own.c_str());
    DeleteFileA(log);
    for (int tries = 0; tries < 100 && !DeleteFileA(copy.c_str()); ++tries)
        Sleep(20);   // the copy may still be running for a moment
    SetEnvironmentVariableA("QUIB_STANDIN_LOG", NULL);
}

} // namespace
