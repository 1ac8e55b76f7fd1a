// The commands that key bindings and menu entries run: "jump" (to a page number or back to
// the last page), "exit" and "nextmusic". Main thread.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "runtime/magazine_app.h"

namespace qvl {

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return fold(x) == fold(y); });
}

}  // namespace

bool MagazineApp::runCommand(std::string_view command, std::string_view argument) {
    if (equalsNoCase(command, "nextmusic")) {
        nextMusic();
        return true;
    }
    if (equalsNoCase(command, "jump")) {
        if (equalsNoCase(argument, "last")) {
            changePage(view_.lastPage);
            return true;
        }
        const Page* page = pageAt(view_.currentPage);
        if (page && equalsNoCase(page->name, "help")) return true;
        int32_t target = std::atoi(std::string(argument).c_str());
        // guard: a jump to a page that does not exist is ignored
        if (!pageAt(target)) return true;
        view_.lastPage = view_.currentPage.load();
        changePage(target);
        return true;
    }
    if (equalsNoCase(command, "exit")) {
        view_.renderRunning.store(0);
        return true;
    }
    return false;
}

void MagazineApp::changePage(int32_t page) {
    if (model_.fading) {
        view_.targetPage = page;
        view_.fadeStart = elapsedMs();
        view_.fadeActive.store(true, std::memory_order_release);
    } else {
        view_.currentPage = page;
    }
}

}  // namespace qvl
