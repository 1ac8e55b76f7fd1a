// Each check reads the model the way the runtime uses it: bindings are tried global first,
// then the page's, each list from its first slot, before the fixed keys; a numeric jump does
// nothing on a page named "help"; the fixed keys and the commands are the runtime's tables.
#include "check/magazine_check.h"

#include <algorithm>
#include <deque>
#include <string>

#include "base/virtual_keys.h"
#include "runtime/command_table.h"
#include "runtime/fixed_keys.h"

namespace qvl {

namespace {

// Presses are lowered before they are compared: a binding on a capital letter (or on no key at
// all) never answers.
bool pressable(uint8_t key) {
    return key != 0 && !(key >= 'A' && key <= 'Z');
}

// The key as an author writes it.
std::string keyName(uint8_t key) {
    if (key == kVkEscape) return "\"esc\"";
    if (key == kVkSpace) return "\"space\"";
    if (key > 32 && key < 127) return std::string{'"', char(key), '"'};
    return "code " + std::to_string(key);
}

template <typename T>
size_t counted(const std::vector<T>& list, int32_t count) {
    return std::min(list.size(), size_t(std::max(count, 0)));
}

class Checker {
  public:
    Checker(const MagazineModel& model, Diagnostics& out) : m_(model), out_(out) {}

    void run() {
        checkBindings(m_.globalKeys, m_.globalKeyCount, nullptr);
        for (const Page& p : m_.pages) {
            checkBindings(p.keys, p.keyCount, &p);
            checkMenu(p);
        }
        checkReach();
    }

  private:
    void warn(int32_t line, std::string text) {
        out_.push_back({m_.scriptName, line, 0, Severity::warning, std::move(text)});
    }

    void checkCommand(int32_t line, const std::string& command, const std::string& argument) {
        const Command* known = findCommand(command);
        if (!known) {
            warn(line, "unknown command \"" + command + "\": it does nothing");
            return;
        }
        if (known->argument != CommandArgument::pageOrLast) return;
        const JumpTarget target = jumpTarget(argument);
        if (target.back) return;
        if (target.page < 0 || target.page >= m_.pageCount)
            warn(line, "jump to page " + std::to_string(target.page) + ", which does not exist (" +
                           std::to_string(m_.pageCount) + " pages)");
    }

    // Whether fixed keys of place act where a binding answers: on its page, or, for a global
    // binding, on any page.
    bool placeHolds(KeyPlace place, const Page* page) const {
        if (page) return keyPlaceHolds(place, *page);
        return std::any_of(m_.pages.begin(), m_.pages.end(),
                           [&](const Page& p) { return keyPlaceHolds(place, p); });
    }

    void checkBindings(const std::vector<KeyBinding>& keys, int32_t count, const Page* page) {
        for (size_t i = 0; i < counted(keys, count); ++i) {
            const KeyBinding& b = keys[i];
            if (b.key == 0) continue;  // a slot never set: no key matches it
            checkCommand(b.scriptLine, b.command, b.argument);
            const std::string name = keyName(b.key);
            if (!pressable(b.key)) {
                warn(b.scriptLine, "binding on " + name +
                                       " never answers: key presses are compared in small "
                                       "letters");
                continue;
            }
            if (const KeyBinding* first = answeringBinding(m_, page, b.key); first && first != &b) {
                warn(b.scriptLine, "binding on " + name + " is shadowed by the one on line " +
                                       std::to_string(first->scriptLine));
                continue;
            }
            for (const FixedKey& f : kFixedKeys)
                if (f.code == b.key && placeHolds(f.place, page))
                    warn(b.scriptLine, "binding on " + name + " also answers " +
                                           std::string(f.name) + ", which then no longer " +
                                           std::string(f.effect));
        }
    }

    void checkMenu(const Page& p) {
        for (size_t i = 0; i < counted(p.selects, p.selectCount); ++i) {
            const MenuSelect& s = p.selects[i];
            const std::string entry = "menu entry " + std::to_string(i);
            if (s.scriptLine == 0) {
                warn(p.scriptLine, entry + " of this page is never set");
                continue;
            }
            checkCommand(s.scriptLine, s.command, s.argument);
            if (s.line < 1 || s.line > p.lineCount)
                warn(s.scriptLine, entry + " is on line " + std::to_string(s.line) +
                                       ", but its page has " + std::to_string(p.lineCount) +
                                       " lines");
        }
    }

    // The pages a reader can reach from the home page through bindings and menu entries
    // ("jump last" only goes back to a page already reached).
    void checkReach() {
        if (m_.pages.empty()) return;
        std::vector<bool> reached(m_.pages.size());
        std::deque<size_t> todo{size_t(m_.homePage)};
        reached[size_t(m_.homePage)] = true;
        auto follow = [&](const std::string& command, const std::string& argument) {
            const Command* known = findCommand(command);
            if (!known || known->argument != CommandArgument::pageOrLast) return;
            const JumpTarget target = jumpTarget(argument);
            const size_t page = size_t(target.page);
            if (target.back || target.page < 0 || page >= m_.pages.size() || reached[page]) return;
            reached[page] = true;
            todo.push_back(page);
        };
        while (!todo.empty()) {
            const Page& p = m_.pages[todo.front()];
            todo.pop_front();
            if (p.ignoresNumberedJumps()) continue;
            auto followAnswering = [&](const std::vector<KeyBinding>& keys, int32_t count) {
                for (size_t i = 0; i < counted(keys, count); ++i)
                    if (pressable(keys[i].key) && answeringBinding(m_, &p, keys[i].key) == &keys[i])
                        follow(keys[i].command, keys[i].argument);
            };
            followAnswering(m_.globalKeys, m_.globalKeyCount);
            followAnswering(p.keys, p.keyCount);
            if (p.takesMenuKeys())
                for (size_t i = 0; i < counted(p.selects, p.selectCount); ++i)
                    follow(p.selects[i].command, p.selects[i].argument);
        }
        for (size_t i = 0; i < m_.pages.size(); ++i) {
            if (reached[i]) continue;
            const Page& p = m_.pages[i];
            warn(p.scriptLine, "page " + std::to_string(i) +
                                   (p.name.empty() ? "" : " (\"" + p.name + "\")") +
                                   " cannot be reached: no key binding or menu entry leads "
                                   "to it, and it is not the home page");
        }
    }

    const MagazineModel& m_;
    Diagnostics& out_;
};

}  // namespace

void checkMagazine(const MagazineModel& model, Diagnostics& diagnostics) {
    Checker(model, diagnostics).run();
}

}  // namespace qvl
