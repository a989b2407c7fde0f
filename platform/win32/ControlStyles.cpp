#include "platform/win32/ControlStyles.h"

namespace brindle::win32 {
namespace {

ControlStyle BaseStyleOf(ControlKind kind) noexcept {
  switch (kind) {
    case ControlKind::AutoSizeLabel:
      // One line, never wrapped; the window sizes the control to its text.
      return {.className = WC_STATICW, .style = SS_LEFTNOWORDWRAP | SS_NOPREFIX, .exStyle = 0};
    case ControlKind::WrapLabel:
      return {.className = WC_STATICW, .style = SS_LEFT | SS_NOPREFIX, .exStyle = 0};
    case ControlKind::Dot:
      return {.className = WC_STATICW, .style = SS_OWNERDRAW, .exStyle = 0};
    case ControlKind::TextBox:
      return {.className = WC_EDITW, .style = ES_LEFT | ES_AUTOHSCROLL, .exStyle = WS_EX_CLIENTEDGE};
    case ControlKind::CheckBox:
      return {.className = WC_BUTTONW, .style = BS_AUTOCHECKBOX, .exStyle = 0};
    case ControlKind::PushButton:
      // Never BS_DEFPUSHBUTTON: the button is not the window's default button.
      return {.className = WC_BUTTONW, .style = BS_PUSHBUTTON, .exStyle = 0};
  }
  return {.className = WC_STATICW, .style = 0, .exStyle = 0};
}

}  // namespace

ControlStyle StyleOf(ControlKind kind, bool tabStop) noexcept {
  ControlStyle style = BaseStyleOf(kind);
  style.style |= WS_CHILD | WS_VISIBLE | (tabStop ? WS_TABSTOP : 0);
  return style;
}

}  // namespace brindle::win32
