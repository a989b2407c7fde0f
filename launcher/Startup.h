#pragma once
// The start-up sequence that every run begins with, while Form1 is still hidden.

#include <string_view>

#include "launcher/Next.h"
#include "launcher/Session.h"
#include "platform/Platform.h"
#include "window/Window.h"

namespace brindle {

inline constexpr std::string_view kSwitchGerman = "-german";
inline constexpr std::string_view kSwitchEnglish = "-english";
inline constexpr std::string_view kSwitchInfo = "-info";
inline constexpr std::string_view kExpectedExeName = "Tavu";
inline constexpr std::string_view kGermanLanguageName = "Deutsch";

// Fixes command line, folder, settings path and language, applies the two guards, then launches at
// once or shows the window.
Next RunStartup(Platform& platform, Window& window, Session& session);

}  // namespace brindle
