#pragma once
// Form1 as a Win32 window: the frame and its controls, built from the control table and run by the
// dialog manager, and one window procedure that hands each event to Form1 and carries out what it
// returns.

#include <string>
#include <string_view>

#include "launcher/Form1.h"
#include "shell/Geometry.h"
#include "shell/Handles.h"
#include "window/Controls.h"

namespace brindle::win32 {

class Form1Window final : public Shell {
 public:
  Form1Window() = default;
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;
  ~Form1Window() override = default;

  // Creates the window hidden, without controls. False when it could not be made.
  bool Create(HINSTANCE instance, Form1& form) noexcept;
  // Its controls, with their German texts and design geometry; a control that fails is left out.
  void CreateControls() noexcept;
  HWND handle() const noexcept { return window_.get(); }
  void Hide() noexcept;

  // Shell: what Form1's handlers ask for.
  void ShowWindow() noexcept override;  // activated, focus on the OK button, centred as it was made
  bool StartTimer(int intervalMs) noexcept override;
  void End(ExitStatus status) noexcept override;

  std::wstring Text(ControlId id);
  bool SetText(ControlId id, std::wstring_view text) noexcept;
  int Left(ControlId id) const noexcept;  // twips
  bool SetLeft(ControlId id, int left) noexcept;
  int CheckValue(ControlId id) const noexcept;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK CountBoxProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR subclassId, DWORD_PTR self) noexcept;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void DrawDot(const DRAWITEMSTRUCT& item) noexcept;

  bool CreateFrame(HINSTANCE instance) noexcept;
  void CreateControl(HINSTANCE instance, const ControlSpec& row) noexcept;
  void FitToText(HWND control, std::wstring_view text) noexcept;
  HWND Control(ControlId id) const noexcept;

  Form1* form_ = nullptr;
  HINSTANCE instance_ = nullptr;
  Dpi dpi_;
  UniqueFont font_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  ExitStatus exitStatus_ = ExitStatus::WindowClosed;  // what the process ends with once the window is gone
  UniqueWindow window_;                               // last: destroyed before the font and icons it uses
};

}  // namespace brindle::win32
