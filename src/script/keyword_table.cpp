// The keyword handlers: arrays of the model are created by the define keywords and filled by
// index; an index that lies outside its array fills nothing.
#include "script/keyword_table.h"

#include <string>

#include "base/ascii_case.h"
#include "base/virtual_keys.h"
#include "script/script_scan.h"

namespace qvl {

namespace {

constexpr std::string_view kGlobalMenuMessage = "menus cannot be defined in global namespace!";
constexpr std::string_view kNonMenuMessage = "menus cannot be handled in non-menu namespace!";
constexpr std::string_view kCountMessage = "count must be between 0 and 10000!";

bool isOn(std::string_view value) {
    return equalsNoCase(value, "on");
}

template <typename T>
bool inRange(int32_t index, const std::vector<T>& array) {
    return index >= 0 && size_t(index) < array.size();
}

// A slot or index outside the list it fills: the line does nothing, which a check reports.
bool outsideItsList(ScriptContext& ctx, std::string_view what, int32_t index, size_t size) {
    if (ctx.observer)
        ctx.observer->outsideList(ctx.state.lineNumber, ctx.state.argumentColumn, what, index,
                                  size);
    return true;
}

// A define count, checked (and taken from the budget) before anything is allocated.
bool readCount(ScriptContext& ctx, std::string_view argument, int32_t& count) {
    count = readDecimal(argument);
    if (count < 0 || count > kMaxDefineCount) {
        ctx.messages.showMessage(kCountMessage);
        return false;
    }
    return ctx.takeDefinedEntries(size_t(count));
}

// The index word and the name of "#music" and "#startpage": the text is split at the first
// space after the index word; the name is the rest, without double quotes.
struct IndexAndName {
    std::string_view indexWord;
    std::string name;
};

IndexAndName splitIndexAndName(std::string_view argument) {
    const size_t start = std::min(argument.find_first_not_of(' '), argument.size());
    const size_t space = argument.find(' ', start);
    if (space == std::string_view::npos) return {argument.substr(start), {}};
    return {argument.substr(start, space - start),
            fitText(stripQuotes(argument.substr(space + 1)))};
}

// 1: "#startglobalconfig"
bool startGlobalConfig(ScriptContext& ctx, std::string_view) {
    ctx.state.inGlobalConfig = true;
    return true;
}

// 2: "#endglobalconfig"; harmless without a start
bool endGlobalConfig(ScriptContext& ctx, std::string_view) {
    ctx.state.inGlobalConfig = false;
    return true;
}

// 3: "#definekeys count": global bindings in the global namespace, else the page's
bool defineKeys(ScriptContext& ctx, std::string_view argument) {
    int32_t count = 0;
    if (!readCount(ctx, argument, count)) return false;
    if (ctx.state.inGlobalConfig) {
        ctx.model.globalKeyCount = count;
        ctx.model.globalKeys.assign(size_t(count), KeyBinding{});
    } else if (Page* page = ctx.scriptPage()) {
        page->keyCount = count;
        page->keys.assign(size_t(count), KeyBinding{});
    }  // guard: before "#definepages" there is no page to give keys to
    return true;
}

// 4: "#definepages count": every page so far is discarded
bool definePages(ScriptContext& ctx, std::string_view argument) {
    int32_t count = 0;
    if (!readCount(ctx, argument, count)) return false;
    ctx.model.pageCount = count;
    Page page;
    page.scriptLine = ctx.state.lineNumber;
    ctx.model.pages.assign(size_t(count), page);
    return true;
}

// 5: "#definemusic count"
bool defineMusic(ScriptContext& ctx, std::string_view argument) {
    int32_t count = 0;
    if (!readCount(ctx, argument, count)) return false;
    ctx.model.musicCount = count;
    ctx.model.musicList.assign(size_t(count), MusicEntry{});
    return true;
}

// 6: "#definestartmusic index": fails, without a message of its own, outside the music list
bool defineStartMusic(ScriptContext& ctx, std::string_view argument) {
    const int32_t index = readDecimal(argument);
    // guard: a negative index fails like one past the end
    if (index < 0 || index >= ctx.model.musicCount) return false;
    ctx.model.startMusic = index;
    return true;
}

// 7: "#key slot name command argument"
bool key(ScriptContext& ctx, std::string_view argument) {
    ArgumentScanner scan(argument);
    const int32_t slot = scan.readInt();
    const std::string name = scan.readWord(kWordCapacity);
    std::string command = scan.readWord(kWordCapacity);
    std::string keyArgument = scan.readWord(kWordCapacity);

    std::vector<KeyBinding>* keys = &ctx.model.globalKeys;
    if (!ctx.state.inGlobalConfig) {
        Page* page = ctx.scriptPage();
        if (!page) return true;  // guard: no page yet, nothing to bind
        keys = &page->keys;
    }
    // guard: a slot outside the array fills nothing
    if (!inRange(slot, *keys)) return outsideItsList(ctx, "key", slot, keys->size());
    KeyBinding& binding = (*keys)[size_t(slot)];
    binding.key = keyCodeFromName(name);
    binding.keyName = name;
    if (ctx.observer) ctx.observer->keyBound(ctx.state.lineNumber, name, binding.key);
    binding.command = std::move(command);
    binding.argument = std::move(keyArgument);
    binding.scriptLine = ctx.state.lineNumber;
    return true;
}

// 8: "#setglobaloption name value"; unknown names are ignored
bool setGlobalOption(ScriptContext& ctx, std::string_view argument) {
    ArgumentScanner scan(argument);
    const std::string name = scan.readWord(kOptionNameCapacity);
    const std::string value = scan.readWord(kWordCapacity);
    MagazineModel& m = ctx.model;
    if (equalsNoCase(name, "fullscreen"))
        m.displayMode = isOn(value) ? kDisplayFullScreen : kDisplayWindowed;
    else if (equalsNoCase(name, "fading"))
        m.fading = isOn(value);
    // quirk: a fadespeed of 0 or below is stored as it is (the fade guards its division)
    else if (equalsNoCase(name, "fadespeed"))
        m.fadespeed = static_cast<uint32_t>(readDecimal(value));
    else if (equalsNoCase(name, "music"))
        m.music = isOn(value);
    return true;
}

// 9: "#setpageoption page name value": names its page by index, in any namespace
bool setPageOption(ScriptContext& ctx, std::string_view argument) {
    ArgumentScanner scan(argument);
    const int32_t index = scan.readAnyInt();
    const std::string name = scan.readWord(kOptionNameCapacity);
    const std::string value = scan.readWord(kWordCapacity);
    if (!inRange(index, ctx.model.pages)) return true;  // guard: no such page, nothing to set
    Page& page = ctx.model.pages[size_t(index)];
    if (equalsNoCase(name, "scrollable"))
        page.scrollable = isOn(value);
    else if (equalsNoCase(name, "infobar"))
        page.infobar = isOn(value);
    return true;
}

// 10: "#homepage index"; checked against the pages once the whole script is read
bool homePage(ScriptContext& ctx, std::string_view argument) {
    ctx.model.homePage = readDecimal(argument);
    return true;
}

// 11: "#music index file name"; the index word is read as a decimal number
bool music(ScriptContext& ctx, std::string_view argument) {
    IndexAndName parts = splitIndexAndName(argument);
    const int32_t index = ArgumentScanner(parts.indexWord).readInt();
    // guard: outside the list
    if (!inRange(index, ctx.model.musicList))
        return outsideItsList(ctx, "music entry", index, ctx.model.musicList.size());
    ctx.model.musicList[size_t(index)] = {index, std::move(parts.name), ctx.state.lineNumber};
    return true;
}

// 12: "#startpage index name": fails, without a message of its own, outside the pages
bool startPage(ScriptContext& ctx, std::string_view argument) {
    IndexAndName parts = splitIndexAndName(argument);
    const int32_t index = ArgumentScanner(parts.indexWord).readAnyInt();
    // guard: a negative index fails like one past the end
    if (index < 0 || index >= ctx.model.pageCount) return false;
    ctx.state.scriptPage = index;
    ctx.model.pages[size_t(index)].name = std::move(parts.name);
    ctx.model.pages[size_t(index)].scriptLine = ctx.state.lineNumber;
    return true;
}

// 13: "#startmenu": the page becomes a menu; selections stay as they are
bool startMenu(ScriptContext& ctx, std::string_view) {
    if (ctx.state.inGlobalConfig) {
        ctx.messages.showMessage(kGlobalMenuMessage);
        return false;
    }
    ctx.state.inMenu = true;
    if (Page* page = ctx.scriptPage()) page->isMenu = 1;
    return true;
}

// 14: "#endmenu"
bool endMenu(ScriptContext& ctx, std::string_view) {
    if (ctx.state.inGlobalConfig) {
        ctx.messages.showMessage(kGlobalMenuMessage);
        return false;
    }
    ctx.state.inMenu = false;
    return true;
}

// 15: "#menuselect slot line first last fg bg bold highlight command argument"
bool menuSelect(ScriptContext& ctx, std::string_view argument) {
    ArgumentScanner scan(argument);
    const int32_t slot = scan.readAnyInt();
    MenuSelect s;
    s.line = scan.readAnyInt();
    s.firstColumn = scan.readAnyInt();
    s.lastColumn = scan.readAnyInt();
    s.fg = scan.readAnyInt();
    s.bg = scan.readAnyInt();
    s.bold = scan.readAnyInt() != 0;
    s.highlight = scan.readAnyInt() != 0;
    s.command = scan.readWord(kWordCapacity);
    s.argument = scan.readWord(kWordCapacity);
    s.scriptLine = ctx.state.lineNumber;
    Page* page = ctx.scriptPage();
    if (!page) return true;  // guard: nowhere to store it
    if (!inRange(slot, page->selects))
        return outsideItsList(ctx, "menu entry", slot, page->selects.size());
    page->selects[size_t(slot)] = std::move(s);
    return true;
}

// 16: "#defineselects count": only inside a menu outside the global namespace
bool defineSelects(ScriptContext& ctx, std::string_view argument) {
    if (ctx.state.inGlobalConfig || !ctx.state.inMenu) {
        ctx.messages.showMessage(kNonMenuMessage);
        return false;
    }
    int32_t count = 0;
    if (!readCount(ctx, argument, count)) return false;
    if (Page* page = ctx.scriptPage()) {
        page->selectCount = count;
        page->selects.assign(size_t(count), MenuSelect{});
    }
    return true;
}

}  // namespace

const KeywordTable kKeywordTable = {{
    {"#startglobalconfig", startGlobalConfig},  // 1
    {"#endglobalconfig", endGlobalConfig},      // 2
    {"#definekeys", defineKeys},                // 3
    {"#definepages", definePages},              // 4
    {"#definemusic", defineMusic},              // 5
    {"#definestartmusic", defineStartMusic},    // 6
    {"#key", key},                              // 7
    {"#setglobaloption", setGlobalOption},      // 8
    {"#setpageoption", setPageOption},          // 9
    {"#homepage", homePage},                    // 10
    {"#music", music},                          // 11
    {"#startpage", startPage},                  // 12
    {"#startmenu", startMenu},                  // 13
    {"#endmenu", endMenu},                      // 14
    {"#menuselect", menuSelect},                // 15
    {"#defineselects", defineSelects},          // 16
}};

// clang-format off
const NamedKeyTable kNamedKeys = {{
    {"esc", kVkEscape, "Esc"}, {"f1", kVkF1, "F1"}, {"f2", kVkF2, "F2"}, {"f3", kVkF3, "F3"},
    {"f4", kVkF4, "F4"},       {"f5", kVkF5, "F5"}, {"f6", kVkF6, "F6"}, {"f7", kVkF7, "F7"},
    {"f8", kVkF8, "F8"},       {"pl", kVkLeft, "Left"}, {"pr", kVkRight, "Right"},
    {"space", kVkSpace, "Space"},
}};
// clang-format on

const NamedKey* namedKey(std::string_view name) {
    for (const NamedKey& k : kNamedKeys)
        if (equalsNoCase(name, k.name)) return &k;
    return nullptr;
}

uint8_t keyCodeFromName(std::string_view name) {
    if (const NamedKey* k = namedKey(name)) return k->code;
    // Letter keys must be written in small letters: the key press is compared lower-cased.
    return name.empty() ? 0 : static_cast<uint8_t>(name[0]);
}

}  // namespace qvl
