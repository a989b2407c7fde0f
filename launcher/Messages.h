#pragma once
// The launcher's message boxes, in the language the English flag chooses.

#include "platform/Platform.h"
#include "window/Texts.h"

namespace brindle {

// An error message ("Error"/"Fehler", exclamation icon), then Form1 unloaded and the process ended.
// Callers return right after it.
inline void ShowErrorAndEnd(Platform& platform, bool english, MessageId id) {
  platform.ShowMessage(
      {.text = MessageTextOf(id, english), .title = ErrorTitle(english), .icon = MessageIcon::Exclamation});
  platform.EndProcess();
}

}  // namespace brindle
