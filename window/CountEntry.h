#pragma once
// The count box and the OK button: which keys the box takes, how its text becomes the slot count, and
// the confirmation that stores the choices before the launch.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/Platform.h"

namespace brindle {

inline constexpr int kBackspace = 8;
inline constexpr int kPaste = 22;  // Ctrl+V
inline constexpr int kTicked = 1;

// Digits and Backspace pass unchanged; every other code becomes kSwallowKey.
int DigitsOnly(int code);
// The key filter of the count box: paste passes unfiltered, everything else through DigitsOnly.
int FilterCountBoxKey(int code);

// The box text as a decimal number rounded down, as a 16-bit integer; nullopt when it does not convert.
std::optional<std::int16_t> ParseCount(std::string_view text);
// The slot count the box asks for: 5 when the text does not convert or lies outside 2..99.
std::int16_t CountFromText(std::string_view text);

// What the OK button needs of the running launcher.
struct Confirmation {
  std::string_view settingsPath;
  bool english;
};

// The OK button up to the launch, which the caller starts next: hide, store MaxNr, honour the
// do-not-show-again box.
void ConfirmCount(Platform& platform, const Confirmation& confirmation);

}  // namespace brindle
