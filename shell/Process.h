#pragma once
// Facts about the running process and the start of another one.

#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "shell/Handles.h"

namespace brindle::win32 {

// What follows the program name in a command line, untrimmed. The program name is the first token
// by the Windows rules: a quoted name runs to its closing quote, an unquoted one to the first blank
// or tab.
std::wstring_view ArgumentsAfterProgramName(std::wstring_view commandLine) noexcept;

// The full path of the running executable, however long; empty on failure.
std::wstring ExecutablePath();

// "Local\Brindle.Tavu." followed by a hash of the upper-cased path: one name per session and per
// executable file, whatever its length, and free of the backslashes a kernel object name may not
// hold after its namespace.
std::wstring InstanceMutexName(std::wstring_view executablePath);

struct InstanceGuard {
  UniqueKernelHandle mutex;  // keep for the life of the process
  GuardAnswer answer = GuardAnswer::Failed;
};

InstanceGuard TakeInstanceGuard(const std::wstring& mutexName) noexcept;

// Starts the program file in a normal window, with no arguments, in our working directory; keeps
// no handle to it.
bool StartProgramFile(const std::wstring& path);

}  // namespace brindle::win32
