// The state of one script read: where the reader stands (namespaces, page, line number), the
// inline mark-up that carries over from line to line and page to page, and what it writes to.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "script/magazine_model.h"

namespace qvl {

struct ReaderState {
    bool inGlobalConfig = false;  // between "#startglobalconfig" and "#endglobalconfig"
    bool inMenu = false;          // between "#startmenu" and "#endmenu"
    int32_t scriptPage = 0;       // the page text, page keys and menus go to
    int32_t lineNumber = 0;       // lines read so far; the first line is line 1
};

struct MarkupState {
    bool boldOn = false;
    bool colourOn = false;
    int32_t colourFg = 0;
    int32_t colourBg = 0;
};

struct ScriptContext {
    MagazineModel& model;
    Platform& platform;
    ReaderState state;
    MarkupState markup;

    // The page that scriptPage names, or null when there is none (text before "#definepages").
    Page* scriptPage() {
        const int32_t index = state.scriptPage;
        return (index >= 0 && index < model.pageCount) ? &model.pages[size_t(index)] : nullptr;
    }
};

}  // namespace qvl
