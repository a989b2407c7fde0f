#pragma once
// What the launcher asks of its one window, Form1: the texts and left edges of its controls, whether
// the check box is ticked, showing and hiding, the hand-over timer, the end of the run and the events
// already queued. Tavu.exe's Win32 window wears it, and so does the unit tests' fake. Portable types
// only: text is UTF-8, positions are twips. Nothing throws.

#include <array>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "window/Controls.h"
#include "window/Wording.h"

namespace brindle {

class Window {
 public:
  virtual ~Window() = default;

  virtual std::string Text(ControlId id) = 0;
  // A control that cannot be changed keeps its text or place: nothing the launcher could act on.
  virtual void SetText(ControlId id, std::string_view text) = 0;
  virtual int Left(ControlId id) = 0;
  virtual void SetLeft(ControlId id, int left) = 0;
  virtual bool IsTicked(ControlId id) = 0;  // a check box that is ticked; clear or greyed is not

  // Not modal, without an owner, centred, the focus on OK; returns at once. Its controls come to life
  // with the first show, with the texts and positions set before it.
  virtual void Show() = 0;
  virtual void Hide() = 0;  // invisible but alive: its timer keeps ticking
  // Ticks every `intervalMs` until the end; false when no tick will come.
  virtual bool StartTimer(int intervalMs) = 0;
  // The window goes and the process ends with `status`; no handler runs after it.
  virtual void End(ExitStatus status) = 0;
  virtual void PumpEvents() = 0;  // runs the window's events already queued, then returns
};

// What the launcher can change of a control, kept by each window for each control.
struct ControlState {
  std::string text;
  int left = 0;
};
using ControlStates = std::array<ControlState, kControls.size()>;

// Every window starts from the design: German texts, "5" in the count box, the table's positions.
inline ControlStates DesignStates() {
  ControlStates states;
  for (const ControlSpec& row : kControls)
    states[IndexOf(row.id)] = {.text = std::string(InitialTextOf(row.id)), .left = row.left};
  return states;
}

}  // namespace brindle
