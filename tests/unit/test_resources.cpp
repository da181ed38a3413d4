// The resources of the built program file, opened as a data file.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <map>
#include <set>
#include <string>
#include <vector>
#include "resource.h"

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
        { IDB_MENU, IDB_MENU, 621, 431, 256 }, { IDB_INFO_BACKGROUND, IDB_INFO_BACKGROUND, 570, 320, 18 },
        { IDB_BOXART_REELIES, IDB_BOXART_GLIM, 111, 150, 256 }, { IDB_BOXART_VOL1, IDB_BOXART_VOL3, 110, 151, 256 },
        { IDB_BOXART_NODIAL, IDB_BOXART_NODIAL, 111, 150, 256 }, { IDB_BOXART_BRASHER, IDB_BOXART_BRASHER, 111, 150, 256 },
        { IDB_INSTALL_ACTIVATED, IDB_CHAT_INSTALL_ACTIVATED, 101, 59, 256 },
        { IDB_CHAT_INSTALL_PRESSED, IDB_CHAT_INSTALL_PRESSED, 101, 59, 253 },
        { IDB_CHAT_INSTALL_FOCUSED, IDB_CHAT_PLAY_NORMAL, 101, 59, 256 },
        { IDB_CHAT_PLAY_PRESSED, IDB_CHAT_PLAY_PRESSED, 101, 59, 245 },
        { IDB_CHAT_PLAY_FOCUSED, IDB_CHAT_PLAY_ACTIVATED, 101, 59, 256 }, { IDB_QUIT_NORMAL, IDB_QUIT_NORMAL, 79, 43, 234 },
        { IDB_QUIT_PRESSED, IDB_QUIT_PRESSED, 79, 43, 231 }, { IDB_QUIT_FOCUSED, IDB_QUIT_ACTIVATED, 79, 43, 245 } };
    std::map<int, Ids> expected = {
        { 5, { IDD_INSTALL_FIRST, IDD_PLAY_FIRST, IDD_INSTALL_RETRY, IDD_PLAY_RETRY, IDD_CHAT_RETRY, IDD_CHAT_FIRST,
               IDD_INFO_VOL1, IDD_INFO_VOL2, IDD_INFO_VOL3, IDD_INFO_JOCKO, IDD_INFO_GLIM, IDD_INFO_REELIES,
               IDD_INFO_WHIRL, IDD_INFO_NODIAL } },
        { 3, { 2, 3, 4, 5 } }, { 14, { IDI_LAUNCHER } }, { 1, { 1 } }, { 12, { IDC_QUESTION } }, { 16, { 1 } } };
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
    Bytes icons = bytesOf(14, IDI_LAUNCHER);
    ASSERT_EQ(icons.size(), 6u + 4 * 14) << "four icon images";
    for (size_t at = 6; at < icons.size(); at += 14) {
        Bytes image = bytesOf(3, word(icons, at + 12));
        EXPECT_EQ((Fields{ dword(image, 4), dword(image, 8), word(image, 14), DWORD(image.size()) }),
                  (Fields{ icons[at], 2u * icons[at], word(icons, at + 6), dword(icons, at + 8) }))
            << "icon " << word(icons, at + 12);
    }
    // One 32 x 32 monochrome cursor: image size, count, width, height, bits, bytes, id.
    Bytes cursor = bytesOf(12, IDC_QUESTION);
    EXPECT_EQ((Fields{ DWORD(bytesOf(1, 1).size()), word(cursor, 4), word(cursor, 6), word(cursor, 8),
                       word(cursor, 12), dword(cursor, 14), word(cursor, 18) }),
              (Fields{ 308, 1, 32, 64, 1, 308, 1 }));
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
