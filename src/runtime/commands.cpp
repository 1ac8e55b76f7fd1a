// The commands that key bindings and menu entries run: "jump" (to a page number or back to
// the last page), "exit" and "nextmusic". Main thread.
#include <cstdlib>
#include <string>

#include "base/ascii_case.h"
#include "runtime/magazine_app.h"

namespace qvl {

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
        if (page && page->ignoresNumberedJumps()) return true;
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
