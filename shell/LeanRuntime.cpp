// Two pieces of GCC's C++ runtime replaced for a small, self-contained executable. Each of them,
// linked statically, drags in far more than a launcher needs: together about half of Tavu.exe.
//
// - The default terminate handler prints a demangled exception name to a console the launcher does
//   not have, pulling in the whole demangler and printf machinery.
// - The library's error reporters (std::__throw_length_error and friends) build std::logic_error
//   objects with reference-counted strings, pulling in a second std::string implementation and
//   std::random_device behind it.
//
// Behaviour stays the same for the launcher: every event handler catches whatever is thrown and ends
// the run, so the kind of exception never mattered, only that one is thrown.

#include <cstdlib>  // also defines __GLIBCXX__ when the library is GCC's
#include <exception>
#include <new>

#if defined(__GLIBCXX__)

namespace {
struct LibraryError final : std::exception {
  const char* what() const noexcept override { return "library error"; }
};
}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() {
  throw std::bad_alloc();
}
void __throw_bad_array_new_length() {
  throw std::bad_alloc();
}
void __throw_length_error(const char*) {
  throw LibraryError();
}
void __throw_logic_error(const char*) {
  throw LibraryError();
}
void __throw_out_of_range_fmt(const char*, ...) {
  throw LibraryError();
}
}  // namespace std

#endif
