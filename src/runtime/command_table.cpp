// The command table and the reading of a jump's argument.
#include "runtime/command_table.h"

#include "base/ascii_case.h"
#include "script/script_scan.h"

namespace qvl {

const CommandTable kCommands = {{
    {"nextmusic", CommandKind::nextMusic, CommandArgument::none},
    {"jump", CommandKind::jump, CommandArgument::pageOrLast},
    {"exit", CommandKind::exit, CommandArgument::none},
}};

const Command* findCommand(std::string_view name) {
    for (const Command& command : kCommands)
        if (equalsNoCase(name, command.name)) return &command;
    return nullptr;
}

JumpTarget jumpTarget(std::string_view argument) {
    if (equalsNoCase(argument, "last")) return {true, 0};
    return {false, readDecimal(argument)};
}

}  // namespace qvl
