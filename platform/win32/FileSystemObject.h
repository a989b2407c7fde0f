#pragma once
// The existence probe through the scripting file-system object ("Scripting.FileSystemObject").

#include <string>

namespace brindle::win32 {

// Creates a fresh file-system object, asks its FileExists method about the path and lets the object
// go again. Needs COM initialised on the calling thread. Any failure on the way counts as "no", except
// that where the object cannot be created at all (hardened machines unregister or block it) the file
// system answers instead: a file, not a folder.
bool ScriptingFileExists(const std::wstring& path) noexcept;

}  // namespace brindle::win32
