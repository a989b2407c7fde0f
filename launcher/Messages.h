#pragma once
// The launcher's error messages, in the language the English flag chooses.

#include "launcher/Next.h"
#include "platform/Platform.h"
#include "window/Wording.h"

namespace brindle {

// An error message ("Error"/"Fehler", exclamation icon); once it is closed, the run ends with `status`.
inline Next ShowErrorThenEnd(Platform& platform, bool english, MessageId id, ExitStatus status) {
  platform.ShowMessage(
      {.text = MessageTextOf(id, english), .title = ErrorTitle(english), .icon = MessageIcon::Exclamation});
  return Next::End(status);
}

}  // namespace brindle
