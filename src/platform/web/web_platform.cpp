// The browser backend. The page (index.html) holds the canvas, the hint line and the message
// box; the JavaScript here draws, plays and reports through it. Only the heap's views and the
// exported pull function cross between the two.
#include "platform/web/web_platform.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "platform/rgb565.h"
#include "platform/sound_frame.h"
#include "platform/web/web_keys.h"

namespace qvl {

namespace {

WebPlatform* thePlatform = nullptr;  // the audio callback's way back in

constexpr int kFramesBetweenLooks = 256;

// clang-format off
EM_JS(void, jsPresent, (const uint8_t* rgba, int width, int height), {
    const canvas = document.getElementById('screen');
    if (!canvas) return;
    // when the first picture reached the canvas, in ms from the page's start (a figure the
    // browser test prints)
    if (!Module.qvlFirstPicture) Module.qvlFirstPicture = performance.now();
    if (!Module.qvlContext) Module.qvlContext = canvas.getContext('2d');
    const pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    Module.qvlContext.putImageData(new ImageData(pixels, width, height), 0, 0);
});

EM_JS(void, jsShowMessage, (const char* caption, const char* text), {
    const message = UTF8ToString(text);
    console.error(UTF8ToString(caption) + ': ' + message);
    if (window.qvlPage) window.qvlPage.showMessage(message);
});

EM_JS(void, jsToggleFullScreen, (), {
    if (window.qvlPage) window.qvlPage.toggleFullScreen();
});

EM_JS(void, jsCopyText, (const char* text), {
    if (navigator.clipboard && navigator.clipboard.writeText)
        navigator.clipboard.writeText(UTF8ToString(text)).catch(() => {});
});

EM_JS(void, jsPageKeys, (const char* list), {
    if (window.qvlPage) window.qvlPage.pageKeys(UTF8ToString(list));
});

// The text layer over the canvas (text_layer.js): the page's text when it changes, then where
// it lies and which menu entry is chosen; page -1 while no page is shown whole.
EM_JS(void, jsPageText, (int page, const char* name, const char* text, const char* art,
                         const char* entries, int left), {
    Module.qvlTextLayer.text(page, UTF8ToString(name), UTF8ToString(text), UTF8ToString(art),
                             UTF8ToString(entries), left);
});

EM_JS(void, jsPageState, (int page, int scrollY, int selection), {
    Module.qvlTextLayer.state(page, scrollY, selection);
});

EM_JS(void, jsStartInput, (), {
    Module.qvlStartInput();
});

EM_JS(void, jsWindowShown, (), {
    if (window.qvlPage) window.qvlPage.windowShown();
});

EM_JS(void, jsEnded, (), {
    if (Module.qvlAudio && Module.qvlAudio.context) Module.qvlAudio.context.close();
    Module.qvlAudio = null;
    if (window.qvlPage) window.qvlPage.ended();
});

EM_JS(int, jsAudioAvailable, (int rate), {
    if (!(window.AudioContext || window.webkitAudioContext)) return 0;
    Module.qvlAudio = {rate: rate, context: null};
    if (window.qvlPage) window.qvlPage.soundWaiting();
    return 1;
});

// A ScriptProcessorNode, which every browser has, pulls 2048 frames (46 ms) at a time; the
// browser resamples when its hardware runs at another rate. Module.qvlAudioTap, when a test
// sets it, sees every piece of 16-bit frames as it is handed over.
EM_JS(void, jsStartAudio, (), {
    const audio = Module.qvlAudio;
    if (!audio) return;
    // A context the system interrupted (a call, the screen locked) or suspended waits for the
    // next gesture, or for the page to be shown again (web_input.js).
    if (audio.context) {
        if (audio.context.state !== 'running' && audio.context.state !== 'closed')
            audio.context.resume().catch(() => {});
        return;
    }
    // Playback, not ambient sound: a phone's silent switch then leaves the magazine audible.
    if (navigator.audioSession) navigator.audioSession.type = 'playback';
    const Context = window.AudioContext || window.webkitAudioContext;
    const context = new Context({sampleRate: audio.rate});
    const node = context.createScriptProcessor(2048, 0, 2);
    node.onaudioprocess = (event) => {
        const out = event.outputBuffer, frames = out.length;
        const left = out.getChannelData(0), right = out.getChannelData(1);
        const at = _qvl_web_pull_audio(frames) >> 1;
        if (!at) {
            left.fill(0);
            right.fill(0);
            return;
        }
        for (let i = 0; i < frames; ++i) {
            left[i] = HEAP16[at + 2 * i] / 32768;
            right[i] = HEAP16[at + 2 * i + 1] / 32768;
        }
        if (Module.qvlAudioTap) Module.qvlAudioTap(HEAP16.subarray(at, at + 2 * frames));
    };
    node.connect(context.destination);
    context.resume();
    audio.context = context;
    audio.node = node;
    if (window.qvlPage) window.qvlPage.soundStarted();
});
// clang-format on

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent* event, void* platform) {
    auto* self = static_cast<WebPlatform*>(platform);
    self->gesture();
    const int vk = virtualKeyFromEvent(event->key, event->code);
    if (vk == 0) return EM_FALSE;
    const unsigned modifiers = (event->shiftKey ? kModShift : 0u) |
                               (event->ctrlKey ? kModControl : 0u) |
                               (event->altKey ? kModAlt : 0u) | (event->metaKey ? kModSystem : 0u);
    // The viewer's chords keep the browser's own action for them from happening too.
    if (self->keyPressed(vk, modifiers, event->repeat)) return EM_TRUE;
    return suppressBrowserAction(vk) ? EM_TRUE : EM_FALSE;
}

EM_BOOL onAnimationFrame(double, void* platform) {
    return static_cast<WebPlatform*>(platform)->frameStep() ? EM_TRUE : EM_FALSE;
}

}  // namespace

// The ring as the browser plays it: the frames handed to the audio callback are the frames
// played. The output looks at the device every 256 frames of a piece (5.8 ms), as the output
// thread looks every 2 ms on the desktop, and fills every block it may: a jump of more than a
// block between two looks (a piece is 2048 frames) could pass the blocks the output may fill
// and leave a lap of stale frames in the ring.
class WebPlatform::Device final : public RingDevice {
  public:
    Device(WebPlatform& owner, const int16_t* ring, int frames)
        : owner_(owner), ring_(ring), frames_(frames) {}
    ~Device() override { owner_.device_ = nullptr; }
    uint32_t bytesPlayed() override { return static_cast<uint32_t>(handed_ * kSoundFrameBytes); }
    bool runsOutputStep() const override { return true; }
    void unpolled(std::function<bool()> step) override { step_ = std::move(step); }

    const int16_t* pull(int frames) {
        piece_.resize(2 * static_cast<size_t>(frames));
        for (int done = 0; done < frames;) {
            const int look = std::min(frames - done, kFramesBetweenLooks);
            for (int i = done; i < done + look; ++i) {
                const int16_t* frame = ring_ + 2 * position_;
                piece_[2 * i] = frame[0];
                piece_[2 * i + 1] = frame[1];
                position_ = position_ + 1 == frames_ ? 0 : position_ + 1;
            }
            done += look;
            handed_ += static_cast<uint64_t>(look);
            // Each step fills at most one block; the ones that have just been played are free
            // now, and the frames still to hand lie ahead of them.
            if (step_)
                while (step_()) {
                }
        }
        return piece_.data();
    }

  private:
    WebPlatform& owner_;
    const int16_t* ring_;
    int frames_;
    int position_ = 0;
    uint64_t handed_ = 0;
    std::function<bool()> step_;
    std::vector<int16_t> piece_;
};

WebPlatform::WebPlatform() : rgba_(4 * kFrameWidth * kFrameHeight, 255) {
    thePlatform = this;
}

WebPlatform::~WebPlatform() {
    thePlatform = nullptr;
}

void WebPlatform::showMessage(std::string_view text) {
    jsShowMessage(kMessageCaption, std::string(text).c_str());
}

uint32_t WebPlatform::tickCount() {
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

WindowResult WebPlatform::createWindow() {
    jsWindowShown();
    return WindowResult::ok;
}

void WebPlatform::present(const uint16_t* frame) {
    if (!presenting_) return;
    // A frame is drawn only when what it shows may have changed: so may the page's keys and text.
    if (events_) {
        offerPageKeys();
        offerPageView();
    }
    if (!shown_.empty() && std::memcmp(shown_.data(), frame, kFrameBytes) == 0) return;
    shown_.assign(frame, frame + kFramePixels);
    uint8_t* out = rgba_.data();
    for (int i = 0; i < kFrameWidth * kFrameHeight; ++i, out += 4) widenRgb565(frame[i], out);
    jsPresent(rgba_.data(), kFrameWidth, kFrameHeight);
}

void WebPlatform::quit(int) {
    ended_ = true;
    presenting_ = false;
    jsEnded();
}

std::unique_ptr<RingDevice> WebPlatform::openRingDevice(int rate, const int16_t* ring, int frames) {
    if (device_ || !ring || frames <= 0 || !jsAudioAvailable(rate)) return nullptr;
    auto device = std::make_unique<Device>(*this, ring, frames);
    device_ = device.get();
    return device;
}

const int16_t* WebPlatform::pullAudio(int frames) {
    if (!device_ || ended_ || frames <= 0) return nullptr;
    return device_->pull(frames);
}

bool WebPlatform::keyPressed(int virtualKey, unsigned modifiers, bool repeat) {
    return input_ && !ended_ && input_->keyPressed(virtualKey, modifiers, repeat);
}

bool WebPlatform::pointerPressed(int x, int y) {
    gesture();
    return input_ && !ended_ && input_->pointerPressed(x, y, {0, 0, kFrameWidth, kFrameHeight});
}

void WebPlatform::wheelTurned(double steps) {
    if (input_ && !ended_) input_->wheelTurned(steps);
}

void WebPlatform::dragScrolled(int pixels) {
    if (events_ && !ended_) events_->dragScrolled(pixels);
}

void WebPlatform::menuEntryPicked(int entry, bool choose) {
    if (events_ && !ended_) events_->menuEntryPicked(entry, choose);
}

void WebPlatform::offerPageKeys() {
    std::vector<PageKey> keys = events_->pageKeys();
    if (keys == pageKeys_) return;
    pageKeys_ = std::move(keys);
    std::string list;
    for (const PageKey& key : pageKeys_)
        list += std::to_string(key.virtualKey) + ' ' + key.name + '\n';
    jsPageKeys(list.c_str());
}

void WebPlatform::offerPageView() {
    PageView view = events_->pageView();
    if (view == pageView_) return;
    const bool sameText = view.page == pageView_.page && view.text == pageView_.text &&
                          view.name == pageView_.name && view.art == pageView_.art &&
                          view.entryLines == pageView_.entryLines && view.left == pageView_.left;
    pageView_ = std::move(view);
    if (!sameText) {
        std::string art, entries;
        for (const PageView::Art& block : pageView_.art)
            art += std::to_string(block.firstLine) + ' ' + std::to_string(block.lineCount) + ' ' +
                   block.file + '\n';
        for (int32_t line : pageView_.entryLines) entries += std::to_string(line) + '\n';
        jsPageText(pageView_.page, pageView_.name.c_str(), pageView_.text.c_str(), art.c_str(),
                   entries.c_str(), pageView_.left);
    }
    jsPageState(pageView_.page, pageView_.scrollY, pageView_.selection);
}

void WebPlatform::toggleFullScreen() {
    jsToggleFullScreen();
}

void WebPlatform::putOnClipboard(const std::string& text) {
    jsCopyText(text.c_str());
}

void WebPlatform::postWake() {
    if (events_ && !ended_) events_->wake();
}

void WebPlatform::gesture() {
    if (device_ && !ended_) jsStartAudio();
}

void WebPlatform::runFrames(WindowEvents& events, std::function<bool()> step) {
    events_ = &events;
    input_ = std::make_unique<WindowInput>(events, static_cast<WindowControls&>(*this));
    step_ = std::move(step);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, onKeyDown);
    jsStartInput();
    emscripten_request_animation_frame_loop(onAnimationFrame, this);
}

bool WebPlatform::frameStep() {
    if (ended_) return false;
    if (!closePosted_ && step_()) return true;
    events_->closeRequested();
    return false;
}

}  // namespace qvl

// The page's input (web_input.js) calls these.
extern "C" {

EMSCRIPTEN_KEEPALIVE const int16_t* qvl_web_pull_audio(int frames) {
    return qvl::thePlatform ? qvl::thePlatform->pullAudio(frames) : nullptr;
}

EMSCRIPTEN_KEEPALIVE void qvl_web_gesture() {
    if (qvl::thePlatform) qvl::thePlatform->gesture();
}

EMSCRIPTEN_KEEPALIVE int qvl_web_pointer(int x, int y) {
    return qvl::thePlatform && qvl::thePlatform->pointerPressed(x, y) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void qvl_web_wheel(double steps) {
    if (qvl::thePlatform) qvl::thePlatform->wheelTurned(steps);
}

// A menu entry of the text layer: focused (choose 0) or clicked by a screen reader (1).
EMSCRIPTEN_KEEPALIVE void qvl_web_entry(int entry, int choose) {
    if (qvl::thePlatform) qvl::thePlatform->menuEntryPicked(entry, choose != 0);
}

EMSCRIPTEN_KEEPALIVE void qvl_web_drag(int pixels) {
    if (qvl::thePlatform) qvl::thePlatform->dragScrolled(pixels);
}

// A button of the key strip: the key as the keyboard would press it, no modifiers.
EMSCRIPTEN_KEEPALIVE void qvl_web_key(int virtualKey, int repeat) {
    if (!qvl::thePlatform) return;
    qvl::thePlatform->gesture();
    qvl::thePlatform->keyPressed(virtualKey, 0, repeat != 0);
}

}  // extern "C"
