#include "Scenario.h"

#include <algorithm>

namespace brindle::e2e {

void PrintTo(const MessageSeen& message, std::ostream* out) {
  *out << "{title \"" << message.title << "\", text \"" << message.text << "\"}";
}

namespace {

std::optional<Window> OkButtonOf(const Window& form) {
  for (const Window& child : form.Children()) {
    if (child.ClassName() == "Button" && child.Text() == "OK") return child;
  }
  return std::nullopt;
}

void Answer(const Window& form, WindowAnswer answer) {
  if (answer == WindowAnswer::Close) {
    form.Close();
    return;
  }
  const std::optional<Window> ok = OkButtonOf(form);
  if (!ok) {
    ADD_FAILURE() << "the information window has no OK button";
    form.Close();
    return;
  }
  // The click runs the launch inside the program, which may end the process before it answers.
  ok->Click();
}

}  // namespace

RunResult Watch(Process& launcher, WindowAnswer answer) {
  RunResult result;
  const Timestamp deadline = Later(launcher.started(), kRunTimeout);
  while (!launcher.WaitForExit(std::chrono::milliseconds(50))) {
    if (Now() > deadline) {
      launcher.Kill();
      return result;
    }
    if (const std::optional<MessageBoxView> box = FindMessageBox(launcher.pid())) {
      result.messages.push_back({box->title, box->text});
      PressOk(*box);
      continue;
    }
    if (result.windowShown) continue;
    if (const std::optional<Window> form =
            WaitForWindow(launcher.pid(), kForm1Caption, std::chrono::milliseconds(0))) {
      result.windowShown = true;
      Answer(*form, answer);
    }
  }
  result.ended = true;
  result.endedAt = launcher.ended();
  result.seconds = launcher.LifetimeSeconds();
  return result;
}

std::string CurrentTestName() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "." + test->name();
  std::replace(name.begin(), name.end(), '/', '_');
  return name;
}

void Scenario::PrepareEmpty(std::string_view app) {
  folder_.emplace(CurrentTestName(), app);
  ASSERT_TRUE(folder_->ready()) << "could not create " << folder_->app();
}

void Scenario::Prepare(const StandinConfig& messenger, std::string_view app) {
  PrepareEmpty(app);
  ASSERT_TRUE(folder_->PlaceLauncher()) << "no Tavu.exe next to the test executable";
  ASSERT_TRUE(folder_->PlaceMessenger(messenger)) << "no standin.exe next to the test executable";
}

RunResult Scenario::Run(const LaunchOptions& options, std::string_view exeName) {
  std::optional<Process> launcher = folder_->StartLauncher(options, exeName);
  if (!launcher) {
    ADD_FAILURE() << "could not start " << folder_->AppFile(exeName);
    return {};
  }
  RunResult result = Watch(*launcher);
  EXPECT_TRUE(result.ended) << exeName << " " << options.arguments << " did not end within "
                            << kRunTimeout.count() << " s";
  return result;
}

void Scenario::TearDown() {
  if (folder_) WaitForStandinsToEnd(folder_->app(), std::chrono::seconds(30));
}

}  // namespace brindle::e2e
