// The one magazine object: the content the script builds (MagazineModel), the font, and the
// state of the view (page shown, previous page, scroll position, fade). The render thread calls
// frame() over and over; the main thread calls handleKey() for every key press.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/virtual_keys.h"
#include "display/display.h"
#include "runtime/shell_state.h"
#include "script/magazine_model.h"
#include "sound/music_control.h"
#include "text/bitmap_font.h"

namespace qvl {

inline constexpr const char* kFontFile = "data\\system\\font.bmp";
inline constexpr int kTextColumns = 80;
inline constexpr int kTextRows = 40;

class MagazineApp : public MagazineModel {
  public:
    MagazineApp(ShellState& shell, Display& display)
        : musicControl(shell.platform), shell_(shell), display_(display) {}

    // Reads the script, loads the font, starts the music; false after a failure message.
    bool init(uint16_t* pixels);
    // Draws and presents one frame (render thread).
    void frame();
    // Handles one key press (main thread); true when a command or a fixed key acted.
    bool handleKey(int code);
    // Runs a bound or chosen command; true for a known one.
    bool runCommand(std::string_view command, std::string_view argument);

    // The steps of frame().
    void fadeStep();
    bool drawPageText(int32_t pageIndex);
    void clearMargins();
    void drawMenuSelection();
    void drawScrollBar();
    void drawInfoBar();
    // Fills a rectangle of a 640-pixel-wide picture; callers keep it inside the picture.
    static void fillRect(uint16_t* pixels, int32_t x, int32_t y, int32_t width, int32_t height,
                         uint16_t value);

    // The page at index, or none when the index lies outside pages.
    const Page* pageAt(int32_t index) const;

    // View state, written by the main thread's key handling and read by the render thread (or
    // the other way round), hence atomic.
    uint16_t* frameBuffer = nullptr;
    std::atomic<int32_t> currentPage{0};
    std::atomic<int32_t> lastPage{0};
    std::atomic<int32_t> targetPage{0};
    std::atomic<int32_t> scrollY{0};  // pixels; 0 shows the page from its top
    int32_t viewLeft = 0;
    int32_t viewMargin = 0;
    std::atomic<int32_t> fadeLevel{63};
    std::atomic<bool> fadeActive{false};
    std::atomic<bool> fadingOut{true};
    std::atomic<uint32_t> fadeStart{0};  // on the ElapsedMs clock
    std::unique_ptr<BitmapFont> font;
    MusicControl musicControl;

  private:
    // Starts a page change: a fade when fading is on, at once otherwise.
    void changePage(int32_t page);
    void scrollKey(int code, const Page& page);
    // The menu keys; sets handled when the key is done with (Return, Space, Up, Down).
    bool menuKey(int code, Page& page, bool& handled);
    void startTheMusic();
    void musicKey();
    void nextMusic();
    // Loads the music list's entry startMusic; an empty list or a slot outside it loads nothing.
    void loadStartMusic();
    // The lowest scrollY of a page: its last line ends at the bottom of the picture.
    int32_t scrollLimit(const Page& page) const;
    // Cell index at which each line of each page starts, so frames skip the lines above.
    void indexLines();

    ShellState& shell_;
    Display& display_;
    std::vector<std::vector<uint32_t>> lineStarts_;
};

}  // namespace qvl
