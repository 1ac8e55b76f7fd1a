// CF_UNICODETEXT in movable global memory, which the system owns once it is set.
#include "platform/win32/clipboard.h"

#include <cstring>

#include "platform/clipboard_text.h"

namespace qvl {

bool putTextOnClipboard(HWND owner, const std::string& utf8) {
    const std::u16string text = clipboardText(utf8);
    const size_t bytes = (text.size() + 1) * sizeof(char16_t);  // with the terminating zero
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    void* locked = GlobalLock(memory);
    if (!locked) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(locked, text.c_str(), bytes);
    GlobalUnlock(memory);
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!set) GlobalFree(memory);  // not taken: still ours
    CloseClipboard();
    return set;
}

}  // namespace qvl
