#pragma once
// Form1's logic: the values that live for the whole run and the handlers of the window's events.
// The platform's window calls these handlers; they reach the system only through Platform.

#include "launcher/Session.h"
#include "platform/FormEvents.h"
#include "platform/Platform.h"

namespace brindle {

class Form1 final : public FormEvents {
 public:
  explicit Form1(Platform& platform) : platform_(platform) {}

  void OnInitialize() noexcept override;
  void OnLoad() noexcept override;
  void OnTimerTick() noexcept override;
  void OnOkClick() noexcept override;
  int OnCountBoxKey(int code) noexcept override;

  const Session& session() const { return session_; }

 private:
  Platform& platform_;
  Session session_;
  bool confirmed_ = false;
};

}  // namespace brindle
