// The GDI description of the frame buffer and the copy into a DirectDraw surface, whose rows may
// lie further apart than the frame's 1280 bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win32/direct_draw.h"
#include "platform/win32/gdi_present.h"

namespace qvl {
namespace {

TEST(Win32Present, FrameBitmapInfoDescribesTopDownRgb565) {
    FrameBitmapInfo info = buildFrameBitmapInfo();
    EXPECT_EQ(info.bmiHeader.biSize, 40u);
    EXPECT_EQ(info.bmiHeader.biWidth, 640);
    EXPECT_EQ(info.bmiHeader.biHeight, -480);
    EXPECT_EQ(info.bmiHeader.biPlanes, 1);
    EXPECT_EQ(info.bmiHeader.biBitCount, 16);
    EXPECT_EQ(info.bmiHeader.biCompression, static_cast<DWORD>(BI_BITFIELDS));
    EXPECT_EQ(info.bmiHeader.biSizeImage, 0u);
    EXPECT_EQ(info.bmiHeader.biClrUsed, 0u);
    EXPECT_EQ(info.masks[0], 0xF800u);
    EXPECT_EQ(info.masks[1], 0x07E0u);
    EXPECT_EQ(info.masks[2], 0x001Fu);
    // The masks follow the header directly, as GDI reads them.
    const auto* bytes = reinterpret_cast<const uint8_t*>(&info);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(bytes + 40), 0xF800u);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(bytes + 48), 0x001Fu);
}

std::vector<uint16_t> numberedFrame(int width, int height) {
    std::vector<uint16_t> frame(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint16_t>(i * 7 + 1);
    return frame;
}

TEST(Win32Present, RowsLandAtThePitchAndThePaddingIsLeftAlone) {
    const int width = 640, height = 480;
    auto frame = numberedFrame(width, height);
    for (const long pitch : {1280L, 1536L}) {
        std::vector<uint8_t> surface(static_cast<size_t>(pitch) * height + 16, 0xAB);
        copyFrameToSurface(surface.data(), pitch, frame.data(), width, height);
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = surface.data() + y * pitch;
            ASSERT_EQ(std::memcmp(row, frame.data() + y * width, 1280), 0) << pitch << " " << y;
            for (long x = 1280; x < pitch; ++x) ASSERT_EQ(row[x], 0xAB) << pitch << " " << y;
        }
        EXPECT_EQ(surface[pitch * height], 0xAB);  // nothing written past the frame
    }
}

TEST(Win32Present, SmallFrameInPaddedSurface) {
    auto frame = numberedFrame(3, 2);
    std::vector<uint8_t> surface(2 * 8, 0);
    copyFrameToSurface(surface.data(), 8, frame.data(), 3, 2);
    const std::vector<uint8_t> expected = {1, 0, 8, 0, 15, 0, 0, 0, 22, 0, 29, 0, 36, 0, 0, 0};
    EXPECT_EQ(surface, expected);
}

}  // namespace
}  // namespace qvl
