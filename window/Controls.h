#pragma once
// The information window as data: every control with its design-time geometry (in twips, from the
// top-left corner of the client area), focus order and initial state. The Win32 layer builds the
// window from this table; nothing else knows where a control stands.

#include <array>
#include <cstddef>
#include <string_view>

namespace brindle {

// The controls of Form1, in the order of the table below.
// clang-format off
enum class ControlId { Label2, Label3, Point0, Label4, Point1, Label5, Point2, Label6, Point3, Label7, Point4,
                       Label1, Text1, Label8, Check1, Command1 };
// clang-format on

enum class ControlKind {
  AutoSizeLabel,  // one line, sized to its text, left/top fixed
  WrapLabel,      // fixed size, wraps at word boundaries, clips what does not fit
  Dot,            // solid black circle
  TextBox,        // single-line edit with sunken border
  CheckBox,       // two-state
  PushButton,     // neither default nor cancel
};

inline constexpr int kNoTabStop = 0;

struct ControlSpec {
  ControlId id;
  std::string_view name;
  ControlKind kind;
  int left;
  int top;
  int width;
  int height;
  int tabOrder;  // 1 = first to take the focus; kNoTabStop for labels and dots
};

struct FormSpec {
  std::string_view caption;
  int clientWidth;
  int clientHeight;
};

inline constexpr FormSpec kForm1{"Brindle v.1.2", 6015, 3930};

inline constexpr std::array<ControlSpec, 16> kControls{{
    {ControlId::Label2, "Label2", ControlKind::AutoSizeLabel, 120, 120, 4200, 195, kNoTabStop},
    {ControlId::Label3, "Label3", ControlKind::WrapLabel, 360, 480, 5265, 435, kNoTabStop},
    {ControlId::Point0, "Point(0)", ControlKind::Dot, 240, 550, 60, 60, kNoTabStop},
    {ControlId::Label4, "Label4", ControlKind::WrapLabel, 360, 960, 5625, 435, kNoTabStop},
    {ControlId::Point1, "Point(1)", ControlKind::Dot, 240, 1030, 60, 60, kNoTabStop},
    {ControlId::Label5, "Label5", ControlKind::WrapLabel, 360, 1440, 5295, 435, kNoTabStop},
    {ControlId::Point2, "Point(2)", ControlKind::Dot, 240, 1510, 60, 60, kNoTabStop},
    {ControlId::Label6, "Label6", ControlKind::WrapLabel, 360, 1920, 5490, 555, kNoTabStop},
    {ControlId::Point3, "Point(3)", ControlKind::Dot, 240, 1990, 60, 60, kNoTabStop},
    {ControlId::Label7, "Label7", ControlKind::WrapLabel, 360, 2400, 5175, 495, kNoTabStop},
    {ControlId::Point4, "Point(4)", ControlKind::Dot, 240, 2470, 60, 60, kNoTabStop},
    {ControlId::Label1, "Label1", ControlKind::AutoSizeLabel, 240, 3000, 3705, 195, kNoTabStop},
    {ControlId::Text1, "Text1", ControlKind::TextBox, 4000, 2970, 615, 285, 2},
    {ControlId::Label8, "Label8", ControlKind::AutoSizeLabel, 4680, 3000, 495, 195, kNoTabStop},
    {ControlId::Check1, "Check1", ControlKind::CheckBox, 240, 3480, 2895, 255, 3},
    {ControlId::Command1, "Command1", ControlKind::PushButton, 4200, 3480, 1695, 375, 1},
}};

// The order the controls are made in, which is their z-order: Tab walks the controls that take the
// focus in it, and a screen reader names the count box by the label right before it.
// clang-format off
inline constexpr std::array kZOrder{
    ControlId::Label2, ControlId::Label3, ControlId::Point0, ControlId::Label4, ControlId::Point1,
    ControlId::Label5, ControlId::Point2, ControlId::Label6, ControlId::Point3, ControlId::Label7,
    ControlId::Point4, ControlId::Label8, ControlId::Command1, ControlId::Label1, ControlId::Text1,
    ControlId::Check1};
// clang-format on

// The count box holds at most this many characters, typed or pasted.
inline constexpr int kText1MaxLength = 2;
inline constexpr std::string_view kText1Initial = "5";

// Win32 control identifiers: stable, so that tests can find a control by its id.
constexpr int ControlNumber(ControlId id) {
  return 100 + static_cast<int>(id);
}

// Where a control's row is in kControls, and so in any array kept per control.
constexpr std::size_t IndexOf(ControlId id) {
  return static_cast<std::size_t>(id);
}

constexpr const ControlSpec& SpecOf(ControlId id) {
  return kControls[IndexOf(id)];  // every id has its row at its own index (checked below)
}

namespace detail {
constexpr bool EveryIdHasItsOwnRow() {
  for (std::size_t i = 0; i < kControls.size(); ++i)
    if (static_cast<std::size_t>(kControls[i].id) != i) return false;
  return true;
}
constexpr bool DotsSitBesideTheirHints() {
  constexpr ControlId pairs[5][2] = {{ControlId::Point0, ControlId::Label3},
                                     {ControlId::Point1, ControlId::Label4},
                                     {ControlId::Point2, ControlId::Label5},
                                     {ControlId::Point3, ControlId::Label6},
                                     {ControlId::Point4, ControlId::Label7}};
  for (const auto& pair : pairs)
    if (SpecOf(pair[0]).top != SpecOf(pair[1]).top + 70) return false;
  return true;
}
constexpr bool TabOrderIsOkThenBoxThenCheck() {
  return SpecOf(ControlId::Command1).tabOrder == 1 && SpecOf(ControlId::Text1).tabOrder == 2 &&
         SpecOf(ControlId::Check1).tabOrder == 3;
}
// Every control once; those that take the focus in their tab order; the count box's label before it.
constexpr bool ZOrderKeepsTabOrderAndLabel() {
  int nextTab = 1;
  for (std::size_t i = 0; i < kZOrder.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j)
      if (kZOrder[i] == kZOrder[j]) return false;
    const int tab = SpecOf(kZOrder[i]).tabOrder;
    if (tab != kNoTabStop && tab != nextTab++) return false;
    if (kZOrder[i] == ControlId::Text1 && (i == 0 || kZOrder[i - 1] != ControlId::Label1)) return false;
  }
  return kZOrder.size() == kControls.size();
}
constexpr bool EverythingFitsTheClientArea() {
  for (const auto& row : kControls)
    if (row.left + row.width > kForm1.clientWidth || row.top + row.height > kForm1.clientHeight) return false;
  return true;
}
}  // namespace detail

static_assert(detail::EveryIdHasItsOwnRow(), "kControls must list every ControlId once, in enum order");
static_assert(detail::DotsSitBesideTheirHints(), "each dot sits 70 twips below the top of its hint");
static_assert(detail::TabOrderIsOkThenBoxThenCheck(), "Tab goes OK -> count box -> check box");
static_assert(detail::ZOrderKeepsTabOrderAndLabel(),
              "kZOrder: each control once, tab order kept, Label1 before Text1");
static_assert(detail::EverythingFitsTheClientArea(), "a control sticks out of the window");

}  // namespace brindle
