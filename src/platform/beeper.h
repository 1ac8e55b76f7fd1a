// The system's simple beep, which ANSI text asks for with some of its escape sequences.
#pragma once

namespace qvl {

class Beeper {
  public:
    // May do nothing.
    virtual void beep() = 0;

  protected:
    ~Beeper() = default;
};

}  // namespace qvl
