// The commands that key bindings and menu entries run (runtime/command_table.h): "jump" (to a
// page number or back to the last page), "exit" and "nextmusic". Main thread.
#include "runtime/command_table.h"
#include "runtime/magazine_app.h"

namespace qvl {

bool MagazineApp::runCommand(std::string_view command, std::string_view argument) {
    const Command* known = findCommand(command);
    if (!known) return false;
    switch (known->kind) {
        case CommandKind::nextMusic:
            nextMusic();
            return true;
        case CommandKind::jump: {
            const JumpTarget target = jumpTarget(argument);
            if (target.back) {
                changePage(view_.lastPage);
                return true;
            }
            const Page* page = pageAt(view_.currentPage);
            if (page && page->ignoresNumberedJumps()) return true;
            // guard: a jump to a page that does not exist is ignored
            if (!pageAt(target.page)) return true;
            view_.lastPage = view_.currentPage.load();
            changePage(target.page);
            return true;
        }
        case CommandKind::exit:
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
