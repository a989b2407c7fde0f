// GCC's stack-protector runtime, our own. libssp's would seed the canary through CryptoAPI, which
// loads a crypto provider and its DLLs into every launch (some 2.5 MiB); RtlGenRandom needs none.
// A function protected by -fstack-protector compares its canary with __stack_chk_guard on the way
// out and calls __stack_chk_fail on a mismatch; _FORTIFY_SOURCE's checks call __chk_fail. With all
// three defined here the linker never opens libssp. MSVC brings its own /GS runtime instead.

#if defined(__GNUC__)

#include <windows.h>

#include <cstdint>

extern "C" {

// Non-zero before the seed too, so a canary is never a plain zero.
std::uintptr_t __stack_chk_guard = static_cast<std::uintptr_t>(0x2F8A6C1DU);

// RtlGenRandom; declared here because <ntsecapi.h> drags in much of the security API for one name.
BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);

// Ends the process at once with STATUS_STACK_BUFFER_OVERRUN, as MSVC's /GS does: no handler runs
// and nothing is printed, since the stack may hold an attacker's data.
[[noreturn]] static void EndWithOverrun() noexcept {
  if (::IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE))
    __asm__ volatile("int $0x29" : : "c"(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE) : "memory");
  ::TerminateProcess(::GetCurrentProcess(), 0xC0000409U);
  __builtin_unreachable();
}

[[noreturn]] void __stack_chk_fail() {
  EndWithOverrun();
}

[[noreturn]] void __chk_fail() {
  EndWithOverrun();
}

}  // extern "C"

namespace {

// The earliest constructor, before any other code of the program has a canary on the stack. Not
// protected itself: it would find its own canary changed on the way out.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
  std::uintptr_t seed = 0;
  if (SystemFunction036(&seed, sizeof seed) && seed != 0) __stack_chk_guard = seed;
}

}  // namespace

#endif
