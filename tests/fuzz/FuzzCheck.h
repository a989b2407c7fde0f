#pragma once
// Shared by the fuzz targets. A disagreement between the launcher's code and a target's reference
// model is a finding like a crash: it is reported with the input and ends the run through abort(), so
// libFuzzer keeps the input as an artifact.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace brindle::fuzz {

// The text in double quotes, every byte outside printable ASCII as \xNN, long texts shortened.
inline std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 200;
  std::string quoted = "\"";
  for (const char c : text.substr(0, kShown)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      quoted += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      quoted += escaped;
    }
  }
  quoted += '"';
  if (text.size() > kShown) quoted += " ... (" + std::to_string(text.size()) + " bytes)";
  return quoted;
}

inline std::string Describe(long long value) {
  return std::to_string(value);
}

inline std::string Describe(std::string_view text) {
  return Quoted(text);
}

template <typename Number>
std::string Describe(const std::optional<Number>& value) {
  return value ? std::to_string(*value) : "no number";
}

[[noreturn]] inline void Fail(std::string_view what, const std::string& input, const std::string& expected,
                              const std::string& actual) {
  std::fprintf(stderr, "\n==== disagreement with the reference model: %.*s\n", static_cast<int>(what.size()),
               what.data());
  std::fprintf(stderr, "  input:    %s\n  expected: %s\n  actual:   %s\n", input.c_str(), expected.c_str(),
               actual.c_str());
  std::abort();
}

// Compares one result of the launcher's code with the model's. Input and values are only described
// when they disagree, which keeps the targets fast.
template <typename Value, typename Input>
void Expect(std::string_view what, const Input& input, const Value& expected, const Value& actual) {
  if (!(expected == actual)) Fail(what, Describe(input), Describe(expected), Describe(actual));
}

// A property that needs no model: holds for every input.
template <typename Input, typename Actual>
void Require(bool holds, std::string_view what, const Input& input, const Actual& actual) {
  if (!holds) Fail(what, Describe(input), "the property to hold", Describe(actual));
}

}  // namespace brindle::fuzz
