// Pictures: only those the launcher can draw right are taken.
#include <gtest/gtest.h>
#include "launcher/globals.h"
#include "menu/bitmaps.h"
#include "resource.h"
#include "test_support.h"

namespace {

// Anything but an 8-bit picture that fits its resource is refused with the
// message, before anything is read from it by the sizes of an 8-bit one:
// the test pictures 901 to 906 (pictures.rc) of another depth, with a core
// header, compressed, or cut short.
TEST(Pictures, OnlyEightBitPicturesThatFitTheirResourceAreTaken)
{
    g_instance = GetModuleHandleA(NULL);
    for (int id = 901; id <= 906; id++) {
        HBITMAP bitmap = (HBITMAP)1;
        EXPECT_EQ(quibtest::messageDuring("Error", 5000, [&] { bitmap = loadBitmapResource(id); }),
                  "Can't create Indexed color table") << "picture " << id;
        EXPECT_EQ(bitmap, nullptr) << "picture " << id;
    }
    HBITMAP quit = NULL;
    EXPECT_EQ(quibtest::messageDuring("Error", 300, [&] { quit = loadBitmapResource(IDB_QUIT_NORMAL); }), "");
    EXPECT_NE(quit, nullptr);
    DeleteObject(quit);
}

} // namespace
