#pragma once

#include "window/Window.h"

namespace brindle {

// How far the count box and its range hint move left, together, for the shorter English caption.
inline constexpr int kEnglishShiftTwips = 280;

// Turns the freshly built German window into its English form. Called at most once, before showing.
void SwitchToEnglish(Window& window);

}  // namespace brindle
