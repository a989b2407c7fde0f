// Fuzz target key_filter: the count box's key filter, alone and with a box around it.
//
// First, every byte of the input and every 32-bit word of it is a character code that must be
// filtered exactly as the model below says. Then the input is played as a user's session with the
// count box, which starts as "5" with the caret after it. The box is a small model of a single-line
// edit with a two-character limit: it takes the codes the filter delivers, pastes what is on the
// clipboard cut to the room left, and moves the caret and selection for the keys that never reach the
// filter. After every step the box holds at most two characters, every typed character in it is a
// digit, and OK would give a count in 2..99 (the number typed when that lies in 2..99, else 5).
//
// Input bytes below 0xF0 are typed characters; 0xF0 and up are the events below.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "window/Controls.h"
#include "window/CountEntry.h"

namespace {

using brindle::fuzz::Expect;
using brindle::fuzz::Fail;
using brindle::fuzz::Quoted;
using brindle::fuzz::Require;

// --- The reference model of the filter ------------------------------------------------------------

constexpr int kSwallowed = 0;

bool IsDigitCode(int code) {
  return code >= '0' && code <= '9';
}

int ModelDigitsOnly(int code) {
  return IsDigitCode(code) || code == 8 ? code : kSwallowed;
}

int ModelCountBoxKey(int code) {
  return IsDigitCode(code) || code == 8 || code == 22 ? code : kSwallowed;
}

void CheckCode(int code) {
  Expect<long long>("DigitsOnly", code, ModelDigitsOnly(code), brindle::DigitsOnly(code));
  Expect<long long>("FilterCountBoxKey", code, ModelCountBoxKey(code), brindle::FilterCountBoxKey(code));
}

// --- The count box --------------------------------------------------------------------------------

enum Event : std::uint8_t {
  kLeft = 0xF0,
  kRight,
  kHome,
  kEnd,
  kShiftHome,
  kShiftEnd,
  kSelectAll,
  kDeleteKey,
  kCopyToClipboard,  // then a length byte (up to 7 used) and that many bytes of text
  kWideCharacter,    // then two bytes, little-endian: a typed code up to 0xFFFF
  kAnyCode,          // then four bytes: any 32-bit code, as a hostile message could carry
};

constexpr int kBackspaceCode = 8;
constexpr int kPasteCode = 22;

class CountBox {
 public:
  const std::string& Text() const { return text_; }

  // True when every character that came from the keyboard rather than a paste is a digit.
  bool TypedCharactersAreDigits() const {
    for (std::size_t i = 0; i < text_.size(); ++i)
      if (!pasted_[i] && !IsDigitCode(static_cast<unsigned char>(text_[i]))) return false;
    return true;
  }

  void SetClipboard(std::string_view text) { clipboard_ = text; }

  // A character the key filter let through, as the edit handles it.
  void Deliver(int code) {
    if (code == kSwallowed) return;
    if (code == kBackspaceCode) return Backspace();
    if (code == kPasteCode) return Paste();
    // Anything else is inserted as a character; a code that is no byte stands for a non-digit.
    if (Room() >= 1)
      Replace(std::string(1, code >= 0 && code <= 0xFF ? static_cast<char>(code) : '?'), false);
  }

  void Navigate(Event event) {
    switch (event) {
      case kLeft:
        return Collapse(HasSelection() ? Start() : (caret_ > 0 ? caret_ - 1 : 0));
      case kRight:
        return Collapse(HasSelection() ? End() : std::min(caret_ + 1, text_.size()));
      case kHome:
        return Collapse(0);
      case kEnd:
        return Collapse(text_.size());
      case kShiftHome:
        caret_ = 0;
        return;
      case kShiftEnd:
        caret_ = text_.size();
        return;
      case kSelectAll:
        anchor_ = 0;
        caret_ = text_.size();
        return;
      case kDeleteKey:
        if (!HasSelection() && caret_ < text_.size()) caret_ += 1;
        return Replace("", false);
      default:
        return;
    }
  }

 private:
  std::size_t Start() const { return std::min(anchor_, caret_); }
  std::size_t End() const { return std::max(anchor_, caret_); }
  bool HasSelection() const { return anchor_ != caret_; }
  void Collapse(std::size_t at) { anchor_ = caret_ = at; }

  // What can still be added once the selection is gone.
  std::size_t Room() const {
    const std::size_t remaining = text_.size() - (End() - Start());
    const auto limit = static_cast<std::size_t>(brindle::kText1MaxLength);
    return remaining < limit ? limit - remaining : 0;
  }

  // An empty clipboard pastes nothing; otherwise the text replaces the selection, cut to the room left.
  void Paste() {
    if (!clipboard_.empty()) Replace(std::string_view(clipboard_).substr(0, Room()), true);
  }

  void Backspace() {
    if (!HasSelection() && caret_ > 0) anchor_ = caret_ - 1;
    Replace("", false);
  }

  void Replace(std::string_view insert, bool fromPaste) {
    const std::size_t start = Start();
    const std::size_t end = End();
    text_.replace(start, end - start, insert);
    pasted_.erase(pasted_.begin() + static_cast<std::ptrdiff_t>(start),
                  pasted_.begin() + static_cast<std::ptrdiff_t>(end));
    pasted_.insert(pasted_.begin() + static_cast<std::ptrdiff_t>(start), insert.size(), fromPaste);
    Collapse(start + insert.size());
  }

  std::string text_ = "5";
  std::vector<bool> pasted_ = {false};  // per character: came from a paste
  std::size_t anchor_ = 1;
  std::size_t caret_ = 1;
  std::string clipboard_;
};

// What OK makes of a box holding only digits: that number when it lies in 2..99, else 5.
long ModelCountOfDigits(const std::string& digits) {
  if (digits.empty()) return 5;
  const long value = std::stol(digits);
  return value >= 2 && value <= 99 ? value : 5;
}

void CheckBox(const CountBox& box, std::string_view session) {
  const std::string& text = box.Text();
  Require(text.size() <= 2, "the box holds at most two characters", session, text);
  Require(box.TypedCharactersAreDigits(), "every typed character in the box is a digit", session, text);
  const std::int16_t count = brindle::CountFromText(text);
  if (count < 2 || count > 99)
    Fail("OK gives a count in 2..99", Quoted(session), "2..99",
         Quoted(text) + " gives " + std::to_string(count));
  if (text.find_first_not_of("0123456789") == std::string::npos)
    Expect<long long>("CountFromText of the digits in the box", session, ModelCountOfDigits(text), count);
}

// Reads `count` bytes as an unsigned little-endian number, or fewer when the input ends.
std::uint32_t TakeLittleEndian(std::string_view& rest, std::size_t count) {
  std::uint32_t value = 0;
  const std::size_t available = std::min(count, rest.size());
  for (std::size_t i = 0; i < available; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(rest[i])) << (8 * i);
  rest.remove_prefix(available);
  return value;
}

void Type(CountBox& box, int code) {
  CheckCode(code);
  box.Deliver(brindle::FilterCountBoxKey(code));
}

void PlaySession(std::string_view session) {
  CountBox box;
  CheckBox(box, session);
  std::string_view rest = session;
  while (!rest.empty()) {
    const auto byte = static_cast<unsigned char>(rest.front());
    rest.remove_prefix(1);
    if (byte < kLeft) {
      Type(box, byte);
    } else if (byte <= kDeleteKey) {
      box.Navigate(static_cast<Event>(byte));
    } else if (byte == kCopyToClipboard) {
      const std::size_t length = std::min<std::size_t>(TakeLittleEndian(rest, 1) % 8, rest.size());
      box.SetClipboard(rest.substr(0, length));
      rest.remove_prefix(length);
    } else if (byte == kWideCharacter) {
      Type(box, static_cast<int>(TakeLittleEndian(rest, 2)));
    } else if (byte == kAnyCode) {
      const std::uint32_t bits = TakeLittleEndian(rest, 4);
      std::int32_t code = 0;
      std::memcpy(&code, &bits, sizeof code);
      Type(box, code);
    } else {
      Type(box, byte);  // the remaining bytes are typed characters as well
    }
    CheckBox(box, session);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) CheckCode(data[i]);
  for (std::size_t i = 0; i + sizeof(std::int32_t) <= size; i += sizeof(std::int32_t)) {
    std::int32_t code = 0;
    std::memcpy(&code, data + i, sizeof code);
    CheckCode(code);
  }
  PlaySession(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
