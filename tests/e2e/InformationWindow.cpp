#include "InformationWindow.h"

#include <array>

namespace brindle::e2e {
namespace {

constexpr std::array<std::string_view, 16> kControlNames{
    "Label2",   "Label3", "Point(0)", "Label4", "Point(1)", "Label5", "Point(2)", "Label6",
    "Point(3)", "Label7", "Point(4)", "Label1", "Text1",    "Label8", "Check1",   "Command1"};

}  // namespace

std::string ControlName(int id) {
  const int index = id - control::kLabel2;
  if (index < 0 || index >= static_cast<int>(kControlNames.size())) return "control " + std::to_string(id);
  return std::string(kControlNames[static_cast<std::size_t>(index)]);
}

void WindowScenario::OpenWindow(std::string_view arguments) {
  Prepare();
  if (HasFatalFailure()) return;
  launcher_ = folder().StartLauncher({.arguments = std::string(arguments)});
  ASSERT_TRUE(launcher_) << "could not start Tavu.exe";
  form_ = WaitForWindow(launcher_->pid(), kForm1Caption, kWindowTimeout);
  ASSERT_TRUE(form_) << "no visible window captioned \"" << kForm1Caption << "\"";
}

bool WindowScenario::OpenActive(std::string_view arguments) {
  OpenWindow(arguments);
  if (HasFatalFailure()) return false;
  return WaitUntil(kKeyTimeout, [&] {
    const std::optional<Window> foreground = ForegroundWindow();
    return foreground && foreground->handle() == form_->handle() && FocusedId() != 0;
  });
}

void WindowScenario::EndLauncher() {
  form_.reset();
  launcher_.reset();  // ends it, if it still runs
  Scenario::TearDown();
}

std::optional<Window> WindowScenario::Control(int id) const {
  std::optional<Window> found = form_->Child(id);
  EXPECT_TRUE(found) << "the window has no " << ControlName(id);
  return found;
}

int WindowScenario::FocusedId() const {
  const std::optional<Window> focus = form_->FocusedControl();
  return focus ? focus->ControlId() : 0;
}

bool WindowScenario::PressKey(int virtualKey) const {
  const std::optional<Window> focus = form_->FocusedControl();
  return focus && focus->PostKey(virtualKey);
}

int WindowScenario::PressTab() const {
  const int before = FocusedId();
  if (!PressKey(keys::kTab)) return 0;
  WaitUntil(kKeyTimeout, [&] { return FocusedId() != before; });
  return FocusedId();
}

bool WindowScenario::EmptyTheBox() const {
  const std::optional<Window> box = Control(control::kText1);
  if (!box || !box->PostKey(keys::kEnd) || !box->PostKey(keys::kBackspace)) return false;
  // The Backspace reaches the box as a character that TranslateMessage posts only when it handles
  // the key; characters posted before that would overtake it.
  return WaitForBoxText("").empty();
}

bool WindowScenario::SelectAllOfTheBox() const {
  const std::optional<Window> box = Control(control::kText1);
  if (!box) return false;
  const int length = static_cast<int>(WideText(*box).size());
  if (!box->PostKey(keys::kEnd)) return false;
  if (!WaitUntil(kKeyTimeout, [&] { return SelectionOf(*box) == TextSelection{length, length}; }))
    return false;
  const HeldKeys shift(*form_, {keys::kShift});
  if (!shift.held() || !box->PostKey(keys::kHome)) return false;
  return WaitUntil(kKeyTimeout, [&] { return SelectionOf(*box) == TextSelection{0, length}; });
}

std::string WindowScenario::BoxTextAfterChange(std::string_view from) const {
  const std::optional<Window> box = form_->Child(control::kText1);
  if (!box) return std::string(from);
  WaitUntil(kKeyTimeout, [&] { return box->Text() != from; });
  return box->Text();
}

std::string WindowScenario::WaitForBoxText(std::string_view text) const {
  const std::optional<Window> box = form_->Child(control::kText1);
  if (!box) return {};
  WaitUntil(kKeyTimeout, [&] { return box->Text() == text; });
  return box->Text();
}

std::string WindowScenario::PasteIntoBox(std::string_view text) const {
  const std::optional<Window> box = form_->Child(control::kText1);
  if (!box) return {};
  const std::string before = box->Text();
  ClipboardLock clipboard;
  EXPECT_TRUE(clipboard.locked()) << "the clipboard stayed locked by another test";
  EXPECT_TRUE(clipboard.Put(text)) << "could not put \"" << text << "\" on the clipboard";
  const HeldKeys control(*form_, {keys::kControl});
  EXPECT_TRUE(control.held()) << "could not hold Ctrl down in the window's thread";
  EXPECT_TRUE(box->PostKey('V'));
  return BoxTextAfterChange(before);
}

bool WindowScenario::WaitUntilHidden() const {
  return WaitUntil(kWindowTimeout, [&] { return !form_->Exists() || !form_->Visible(); });
}

RunResult WindowScenario::WatchToEnd() {
  RunResult run = Watch(*launcher_);
  EXPECT_TRUE(run.ended) << "Tavu.exe did not end within " << kRunTimeout.count() << " s";
  return run;
}

void WindowScenario::TearDown() {
  if (launcher_ && launcher_->Running()) {
    if (form_ && form_->Exists() && form_->Visible()) form_->Close();
    launcher_->WaitForExit(kWindowTimeout);
  }
  Scenario::TearDown();
}

}  // namespace brindle::e2e
