#pragma once
// One launch: copy ICQ.exe to the next numbered slot, start the copy, and wait on the timer for the
// messenger's side file before tidying up and ending the process.

#include <cstdint>

#include "launcher/Session.h"
#include "platform/Platform.h"

namespace brindle {

inline constexpr std::int32_t kDefaultSlotCount = 5;
inline constexpr std::int32_t kMinSlotCount = 2;
inline constexpr std::int32_t kMaxSlotCount = 99;
inline constexpr int kFirstLaunchTickMs = 2000;
inline constexpr int kLaterLaunchTickMs = 1000;
// Ticks counted before the wait gives up: it ends at the latest on the tick after the last of these.
inline constexpr std::int16_t kTicksBeforeGivingUp = 5;

// Slot counts outside 2..99 fall back to 5.
std::int32_t ValidSlotCount(std::int32_t slotCount);
// The slot after `lastSlot`, wrapping to 1 after the last; out-of-range values restart at 1.
std::int32_t NextSlot(std::int32_t lastSlot, std::int32_t slotCount);
// The launch counter plus one, held at its maximum rather than overflowing.
std::int32_t NextLaunchCount(std::int32_t launches);

// Ends the process itself (messenger missing, side file already there) or returns with the timer on.
void LaunchInstance(Platform& platform, Session& session);
// One step of the hand-over wait.
void HandOverTick(Platform& platform, Session& session);

}  // namespace brindle
