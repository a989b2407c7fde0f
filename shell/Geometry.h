#pragma once
// Twips (1/1440 inch) to pixels, at the screen's resolution: 15 twips per pixel at 96 dpi.

#include "shell/Handles.h"

namespace brindle::win32 {

inline constexpr int kTwipsPerInch = 1440;

struct Dpi {
  int x = 96;
  int y = 96;
};

// The resolution of the screen as this (not DPI-aware) process sees it.
inline Dpi ScreenDpi() noexcept {
  const WindowDc screen(nullptr);
  const int x = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  const int y = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return {.x = x > 0 ? x : 96, .y = y > 0 ? y : 96};
}

inline int TwipsToPixels(int twips, int dpi) noexcept {
  return ::MulDiv(twips, dpi, kTwipsPerInch);
}

}  // namespace brindle::win32
