// The stack protector's runtime (shell/StackGuard.cpp) with the release's flags, seen from outside.
// Without arguments it starts itself twice with "guard", which ends with the seeded guard as its exit
// code, and once with "smash", which overruns a buffer on its own stack; it passes when the two guards
// differ and the smash ended the process with STATUS_STACK_BUFFER_OVERRUN.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>

extern "C" std::uintptr_t __stack_chk_guard;

namespace {

volatile unsigned overrun = 64;  // volatile: the compiler must not see the overrun coming

__attribute__((noinline)) void Smash() {
  char buffer[16];
  for (unsigned i = 0; i < overrun; ++i) static_cast<volatile char*>(buffer)[i] = 'A';
}

DWORD RunSelf(const wchar_t* mode) {
  wchar_t self[MAX_PATH], line[MAX_PATH + 16];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::swprintf(line, MAX_PATH + 16, L"\"%ls\" %ls", self, mode);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  DWORD status = 0;
  if (!CreateProcessW(self, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) return 0;
  WaitForSingleObject(child.hProcess, INFINITE);
  GetExitCodeProcess(child.hProcess, &status);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wcscmp(argv[1], L"guard") == 0) return static_cast<int>(__stack_chk_guard);
  if (argc > 1 && std::wcscmp(argv[1], L"smash") == 0) Smash();
  if (argc > 1) return 0;
  const DWORD first = RunSelf(L"guard"), second = RunSelf(L"guard"), smash = RunSelf(L"smash");
  std::printf("guards %08lx %08lx, the smash ended with %08lx\n", first, second, smash);
  return first != second && smash == 0xC0000409 ? 0 : 1;
}
