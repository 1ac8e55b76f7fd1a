// The pieces of the export that turn the magazine's bytes into text for other programs: page
// names and module titles (code page 437) as UTF-8, and escaping for HTML and JSON.
#pragma once

#include <string>
#include <string_view>

#include "script/magazine_model.h"

namespace qvl {

// Code page 437 bytes as UTF-8; bytes below 32 are left out, as the page text leaves them out.
std::string cp437Utf8(std::string_view bytes);

// Text for HTML element content and quoted attribute values.
std::string escapeHtml(std::string_view utf8);

// A JSON string literal, quotes included.
std::string jsonString(std::string_view utf8);

// The line that opens a page in text.txt: "=== page N: NAME ===".
std::string pageHeading(int32_t number, const Page& page);

// The magazine's title: the home page's name (empty without one).
std::string magazineTitle(const MagazineModel& model);

// Every page's heading and text (page_text.h), in page order.
std::string magazineText(const MagazineModel& model);

}  // namespace qvl
