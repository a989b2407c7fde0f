#pragma once
// A launcher wired to the fake platform, started the way the real window starts it.

#include "fake/FakePlatform.h"
#include "launcher/Form1.h"

namespace brindle::test {

inline constexpr const char* kFolder = "C:\\Messenger\\";

struct Launcher {
  fake::FakePlatform platform;
  Form1 form{platform};

  Launcher() { platform.files[platform.FileIn("ICQ.exe")] = "messenger"; }

  void Start() {
    form.OnInitialize();
    form.OnLoad();
  }
  // NoInfo = 1: the start-up goes straight to the launch.
  void StartSilently() {
    platform.SetSetting("NoInfo", "1");
    Start();
  }
  std::string SettingOr(const std::string& key, const std::string& fallback = "<absent>") const {
    return platform.Setting(key).value_or(fallback);
  }
  bool Has(const std::string& name) const { return platform.files.count(platform.FileIn(name)) != 0; }
};

}  // namespace brindle::test
