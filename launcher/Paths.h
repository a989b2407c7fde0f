#pragma once
// Plain-text Windows paths, built by concatenation: the launcher folder always ends in "\" and file
// names are appended to it directly.

#include <cstdint>
#include <string>
#include <string_view>

namespace brindle {

inline constexpr std::string_view kMessengerName = "ICQ.exe";
inline constexpr std::string_view kSideFileSuffix = ".csassembly";

// The folder holding a file, ending in "\" (a drive root such as "C:\" already does).
std::string FolderOf(std::string_view filePath);
// The file name without folder and without its last extension: "C:\x\Tavu.exe" -> "Tavu".
std::string BaseNameOf(std::string_view filePath);

std::string MessengerPath(std::string_view folder);
std::string CopyPath(std::string_view folder, std::int32_t slot);  // folder + "ICQ.exe" + slot
std::string SideFileOf(std::string_view copyPath);

}  // namespace brindle
