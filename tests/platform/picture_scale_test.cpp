// The picture's whole-multiple scaling, worked out by hand: 640 x 480 times k, centred, and back.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/picture_scale.h"

namespace qvl {
namespace {

TEST(PictureScale, WholeMultiplesThatFit) {
    const std::tuple<int, int, int> cases[] = {
        {640, 480, 1},   {639, 480, 0},   {640, 479, 0},    {1280, 960, 2}, {1920, 1080, 2},
        {1279, 2000, 1}, {2560, 1440, 3}, {3840, 2160, 4},  {0, 0, 0},      {-5, 100, 0},
        {1366, 768, 1},  {1920, 959, 1},  {100000, 480, 1},
    };
    for (auto [width, height, scale] : cases)
        EXPECT_EQ(wholeScaleIn(width, height), scale) << width << "x" << height;
}

TEST(PictureScale, TheWindowOpensAtTheLargestMultipleWhoseOuterSizeFits) {
    struct Case {
        int usableWidth, usableHeight, bordersWidth, bordersHeight;
        double density;
        int scale;
    };
    const Case cases[] = {
        {1920, 1080, 0, 0, 1, 2},    // the test screen, no window manager
        {1920, 1050, 2, 30, 1, 2},   // a panel and a title bar still leave 1020 rows
        {1920, 990, 0, 31, 1, 1},    // 959 rows: one short of 2x
        {1920, 991, 0, 31, 1, 2},    // exactly 960
        {1366, 768, 0, 0, 1, 1},     // a small laptop
        {600, 400, 0, 0, 1, 1},      // nothing fits: still 1x
        {1440, 875, 0, 0, 2, 3},     // high density: 2880 x 1750 pixels
        {1440, 875, 0, 0, 1, 1},     // the same desktop counted in units
        {1280, 720, 0, 0, 1.5, 2},   // 1920 x 1080 pixels at 150%
        {1920, 1080, 0, 0, 0, 2},    // no density reported
        {3840, 2160, 10, 40, 1, 4},  // 3830 x 2120
    };
    for (const Case& c : cases)
        EXPECT_EQ(
            openingScale(c.usableWidth, c.usableHeight, c.bordersWidth, c.bordersHeight, c.density),
            c.scale)
            << c.usableWidth << "x" << c.usableHeight << " density " << c.density;
}

TEST(PictureScale, ThePictureIsCentredAtAWholeMultipleOrShrunkAt4To3) {
    const std::tuple<int, int, int, int, int, int> cases[] = {
        // output width, height; picture x, y, width, height
        {640, 480, 0, 0, 640, 480},
        {1280, 960, 0, 0, 1280, 960},
        {1920, 1080, 320, 60, 1280, 960},
        {1300, 1000, 10, 20, 1280, 960},
        {1279, 960, 319, 240, 640, 480},
        {3840, 2160, 640, 120, 2560, 1920},
        {320, 240, 0, 0, 320, 240},
        {400, 400, 0, 50, 400, 300},
        {639, 480, 0, 0, 638, 479},
        {1000, 300, 300, 0, 400, 300},
        {0, 100, 0, 0, 0, 0},
        {100, -1, 0, 0, 0, 0},
    };
    for (auto [width, height, x, y, w, h] : cases) {
        const PictureRect rect = pictureRectIn(width, height);
        EXPECT_EQ(std::make_tuple(rect.x, rect.y, rect.width, rect.height),
                  std::make_tuple(x, y, w, h))
            << width << "x" << height;
    }
}

TEST(PictureScale, OutputPixelsMapBackToThePicturePixelUnderThem) {
    const PictureRect twice{320, 60, 1280, 960}, half{0, 0, 320, 240}, none{};
    const std::tuple<PictureRect, int, int, bool, int, int> cases[] = {
        {twice, 320, 60, true, 0, 0},      {twice, 321, 61, true, 0, 0},
        {twice, 322, 62, true, 1, 1},      {twice, 1599, 1019, true, 639, 479},
        {twice, 920, 720, true, 300, 330}, {twice, 1600, 500, false, 0, 0},
        {twice, 319, 500, false, 0, 0},    {twice, 800, 59, false, 0, 0},
        {twice, 800, 1020, false, 0, 0},   {half, 1, 1, true, 2, 2},
        {half, 319, 239, true, 638, 478},  {none, 0, 0, false, 0, 0},
    };
    for (auto [rect, x, y, inside, px, py] : cases) {
        int pictureX = 0, pictureY = 0;
        EXPECT_EQ(picturePointAt(rect, x, y, pictureX, pictureY), inside) << x << "," << y;
        if (inside) {
            EXPECT_EQ(std::make_pair(pictureX, pictureY), std::make_pair(px, py));
        }
    }
}

}  // namespace
}  // namespace qvl
