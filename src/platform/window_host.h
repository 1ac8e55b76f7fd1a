// The window and its picture: creating the window for the 640 x 480 picture, full screen,
// presenting frames, and the event loop that delivers keys, the mouse and the close. Only the
// display and the application shell use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qvl {

inline constexpr int kFrameWidth = 640;
inline constexpr int kFrameHeight = 480;
inline constexpr int kFramePixels = kFrameWidth * kFrameHeight;  // 307200
// A frame is RGB565 (red bits 15-11, green 10-5, blue 4-0), top row first.
inline constexpr int kFrameBytes = kFramePixels * 2;  // 614400

// What creating the window can end in; the shell turns each failure into its message.
enum class WindowResult { ok, classFailed, windowFailed };

// A key the page shown answers, for a screen without a keyboard: the virtual-key code a button
// presses and the key's name as a keyboard labels it.
struct PageKey {
    int virtualKey = 0;
    std::string name;
    bool operator==(const PageKey&) const = default;
};

// The page shown, for a backend that lays its text over the picture as text of its own (for
// screen readers, finding and selecting). Positions in picture pixels: line k of the text lies
// at top scrollY + 12 k from left; entry lines count from 1 (menus do not scroll, so an entry's
// line lies where the menu draws it).
struct PageView {
    int32_t page = -1;  // -1: no page is shown whole (a fade runs, or there is none)
    std::string name;
    std::string text;  // UTF-8 lines, each ended by '\n'
    struct Art {
        int32_t firstLine = 0, lineCount = 0;
        std::string file;
        bool operator==(const Art&) const = default;
    };
    std::vector<Art> art;
    std::vector<int32_t> entryLines;  // where the menu answers: each entry's line
    int32_t selection = -1;
    int32_t left = 0, scrollY = 0;
    bool operator==(const PageView&) const = default;
};

// Receives what the event loop delivers, on the thread that runs the loop.
class WindowEvents {
  public:
    // One key press as a Windows virtual-key code (auto-repeats included).
    virtual void keyDown(int virtualKey) = 0;
    // The window is being closed (close box, a quit signal, or a close posted by postClose).
    virtual void closeRequested() = 0;
    // Another thread has something for this one (posted by postWake).
    virtual void wake() = 0;
    // The whole text of the page shown, as UTF-8 lines, for the clipboard or a file.
    virtual std::string pageText() = 0;
    // A press of the main mouse button over picture pixel (x, y) of the 640 x 480 picture; true
    // when it hit a menu entry.
    virtual bool pointerPressed(int x, int y) = 0;
    // The mouse wheel turned by whole notches: positive away from the reader, negative toward.
    virtual void wheelTurned(int notches) = 0;
    // A finger dragged the page by pixels of the picture: positive moves the text up, toward
    // the page's end. Only backends with touch input deliver it.
    virtual void dragScrolled(int /*pixels*/) {}
    // The keys the page shown answers, for a backend that offers them as buttons.
    virtual std::vector<PageKey> pageKeys() { return {}; }
    // The page shown as text; its page is -1 while none is shown whole.
    virtual PageView pageView() { return {}; }
    // A menu entry of the page shown, reached without the mouse (a screen reader's focus or
    // click): selects it, and chooses it as Return does when choose is set.
    virtual void menuEntryPicked(int /*entry*/, bool /*choose*/) {}

  protected:
    ~WindowEvents() = default;
};

class WindowHost {
  public:
    // Creates and shows the window titled "quorvel" whose client area is 640 x 480.
    virtual WindowResult createWindow() = 0;
    // Hides the mouse cursor, then switches to the full-screen picture.
    virtual bool enterFullScreen() = 0;
    // Undoes whatever part of enterFullScreen succeeded.
    virtual void leaveFullScreen() = 0;

    // Shows one top-down 640 x 480 RGB565 frame; called by the render thread only. It may wait
    // for the display (vertical sync), and returns at once after stopPresenting.
    virtual void present(const uint16_t* frame) = 0;
    // From now on present does nothing and returns at once; wakes a present that waits.
    // Callable from any thread.
    virtual void stopPresenting() = 0;
    // True where frames are drawn on the event loop's thread (a browser page), so that nothing
    // the viewer shows can change while one is drawn and the window keeps showing the last frame
    // until it is handed another: the viewer then skips frames that would come out the same.
    virtual bool drawsOnEventThread() const { return false; }

    // Runs the event loop on the calling thread until quit; returns the quit code.
    virtual int runEventLoop(WindowEvents& events) = 0;
    // Asks the event loop to deliver closeRequested; callable from any thread.
    virtual void postClose() = 0;
    // Asks the event loop to deliver wake; callable from any thread. Where the loop runs on the
    // caller's thread (a browser page), wake is delivered at once.
    virtual void postWake() = 0;
    // Ends the event loop after the event being handled; called on the loop's thread.
    virtual void quit(int exitCode) = 0;

  protected:
    ~WindowHost() = default;
};

}  // namespace qvl
