// The resources carried by the program file, read from the built program
// opened as a data file so that these tests see exactly what ships.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

HMODULE g_program = nullptr;
using Bytes = std::vector<unsigned char>;
using Fields = std::vector<DWORD>;
using Ids = std::set<int>;

class Resources : public testing::Test {
protected:
    void SetUp() override
    {
        std::string path = "Z:"; // the Unix root under Wine
        for (const char *p = QUIB_PROGRAM_FILE; *p; ++p)
            path += (*p == '/') ? '\\' : *p;
        if (!g_program)
            g_program = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(g_program, nullptr) << "cannot open " << path;
    }
};

// A string name or type is kept as -1 so that it shows up as a wrong id.
int idOf(LPCSTR name) { return IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1; }

BOOL CALLBACK collectType(HMODULE, LPSTR type, LONG_PTR out) { return ((Ids *)out)->insert(idOf(type)), TRUE; }
BOOL CALLBACK collectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR out) { return ((Ids *)out)->insert(idOf(name)), TRUE; }
BOOL CALLBACK collectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR out)
{
    return ((std::vector<int> *)out)->push_back(language), TRUE;
}

Bytes bytesOf(int type, int id)
{
    HRSRC found = FindResourceA(g_program, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    auto data = found ? static_cast<const unsigned char *>(LockResource(LoadResource(g_program, found))) : nullptr;
    return data ? Bytes(data, data + SizeofResource(g_program, found)) : Bytes();
}

// Reads past the end give 0, so a short resource fails its checks instead of crashing.
DWORD word(const Bytes &b, size_t at) { return at + 1 < b.size() ? b[at] | (b[at + 1] << 8) : 0; }
DWORD dword(const Bytes &b, size_t at) { return word(b, at) | (word(b, at + 2) << 16); }
size_t align4(size_t at) { return (at + 3) & ~size_t(3); }

} // namespace

TEST_F(Resources, CarriesExactlyTheseTypesAndIdsAllInUsEnglish)
{
    std::map<int, Ids> expected = {
        {2, {110, 148, 155, 161}},
        {5, {103, 105, 106, 107, 142, 143, 146, 149, 150, 151, 152, 153, 156, 32257}},
        {3, {2, 3, 4, 5}}, {14, {103}}, {1, {1}}, {12, {145}}, {16, {1}}};
    for (int id = 115; id <= 141; ++id)
        expected[2].insert(id);

    Ids types;
    EnumResourceTypesA(g_program, collectType, reinterpret_cast<LONG_PTR>(&types));
    EXPECT_EQ(types, (Ids{1, 2, 3, 5, 12, 14, 16})) << "no string table, menu, accelerator or manifest may be carried";

    for (int type : types) {
        Ids ids; // every id of every type is checked for its languages
        EnumResourceNamesA(g_program, MAKEINTRESOURCEA(type), collectName, reinterpret_cast<LONG_PTR>(&ids));
        EXPECT_EQ(ids, expected[type]) << "type " << type;
        for (int id : ids) {
            std::vector<int> languages;
            EnumResourceLanguagesA(g_program, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(id), collectLanguage,
                                   reinterpret_cast<LONG_PTR>(&languages));
            EXPECT_EQ(languages, std::vector<int>{1033}) << "type " << type << " id " << id;
        }
    }
}

// Every picture is a packed bottom-up 8-bit DIB of the size and colour-table length the menu code
// relies on: header size, width, height, bits, compression, colours used, total bytes.
TEST_F(Resources, BitmapsArePacked8BitDibsOfTheirSizes)
{
    struct Shape { DWORD first, last, width, height, colours; };
    const Shape shapes[] = {
        {110, 110, 621, 431, 256}, {148, 148, 570, 320, 18}, {115, 118, 111, 150, 256}, {155, 155, 111, 150, 256},
        {161, 161, 111, 150, 256}, {119, 121, 110, 151, 256}, {122, 130, 101, 59, 256},  {131, 131, 101, 59, 253},
        {132, 134, 101, 59, 256},  {135, 135, 101, 59, 245},  {136, 137, 101, 59, 256},  {138, 138, 79, 43, 234},
        {139, 139, 79, 43, 231},   {140, 141, 79, 43, 245}};
    for (const Shape &s : shapes)
        for (DWORD id = s.first; id <= s.last; ++id) {
            Bytes dib = bytesOf(2, id);
            EXPECT_EQ((Fields{dword(dib, 0), dword(dib, 4), dword(dib, 8), word(dib, 14), dword(dib, 16),
                              dword(dib, 32), DWORD(dib.size())}),
                      (Fields{40, s.width, s.height, 8, BI_RGB, s.colours,
                              40 + s.colours * 4 + ((s.width + 3) & ~3u) * s.height})) << "bitmap " << id;
        }
}

// Windows picks an icon or cursor image by the sizes and depths in its group
// directory, so they must agree with the images they name.
TEST_F(Resources, IconAndCursorGroupsDescribeTheirImages)
{
    Bytes group = bytesOf(14, 103);
    ASSERT_EQ(group.size(), 6u + 4 * 14);
    EXPECT_EQ((Fields{word(group, 2), word(group, 4)}), (Fields{1, 4})) << "type 1: icon; four images";
    // width, height, colours, bits, bytes, id
    const Fields icons[] = {{16, 16, 0, 8, 1384, 2}, {32, 32, 0, 8, 2216, 3}, {32, 32, 16, 4, 744, 4},
                            {16, 16, 16, 4, 296, 5}};
    for (size_t at = 6; at < group.size(); at += 14) {
        const Fields &e = icons[at / 14];
        Fields entry{group[at], group[at + 1], group[at + 2], word(group, at + 6), dword(group, at + 8),
                     word(group, at + 12)};
        EXPECT_EQ(entry, e) << "icon entry at " << at;
        Bytes image = bytesOf(3, e[5]);
        ASSERT_EQ(image.size(), e[4]) << "icon " << e[5]; // its height counts its mask
        EXPECT_EQ((Fields{dword(image, 4), dword(image, 8), word(image, 14)}), (Fields{e[0], 2 * e[0], e[3]}));
    }

    // One 32 x 32 monochrome cursor: type, count, width, height with mask,
    // planes, bits, bytes, id; its image begins with the hot spot.
    group = bytesOf(12, 145);
    EXPECT_EQ((Fields{DWORD(group.size()), word(group, 2), word(group, 4), word(group, 6), word(group, 8),
                      word(group, 10), word(group, 12), dword(group, 14), word(group, 18)}),
              (Fields{6 + 14, 2, 1, 32, 64, 1, 1, 308, 1}));
    Bytes image = bytesOf(1, 1);
    EXPECT_EQ((Fields{DWORD(image.size()), word(image, 0), word(image, 2), word(image, 4 + 14)}),
              (Fields{308, 11, 6, 1}));
}

// Each node of a version block as one line, in order: its depth in spaces, its
// key, "=" and its value (text, or hex double words for binary values).
static void flatten(const Bytes &b, size_t at, size_t end, const std::string &indent, std::vector<std::string> &out)
{
    for (size_t next; at + 6 <= end && word(b, at) && (next = at + word(b, at)) <= end; at = align4(next)) {
        size_t length = word(b, at + 2), p = at + 6;
        bool text = word(b, at + 4) == 1;
        std::string line = indent;
        for (; p + 1 < next && word(b, p); p += 2)
            line += char(word(b, p));
        line += '=';
        p = align4(p + 2);
        for (size_t i = 0; text && i < length && word(b, p + 2 * i); ++i)
            line += char(word(b, p + 2 * i));
        for (size_t i = 0; !text && i + 4 <= length; i += 4) {
            char hex[10];
            snprintf(hex, sizeof hex, i ? " %08lx" : "%08lx", static_cast<unsigned long>(dword(b, p + i)));
            line += hex;
        }
        out.push_back(line);
        flatten(b, align4(p + length * (text ? 2 : 1)), next, indent + " ", out);
    }
}

TEST_F(Resources, VersionBlockDescribesTheLauncher)
{
    Bytes block = bytesOf(16, 1);
    std::vector<std::string> nodes;
    flatten(block, 0, block.size(), "", nodes);
    EXPECT_EQ(nodes, (std::vector<std::string>{
        "VS_VERSION_INFO=feef04bd 00010000 00010000 00000006 00010000 00000002 0000003f 00000000 00040004 "
        "00000001 00000000 00000000 00000000",
        " StringFileInfo=", "  040904b0=", "   Comments=", "   CompanyName=Fennwick",
        "   FileDescription=QuibLaunch", "   FileVersion=1, 0, 0, 6", "   InternalName=QuibLaunch",
        "   LegalCopyright=Copyright (C) Fennwick. All rights reserved.", "   LegalTrademarks=",
        "   OriginalFilename=QuibLaunch.exe", "   PrivateBuild=", "   ProductName=Quibbix Launcher",
        "   ProductVersion=1, 0, 0, 2", "   SpecialBuild=", " VarFileInfo=", "  Translation=04b00409"}));
}
