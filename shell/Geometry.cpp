#include "shell/Geometry.h"

#include "shell/Handles.h"

namespace brindle::win32 {

Dpi ScreenDpi() noexcept {
  const WindowDc screen(nullptr);
  if (!screen) return {};
  const int x = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
  const int y = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
  return {.x = x > 0 ? x : 96, .y = y > 0 ? y : 96};
}

RECT ToPixels(const TwipsRect& twips, const Dpi& dpi) noexcept {
  const int left = TwipsToPixels(twips.left, dpi.x);
  const int top = TwipsToPixels(twips.top, dpi.y);
  return {left, top, left + TwipsToPixels(twips.width, dpi.x), top + TwipsToPixels(twips.height, dpi.y)};
}

}  // namespace brindle::win32
