// The page's text as the Windows clipboard takes it: UTF-16 with CR LF line ends. Pure, so that
// it is tested wherever the tests run.
#pragma once

#include <string>
#include <string_view>

namespace qvl {

// UTF-8 lines ended by LF (or CR LF, kept as it is) to UTF-16 with CR LF, without the
// terminating zero. A byte that starts no valid UTF-8 sequence becomes one U+FFFD; characters
// beyond U+FFFF become surrogate pairs.
std::u16string clipboardText(std::string_view utf8);

}  // namespace qvl
