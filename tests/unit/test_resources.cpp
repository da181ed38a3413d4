// The resources of the built program file, opened as a data file.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Fields = std::vector<DWORD>;
using Ids = std::set<int>;

// The Unix path of the build, through Wine's Z: drive.
const HMODULE g_program = LoadLibraryExA("Z:" QUIB_PROGRAM_FILE, NULL, LOAD_LIBRARY_AS_DATAFILE);

// Ids of one type; a string name is kept as -1 so that it shows up as a wrong id.
BOOL CALLBACK collectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR out)
{
    ((Ids *)out)->insert(IS_INTRESOURCE(name) ? (int)(ULONG_PTR)name : -1);
    return TRUE;
}

BOOL CALLBACK collectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR out)
{
    ((Ids *)out)->insert(language);
    return TRUE;
}

Bytes bytesOf(int type, int id)
{
    HRSRC found = FindResourceA(g_program, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    auto data = found ? (const unsigned char *)LockResource(LoadResource(g_program, found)) : nullptr;
    return data ? Bytes(data, data + SizeofResource(g_program, found)) : Bytes();
}

// Reads past the end give 0: a short resource fails instead of crashing.
DWORD word(const Bytes &b, size_t at) { return at + 1 < b.size() ? b[at] | (b[at + 1] << 8) : 0; }
DWORD dword(const Bytes &b, size_t at) { return word(b, at) | (word(b, at + 2) << 16); }

// Every standard type is looked at, so that no string table or manifest
// slips in. Pictures: header size, width, height, bits, compression,
// colours used, total bytes.
TEST(Resources, IdsLanguageAndPictureShapes)
{
    ASSERT_TRUE(g_program);
    const struct { int first, last; DWORD width, height, colours; } shapes[] = {
        { 110, 110, 621, 431, 256 }, { 148, 148, 570, 320, 18 }, { 115, 118, 111, 150, 256 },
        { 155, 155, 111, 150, 256 }, { 161, 161, 111, 150, 256 }, { 119, 121, 110, 151, 256 },
        { 122, 130, 101, 59, 256 }, { 131, 131, 101, 59, 253 }, { 132, 134, 101, 59, 256 },
        { 135, 135, 101, 59, 245 }, { 136, 137, 101, 59, 256 }, { 138, 138, 79, 43, 234 },
        { 139, 139, 79, 43, 231 }, { 140, 141, 79, 43, 245 } };
    std::map<int, Ids> expected = {
        { 5, { 103, 105, 106, 107, 142, 143, 146, 149, 150, 151, 152, 153, 156, 32257 } },
        { 3, { 2, 3, 4, 5 } }, { 14, { 103 } }, { 1, { 1 } }, { 12, { 145 } }, { 16, { 1 } } };
    for (const auto &s : shapes)
        for (int id = s.first; id <= s.last; ++id) {
            expected[2].insert(id);
            Bytes dib = bytesOf(2, id);
            EXPECT_EQ((Fields{ dword(dib, 0), dword(dib, 4), dword(dib, 8), word(dib, 14),
                               dword(dib, 16), dword(dib, 32), DWORD(dib.size()) }),
                      (Fields{ 40, s.width, s.height, 8, BI_RGB, s.colours,
                               40 + s.colours * 4 + ((s.width + 3) & ~3u) * s.height }))
                << "bitmap " << id;
        }
    Ids languages;
    for (int type = 1; type <= 24; ++type) {
        Ids ids;
        EnumResourceNamesA(g_program, MAKEINTRESOURCEA(type), collectName, (LONG_PTR)&ids);
        EXPECT_EQ(ids, expected[type]) << "type " << type;
        for (int id : ids)
            EnumResourceLanguagesA(g_program, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(id),
                                   collectLanguage, (LONG_PTR)&languages);
    }
    EXPECT_EQ(languages, Ids{ 1033 });
}

// Group entries agree with the images they name (whose height counts the mask).
TEST(Resources, IconAndCursorGroupsDescribeTheirImages)
{
    Bytes icons = bytesOf(14, 103);
    ASSERT_EQ(icons.size(), 6u + 4 * 14) << "four icon images";
    for (size_t at = 6; at < icons.size(); at += 14) {
        Bytes image = bytesOf(3, word(icons, at + 12));
        EXPECT_EQ((Fields{ dword(image, 4), dword(image, 8), word(image, 14), DWORD(image.size()) }),
                  (Fields{ icons[at], 2u * icons[at], word(icons, at + 6), dword(icons, at + 8) }))
            << "icon " << word(icons, at + 12);
    }
    // One 32 x 32 monochrome cursor: image size, count, width, height, bits, bytes, id.
    Bytes cursor = bytesOf(12, 145);
    EXPECT_EQ((Fields{ DWORD(bytesOf(1, 1).size()), word(cursor, 4), word(cursor, 6), word(cursor, 8),
                       word(cursor, 12), dword(cursor, 14), word(cursor, 18) }),
              (Fields{ 308, 1, 32, 64, 1, 308, 1 }));
}

TEST(Resources, VersionStrings)
{
    Bytes block = bytesOf(16, 1);
    // The UTF-16 text with each run of NULs as one '|'.
    std::string text;
    for (size_t at = 0; at + 1 < block.size(); at += 2)
        if (word(block, at) || (!text.empty() && text.back() != '|'))
            text += word(block, at) ? char(word(block, at)) : '|';
    for (const char *pair : { "040904b0|", "CompanyName|Fennwick|", "FileDescription|QuibLaunch|",
                              "FileVersion|1, 0, 0, 6|", "InternalName|QuibLaunch|",
                              "LegalCopyright|Copyright (C) Fennwick. All rights reserved.|",
                              "OriginalFilename|QuibLaunch.exe|", "ProductName|Quibbix Launcher|",
                              "ProductVersion|1, 0, 0, 2|" })
        EXPECT_NE(text.find(pair), std::string::npos) << pair;
}

#ifdef __i386__
// The resources start on a page boundary of the file (cmake/resource-page.ld),
// where a loader can map them: Wine copies a section that starts elsewhere
// into the process's private memory.
TEST(Resources, StartOnAPageOfTheFile)
{
    Bytes b(0x1000);   // the headers
    FILE *file = fopen("Z:" QUIB_PROGRAM_FILE, "rb");
    ASSERT_TRUE(file != NULL);
    b.resize(fread(b.data(), 1, b.size(), file));
    fclose(file);
    DWORD pe = dword(b, 0x3C), table = pe + 24 + word(b, pe + 20);
    DWORD directory = dword(b, pe + 24 + 96 + 2 * 8);
    DWORD start = 1;
    for (DWORD at = table; at < table + 40 * word(b, pe + 6); at += 40) {
        if (dword(b, at + 12) <= directory && directory < dword(b, at + 12) + dword(b, at + 8))
            start = dword(b, at + 20);
    }
    EXPECT_EQ(start % 0x1000, 0u) << "the resource section starts at file offset 0x" << std::hex << start;
}
#endif

} // namespace
