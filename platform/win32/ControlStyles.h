#pragma once
// How each kind of control of the window table is made in Win32: window class and styles.

#include "platform/win32/Win32Api.h"
#include "window/Controls.h"

namespace brindle::win32 {

struct ControlStyle {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

ControlStyle StyleOf(ControlKind kind, bool tabStop) noexcept;

}  // namespace brindle::win32
