// The installed test on the prefix's registry and files; the launch failure.
#include <gtest/gtest.h>
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

} // namespace
