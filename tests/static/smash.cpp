// The stack protector's runtime with the release's flags. Without arguments it starts itself twice with
// "g", which exits with its stack guard, and once with "s", which overruns a stack buffer; it passes when
// the two guards differ and the overrun ended the process with STATUS_STACK_BUFFER_OVERRUN.
#include <process.h>

#include <cstdint>
#include <cstdlib>

extern "C" std::uintptr_t __stack_chk_guard;
volatile unsigned overrun = 64;  // volatile: the compiler must not see the overrun coming

int main(int argc, char** argv) {
  char buffer[16];
  if (argc > 1 && argv[1][0] == 'g') return static_cast<int>(__stack_chk_guard);
  for (unsigned i = 0; argc > 1 && i < overrun; ++i) static_cast<volatile char*>(buffer)[i] = 'A';
  if (argc > 1) return 0;
  const auto run = [](const char* mode) { return _spawnl(_P_WAIT, _pgmptr, "smash", mode, nullptr); };
  return run("g") != run("g") && run("s") == static_cast<std::intptr_t>(0xC0000409) ? 0 : 1;
}
