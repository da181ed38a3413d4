// Start-up: the own directory, the file test with its drive search, drive
// types and title recognition, on the real drives of the test prefix.
#include <gtest/gtest.h>
#include <string>
#include "launcher/paths.h"
#include "launcher/startup.h"
#include "test_support.h"

using namespace quibtest;

namespace {

std::string cut(const char *text)
{
    char buffer[PATH_SIZE];
    strcpy(buffer, text);
    cutAfterLastBackslash(buffer);
    return buffer;
}

TEST(CutAfterLastBackslash, KeepsTheDirectoryWithItsBackslash)
{
    EXPECT_EQ(cut("E:\\games\\quib\\QuibLaunch.exe"), "E:\\games\\quib\\");
    EXPECT_EQ(cut("D:\\QuibLaunch.exe"), "D:\\");
    // A trailing backslash never counts: the last directory goes.
    EXPECT_EQ(cut("E:\\games\\quib\\"), "E:\\games\\");
    EXPECT_EQ(cut("D:\\"), "D:\\");
    EXPECT_EQ(cut("QuibLaunch.exe"), "QuibLaunch.exe");
    EXPECT_EQ(cut(""), "");
}

TEST(JoinPath, FillsTheBufferExactlyAndRefusesOneMore)
{
    struct {
        char path[PATH_SIZE];
        char guard[32];
    } buffer;
    memset(buffer.guard, 0x5A, sizeof(buffer.guard));

    std::string first(250, 'a');
    EXPECT_EQ(joinPath(buffer.path, first.c_str(), "123456789"), buffer.path);
    EXPECT_EQ(std::string(buffer.path), first + "123456789");

    EXPECT_EQ(joinPath(buffer.path, first.c_str(), "1234567890"), nullptr);
    EXPECT_EQ(joinPath(buffer.path, std::string(300, 'b').c_str(), "x"), nullptr);
    for (char byte : buffer.guard)
        ASSERT_EQ(byte, 0x5A) << "joinPath wrote past its 260 characters";
}

// A marker path that no other test uses, so that the drive search sees only
// the copies made here.
const char MARKER[] = ":\\quib-fileexists\\marker.dat";

std::string onDrive(char letter)
{
    return std::string(1, letter) + MARKER;
}

class FileExists : public ::testing::Test {
protected:
    void put(char letter) { scratch.file(onDrive(letter)); }
    int check(char letter, int exactOnly)
    {
        strcpy(path, onDrive(letter).c_str());
        return fileExists(path, exactOnly);
    }

    Scratch scratch;
    char path[PATH_SIZE];
};

TEST_F(FileExists, ExactTestNeverSearchesOrChangesThePath)
{
    put('F');
    EXPECT_EQ(check('F', 1), 1);
    EXPECT_EQ(std::string(path), onDrive('F'));
    EXPECT_EQ(check('E', 1), 0);
    EXPECT_EQ(std::string(path), onDrive('E'));
}

TEST_F(FileExists, SearchFindsTheFirstDriveAndKeepsItsLetter)
{
    put('G');
    EXPECT_EQ(check('C', 0), 1);
    EXPECT_EQ(std::string(path), onDrive('G'));

    put('E');
    EXPECT_EQ(check('H', 0), 1);
    EXPECT_EQ(path[0], 'E');
    // The named drive is tried before the search starts at C.
    EXPECT_EQ(check('G', 0), 1);
    EXPECT_EQ(path[0], 'G');
}

TEST_F(FileExists, FailedSearchLeavesZ)
{
    EXPECT_EQ(check('E', 0), 0);
    EXPECT_EQ(std::string(path), onDrive('Z'));
}

TEST(IsCdRomDrive, OnlyTheCdRomDriveAnswersYes)
{
    EXPECT_EQ(isCdRomDrive("D:\\"), 1);
    EXPECT_EQ(isCdRomDrive("D:\\qbx2\\"), 1);
    EXPECT_EQ(isCdRomDrive("E:\\"), 0);
    EXPECT_EQ(isCdRomDrive("C:\\windows\\"), 0);
    EXPECT_EQ(isCdRomDrive("\\\\server\\share\\"), 0);
}

// The names by which the nine titles are recognised, in row order.
const char *const DISC_MARKERS[9] = {
    "Qbx._CD", "qbx2\\Qbx2._CD", "qbx3\\Qbx3._CD", "jocko\\QbxJ._CD",
    "qbxGlim\\QbxGlim._CD", "QBXR\\QBXR._CD", "PlayQTW.exe",
    "NodialCache\\Nodial._CD", "BrasherCache\\Brasher._CD",
};
const char *const HARD_DISK_EXES[9] = {
    "Qbx32.exe", "qbx32v2.exe", "qbx332.exe", "Qbxj32.exe", "qbxglim32.exe",
    "reelies32.exe", "Quib The Whirl.exe", "QBX Nodial.exe", "QBX Brasher.exe",
};

class DetectTitle : public ::testing::Test {
protected:
    const std::string dir = "E:\\quib-detect\\";
    void SetUp() override { scratch.track("E:\\quib-detect"); }
    void put(const char *name) { writeFile(dir + name); }
    int detect(int onCd) { return detectTitle(onCd, dir.c_str()); }

    Scratch scratch;
};

TEST_F(DetectTitle, EachRowByItsOwnListOnly)
{
    for (int row = 0; row < 9; ++row) {
        SCOPED_TRACE(row);
        removeTree("E:\\quib-detect");
        put(DISC_MARKERS[row]);
        EXPECT_EQ(detect(1), row);
        EXPECT_EQ(detect(0), 9);

        removeTree("E:\\quib-detect");
        put(HARD_DISK_EXES[row]);
        EXPECT_EQ(detect(0), row);
        EXPECT_EQ(detect(1), 9);
    }
}

TEST_F(DetectTitle, LowerRowWins)
{
    put(DISC_MARKERS[7]);
    put(DISC_MARKERS[3]);
    EXPECT_EQ(detect(1), 3);
    put(HARD_DISK_EXES[8]);
    put(HARD_DISK_EXES[5]);
    EXPECT_EQ(detect(0), 5);
}

TEST_F(DetectTitle, TemporaryCopyMeansTheTwoDiscTitleUnlessANameIsListed)
{
    put("~QBX4.tmp");
    EXPECT_EQ(detect(0), 6);
    EXPECT_EQ(detect(1), 6);
    put(HARD_DISK_EXES[8]);
    EXPECT_EQ(detect(0), 8);
    put(DISC_MARKERS[2]);
    EXPECT_EQ(detect(1), 2);
}

TEST(DetectTitleLongDirectory, CandidatesThatDoNotFitCountAsAbsent)
{
    Scratch scratch;
    // 250 characters: with "Qbx32.exe" exactly 259, the longest path there is.
    std::string fits = "E:\\qd\\" + std::string(243, 'a') + "\\";
    ASSERT_EQ(fits.size(), 250u);
    scratch.track("E:\\qd");
    ASSERT_TRUE(writeFile(fits + "Qbx32.exe"));
    EXPECT_EQ(detectTitle(0, fits.c_str()), 0);

    std::string tooLong = "E:\\" + std::string(255, 'b') + "\\";
    ASSERT_EQ(tooLong.size(), 259u);
    EXPECT_EQ(detectTitle(0, tooLong.c_str()), 9);
    EXPECT_EQ(detectTitle(1, tooLong.c_str()), 9);
}

} // namespace
