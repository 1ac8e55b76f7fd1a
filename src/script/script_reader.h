// The script reader: reads the magazine script line by line into the model. Keyword lines go
// to their handlers; other lines become page text (with inline mark-up), included ASCII or
// ANSI files, or empty lines. The first failing line is reported with its number.
#pragma once

#include <optional>
#include <string_view>

#include "script/magazine_model.h"
#include "script/reader_state.h"

namespace qvl {

inline constexpr size_t kTagCapacity = 255;  // characters of one mark-up tag

// Reads the script named by model.scriptName (a Windows-style name). False when it cannot be
// opened (no message of its own) or a line failed (after its messages were shown). The
// beeper takes the beeps of included ANSI files. Without an observer the first failing line
// ends the reading; with one, the reading tells it what it passes over and goes on after a
// failing line with the next (until a budget runs out).
bool readScript(MagazineModel& model, MessageSink& messages, Beeper& beeper,
                ReadObserver* observer = nullptr);

// Handles one line that is neither a comment nor empty: firstWord and argument as the line
// splits them (argument absent when the line has none), line the whole piece as read.
bool handleScriptLine(ScriptContext& ctx, std::string_view firstWord,
                      std::optional<std::string_view> argument, std::string_view line);

// Appends a text line with its mark-up to the script page; false (after its message) on a tag
// that is none of "b", "/b", "color n n", "/color".
bool appendMarkupLine(ScriptContext& ctx, std::string_view line);

}  // namespace qvl
