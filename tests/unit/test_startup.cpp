// Path helpers and the file test's drive search on the prefix's drives.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "launcher/globals.h"
#include "launcher/paths.h"
#include "test_support.h"

namespace {

TEST(Paths, CutJoinAndTheDriveSearch)
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
    for (const char *absolute : { "C:\\", "z:/games", "\\\\server\\share" })
        EXPECT_TRUE(isAbsolutePath(absolute)) << absolute;
    for (const char *relative : { "", "C:", "C:games", "\\games", "games\\quib", "1:\\" })
        EXPECT_FALSE(isAbsolutePath(relative)) << relative;

    // The drive search: the named drive, then C to Z.
    const std::string marker = ":\\quib-fileexists\\marker.dat";
    quibtest::Scratch scratch;
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
    EXPECT_EQ(path[0], 'E') << "E comes before G";
    EXPECT_EQ(check('G', 0), 1);
    EXPECT_EQ(path[0], 'G') << "the named drive comes first";
}

} // namespace
