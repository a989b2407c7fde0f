#pragma once
// Wall-clock time stamps that compare across processes: the stand-in messenger writes the same kind of
// stamp into its log, so a test can tell how long after the messenger's start the launcher ended.

#include <chrono>
#include <cstdint>

namespace brindle::e2e {

// GetSystemTimePreciseAsFileTime, in 100-nanosecond units.
using Timestamp = std::int64_t;

Timestamp Now();
// The time a span after another one, e.g. a deadline: Later(Now(), std::chrono::seconds(30)).
Timestamp Later(Timestamp from, std::chrono::milliseconds span);
double SecondsBetween(Timestamp from, Timestamp to);
void SleepFor(std::chrono::milliseconds duration);

}  // namespace brindle::e2e
