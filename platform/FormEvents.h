#pragma once
// The events Form1 hosts. The Win32 window hands each one to these handlers and does nothing else.

namespace brindle {

inline constexpr int kSwallowKey = 0;

class FormEvents {
 public:
  virtual ~FormEvents() = default;
  virtual void OnInitialize() noexcept = 0;  // window created, before it loads
  virtual void OnLoad() noexcept = 0;        // right after initialisation
  virtual void OnTimerTick() noexcept = 0;
  virtual void OnOkClick() noexcept = 0;
  // A character typed into the count box; returns the code to deliver, or kSwallowKey.
  virtual int OnCountBoxKey(int code) noexcept = 0;
};

}  // namespace brindle
