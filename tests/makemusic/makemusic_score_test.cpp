// Writing scores into patterns: note names, the tokens of a melody line and the cells they
// become, drum grids, chords, the echo, and the mistakes that must not pass silently.
#include <gtest/gtest.h>

#include <stdexcept>

#include "score.h"

namespace qvl::test {
namespace {

using music::Part;
using music::PatternWriter;

TEST(MakeMusicScore, NoteNamesCountFromCZero) {
    EXPECT_EQ(music::noteNumber("C0"), 1);
    EXPECT_EQ(music::noteNumber("C4"), 49);  // real note 48 with no relative note
    EXPECT_EQ(music::noteNumber("A4"), 58);
    EXPECT_EQ(music::noteNumber("F#3"), 43);
    EXPECT_EQ(music::noteNumber("Bb3"), music::noteNumber("A#3"));
    EXPECT_EQ(music::noteNumber("B7"), 96);
    for (const char* bad : {"H4", "C8", "Cb0", "C", "C#", "c4", "C44"}) {
        EXPECT_THROW(music::noteNumber(bad), std::invalid_argument) << bad;
    }
}

TEST(MakeMusicScore, LinesBecomeNotesGlidesReleasesAndMarks) {
    PatternWriter w(16, 2);
    const Part part{1, 3, 0x20, 2, 0x52};
    EXPECT_EQ(w.line(part, 0, "C4:2 ~E4:4v r _:3 G4:2a37@40 A4p3"), 13);
    EXPECT_EQ(w.at(0, 1).note, 49);
    EXPECT_EQ(w.at(0, 1).instrument, 3);
    EXPECT_EQ(w.at(0, 0).note, 0);  // other channels untouched
    // the glide: no instrument, tone portamento over its glide rows, then vibrato
    EXPECT_EQ(w.at(2, 1).note, 53);
    EXPECT_EQ(w.at(2, 1).instrument, 0);
    for (int row : {2, 3}) {
        EXPECT_EQ(w.at(row, 1).effect, music::tonePorta) << row;
        EXPECT_EQ(w.at(row, 1).parameter, 0x20) << row;
    }
    for (int row : {4, 5}) {
        EXPECT_EQ(w.at(row, 1).effect, music::vibrato) << row;
        EXPECT_EQ(w.at(row, 1).parameter, 0x52) << row;
    }
    EXPECT_EQ(w.at(6, 1).note, music::releaseNote);
    for (int row : {7, 8, 9}) EXPECT_EQ(w.at(row, 1).note, 0) << row;
    EXPECT_EQ(w.at(10, 1).volume, 0x10 + 40);
    for (int row : {10, 11}) {
        EXPECT_EQ(w.at(row, 1).effect, music::arpeggio) << row;
        EXPECT_EQ(w.at(row, 1).parameter, 0x37) << row;
    }
    EXPECT_EQ(w.at(12, 1).note, 58);
    EXPECT_EQ(w.at(12, 1).volume, 0xC3);
}

TEST(MakeMusicScore, MistakesThrow) {
    PatternWriter w(16, 2);
    const Part part{0, 1};
    EXPECT_THROW(w.line(part, 0, "C4:17"), std::invalid_argument);     // past the end
    EXPECT_THROW(w.line(part, 0, "C4:2va37"), std::invalid_argument);  // two effects
    EXPECT_THROW(w.line(part, 0, "C4@70"), std::invalid_argument);     // volume above 64
    EXPECT_THROW(w.line(part, 0, "C4@30p4"), std::invalid_argument);   // one volume column
    EXPECT_THROW(w.line(part, 0, "r@30"), std::invalid_argument);      // marks need a note
    EXPECT_THROW(w.line(part, 0, "~r"), std::invalid_argument);
    EXPECT_THROW(w.line(part, 0, "C4x"), std::invalid_argument);
    EXPECT_THROW(w.bars(part, 0, 8, {"C4:4 D4:4", "E4:4 F4:2"}), std::invalid_argument);
    w.effect(3, 1, music::setSpeed, 6);
    EXPECT_NO_THROW(w.effect(3, 1, music::setSpeed, 6));
    EXPECT_THROW(w.effect(3, 1, music::positionJump, 0), std::logic_error);
    EXPECT_THROW(w.at(16, 0), std::out_of_range);
    EXPECT_THROW(w.at(0, 2), std::out_of_range);
}

TEST(MakeMusicScore, DrumGridsSkipSpacesAndPlayTheKit) {
    PatternWriter w(8, 1);
    w.drums(0, 0, "k.s. k,..", {{'k', {6}}, {'s', {7}}, {',', {7, 12}}});
    EXPECT_EQ(w.at(0, 0).instrument, 6);
    EXPECT_EQ(w.at(0, 0).note, 49);  // C-4 plays a drum at its own rate
    EXPECT_EQ(w.at(0, 0).volume, 0);
    EXPECT_EQ(w.at(2, 0).instrument, 7);
    EXPECT_EQ(w.at(4, 0).instrument, 6);
    EXPECT_EQ(w.at(5, 0).volume, 0x10 + 12);
    for (int row : {1, 3, 6, 7}) EXPECT_EQ(w.at(row, 0).note, 0) << row;
    EXPECT_THROW(w.drums(0, 0, "x", {}), std::invalid_argument);
}

TEST(MakeMusicScore, ChordsAreStruckOrGlidedInto) {
    PatternWriter w(4, 4);
    const Part pad{1, 4, 0x30, 2};
    w.chord(pad, 0, "D4 F#4 A4", false, {0xC4, 0xC8, 0xCC});
    for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(w.at(0, c).instrument, 4) << c;
        EXPECT_EQ(w.at(0, c).volume, 0xC0 + 4 * c) << c;
    }
    EXPECT_EQ(w.at(0, 2).note, music::noteNumber("F#4"));
    w.chord(pad, 2, "C#4 F#4 A4", true);
    EXPECT_EQ(w.at(2, 1).note, music::noteNumber("C#4"));
    EXPECT_EQ(w.at(2, 1).instrument, 0);
    EXPECT_EQ(w.at(2, 1).effect, music::tonePorta);
    EXPECT_EQ(w.at(3, 3).effect, music::tonePorta);  // the glide lasts its rows
    EXPECT_EQ(w.at(3, 3).parameter, 0x30);
}

TEST(MakeMusicScore, EchoRepeatsLaterAndReleasesWhatSpillsOver) {
    PatternWriter w(16, 2);
    const Part lead{0, 1, 0x10, 1, 0x44}, echo{1, 2};
    w.line(lead, 0, "C4:4v _:6 ~D4:4 E4:2");
    w.echo(lead, echo, 3, 20);
    EXPECT_EQ(w.at(3, 1).note, 49);
    EXPECT_EQ(w.at(3, 1).instrument, 2);
    EXPECT_EQ(w.at(3, 1).volume, 0x10 + 20);
    EXPECT_EQ(w.at(5, 1).effect, music::vibrato);  // the source's row 2
    EXPECT_EQ(w.at(13, 1).note, music::noteNumber("D4"));
    EXPECT_EQ(w.at(13, 1).effect, music::tonePorta);
    EXPECT_EQ(w.at(13, 1).instrument, 0);  // a glide stays a glide
    EXPECT_EQ(w.at(13, 1).volume, 0);
    // E4 at row 14 would echo at row 17: the echo is released at the last row instead
    EXPECT_EQ(w.at(15, 1).note, music::releaseNote);
}

}  // namespace
}  // namespace qvl::test
