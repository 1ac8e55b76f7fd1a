// Colour packing: clamping and dropped low bits, with the values worked out by hand.
#include <gtest/gtest.h>

#include "platform/rgb565.h"

namespace qvl {
namespace {

TEST(PackRgb565, PacksByDroppingLowBits) {
    EXPECT_EQ(packRgb565(255, 255, 255), 0xFFFFu);
    EXPECT_EQ(packRgb565(252, 252, 252), 0xFFFFu);
    EXPECT_EQ(packRgb565(126, 0, 0), 0x7800u);
    EXPECT_EQ(packRgb565(126, 126, 126), 0x7BEFu);
    EXPECT_EQ(packRgb565(100, 100, 100), 0x632Cu);
    EXPECT_EQ(packRgb565(7, 3, 7), 0u);  // below each field's precision
    EXPECT_EQ(packRgb565(0, 4, 0), 0x0020u);
    EXPECT_EQ(packRgb565(8, 0, 8), 0x0801u);
}

TEST(PackRgb565, ClampsOutOfRangeComponents) {
    EXPECT_EQ(packRgb565(300, -5, 128), 0xF810u);
    EXPECT_EQ(packRgb565(256, 128, -1), 0xFC00u);
    EXPECT_EQ(packRgb565(-1000, 100000, -1), 0x07E0u);
}

}  // namespace
}  // namespace qvl
