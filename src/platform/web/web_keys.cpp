// Key names to virtual-key codes: letters, digits, keypad digits and function keys by their
// number, the rest through a table.
#include "platform/web/web_keys.h"

#include "base/virtual_keys.h"

namespace qvl {

namespace {

struct CodePair {
    std::string_view code;
    int vk;
};

// clang-format off
constexpr CodePair kCodeTable[] = {
    {"Backspace", kVkBack},           {"Tab", kVkTab},
    {"Enter", kVkReturn},             {"NumpadEnter", kVkReturn},
    {"ShiftLeft", kVkShift},          {"ShiftRight", kVkShift},
    {"ControlLeft", kVkControl},      {"ControlRight", kVkControl},
    {"AltLeft", kVkMenu},             {"AltRight", kVkMenu},
    {"Pause", kVkPause},              {"CapsLock", kVkCapital},
    {"Escape", kVkEscape},            {"Space", kVkSpace},
    {"PageUp", kVkPrior},             {"PageDown", kVkNext},
    {"End", kVkEnd},                  {"Home", kVkHome},
    {"ArrowLeft", kVkLeft},           {"ArrowUp", kVkUp},
    {"ArrowRight", kVkRight},         {"ArrowDown", kVkDown},
    {"PrintScreen", kVkSnapshot},     {"Insert", kVkInsert},
    {"Delete", kVkDelete},            {"MetaLeft", kVkLWin},
    {"MetaRight", kVkRWin},           {"ContextMenu", kVkApps},
    {"NumpadMultiply", kVkMultiply},  {"NumpadAdd", kVkAdd},
    {"NumpadSubtract", kVkSubtract},  {"NumpadDecimal", kVkDecimal},
    {"NumpadDivide", kVkDivide},      {"NumLock", kVkNumLock},
    {"ScrollLock", kVkScroll},
    {"Semicolon", kVkOem1},           {"Equal", kVkOemPlus},
    {"Comma", kVkOemComma},           {"Minus", kVkOemMinus},
    {"Period", kVkOemPeriod},         {"Slash", kVkOem2},
    {"Backquote", kVkOem3},           {"BracketLeft", kVkOem4},
    {"Backslash", kVkOem5},           {"BracketRight", kVkOem6},
    {"Quote", kVkOem7},
};
// clang-format on

// The number after prefix in code (one or two digits), or -1.
int numberAfter(std::string_view code, std::string_view prefix) {
    if (!code.starts_with(prefix) || code.size() <= prefix.size() ||
        code.size() > prefix.size() + 2)
        return -1;
    int n = 0;
    for (char c : code.substr(prefix.size())) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace

int virtualKeyFromCode(std::string_view code) {
    if (code.size() == 4 && code.starts_with("Key") && code[3] >= 'A' && code[3] <= 'Z')
        return code[3];
    if (int n = numberAfter(code, "Digit"); n >= 0 && n <= 9) return '0' + n;
    if (int n = numberAfter(code, "Numpad"); n >= 0 && n <= 9) return kVkNumpad0 + n;
    if (int n = numberAfter(code, "F"); n >= 1 && n <= 24) return kVkF1 + n - 1;
    for (const CodePair& pair : kCodeTable)
        if (pair.code == code) return pair.vk;
    return 0;
}

int virtualKeyFromEvent(std::string_view key, std::string_view code) {
    if (key.size() == 1 && !code.starts_with("Numpad")) {
        const char c = key[0];
        if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    }
    return virtualKeyFromCode(code);
}

bool suppressBrowserAction(int virtualKey) {
    switch (virtualKey) {
        case kVkLeft:
        case kVkUp:
        case kVkRight:
        case kVkDown:
        case kVkPrior:
        case kVkNext:
        case kVkHome:
        case kVkEnd:
        case kVkSpace:
        case kVkReturn:
        case kVkBack:
            return true;
        default:
            return virtualKey >= kVkF1 && virtualKey <= kVkF12;
    }
}

}  // namespace qvl
