#pragma once
// One launch: copy ICQ.exe to the next numbered slot, start the copy, and wait on the timer for the
// messenger's side file before tidying up and ending the process.

#include <cstdint>

#include "launcher/Next.h"
#include "launcher/Session.h"
#include "platform/Platform.h"
#include "window/Window.h"

namespace brindle {

inline constexpr int kFirstLaunchTickMs = 2000;
inline constexpr int kLaterLaunchTickMs = 1000;
// The ticks that only count and wait. The tick after them, the sixth, ends the wait whatever it sees:
// six ticks in all, 6 s (12 s on the very first launch).
inline constexpr std::int16_t kTicksThatWait = 5;

// Ends the run (messenger missing, side file already there) or asks for the hand-over wait.
Next LaunchInstance(Platform& platform, Window& window, Session& session);
// One step of the hand-over wait: stay, or the hand-over finish and the end.
Next HandOverTick(Platform& platform, Session& session);
// The end of the wait: the copy keeps its name while ICQ.exe is there, the side file goes.
Next HandOverFinish(Platform& platform, const Session& session);

}  // namespace brindle
