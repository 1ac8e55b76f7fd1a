// A magazine in a scratch directory (script plus the test font, whose glyphs read back from the
// picture; support/test_font.h) on the headless backend, drawn frame by frame on a clock the
// test sets. Tests look at it through what it draws and through its view state.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../support/scratch_dir.h"
#include "../support/test_font.h"
#include "display/display.h"
#include "platform/headless/headless_platform.h"
#include "runtime/magazine_app.h"

namespace qvl::testing {

// What a drawn cell shows: its character code, ink colour and paper colour.
struct SeenCell {
    int code = 0;
    uint16_t ink = 0, paper = 0;
};

// The colour the font draws: a normal colour c (bright when bright) at fade level k, worked out
// from the colour rules rather than taken from the font's table.
inline uint16_t textColour(int c, int k, bool bright = false) {
    if (bright && c == 0) return static_cast<uint16_t>(packRgb565(100, 100, 100));
    int v = (bright ? 4 : 2) * k;
    return static_cast<uint16_t>(packRgb565(c & 1 ? v : 0, c & 2 ? v : 0, c & 4 ? v : 0));
}

class MagazineHarness : public ScratchDir {
  protected:
    void SetUp() override {
        ScratchDir::SetUp();
        writeTestFont(dir());
        platform_.freeRunning = true;
    }
    // Writes the script and starts the magazine; the clock stands at 0.
    bool start(const std::string& script) {
        writeFile(kScriptName, script);
        app_.reset();
        view_ = std::make_unique<ViewState>();
        app_ = std::make_unique<MagazineApp>(
            MagazineServices{platform_, platform_, platform_, platform_}, display_, *view_);
        bool ok = app_->init(kScriptName, frameBuffer_.data());
        view_->startTick = 0;
        return ok;
    }
    // Draws the frame of virtual time ms and keeps the picture.
    const std::vector<uint16_t>& frameAt(uint64_t ms) {
        platform_.setClock(ms);
        app_->frame();
        return picture_ = platform_.lastFrame();
    }
    ViewState& view() { return *view_; }
    // A cell's ink is its pixel (0, 1), its paper (0, 11); the code's bit j is set when pixel
    // (j, 0) is ink.
    SeenCell cellAt(int column, int row) {
        auto at = [&](int x, int y) {
            return picture_[(kCellHeight * row + y) * kFrameWidth + kCellWidth * column + x];
        };
        SeenCell cell{0, at(0, 1), at(0, 11)};
        for (int j = 0; j < 8; ++j)
            if (at(j, 0) == cell.ink) cell.code |= 1 << j;
        return cell;
    }
    // The characters of one text row as drawn.
    std::string rowText(int row, int from = 0, int count = 80) {
        std::string text;
        for (int c = from; c < from + count; ++c) text += static_cast<char>(cellAt(c, row).code);
        return text;
    }

    HeadlessPlatform platform_;
    Display display_{platform_};
    std::vector<uint16_t> frameBuffer_ = std::vector<uint16_t>(kFramePixels);
    std::unique_ptr<ViewState> view_;
    std::unique_ptr<MagazineApp> app_;
    std::vector<uint16_t> picture_;
};

}  // namespace qvl::testing
