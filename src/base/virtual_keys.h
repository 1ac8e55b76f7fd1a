// The Windows virtual-key codes, the one key vocabulary of the program: every platform
// delivers key presses in it, the script's key names stand for some of them and the magazine
// answers to a few. Letter keys are their capital ASCII codes ('A' 65 to 'Z' 90), digit keys
// their ASCII digits ('0' 48 to '9' 57); the rest are named here with Windows' own values.
#pragma once

namespace qvl {

enum VirtualKey : int {
    kVkBack = 8,
    kVkTab = 9,
    kVkReturn = 13,
    kVkShift = 16,
    kVkControl = 17,
    kVkMenu = 18,  // Alt
    kVkPause = 19,
    kVkCapital = 20,  // Caps Lock
    kVkEscape = 27,
    kVkSpace = 32,
    kVkPrior = 33,  // Page Up
    kVkNext = 34,   // Page Down
    kVkEnd = 35,
    kVkHome = 36,
    kVkLeft = 37,
    kVkUp = 38,
    kVkRight = 39,
    kVkDown = 40,
    kVkSnapshot = 44,  // Print Screen
    kVkInsert = 45,
    kVkDelete = 46,
    kVkLWin = 91,
    kVkRWin = 92,
    kVkApps = 93,
    kVkNumpad0 = 96,  // the keypad's digits follow up to 105
    kVkMultiply = 106,
    kVkAdd = 107,
    kVkSubtract = 109,
    kVkDecimal = 110,
    kVkDivide = 111,
    kVkF1 = 112,  // F1 to F24 follow one another up to 135
    kVkF2 = 113,
    kVkF3 = 114,
    kVkF4 = 115,
    kVkF5 = 116,
    kVkF6 = 117,
    kVkF7 = 118,
    kVkF8 = 119,
    kVkF9 = 120,
    kVkF10 = 121,
    kVkF11 = 122,
    kVkF12 = 123,
    kVkF13 = 124,
    kVkF24 = 135,
    kVkNumLock = 144,
    kVkScroll = 145,  // Scroll Lock
    // Punctuation as a US keyboard lays it out.
    kVkOem1 = 186,  // ; :
    kVkOemPlus = 187,
    kVkOemComma = 188,
    kVkOemMinus = 189,
    kVkOemPeriod = 190,
    kVkOem2 = 191,  // / ?
    kVkOem3 = 192,  // ` ~
    kVkOem4 = 219,  // [ {
    kVkOem5 = 220,  // \ |
    kVkOem6 = 221,  // ] }
    kVkOem7 = 222,  // ' "
};

}  // namespace qvl
