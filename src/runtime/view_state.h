// The state of the view that the main thread (events, keys, commands) and the render thread
// (frames, fades) share, all in one place: for each field, who writes it and who reads it.
// The magazine's init sets every field on the main thread before the render thread starts;
// "main" and "render" below mean afterwards. A watched magazine that is read again is read on
// the render thread and handed to main (runtime/magazine_app.h), which adopts it: the page
// fields it moves, the selections and the music fields are main's writes too, made holding the
// lock that render holds while it draws. What else crosses between the threads stays with its
// owner: the end of the pause between two songs, which render reads to wake main
// (sound/music_control.h), and the output thread's own flags (its stop request and its end),
// with the sound output, which it alone runs (sound/wave_output.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

namespace qvl {

struct ViewState {
    // Fixed by init, then only read (both threads): the picture's left edge and the margin
    // above and below the text, in pixels.
    int32_t viewLeft = 0;
    int32_t viewMargin = 0;

    // The page shown. Written by main (a jump without fading) and by render (the switch on the
    // first frame of a fade-in); read by both.
    std::atomic<int32_t> currentPage{0};
    // The page before the last numbered jump, for "jump last". Main only.
    std::atomic<int32_t> lastPage{0};
    // The page a running fade goes to. Written by main, read by render.
    std::atomic<int32_t> targetPage{0};
    // Pixels; 0 shows the page from its top. Written by main (scroll keys) and by render (a
    // fade-in starts the new page at the margin); read by both.
    std::atomic<int32_t> scrollY{0};

    // The level of the picture, 0 (black) to 63. Written and read by render.
    std::atomic<int32_t> fadeLevel{63};
    // A page change is fading. Set by main (release, after targetPage and fadeStart), cleared
    // by render when the fade-in ends; read by both (main's key handling with acquire).
    std::atomic<bool> fadeActive{false};
    // The running fade is in its first half. Written and read by render.
    std::atomic<bool> fadingOut{true};
    // When the fade or its second half started, on the elapsed-milliseconds clock. Written by
    // main (a fade starts) and by render (the fade-out ends); read by render.
    std::atomic<uint32_t> fadeStart{0};

    // The chosen entry of each menu page, one per page. Written by main (menu keys), read by
    // render (the highlight). Sized by init, and again by main when it adopts a magazine read
    // again.
    std::vector<std::atomic<int32_t>> selections;

    // The music is on (F9 switches it). Main only.
    std::atomic<uint8_t> music{1};
    // The music list's entry loaded last: the script's start song, then wherever "nextmusic"
    // moved on to. Main only.
    std::atomic<int32_t> startMusic{0};

    // The render loop goes on while this is non-zero. Written by main (raised before the render
    // thread starts; cleared by "exit", F12 and the close) and by render (cleared when its loop
    // ends); read by render before every frame.
    std::atomic<int32_t> renderRunning{0};
    // The clock's tick count right before the first frame. Written by main before the render
    // thread starts; read by both, through the elapsed milliseconds of the fades.
    std::atomic<uint32_t> startTick{0};
};

}  // namespace qvl
