// Start-up: the own directory, the file test with its drive search, drive
// types and title recognition, on the real drives of the test prefix.
#include <gtest/gtest.h>
#include <string>
#include "launcher/paths.h"
#include "launcher/startup.h"
#include "test_support.h"

using namespace quibtest;

namespace {

TEST(Paths, CutJoinFileExistsAndCdRomDrive)
{
    auto cut = [](std::string path) {
        cutAfterLastBackslash(&path[0]);
        return std::string(path.c_str());
    };
    EXPECT_EQ(cut("E:\\games\\quib\\QuibLaunch.exe"), "E:\\games\\quib\\");
    EXPECT_EQ(cut("E:\\games\\quib\\"), "E:\\games\\");   // a trailing backslash never counts
    EXPECT_EQ(cut("D:\\"), "D:\\");

    struct { char path[PATH_SIZE]; char guard[32]; } buffer;
    memset(buffer.guard, 0x5A, sizeof(buffer.guard));
    std::string first(250, 'a');
    EXPECT_EQ(joinPath(buffer.path, first.c_str(), "123456789"), buffer.path);
    EXPECT_EQ(buffer.path, first + "123456789");
    EXPECT_EQ(joinPath(buffer.path, first.c_str(), "1234567890"), nullptr);
    EXPECT_EQ(joinPath(buffer.path, std::string(300, 'b').c_str(), "x"), nullptr);
    EXPECT_EQ(std::string(buffer.guard, 32), std::string(32, 0x5A)) << "wrote past 260";

    const std::string marker = ":\\quib-fileexists\\marker.dat";   // used nowhere else
    Scratch scratch;
    char path[PATH_SIZE];
    auto check = [&](char letter, int exactOnly) {
        return fileExists(strcpy(path, (letter + marker).c_str()), exactOnly);
    };
    EXPECT_EQ(check('E', 0), 0);
    EXPECT_EQ(path, 'Z' + marker);
    scratch.file('G' + marker);
    EXPECT_EQ(check('E', 1), 0);
    EXPECT_EQ(path, 'E' + marker);
    EXPECT_EQ(check('C', 0), 1);
    EXPECT_EQ(path, 'G' + marker);
    scratch.file('E' + marker);
    EXPECT_EQ(check('H', 0), 1);
    EXPECT_EQ(path[0], 'E');
    EXPECT_EQ(check('G', 0), 1);
    EXPECT_EQ(path[0], 'G') << "the named drive comes first";

    EXPECT_EQ(isCdRomDrive("D:\\qbx2\\"), 1);
    EXPECT_EQ(isCdRomDrive("E:\\"), 0);
    EXPECT_EQ(isCdRomDrive("C:\\windows\\"), 0);
}

TEST(DetectTitle, MarkersOnCdExecutablesElsewhereLowerRowThenTheCopy)
{
    // How each row is recognised on a hard disk and on a CD.
    const char *const names[9][2] = {
        { "Qbx32.exe", "Qbx._CD" }, { "qbx32v2.exe", "qbx2\\Qbx2._CD" },
        { "qbx332.exe", "qbx3\\Qbx3._CD" }, { "Qbxj32.exe", "jocko\\QbxJ._CD" },
        { "qbxglim32.exe", "qbxGlim\\QbxGlim._CD" }, { "reelies32.exe", "QBXR\\QBXR._CD" },
        { "Quib The Whirl.exe", "PlayQTW.exe" }, { "QBX Nodial.exe", "NodialCache\\Nodial._CD" },
        { "QBX Brasher.exe", "BrasherCache\\Brasher._CD" },
    };
    const std::string dir = "E:\\quib-detect\\";
    Scratch scratch;
    auto detect = [&](int onCd, const char *name, const char *also = NULL) {
        scratch.track("E:\\quib-detect");
        writeFile(dir + name);
        if (also)
            writeFile(dir + also);
        return detectTitle(onCd, dir.c_str());
    };
    for (int row = 0; row < 9; ++row) {
        for (int onCd = 0; onCd < 2; ++onCd) {
            EXPECT_EQ(detect(onCd, names[row][onCd]), row) << names[row][onCd];
            EXPECT_EQ(detect(!onCd, names[row][onCd]), 9) << names[row][onCd];
        }
    }
    EXPECT_EQ(detect(1, names[7][1], names[3][1]), 3);
    EXPECT_EQ(detect(0, "~QBX4.tmp"), 6);
    EXPECT_EQ(detect(1, "~QBX4.tmp"), 6);
    EXPECT_EQ(detect(0, "~QBX4.tmp", names[8][0]), 8);
}

} // namespace
