// The page's text on the Windows clipboard, as Unicode text that every program can paste.
#pragma once

#include <windows.h>

#include <string>

namespace qvl {

// Puts UTF-8 text (LF line ends) on the clipboard as CF_UNICODETEXT with CR LF line ends, in
// place of what was there; false when the clipboard could not be had (another program holds
// it open) or the memory not allocated, and then nothing changes.
bool putTextOnClipboard(HWND owner, const std::string& utf8);

}  // namespace qvl
