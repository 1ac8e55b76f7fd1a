// A whole platform backend: every operating-system service the viewer needs, for the entry
// points and the application shell, which hand each module only the services it calls (the
// script reader a message sink, the text import a beeper, the display the window host, the
// sound output the ring devices and the clock). Each backend (SDL2, headless, Windows)
// implements it in a folder of its own.
#pragma once

#include "platform/beeper.h"
#include "platform/clock.h"
#include "platform/message_sink.h"
#include "platform/ring_device.h"
#include "platform/window_host.h"

namespace qvl {

class Platform : public MessageSink,
                 public Beeper,
                 public Clock,
                 public WindowHost,
                 public RingDevices {
  public:
    virtual ~Platform() = default;
};

}  // namespace qvl
