#pragma once
// Twips (1/1440 inch) to pixels and back, at the screen's resolution: 15 twips per pixel at 96 dpi.

#include "shell/Win32Api.h"

namespace brindle::win32 {

inline constexpr int kTwipsPerInch = 1440;

struct Dpi {
  int x = 96;
  int y = 96;
};

// The resolution of the screen as this (not DPI-aware) process sees it.
Dpi ScreenDpi() noexcept;

inline int TwipsToPixels(int twips, int dpi) noexcept {
  return ::MulDiv(twips, dpi, kTwipsPerInch);
}
inline int PixelsToTwips(int pixels, int dpi) noexcept {
  return ::MulDiv(pixels, kTwipsPerInch, dpi);
}

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

RECT ToPixels(const TwipsRect& twips, const Dpi& dpi) noexcept;

}  // namespace brindle::win32
