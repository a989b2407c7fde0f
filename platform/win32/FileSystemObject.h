#pragma once
// The existence probe through the scripting file-system object ("Scripting.FileSystemObject").

#include <string_view>

namespace brindle::win32 {

// Creates a fresh file-system object, asks its FileExists method about the path and lets the object
// go again. Needs COM initialised on the calling thread. Any failure on the way counts as "no".
bool ScriptingFileExists(std::wstring_view path) noexcept;

}  // namespace brindle::win32
