#pragma once
// Form1 as a Win32 window: a hidden frame from the start, its controls built from the control table and
// run by the dialog manager once it is shown, and one window procedure that hands each event to Form1
// and has Form1 carry out what it returns.

#include <string>
#include <string_view>

#include "launcher/Form1.h"
#include "shell/Geometry.h"
#include "shell/Handles.h"
#include "window/Window.h"

namespace brindle::win32 {

class Form1Window final : public Window {
 public:
  explicit Form1Window(HINSTANCE instance) noexcept : instance_(instance) {}
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;

  // Creates the frame, hidden and without controls, handing its events to `form`. False when it could
  // not be made.
  bool Create(Form1& form) noexcept;
  HWND handle() const noexcept { return window_.get(); }

  std::string Text(ControlId id) override;
  void SetText(ControlId id, std::string_view text) override;
  int Left(ControlId id) override;
  void SetLeft(ControlId id, int left) override;
  bool IsTicked(ControlId id) override;
  void Show() override;  // activated, focus on the OK button, centred as it was made
  void Hide() override;
  bool StartTimer(int intervalMs) override;
  void End(ExitStatus status) override;
  void PumpEvents() override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK CountBoxProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void DrawDot(const DRAWITEMSTRUCT& item) noexcept;

  void MakeControls() noexcept;
  void CreateControl(const ControlSpec& row) noexcept;
  void FitToText(HWND control, std::wstring_view text) noexcept;
  HWND Control(ControlId id) const noexcept;

  HINSTANCE instance_;
  Form1* form_ = nullptr;
  ControlStates controls_ = DesignStates();  // what the controls show, or will show once made
  bool made_ = false;
  Dpi dpi_;
  UniqueModule commonControls_;
  UniqueFont font_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  WNDPROC editProcedure_ = nullptr;                   // the count box's own, behind our key filter
  ExitStatus exitStatus_ = ExitStatus::WindowClosed;  // what the process ends with once the window is gone
  UniqueWindow window_;  // last: destroyed before the library, font and icons it uses
};

}  // namespace brindle::win32
