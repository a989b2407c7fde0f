#pragma once
// The count box and the OK button: which keys the box takes, how its text becomes the slot count, and
// the confirmation that stores the choices before the launch.

#include <string_view>

#include "platform/Platform.h"
#include "window/Window.h"

namespace brindle {

inline constexpr int kSwallowKey = 0;  // the key has no effect
inline constexpr int kBackspace = 8;
inline constexpr int kPaste = 22;  // Ctrl+V

// The key filter of the count box: paste passes unfiltered; digits and Backspace pass unchanged;
// every other code becomes kSwallowKey.
int FilterCountBoxKey(int code);

// What the OK button needs of the running launcher.
struct Confirmation {
  std::string_view settingsPath;
  bool english;
};

// The OK button up to the launch, which the caller starts next: hide, store MaxNr, honour the
// do-not-show-again box.
void ConfirmCount(Platform& platform, Window& window, const Confirmation& confirmation);

}  // namespace brindle
