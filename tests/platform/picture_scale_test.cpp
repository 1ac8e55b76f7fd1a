// The picture's whole-multiple scaling and the new window's place, by the tables of
// data/picture_scale.txt.
#include <gtest/gtest.h>

#include "../support/case_file.h"
#include "platform/picture_scale.h"
#include "platform/window_placement.h"

namespace qvl {
namespace {

// The numbers of a table row, from field `from` on; an empty field is -1.
std::vector<double> numbers(const std::vector<std::string>& row, size_t from = 0) {
    std::vector<double> n;
    for (size_t i = from; i < row.size(); ++i) n.push_back(row[i].empty() ? -1 : std::stod(row[i]));
    return n;
}

std::vector<std::vector<std::string>> table(std::string_view name) {
    return testing::tableRows(QVL_TEST_DATA "/picture_scale.txt", name);
}

TEST(PictureScale, MultiplesOpeningSizesAndCentring) {
    for (const auto& row : table("whole")) {
        const std::vector<double> n = numbers(row);
        EXPECT_EQ(wholeScaleIn(int(n.at(0)), int(n.at(1))), n.at(2)) << row[0] << "x" << row[1];
    }
    for (const auto& row : table("opening")) {
        const std::vector<double> n = numbers(row);
        EXPECT_EQ(openingScale(int(n.at(0)), int(n.at(1)), int(n.at(2)), int(n.at(3)), n.at(4)),
                  n.at(5))
            << row[0] << "x" << row[1] << " density " << row[4];
    }
    for (const auto& row : table("centred")) {
        const std::vector<double> n = numbers(row);
        const PictureRect rect = pictureRectIn(int(n.at(0)), int(n.at(1)));
        EXPECT_EQ(std::vector<double>(
                      {double(rect.x), double(rect.y), double(rect.width), double(rect.height)}),
                  numbers(row, 2))
            << row[0] << "x" << row[1];
    }
}

TEST(PictureScale, NewWindowsOpenCentredAtTheLargestMultipleThatFits) {
    for (const auto& row : table("placement")) {
        const std::vector<double> n = numbers(row);
        const ScreenRect work{int(n.at(0)), int(n.at(1)), int(n.at(2)), int(n.at(3))};
        const FrameInsets frame{int(n.at(4)), int(n.at(5)), int(n.at(6)), int(n.at(7))};
        const ScreenRect expected{int(n.at(8)), int(n.at(9)), int(n.at(10)), int(n.at(11))};
        EXPECT_EQ(openingWindowRect(work, frame), expected) << row[2] << "x" << row[3];
    }
}

TEST(PictureScale, OutputPixelsMapBackToThePicturePixelUnderThem) {
    for (const auto& row : table("back")) {
        const std::vector<double> n = numbers(row);
        const PictureRect rect{int(n.at(0)), int(n.at(1)), int(n.at(2)), int(n.at(3))};
        int x = -1, y = -1;
        const bool inside = picturePointAt(rect, int(n.at(4)), int(n.at(5)), x, y);
        EXPECT_EQ(inside, n.at(6) >= 0) << row[4] << "," << row[5];
        if (inside) {
            EXPECT_EQ(std::vector<double>({double(x), double(y)}), numbers(row, 6));
        }
    }
}

}  // namespace
}  // namespace qvl
