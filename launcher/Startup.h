#pragma once
// The start-up sequence that every run begins with, while Form1 is still hidden.

#include <string>
#include <string_view>

#include "launcher/Session.h"
#include "platform/Platform.h"

namespace brindle {

inline constexpr std::string_view kSwitchGerman = "-german";
inline constexpr std::string_view kSwitchEnglish = "-english";
inline constexpr std::string_view kSwitchInfo = "-info";
inline constexpr std::string_view kExpectedExeName = "Tavu";
inline constexpr std::string_view kGermanLanguageName = "Deutsch";

// The platform's text for the system default locale and the given kind; empty when the query fails.
std::string LocaleLanguageName(Platform& platform, int kind);

// Fixes command line, folder, settings path and language, applies the two guards, then launches at
// once or shows the window.
void RunStartup(Platform& platform, Session& session);

}  // namespace brindle
