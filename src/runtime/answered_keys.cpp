// The key strip's keys, read from the bindings and the fixed-key table.
#include "runtime/answered_keys.h"

#include <algorithm>

#include "base/ascii_case.h"
#include "base/virtual_keys.h"
#include "runtime/fixed_keys.h"
#include "script/keyword_table.h"

namespace qvl {

namespace {

// The key that sets off binding and its label: a named key as the keyboard names it, a letter
// as its capital (the press is lowered before it is compared), anything else as written.
PageKey bindingKey(const KeyBinding& binding) {
    if (const NamedKey* named = namedKey(binding.keyName))
        return {named->code, std::string(named->label)};
    const char c = binding.keyName.empty() ? char(binding.key) : binding.keyName[0];
    const char capital = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    return {static_cast<unsigned char>(capital), std::string(1, capital)};
}

bool offered(const FixedKey& key) {
    switch (key.action) {
        case KeyAction::quit:
            return false;
        // A tap selects and chooses on a menu; the strip adds the key that chooses.
        case KeyAction::choose:
            return key.code == kVkReturn;
        case KeyAction::selectFirst:
        case KeyAction::selectLast:
        case KeyAction::selectNext:
        case KeyAction::selectPrevious:
            return false;
        default:
            return true;
    }
}

}  // namespace

std::vector<PageKey> keysAnswered(const MagazineModel& model, int32_t pageIndex) {
    const Page* page = pageIndex >= 0 && pageIndex < static_cast<int32_t>(model.pages.size())
                           ? &model.pages[size_t(pageIndex)]
                           : nullptr;
    std::vector<PageKey> keys;
    std::vector<uint8_t> bound;  // lowered codes already answered
    const auto addBindings = [&](const std::vector<KeyBinding>& list, int32_t count) {
        const size_t n = std::min(list.size(), static_cast<size_t>(std::max(count, 0)));
        for (size_t i = 0; i < n; ++i) {
            const KeyBinding& b = list[i];
            if (b.key == 0 || std::find(bound.begin(), bound.end(), b.key) != bound.end()) continue;
            bound.push_back(b.key);
            keys.push_back(bindingKey(b));
        }
    };
    addBindings(model.globalKeys, model.globalKeyCount);
    if (page) addBindings(page->keys, page->keyCount);
    for (const FixedKey& key : kFixedKeys) {
        const bool acts =
            key.place == KeyPlace::everyPage || (page && keyPlaceHolds(key.place, *page));
        if (!acts || !offered(key)) continue;
        if (std::find(bound.begin(), bound.end(), uint8_t(foldAscii(key.code))) != bound.end())
            continue;
        keys.push_back({key.code, std::string(key.name)});
    }
    return keys;
}

}  // namespace qvl
