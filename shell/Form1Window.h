#pragma once
// Form1 as a Win32 window: the frame, the controls built from the control table, and one window
// procedure that hands each event to FormEvents and does nothing else with it.

#include <array>
#include <string>
#include <string_view>

#include "platform/FormEvents.h"
#include "platform/Platform.h"
#include "shell/Geometry.h"
#include "shell/Handles.h"
#include "window/Controls.h"

namespace brindle::win32 {

struct Form1Setup {
  HINSTANCE instance;
  FormEvents* events;
};

class Form1Window {
 public:
  Form1Window() = default;
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;
  ~Form1Window() = default;

  // Creates the window hidden, with its German texts and design geometry; the controls follow when
  // they are first needed. False when the window itself could not be made; a control that fails is
  // left out.
  bool Create(const Form1Setup& setup) noexcept;
  HWND handle() const noexcept { return window_.get(); }

  void Hide() noexcept;
  void Show() noexcept;  // activated, focus on the OK button, centred as it was made
  void Destroy() noexcept;
  void SetTimer(const TimerSetting& timer) noexcept;

  std::wstring Text(ControlId id);
  bool SetText(ControlId id, std::wstring_view text) noexcept;
  int Left(ControlId id) const noexcept;  // twips
  bool SetLeft(ControlId id, int left) noexcept;
  int CheckValue(ControlId id) noexcept;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK CountBoxProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR subclassId, DWORD_PTR self) noexcept;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void OnCommand(WPARAM wParam) noexcept;
  void OnActivate(HWND window, WPARAM wParam) noexcept;
  void DrawDot(const DRAWITEMSTRUCT& item) noexcept;

  bool CreateFrame(HINSTANCE instance) noexcept;
  void BuildControls() noexcept;
  void CreateControl(HINSTANCE instance, const ControlSpec& row) noexcept;
  void ArrangeTabOrder() noexcept;
  void FitToText(ControlId id, std::wstring_view text) noexcept;
  HWND Control(ControlId id) const noexcept;

  FormEvents* events_ = nullptr;
  HINSTANCE instance_ = nullptr;
  bool controlsBuilt_ = false;
  Dpi dpi_;
  UniqueFont font_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  std::array<HWND, kControls.size()> controls_{};
  // Where each control stands, in twips: positions that fall between pixels read back as set.
  std::array<TwipsRect, kControls.size()> layout_{};
  HWND lastFocus_ = nullptr;  // the control that gets the focus back when the window is activated
  UniqueWindow window_;       // last: destroyed before the font and icons it uses
};

}  // namespace brindle::win32
