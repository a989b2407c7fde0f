// GCC's stack-protector runtime, our own. libssp's seeds the canary through CryptoAPI, which loads a
// crypto provider and its DLLs into every launch (some 2.5 MiB); RtlGenRandom needs none of them.
// A protected function compares its canary with __stack_chk_guard on the way out and calls
// __stack_chk_fail on a mismatch; _FORTIFY_SOURCE's checks call __chk_fail. With all three defined
// here the linker never opens libssp. MSVC brings its own /GS runtime instead.

#if defined(__GNUC__)

#include <windows.h>

#include <cstdint>

extern "C" {

// Non-zero before the seed too, so that a canary is never a plain zero.
std::uintptr_t __stack_chk_guard = 0x2F8A6C1DU;

// RtlGenRandom, declared here: <ntsecapi.h> would bring much of the security API for one name.
BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);

// Ends the process at once with STATUS_STACK_BUFFER_OVERRUN, as /GS does: no handler runs and
// nothing is printed, since the stack may hold an attacker's data. int 0x29 is __fastfail.
[[noreturn]] static void EndWithOverrun() noexcept {
  if (::IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE))
    __asm__ volatile("int $0x29" : : "c"(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE) : "memory");
  ::TerminateProcess(::GetCurrentProcess(), 0xC0000409U);
  __builtin_unreachable();
}

[[noreturn]] void __stack_chk_fail() noexcept {
  EndWithOverrun();
}
[[noreturn]] void __chk_fail() noexcept __attribute__((alias("__stack_chk_fail")));

}  // extern "C"

// The earliest constructor, before any other code of ours has a canary on the stack; not protected
// itself, or it would find its own canary changed on the way out.
__attribute__((constructor(101), no_stack_protector)) static void SeedStackGuard() {
  std::uintptr_t seed = 0;
  if (SystemFunction036(&seed, sizeof seed) && seed != 0) __stack_chk_guard = seed;
}

#endif
