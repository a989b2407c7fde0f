#pragma once
// The steps of one run of a bench program, timed with the performance counter and written to a file
// when the run is over, so the bench can tell where the time of a launch goes. Stamps are absolute
// wall-clock times in 100-nanosecond units, the kind the stand-in messenger logs: the counter is
// anchored to the precise system time at the program's first moment.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win32/Win32Api.h"

namespace brindle::bench {

using Stamp = std::int64_t;

class StepLog {
 public:
  // Construct it first thing in wWinMain: its stamp is the program's first moment.
  StepLog() noexcept;
  StepLog(const StepLog&) = delete;
  StepLog& operator=(const StepLog&) = delete;

  Stamp Now() const noexcept;
  // The name must outlive the log (a string literal). Steps beyond the capacity are dropped.
  void Add(const char* name, Stamp begin, Stamp end) noexcept;
  // One line per step, "name|begin|end", after a first line "entry|t|t" with the first moment.
  // Writing is left until the measured work is done, so it costs the run nothing.
  bool WriteTo(std::wstring_view path) const noexcept;

 private:
  struct Step {
    const char* name;
    Stamp begin;
    Stamp end;
  };

  Stamp entry_ = 0;
  LARGE_INTEGER entryCounter_{};
  LARGE_INTEGER frequency_{};
  std::array<Step, 256> steps_{};
  std::size_t count_ = 0;
};

// Times the scope it lives in as one step.
class TimedStep {
 public:
  TimedStep(StepLog& log, const char* name) noexcept : log_(log), name_(name), begin_(log.Now()) {}
  TimedStep(const TimedStep&) = delete;
  TimedStep& operator=(const TimedStep&) = delete;
  ~TimedStep() { log_.Add(name_, begin_, log_.Now()); }

 private:
  StepLog& log_;
  const char* name_;
  Stamp begin_;
};

// The folder of the running executable, ending in "\".
std::wstring ExecutableFolder();

}  // namespace brindle::bench
