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

struct InstanceGuard {
  UniqueKernelHandle mutex;  // keep for the life of the process
  GuardAnswer answer = GuardAnswer::Failed;
};

// The guard is a mutex of that name, in the user's session.
InstanceGuard TakeInstanceGuard(const std::wstring& mutexName) noexcept;

// Starts the program file in a normal window, with no arguments, in our working directory; keeps
// no handle to it.
bool StartProgramFile(const std::wstring& path);

}  // namespace brindle::win32
