// The bounded string and path helpers at their limits, and the drive search
// of the file test on the test rig's drives.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include "launcher/globals.h"
#include "launcher/paths.h"
#include "test_support.h"

namespace {

// A 260-character buffer with guard bytes behind it.
struct Guarded {
    char path[PATH_SIZE];
    char guard[16];
    Guarded() { memset(this, 0x5A, sizeof(*this)); }
    bool untouched() const { return std::string(guard, sizeof(guard)) == std::string(sizeof(guard), 0x5A); }
};

// 259 characters fit a buffer of 260, NUL included; one more is refused,
// and nothing is ever written behind the buffer.
TEST(Paths, BoundedHelpersFillTheBufferToItsLastByteAndNoFurther)
{
    for (size_t length : { PATH_SIZE - 1, (int)PATH_SIZE, PATH_SIZE + 40 }) {
        SCOPED_TRACE(length);
        const std::string text(length, 'a');
        const bool fits = length < PATH_SIZE;
        Guarded copy, append, join;
        EXPECT_EQ(copyString(copy.path, PATH_SIZE, text.c_str()), fits);
        EXPECT_EQ(copy.path, fits ? text : "");
        strcpy(append.path, "aa");
        EXPECT_EQ(appendString(append.path, PATH_SIZE, text.c_str() + 2), fits);
        EXPECT_EQ(append.path, fits ? text : "aa") << "a refused append leaves the string as it was";
        EXPECT_EQ(joinPath(join.path, text.substr(0, 100).c_str(), text.c_str() + 100) != NULL, fits);
        EXPECT_EQ(join.path, fits ? text : "");
        EXPECT_TRUE(copy.untouched() && append.untouched() && join.untouched()) << "wrote past 260";
    }
}

// An installation value that is not an absolute path names no installation.
TEST(Paths, AbsolutePaths)
{
    for (const char *absolute : { "C:\\", "z:/games", "\\\\server\\share" })
        EXPECT_TRUE(isAbsolutePath(absolute)) << absolute;
    for (const char *relative : { "", "C:", "C:games", "\\games", "games\\quib", "1:\\" })
        EXPECT_FALSE(isAbsolutePath(relative)) << relative;
}

// The named drive first, then C to Z; the letter where the file was found
// stays in the path ("Z" when it was nowhere).
TEST(Paths, TheDriveSearch)
{
    if (!getenv("QUIB_UNIT_DRIVES"))
        GTEST_SKIP() << "needs the test rig's hard disks E to H";
    // A folder counts as a file here; none is left from a run that failed.
    const std::string folder = ":\\quib-fileexists";
    for (char letter : { 'E', 'G' })
        RemoveDirectoryA((letter + folder).c_str());
    char path[PATH_SIZE];
    auto check = [&](char letter, int exactOnly) {
        return fileExists(strcpy(path, (letter + folder).c_str()), exactOnly);
    };
    EXPECT_EQ(check('E', 0), 0);
    EXPECT_EQ(path, 'Z' + folder);
    CreateDirectoryA(("G" + folder).c_str(), NULL);
    EXPECT_EQ(check('E', 1), 0);
    EXPECT_EQ(path, 'E' + folder);
    EXPECT_EQ(check('C', 0), 1);
    EXPECT_EQ(path, 'G' + folder);
    CreateDirectoryA(("E" + folder).c_str(), NULL);
    EXPECT_EQ(check('H', 0), 1);
    EXPECT_EQ(path[0], 'E') << "E comes before G";
    EXPECT_EQ(check('G', 0), 1);
    EXPECT_EQ(path[0], 'G') << "the named drive comes first";
    for (char letter : { 'E', 'G' })
        RemoveDirectoryA((letter + folder).c_str());
}

} // namespace
