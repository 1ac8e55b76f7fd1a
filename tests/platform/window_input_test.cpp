// The viewer's chords and the mouse through a fake backend: Ctrl+C and Alt+Enter act and never
// reach the magazine, other keys pass, presses land on the picture pixel under them at any
// scale, and wheel fractions add up to notches.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "base/virtual_keys.h"
#include "platform/window_input.h"

namespace qvl {
namespace {

struct FakeBackend final : WindowEvents, WindowControls {
    std::vector<std::string> seen;  // in order: "key N", "press X Y", "wheel N", "full", "copy T"

    void keyDown(int virtualKey) override { seen.push_back("key " + std::to_string(virtualKey)); }
    void closeRequested() override { seen.push_back("close"); }
    void wake() override { seen.push_back("wake"); }
    std::string pageText() override { return "the page\n"; }
    bool pointerPressed(int x, int y) override {
        seen.push_back("press " + std::to_string(x) + " " + std::to_string(y));
        return true;
    }
    void wheelTurned(int notches) override { seen.push_back("wheel " + std::to_string(notches)); }
    void toggleFullScreen() override { seen.push_back("full"); }
    void putOnClipboard(const std::string& text) override { seen.push_back("copy " + text); }
};

TEST(WindowInput, ChordsActOnceAndOtherKeysReachTheMagazine) {
    const unsigned ctrl = kModControl, alt = kModAlt, shift = kModShift, sys = kModSystem;
    const std::tuple<int, unsigned, bool, const char*> cases[] = {
        {'C', ctrl, false, "copy the page\n"},
        {'C', ctrl | shift, false, "copy the page\n"},
        {'C', ctrl, true, ""},  // held: nothing more, and no key either
        {'C', 0, false, "key 67"},
        {'C', shift, false, "key 67"},
        {'C', ctrl | alt, false, "key 67"},  // AltGr
        {'C', ctrl | sys, false, "key 67"},
        {'V', ctrl, false, "key 86"},
        {kVkControl, ctrl, false, "key 17"},
        {kVkReturn, alt, false, "full"},
        {kVkReturn, alt | shift, false, "full"},
        {kVkReturn, alt, true, ""},
        {kVkReturn, 0, false, "key 13"},
        {kVkReturn, ctrl | alt, false, "key 13"},
        {kVkReturn, alt | sys, false, "key 13"},
        {kVkSpace, alt, false, "key 32"},
        {kVkReturn, 0, true, "key 13"},  // auto-repeats of other keys pass
    };
    for (auto [key, modifiers, repeat, outcome] : cases) {
        FakeBackend backend;
        WindowInput input(backend, backend);
        const bool chord = input.keyPressed(key, modifiers, repeat);
        const std::string expected = outcome;
        EXPECT_EQ(backend.seen, expected.empty() ? std::vector<std::string>{}
                                                 : std::vector<std::string>{expected})
            << key << " " << modifiers << " " << repeat;
        EXPECT_EQ(chord, expected.rfind("key ", 0) != 0) << key << " " << modifiers;
        EXPECT_EQ(WindowInput::isChord(key, modifiers), chord) << key << " " << modifiers;
    }
}

TEST(WindowInput, PressesLandOnThePicturePixelUnderThem) {
    struct Case {
        PictureRect picture;
        int x, y;
        const char* outcome;  // empty: beside the picture
    };
    const Case cases[] = {
        {{0, 0, 640, 480}, 0, 0, "press 0 0"},
        {{0, 0, 640, 480}, 639, 479, "press 639 479"},
        {{0, 0, 640, 480}, 640, 10, ""},
        {{0, 60, 1280, 960}, 1279, 60, "press 639 0"},  // 2x, centred in 1280 x 1080
        {{0, 60, 1280, 960}, 3, 63, "press 1 1"},
        {{0, 60, 1280, 960}, 100, 59, ""},
        {{0, 60, 1280, 960}, 100, 1020, ""},
        {{10, 0, 320, 240}, 10, 0, "press 0 0"},  // shrunk to half in 340 x 240
        {{10, 0, 320, 240}, 171, 121, "press 322 242"},
        {{10, 0, 320, 240}, 9, 100, ""},
    };
    for (const Case& c : cases) {
        FakeBackend backend;
        WindowInput input(backend, backend);
        input.pointerPressed(c.x, c.y, c.picture);
        const std::string expected = c.outcome;
        EXPECT_EQ(backend.seen, expected.empty() ? std::vector<std::string>{}
                                                 : std::vector<std::string>{expected})
            << c.x << "," << c.y << " in " << c.picture.width;
    }
}

TEST(WindowInput, WheelStepsSumToWholeNotches) {
    FakeBackend backend;
    WindowInput input(backend, backend);
    for (double steps : {1.0, -3.0, 0.0, 0.4, 0.4, 0.4, -0.5, -0.5, -0.5, -0.5, 2.5, 0.5})
        input.wheelTurned(steps);
    // By hand: 1, -3, none; 0.4 thrice reach 1.2 (1, 0.2 left); -0.5 thrice reach -1.3 (-1,
    // -0.3 left); -0.8, then 2.5 reaches 1.7 (1, 0.7 left) and 0.5 reaches 1.2 (1).
    const std::vector<std::string> expected = {"wheel 1",  "wheel -3", "wheel 1",
                                               "wheel -1", "wheel 1",  "wheel 1"};
    EXPECT_EQ(backend.seen, expected);
}

}  // namespace
}  // namespace qvl
