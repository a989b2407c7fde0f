#include "launcher/Paths.h"

#include "settings/ValueText.h"

namespace brindle {

namespace {
constexpr std::string_view kSeparators = "\\/";
}

std::string FolderOf(std::string_view filePath) {
  const auto separator = filePath.find_last_of(kSeparators);
  std::string folder(separator == std::string_view::npos ? std::string_view{}
                                                         : filePath.substr(0, separator));
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

std::string BaseNameOf(std::string_view filePath) {
  const auto separator = filePath.find_last_of(kSeparators);
  auto name = separator == std::string_view::npos ? filePath : filePath.substr(separator + 1);
  const auto dot = name.find_last_of('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

std::string MessengerPath(std::string_view folder) {
  return std::string(folder) + std::string(kMessengerName);
}

std::string CopyPath(std::string_view folder, std::int32_t slot) {
  return MessengerPath(folder) + ToDecimal(slot);
}

std::string SideFileOf(std::string_view copyPath) {
  return std::string(copyPath) + std::string(kSideFileSuffix);
}

}  // namespace brindle
