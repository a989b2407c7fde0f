#include "window/SwitchToEnglish.h"

#include <array>

#include "window/Wording.h"

namespace brindle {

namespace {

constexpr std::array kTranslatedControls{ControlId::Label1, ControlId::Label2, ControlId::Label3,
                                         ControlId::Label4, ControlId::Label5, ControlId::Label6,
                                         ControlId::Label7, ControlId::Check1};
constexpr std::array kShiftedControls{ControlId::Text1, ControlId::Label8};

}  // namespace

void SwitchToEnglish(Window& window) {
  for (const ControlId id : kTranslatedControls) window.SetText(id, ControlTextOf(id, true).value_or(""));
  for (const ControlId id : kShiftedControls) window.SetLeft(id, window.Left(id) - kEnglishShiftTwips);
}

}  // namespace brindle
