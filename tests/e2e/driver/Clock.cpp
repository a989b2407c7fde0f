#include "driver/Clock.h"

#include <windows.h>

namespace brindle::e2e {

Timestamp Now() {
  FILETIME time{};
  GetSystemTimePreciseAsFileTime(&time);
  return (static_cast<Timestamp>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

Timestamp Later(Timestamp from, std::chrono::milliseconds span) {
  return from + span.count() * 10'000;
}

double SecondsBetween(Timestamp from, Timestamp to) {
  return static_cast<double>(to - from) / 1e7;
}

void SleepFor(std::chrono::milliseconds duration) {
  Sleep(static_cast<DWORD>(duration.count()));
}

}  // namespace brindle::e2e
