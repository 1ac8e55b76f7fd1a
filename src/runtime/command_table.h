// The commands that key bindings and menu entries name, and the argument each reads. The
// runtime runs them; a check follows their jumps and names what no command is.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace qvl {

enum class CommandKind : uint8_t { nextMusic, jump, exit };

// What a command makes of its argument.
enum class CommandArgument : uint8_t {
    none,        // read by nobody
    pageOrLast,  // a page number, or "last" for the page before the last jump
};

struct Command {
    std::string_view name;  // compared in any letter case
    CommandKind kind;
    CommandArgument argument;
};

using CommandTable = std::array<Command, 3>;
extern const CommandTable kCommands;

// The command a binding or menu entry names, or null for none.
const Command* findCommand(std::string_view name);

// A jump's argument: "last" (any letter case) goes back; anything else is a page number,
// read as a decimal that saturates (text that is no number reads as page 0).
struct JumpTarget {
    bool back = false;
    int32_t page = 0;
};
JumpTarget jumpTarget(std::string_view argument);

}  // namespace qvl
