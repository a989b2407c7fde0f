#pragma once
// The existence probe through the scripting file-system object ("Scripting.FileSystemObject").

#include <optional>
#include <string>

namespace brindle::win32 {

// Creates a fresh file-system object, asks its FileExists method about the path and lets the object
// go again. Needs COM initialised on the calling thread. nullopt when anything on the way fails:
// hardened machines unregister or block the object.
std::optional<bool> ScriptingFileExists(const std::wstring& path) noexcept;

// The file system's answer: a file, not a folder.
bool FileSystemFileExists(const std::wstring& path) noexcept;

}  // namespace brindle::win32
