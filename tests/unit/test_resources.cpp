// The resources carried by the program file: which types and ids, their
// language, the shape of every picture, the icon and cursor directories and
// the version block. The built program is opened as a data file, so these
// tests see exactly what ships.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

HMODULE g_program = nullptr;

std::string programPath()
{
    // Under Wine the Unix root is drive Z.
    std::string path = "Z:";
    for (const char *p = QUIB_PROGRAM_FILE; *p; ++p)
        path += (*p == '/') ? '\\' : *p;
    return path;
}

class Resources : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_program = LoadLibraryExA(programPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite()
    {
        if (g_program)
            FreeLibrary(g_program);
        g_program = nullptr;
    }
    void SetUp() override
    {
        ASSERT_NE(g_program, nullptr) << "cannot open " << programPath();
    }
};

// Resource names and types are integers; a string name is kept as -1 so that
// it shows up as a wrong id.
int idOf(LPCSTR name)
{
    return IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1;
}

BOOL CALLBACK collectType(HMODULE, LPSTR type, LONG_PTR out)
{
    reinterpret_cast<std::set<int> *>(out)->insert(idOf(type));
    return TRUE;
}

BOOL CALLBACK collectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR out)
{
    reinterpret_cast<std::set<int> *>(out)->insert(idOf(name));
    return TRUE;
}

BOOL CALLBACK collectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR out)
{
    reinterpret_cast<std::vector<int> *>(out)->push_back(language);
    return TRUE;
}

std::set<int> typesCarried()
{
    std::set<int> types;
    EnumResourceTypesA(g_program, collectType, reinterpret_cast<LONG_PTR>(&types));
    return types;
}

std::set<int> idsOf(int type)
{
    std::set<int> ids;
    EnumResourceNamesA(g_program, MAKEINTRESOURCEA(type), collectName, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

// The bytes of one resource; empty when it is missing.
std::vector<unsigned char> resourceBytes(int type, int id)
{
    HRSRC found = FindResourceA(g_program, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(g_program, found);
    const unsigned char *data = static_cast<const unsigned char *>(LockResource(loaded));
    DWORD size = SizeofResource(g_program, found);
    if (!data)
        return {};
    return std::vector<unsigned char>(data, data + size);
}

WORD word(const std::vector<unsigned char> &b, size_t at)
{
    return static_cast<WORD>(b[at] | (b[at + 1] << 8));
}

DWORD dword(const std::vector<unsigned char> &b, size_t at)
{
    return word(b, at) | (static_cast<DWORD>(word(b, at + 2)) << 16);
}

std::set<int> range(int first, int last)
{
    std::set<int> ids;
    for (int id = first; id <= last; ++id)
        ids.insert(id);
    return ids;
}

} // namespace

TEST_F(Resources, CarriesExactlyTheExpectedTypesAndIds)
{
    const int bitmap = 2, dialog = 5, icon = 3, groupIcon = 14, cursor = 1, groupCursor = 12, version = 16;
    EXPECT_EQ(typesCarried(), (std::set<int>{cursor, bitmap, icon, dialog, groupCursor, groupIcon, version}))
        << "no string table, menu, accelerator or manifest may be carried";

    std::set<int> bitmaps = range(115, 141);
    bitmaps.insert({110, 148, 155, 161});
    EXPECT_EQ(bitmaps.size(), 31u);
    EXPECT_EQ(idsOf(bitmap), bitmaps);

    const std::set<int> dialogs = {103, 105, 106, 107, 142, 143, 146, 149, 150, 151, 152, 153, 156, 32257};
    EXPECT_EQ(idsOf(dialog), dialogs);

    EXPECT_EQ(idsOf(icon), range(2, 5));
    EXPECT_EQ(idsOf(groupIcon), std::set<int>{103});
    EXPECT_EQ(idsOf(cursor), std::set<int>{1});
    EXPECT_EQ(idsOf(groupCursor), std::set<int>{145});
    EXPECT_EQ(idsOf(version), std::set<int>{1});
}

TEST_F(Resources, EveryResourceIsInEnglishUnitedStatesOnly)
{
    int checked = 0;
    for (int type : typesCarried()) {
        for (int id : idsOf(type)) {
            std::vector<int> languages;
            EnumResourceLanguagesA(g_program, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(id), collectLanguage,
                                   reinterpret_cast<LONG_PTR>(&languages));
            EXPECT_EQ(languages, std::vector<int>{1033}) << "type " << type << " id " << id;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 31 + 14 + 4 + 1 + 1 + 1 + 1);
}

// Every picture is a packed 8-bit DIB with the size and colour-table length
// that the menu code relies on, and no pixel names a colour past the table.
TEST_F(Resources, BitmapsArePacked8BitDibsOfTheirSizes)
{
    struct Expected { int id, width, height, colours; };
    std::vector<Expected> expected = {{110, 621, 431, 256}, {148, 570, 320, 18}};
    for (int id : {115, 116, 117, 118, 155, 161})
        expected.push_back({id, 111, 150, 256});
    for (int id : {119, 120, 121})
        expected.push_back({id, 110, 151, 256});
    for (int id = 122; id <= 137; ++id)
        expected.push_back({id, 101, 59, id == 131 ? 253 : id == 135 ? 245 : 256});
    expected.push_back({138, 79, 43, 234});
    expected.push_back({139, 79, 43, 231});
    expected.push_back({140, 79, 43, 245});
    expected.push_back({141, 79, 43, 245});
    ASSERT_EQ(expected.size(), 31u);

    for (const Expected &e : expected) {
        SCOPED_TRACE("bitmap " + std::to_string(e.id));
        std::vector<unsigned char> dib = resourceBytes(2, e.id);
        ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER h;
        std::memcpy(&h, dib.data(), sizeof h);
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, e.width);
        EXPECT_EQ(h.biHeight, e.height) << "bottom-up rows";
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, 8);
        EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
        EXPECT_EQ(h.biClrUsed, static_cast<DWORD>(e.colours));

        size_t row = (e.width + 3) & ~3;
        size_t pixels = 40 + e.colours * 4;
        ASSERT_EQ(dib.size(), pixels + row * e.height);
        int outside = 0;
        for (int y = 0; y < e.height; ++y)
            for (int x = 0; x < e.width; ++x)
                outside += dib[pixels + y * row + x] >= e.colours;
        EXPECT_EQ(outside, 0) << "pixels that use an index past the colour table";
    }
}

// The group directories name their images by id; Windows picks an image by
// the sizes and depths given here, so they must agree with the images.
TEST_F(Resources, IconGroupListsItsFourImages)
{
    std::vector<unsigned char> group = resourceBytes(14, 103);
    ASSERT_EQ(group.size(), 6u + 4 * 14);
    EXPECT_EQ(word(group, 0), 0);
    EXPECT_EQ(word(group, 2), 1) << "type 1: icon";
    ASSERT_EQ(word(group, 4), 4);

    struct Entry { int size, colourCount, bits; DWORD bytes; int id; };
    const Entry entries[] = {{16, 0, 8, 1384, 2}, {32, 0, 8, 2216, 3}, {32, 16, 4, 744, 4}, {16, 16, 4, 296, 5}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const Entry &e = entries[i];
        size_t at = 6 + i * 14;
        EXPECT_EQ(group[at], e.size);
        EXPECT_EQ(group[at + 1], e.size);
        EXPECT_EQ(group[at + 2], e.colourCount);
        EXPECT_EQ(group[at + 3], 0);
        EXPECT_EQ(word(group, at + 4), 1) << "planes";
        EXPECT_EQ(word(group, at + 6), e.bits);
        EXPECT_EQ(dword(group, at + 8), e.bytes);
        EXPECT_EQ(word(group, at + 12), e.id);

        std::vector<unsigned char> image = resourceBytes(3, e.id);
        ASSERT_EQ(image.size(), e.bytes);
        EXPECT_EQ(dword(image, 0), 40u);
        EXPECT_EQ(static_cast<int>(dword(image, 4)), e.size);
        EXPECT_EQ(static_cast<int>(dword(image, 8)), e.size * 2) << "height counts the mask";
        EXPECT_EQ(word(image, 14), e.bits);
        HICON made = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000,
                                              e.size, e.size, 0);
        EXPECT_NE(made, nullptr);
        if (made)
            DestroyIcon(made);
    }
}

TEST_F(Resources, CursorIsA32PixelMonochromeQuestionMarkWithItsHotSpot)
{
    std::vector<unsigned char> group = resourceBytes(12, 145);
    ASSERT_EQ(group.size(), 6u + 14);
    EXPECT_EQ(word(group, 2), 2) << "type 2: cursor";
    ASSERT_EQ(word(group, 4), 1);
    EXPECT_EQ(word(group, 6), 32);
    EXPECT_EQ(word(group, 8), 64) << "height counts the mask";
    EXPECT_EQ(word(group, 10), 1);
    EXPECT_EQ(word(group, 12), 1);
    EXPECT_EQ(dword(group, 14), 308u);
    EXPECT_EQ(word(group, 18), 1);

    std::vector<unsigned char> image = resourceBytes(1, 1);
    ASSERT_EQ(image.size(), 308u);
    EXPECT_EQ(word(image, 0), 11);
    EXPECT_EQ(word(image, 2), 6);
    EXPECT_EQ(word(image, 4 + 14), 1) << "one bit per pixel";

    HICON made = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), FALSE, 0x00030000, 32, 32,
                                          0);
    ASSERT_NE(made, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(made, &info));
    EXPECT_EQ(info.xHotspot, 11u);
    EXPECT_EQ(info.yHotspot, 6u);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DestroyCursor(made);
}

namespace {

// One node of a version block: length, value length, type, key, value, children.
struct VersionNode {
    std::wstring key;
    size_t valueAt = 0, valueLength = 0, end = 0, childrenAt = 0;
    int type = 0;
};

size_t align4(size_t at)
{
    return (at + 3) & ~static_cast<size_t>(3);
}

VersionNode readNode(const std::vector<unsigned char> &b, size_t at)
{
    VersionNode n;
    n.end = at + word(b, at);
    n.valueLength = word(b, at + 2);
    n.type = word(b, at + 4);
    size_t p = at + 6;
    while (p + 1 < n.end && word(b, p) != 0) {
        n.key += static_cast<wchar_t>(word(b, p));
        p += 2;
    }
    n.valueAt = align4(p + 2);
    size_t valueBytes = n.type == 1 ? n.valueLength * 2 : n.valueLength;
    n.childrenAt = align4(n.valueAt + valueBytes);
    return n;
}

std::vector<VersionNode> childrenOf(const std::vector<unsigned char> &b, const VersionNode &parent)
{
    std::vector<VersionNode> children;
    for (size_t at = parent.childrenAt; at + 6 <= parent.end;) {
        VersionNode child = readNode(b, at);
        if (child.end <= at)
            break;
        children.push_back(child);
        at = align4(child.end);
    }
    return children;
}

std::wstring stringValue(const std::vector<unsigned char> &b, const VersionNode &n)
{
    std::wstring s;
    for (size_t p = n.valueAt; p + 1 < n.end && p < n.valueAt + n.valueLength * 2 && word(b, p); p += 2)
        s += static_cast<wchar_t>(word(b, p));
    return s;
}

} // namespace

TEST_F(Resources, VersionBlockDescribesTheLauncher)
{
    std::vector<unsigned char> block = resourceBytes(16, 1);
    ASSERT_GE(block.size(), 92u);
    VersionNode root = readNode(block, 0);
    EXPECT_EQ(root.key, L"VS_VERSION_INFO");
    ASSERT_EQ(root.valueLength, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, &block[root.valueAt], sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwStrucVersion, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00000006u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0x00000002u);
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.dwFileFlags, 0u);
    EXPECT_EQ(fixed.dwFileOS, 0x00040004u);
    EXPECT_EQ(fixed.dwFileType, 1u);
    EXPECT_EQ(fixed.dwFileSubtype, 0u);
    EXPECT_EQ(fixed.dwFileDateMS, 0u);
    EXPECT_EQ(fixed.dwFileDateLS, 0u);

    std::vector<VersionNode> top = childrenOf(block, root);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[0].key, L"StringFileInfo");
    EXPECT_EQ(top[1].key, L"VarFileInfo");

    std::vector<VersionNode> tables = childrenOf(block, top[0]);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0].key, L"040904b0");
    std::vector<std::pair<std::wstring, std::wstring>> strings;
    for (const VersionNode &n : childrenOf(block, tables[0]))
        strings.emplace_back(n.key, stringValue(block, n));
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"Comments", L""},
        {L"CompanyName", L"Fennwick"},
        {L"FileDescription", L"QuibLaunch"},
        {L"FileVersion", L"1, 0, 0, 6"},
        {L"InternalName", L"QuibLaunch"},
        {L"LegalCopyright", L"Copyright (C) Fennwick. All rights reserved."},
        {L"LegalTrademarks", L""},
        {L"OriginalFilename", L"QuibLaunch.exe"},
        {L"PrivateBuild", L""},
        {L"ProductName", L"Quibbix Launcher"},
        {L"ProductVersion", L"1, 0, 0, 2"},
        {L"SpecialBuild", L""},
    };
    ASSERT_EQ(strings.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(strings[i].first, expected[i].first) << "string " << i;
        EXPECT_EQ(strings[i].second, expected[i].second) << "string " << i;
    }

    std::vector<VersionNode> vars = childrenOf(block, top[1]);
    ASSERT_EQ(vars.size(), 1u);
    EXPECT_EQ(vars[0].key, L"Translation");
    ASSERT_EQ(vars[0].valueLength, 4u);
    EXPECT_EQ(word(block, vars[0].valueAt), 0x0409);
    EXPECT_EQ(word(block, vars[0].valueAt + 2), 0x04B0);
}
