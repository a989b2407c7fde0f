#pragma once
// What happens after one of Form1's handlers: the handler says it, Form1 carries it out.

#include "platform/Platform.h"

namespace brindle {

struct Next {
  enum class Step {
    Stay,         // nothing more for now: the user or the timer has the next word
    WaitOnTimer,  // the hand-over wait: ticks every tickMs
    End,          // Form1 goes away and the process ends with `status`
  };
  Step step = Step::Stay;
  int tickMs = 0;
  ExitStatus status = ExitStatus::Launched;

  static Next Stay() { return {}; }
  static Next WaitOnTimer(int tickMs) { return {.step = Step::WaitOnTimer, .tickMs = tickMs}; }
  static Next End(ExitStatus status) { return {.step = Step::End, .status = status}; }
  bool operator==(const Next&) const = default;
};

}  // namespace brindle
