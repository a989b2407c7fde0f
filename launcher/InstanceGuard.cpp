#include "launcher/InstanceGuard.h"

#include <cstdint>
#include <optional>

namespace brindle {

namespace {

// "Local\": a guard per user session. After it a kernel object name may hold no backslash.
constexpr std::string_view kPrefix = "Local\\Brindle.Tavu.";

std::string Hex(std::uint64_t value, int digits) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  std::string hex(static_cast<std::size_t>(digits), '0');
  for (std::size_t i = hex.size(); i-- > 0; value >>= 4) hex[i] = kDigits[value & 0xF];
  return hex;
}

// FNV-1a, 64 bits: a name of fixed length for a path of any length.
std::uint64_t Fnv1a(std::string_view text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char byte : text) {
    hash ^= static_cast<std::uint8_t>(byte);
    hash *= 1099511628211ull;
  }
  return hash;
}

// A file system without file numbers (some network shares) reports zeros: no identity at all.
std::optional<FileIdentity> IdentityOf(Platform& platform, std::string_view path) {
  const std::optional<FileIdentity> identity = platform.IdentityOf(path);
  if (!identity || (identity->volumeSerial == 0 && identity->fileIndex == 0)) return std::nullopt;
  return identity;
}

}  // namespace

std::string InstanceGuardName(Platform& platform, std::string_view executablePath) {
  if (const std::optional<FileIdentity> file = IdentityOf(platform, executablePath))
    return std::string(kPrefix) + "File." + Hex(file->volumeSerial, 8) + "." + Hex(file->fileIndex, 16);
  return std::string(kPrefix) + "Path." + Hex(Fnv1a(platform.UpperCase(executablePath)), 16);
}

}  // namespace brindle
