#pragma once
// One launch: copy ICQ.exe to the next numbered slot, start the copy, and wait on the timer for the
// messenger's side file before tidying up and ending the process.

#include <cstdint>

#include "launcher/Session.h"
#include "platform/Platform.h"

namespace brindle {

inline constexpr int kFirstLaunchTickMs = 2000;
inline constexpr int kLaterLaunchTickMs = 1000;
// The ticks that only count and wait. The tick after them, the sixth, ends the wait whatever it sees:
// six ticks in all, 6 s (12 s on the very first launch).
inline constexpr std::int16_t kTicksThatWait = 5;

// Ends the process itself (messenger missing, side file already there) or returns with the timer on.
void LaunchInstance(Platform& platform, Session& session);
// One step of the hand-over wait.
void HandOverTick(Platform& platform, Session& session);

}  // namespace brindle
