// Following the author's edits: the files the magazine was read from are polled on the render
// thread's clock; when one changed, the script is read again into a fresh model there. A script
// that reads is handed to the main thread, which puts it in place of the magazine shown, at the
// same page and scroll position where they still exist; one that does not leaves the old
// magazine up, with its message in a box over it.
#include <algorithm>

#include "platform/file_path.h"
#include "runtime/magazine_app.h"
#include "script/script_reader.h"
#include "text/file_bytes.h"

namespace qvl {

namespace {

// FNV-1a over the bytes of a file the magazine names; 0 for a file that cannot be read.
uint64_t digestFile(std::string_view windowsName) {
    std::string bytes;
    if (!readFileBytes(windowsName, bytes)) return 0;
    uint64_t hash = 14695981039346656037ull;
    for (char c : bytes) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// Every file a read of the script went to: the script, its includes, the font, the modules.
void addMagazineFiles(const MagazineModel& model, std::vector<std::string>& files) {
    files.push_back(model.scriptName);
    files.insert(files.end(), model.includes.begin(), model.includes.end());
    files.push_back(kFontFile);
    for (const MusicEntry& entry : model.musicList) files.push_back(entry.fileName);
}

}  // namespace

MagazineApp::MusicFiles MagazineApp::musicFiles(const MagazineModel& model) {
    MusicFiles music;
    for (const MusicEntry& entry : model.musicList) {
        music.paths.push_back(resolvePath(entry.fileName));
        music.digests.push_back(digestFile(entry.fileName));
    }
    music.start = model.startMusic;
    return music;
}

void MagazineApp::watchFiles() {
    std::vector<std::string> files;
    addMagazineFiles(model_, files);
    files_.watch(files);
    watchedScript_ = model_.scriptName;
    music_ = musicFiles(model_);
    lastPoll_ = clock_.tickCount();
    watching_ = true;
}

bool MagazineApp::pollFiles() {
    const uint32_t now = clock_.tickCount();
    if (now - lastPoll_ < kWatchPollMs) return false;
    lastPoll_ = now;
    return files_.changed() && reload();
}

bool MagazineApp::reload() {
    MagazineModel fresh;
    fresh.scriptName = watchedScript_;
    // kept for the box: a message box on every save would stop the author's work
    KeptMessages messages;
    const bool read = readScript(fresh, messages, beeper_);
    std::unique_ptr<BitmapFont> font = read ? loadFont() : nullptr;

    // A read that failed stopped at the file that failed (recorded before it was opened): what
    // it did not get to cannot mend it, and is watched again once the script reads.
    std::vector<std::string> files;
    addMagazineFiles(fresh, files);
    files_.watch(files);

    if (!read) {
        errorText_ = messages.text.empty() ? "script could not be loaded!" : messages.text;
        return false;
    }
    if (!font) {
        errorText_ = "font file cannot be loaded!";
        return false;
    }
    errorText_.clear();
    auto reread = std::make_unique<Reread>();
    reread->music = musicFiles(fresh);
    reread->model = std::move(fresh);
    reread->font = std::move(font);
    // A newer read replaces one the main thread has not taken yet.
    std::lock_guard lock(handOverMutex_);
    handOver_ = std::move(reread);
    return true;
}

void MagazineApp::adopt(Reread&& fresh) {
    std::unique_lock lock(contentMutex_);
    ++adoptions_;
    model_ = std::move(fresh.model);
    font_ = std::move(fresh.font);
    indexLines();

    // The nearest page where the page shown, the fade's target or the last page are gone.
    const int32_t lastIndex = std::max<int32_t>(model_.pageCount - 1, 0);
    for (std::atomic<int32_t>* page : {&view_.currentPage, &view_.targetPage, &view_.lastPage})
        page->store(std::clamp<int32_t>(page->load(), 0, lastIndex));
    std::vector<std::atomic<int32_t>> selections(model_.pages.size());
    for (size_t i = 0; i < selections.size() && i < view_.selections.size(); ++i)
        selections[i].store(view_.selections[i].load());
    view_.selections = std::move(selections);
    // A page that became shorter scrolls up until its last line ends at the picture's bottom.
    if (const Page* page = pageAt(view_.currentPage)) {
        const int32_t limit = scrollLimit(*page);
        if (view_.scrollY < limit) view_.scrollY = std::min(limit, view_.viewMargin);
    }
    lock.unlock();

    // The song goes on unless a module file, its bytes or the start song changed; then the
    // music starts again as at start-up.
    if (fresh.music == music_) return;
    music_ = std::move(fresh.music);
    musicControl_.stopMusic();
    musicControl_.freeMusic();
    view_.music = model_.music;
    view_.startMusic = model_.startMusic;
    loadStartMusic();
    if (view_.music) musicControl_.playMusic();
}

}  // namespace qvl
