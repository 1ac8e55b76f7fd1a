// The pages as HTML for archives: one file a page, its text in the viewer's colours on an
// 80-column monospace grid, menu entries and key jumps as links between the files, the page's
// keys listed under it; no script.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "script/magazine_model.h"

namespace qvl {

// The sixteen text colours (rows 0-7 normal, 8-15 bright) as the viewer draws them at full
// level, as CSS "#rrggbb"; slot 16 is black, for colour indices outside 0-7.
using PageColours = std::array<std::string, 17>;
PageColours viewerColours();

// "page-N.html".
std::string pageFileName(int32_t number);

// The page the command sends the reader to, or -1 when it is no jump to a page that exists.
int32_t jumpedPage(const MagazineModel& model, const std::string& command,
                   const std::string& argument);

// The pages page number leads to: its menu entries' and its keys' jumps, ascending, once each.
std::vector<int32_t> pageLinks(const MagazineModel& model, int32_t number);

std::string pageHtml(const MagazineModel& model, int32_t number, const PageColours& colours);
// Every page by number and name, linked, the home page first.
std::string indexHtml(const MagazineModel& model);

}  // namespace qvl
