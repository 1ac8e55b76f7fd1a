// The magazine at run time, composed of the content the script builds (its model, read at init
// and then left alone unless the files are watched), the font, the music control and the view
// state that the main and the render thread share (runtime/view_state.h), which the caller
// owns. The render thread calls prepareFrame() and frame() over and over; the main thread calls
// handleKey() for every key press, and takeHandOver() when prepareFrame asked for it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "base/virtual_keys.h"
#include "platform/beeper.h"
#include "platform/clock.h"
#include "platform/message_sink.h"
#include "platform/ring_device.h"
#include "platform/window_host.h"
#include "runtime/file_watch.h"
#include "runtime/fixed_keys.h"
#include "runtime/view_state.h"
#include "script/magazine_model.h"
#include "sound/music_control.h"
#include "text/bitmap_font.h"
#include "text/magazine_font.h"

namespace qvl {

inline constexpr int kTextColumns = 80;
inline constexpr int kTextRows = 40;
// How often watched files are looked at, in milliseconds of the viewer's clock: a change shows
// at most this long, and a frame or two (while the main thread takes it), after it was made.
inline constexpr uint32_t kWatchPollMs = 250;

// The services the magazine calls: messages and beeps while the script is read, the clock for
// the fades and the pause between songs, ring devices for the music.
struct MagazineServices {
    MessageSink& messages;
    Beeper& beeper;
    Clock& clock;
    RingDevices& ringDevices;
};

class MagazineApp {
  public:
    MagazineApp(const MagazineServices& services, WindowHost& window, ViewState& view)
        : messages_(services.messages),
          beeper_(services.beeper),
          clock_(services.clock),
          window_(window),
          view_(view),
          musicControl_(services.ringDevices, services.clock) {}
    MagazineApp(const MagazineApp&) = delete;
    MagazineApp& operator=(const MagazineApp&) = delete;

    // Reads the script (a Windows-style name), loads the font, starts the music and sets the
    // view state up; false after a failure message. Runs before the render thread starts.
    bool init(std::string_view scriptName, uint16_t* pixels);
    // The magazine's font as start-up takes it (text/magazine_font.h), or none.
    static std::unique_ptr<BitmapFont> loadFont();
    // Follows the author's edits from now on: every kWatchPollMs prepareFrame() looks at the
    // files the magazine was read from (script, includes, font, modules) and, when one changed,
    // reads the magazine again for the main thread to take (live_reload.cpp). Call after a
    // successful init, before the render thread.
    void watchFiles();
    // Render thread, right before each frame: true when the main thread has something to take
    // (a magazine read again, a song whose pause is over) and has not been asked yet; the
    // caller then wakes it, and it calls takeHandOver.
    bool prepareFrame();
    // Draws and presents one frame (render thread).
    void frame();
    // Main thread: adopts a magazine read again and starts a song whose pause is over.
    void takeHandOver();
    // Handles one key press (main thread); true when a command or a fixed key acted.
    bool handleKey(int code);
    // Runs a bound or chosen command (main thread, inside handleKey, or with no render thread
    // running); true for a known one.
    bool runCommand(std::string_view command, std::string_view argument);
    // The mouse (main thread; pointer_handling.cpp). A press over a menu entry of a menu page
    // selects it, and a second press on the entry it selected chooses it as Return does; true
    // when an entry was hit. Each wheel notch on a scrollable page is an Up or Down press; true
    // when the page took them.
    bool pointerPressed(int x, int y);
    bool wheelTurned(int notches);
    // A finger's drag on a scrollable page moves it by pixels (positive: toward its end),
    // stopping where the scrolling keys stop; true when the page took it. A fade stops it as
    // it stops the scrolling keys.
    bool dragScrolled(int pixels);
    // The keys the page shown answers (runtime/answered_keys.h); main thread.
    std::vector<PageKey> pageKeys() const;
    PageView pageView() const;
    void menuEntryPicked(int32_t entry, bool choose);

    // The whole text of the page shown, every line, as UTF-8 (text/page_text.h); main thread.
    std::string pageText() const;

    // The magazine as the script built it.
    const MagazineModel& model() const { return model_; }

  private:
    // The picture of frame(), under the content lock, and its steps (magazine_app.cpp,
    // page_drawing.cpp, overlays.cpp).
    void drawFrame();
    void fadeStep();
    void drawPageText(int32_t pageIndex);
    void clearMargins();
    void drawMenuSelection();
    void drawScrollBar();
    void drawInfoBar();
    // The box over the picture that holds the message of a magazine that no longer reads.
    void drawErrorBox();
    // Fills a rectangle of a 640-pixel-wide picture; callers keep it inside the picture.
    static void fillRect(uint16_t* pixels, int32_t x, int32_t y, int32_t width, int32_t height,
                         uint16_t value);
    // Cell index at which each line of each page starts, so frames skip the lines above.
    void indexLines();
    // The page at index, or none when the index lies outside pages.
    const Page* pageAt(int32_t index) const;
    // Milliseconds since the render thread started, wrapping modulo 2^32: the fades' clock.
    uint32_t elapsedMs() const;

    // Keys (key_handling.cpp).
    void scrollKey(KeyAction action, const Page& page);
    // The menu keys; true when one chose an entry or moved up or down.
    bool menuKey(KeyAction action, int32_t pageIndex, const Page& page);
    // The lowest scrollY of a page: its last line ends at the bottom of the picture.
    int32_t scrollLimit(const Page& page) const;
    // The menu entry whose cells cover picture pixel (x, y), or -1.
    int32_t menuEntryAt(const Page& page, int x, int y) const;
    bool scrollablePageShown() const;

    // Commands (commands.cpp): starts a page change, a fade when fading is on, at once
    // otherwise.
    void changePage(int32_t page);

    // Music use (music_use.cpp).
    void startTheMusic();
    void musicKey();
    void nextMusic();
    // Loads the music list's entry startMusic; an empty list or a slot outside it loads nothing.
    void loadStartMusic();

    // Live reload (live_reload.cpp): the files are polled and read on the render thread, the
    // result adopted on the main thread.
    // The module files of a model and their contents, to tell whether the song must change.
    struct MusicFiles {
        std::vector<std::string> paths;
        std::vector<uint64_t> digests;
        int32_t start = 0;
        bool operator==(const MusicFiles&) const = default;
    };
    static MusicFiles musicFiles(const MagazineModel& model);
    // A magazine read again, on its way from the render thread to the main thread.
    struct Reread {
        MagazineModel model;
        std::unique_ptr<BitmapFont> font;
        MusicFiles music;
    };
    // True when a magazine read again waits in the hand-over.
    bool pollFiles();
    bool reload();
    // Takes a freshly read model and its font (main thread); page, scroll, menu choices and the
    // song carry over where they still can.
    void adopt(Reread&& fresh);

    MessageSink& messages_;
    Beeper& beeper_;
    Clock& clock_;
    WindowHost& window_;  // the finished frames go to its present
    ViewState& view_;
    MagazineModel model_;
    std::unique_ptr<BitmapFont> font_;
    MusicControl musicControl_;
    uint16_t* frameBuffer_ = nullptr;  // the render thread's picture
    std::vector<std::vector<uint32_t>> lineStarts_;
    // The menu entry the last mouse press selected, and its page; -1 for none. Main only.
    int32_t pressedPage_ = -1;
    int32_t pressedEntry_ = -1;

    // Held by the render thread while it draws (it reads the model, the font, the line index and
    // the selections' vector) and by the main thread while it replaces them with a magazine
    // read again. The main thread reads them without it, as no other thread writes them.
    std::mutex contentMutex_;
    // Render thread only, after watchFiles.
    bool watching_ = false;
    uint32_t lastPoll_ = 0;  // clock ticks
    FileWatch files_;
    std::string watchedScript_;  // the script's name, as the model holds it
    std::string errorText_;      // shown over the picture while the script does not read
    // What the last frame drawn was drawn from, where the window keeps a frame shown
    // (drawsOnEventThread): a frame with the same inputs and no fade would come out the same.
    struct FrameInputs {
        uint32_t adoptions = 0;  // magazines adopted so far: the model, font and line index
        int32_t page = -1, scrollY = 0, fadeLevel = 0, selection = -1;
        std::string errorText;
        bool operator==(const FrameInputs&) const = default;
    };
    FrameInputs frameInputs() const;
    bool drewAny_ = false;
    FrameInputs drawn_;
    uint32_t adoptions_ = 0;
    // The main thread's: what the song shown was loaded from.
    MusicFiles music_;
    // The hand-over: filled by the render thread, emptied by the main thread, under its lock.
    std::mutex handOverMutex_;
    std::unique_ptr<Reread> handOver_;
    // The main thread has been asked to take the hand-over: set by the render thread when it
    // asks, cleared by the main thread before it looks.
    std::atomic<bool> wakeAsked_{false};
};

}  // namespace qvl
