// The magazine's use of its music: the start song at start-up, F9 switching the music off and
// on, and "nextmusic" moving through the music list. Main thread.
#include "runtime/magazine_app.h"

namespace qvl {

void MagazineApp::loadStartMusic() {
    const int32_t slot = view_.startMusic;
    // guard: an empty list, or an index outside it, has no song to load
    if (slot < 0 || slot >= model_.musicCount ||
        static_cast<size_t>(slot) >= model_.musicList.size())
        return;
    const std::string& fileName = model_.musicList[slot].fileName;
    // The magazine goes on silent; an author running it from a terminal learns why.
    if (!musicControl_.loadMusic(fileName))
        messages_.noteLine("module " + fileName +
                           " not loaded: " + describeRefusal(musicControl_.loadResult));
}

// The end of start-up: the sound output, the start song, and playing it when music is on.
// A module that does not load leaves the magazine silent, with one line on standard error.
void MagazineApp::startTheMusic() {
    musicControl_.initMusic();
    loadStartMusic();
    if (view_.music) musicControl_.playMusic();
}

// The music key: stops the song or starts it again from its beginning.
void MagazineApp::musicKey() {
    if (view_.music) {
        musicControl_.stopMusic();
    } else {
        musicControl_.playMusic();
    }
    view_.music = view_.music ? 0 : 1;
}

// The next song of the list, from the first after the last; the music is on afterwards. A
// pause still running ends first (its song loads, starts and stops), as if this press had come
// after it; the new pause starts from this press.
void MagazineApp::nextMusic() {
    musicControl_.stopMusic();
    const int32_t slot = view_.startMusic;
    view_.startMusic = slot < model_.musicCount - 1 ? slot + 1 : 0;
    musicControl_.freeMusic();
    // quirk: 200 ms of silence between the songs
    musicControl_.afterPause(200, [this] {
        loadStartMusic();
        musicControl_.playMusic();
    });
    view_.music = 1;
}

}  // namespace qvl
