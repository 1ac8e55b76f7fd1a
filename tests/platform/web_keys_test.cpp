// Browser key names arrive as the Windows virtual-key codes the desktop delivers, and the page
// keeps the browser's action from exactly the keys the viewer answers.
#include <gtest/gtest.h>

#include "../support/case_file.h"
#include "platform/web/web_keys.h"

namespace qvl {
namespace {

// The tables of data/web_keys.txt.
TEST(WebKeys, CodesAndEventsGiveTheirVirtualKeyCodes) {
    const std::string path = QVL_TEST_DATA "/web_keys.txt";
    for (const auto& row : testing::tableRows(path, "codes"))
        EXPECT_EQ(virtualKeyFromCode(row.at(0)), std::stoi(row.at(1))) << row[0];
    for (const auto& row : testing::tableRows(path, "events"))
        EXPECT_EQ(virtualKeyFromEvent(row.at(0), row.at(1)), std::stoi(row.at(2))) << row[1];
}

TEST(WebKeys, BrowserActionsSuppressedForTheViewersKeys) {
    for (int vk = 0; vk < 256; ++vk) {
        const bool answered =
            (vk >= 33 && vk <= 40) || vk == 32 || vk == 13 || vk == 8 || (vk >= 112 && vk <= 123);
        EXPECT_EQ(suppressBrowserAction(vk), answered) << vk;
    }
}

}  // namespace
}  // namespace qvl
