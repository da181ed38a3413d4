// The resources of the built program file, opened as a data file.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <map>
#include <set>
#include <string>
#include <vector>
#include "resource.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Fields = std::vector<DWORD>;
using Ids = std::set<int>;

// The program file beside the test program, or in the folder above it (as
// on the test disc, where the test program lies in a folder of its own).
HMODULE openProgram()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof(path));
    for (int up = 0; up < 2 && length && length < sizeof(path); up++) {
        *strrchr(path, '\\') = '\0';
        std::string candidate = std::string(path) + "\\QuibLaunch.exe";
        if (HMODULE program = LoadLibraryExA(candidate.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE))
            return program;
    }
    return NULL;
}

const HMODULE g_program = openProgram();

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
// slips in, nor a resource the program would miss.
TEST(Resources, IdsAndLanguage)
{
    ASSERT_TRUE(g_program) << "QuibLaunch.exe is not beside the test program";
    std::map<int, Ids> expected = {
        { 5, { IDD_INSTALL_FIRST, IDD_PLAY_FIRST, IDD_INSTALL_RETRY, IDD_PLAY_RETRY, IDD_CHAT_RETRY, IDD_CHAT_FIRST,
               IDD_INFO_VOL1, IDD_INFO_VOL2, IDD_INFO_VOL3, IDD_INFO_JOCKO, IDD_INFO_GLIM, IDD_INFO_REELIES,
               IDD_INFO_WHIRL, IDD_INFO_NODIAL } },
        { 2, { IDB_MENU, IDB_INFO_BACKGROUND, IDB_BOXART_NODIAL, IDB_BOXART_BRASHER } },
        { 3, { 2, 3, 4, 5 } }, { 14, { IDI_LAUNCHER } }, { 1, { 1 } }, { 12, { IDC_QUESTION } }, { 16, { 1 } } };
    for (int id = IDB_BOXART_REELIES; id <= IDB_QUIT_ACTIVATED; ++id)
        expected[2].insert(id);
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

// The icon group's entries agree with the images they name (whose height
// counts the mask): Windows picks the program's icon by them.
TEST(Resources, IconGroupDescribesItsImages)
{
    Bytes icons = bytesOf(14, IDI_LAUNCHER);
    ASSERT_EQ(icons.size(), 6u + 4 * 14) << "four icon images";
    for (size_t at = 6; at < icons.size(); at += 14) {
        Bytes image = bytesOf(3, word(icons, at + 12));
        EXPECT_EQ((Fields{ dword(image, 4), dword(image, 8), word(image, 14), DWORD(image.size()) }),
                  (Fields{ icons[at], 2u * icons[at], word(icons, at + 6), dword(icons, at + 8) }))
            << "icon " << word(icons, at + 12);
    }
}

} // namespace
