#pragma once
// Files and folders as the tests see them. Paths are UTF-8 text in Windows form ("\" separators), so
// folder names with blanks and non-ASCII letters pass through unchanged.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::e2e {

std::string JoinPath(std::string_view folder, std::string_view name);
// The folder part of a path, without the trailing "\".
std::string FolderOf(std::string_view path);
// Windows' rule for file names: letter case does not count; a trailing "\" does not either.
bool SamePath(std::string_view a, std::string_view b);

// The folder of the running test executable (Tavu.exe and standin.exe are built next to it).
std::string TestExecutableFolder();

bool FileExists(std::string_view path);  // a plain file, not a folder
bool FolderExists(std::string_view path);
std::optional<std::string> ReadBytes(std::string_view path);
bool WriteBytes(std::string_view path, std::string_view bytes);  // creates or replaces
bool CopyFileTo(std::string_view from, std::string_view to);     // replaces the destination
bool DeletePath(std::string_view path);                          // a file
bool MakeFolders(std::string_view path);                         // with all missing parents
// Removes a folder with everything in it; retries for a while, since a stand-in that is still ending
// may hold a file open. True when the folder is gone.
bool RemoveTree(std::string_view path);
// Names of the plain files directly in a folder, sorted.
std::vector<std::string> FileNames(std::string_view folder);

}  // namespace brindle::e2e
