#pragma once
// Files and folders as the tests see them. Paths are UTF-8 text in Windows form ("\" separators), so
// folder names with blanks and non-ASCII letters pass through unchanged.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// A file held open without sharing, as another program may hold one: while the object lives no other
// process can open it, so every read and write of it fails.
class LockedFile {
 public:
  // Opens an existing file with share mode 0; nullopt when it cannot be opened.
  static std::optional<LockedFile> Lock(std::string_view path);

  ~LockedFile();
  LockedFile(LockedFile&& other) noexcept;
  LockedFile& operator=(LockedFile&& other) noexcept;
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;

  // Closes the file before the object goes.
  void Unlock();

 private:
  explicit LockedFile(void* handle) : handle_(handle) {}
  void* handle_ = nullptr;
};

// A drive letter that stands for a folder, as "subst" makes one, until the object goes; the folder is
// then the root of a drive. Windows maps it with DefineDosDeviceW. Wine keeps such a mapping in its
// object names but does not resolve file paths through it, so under Wine the drive is made as Wine's
// own configuration makes drives: a link named after the letter in the prefix's dosdevices folder.
class MappedDrive {
 public:
  // Maps the highest free letter from Y: down; nullopt when none could be mapped.
  static std::optional<MappedDrive> Map(std::string_view folder);

  ~MappedDrive();
  MappedDrive(MappedDrive&& other) noexcept;
  MappedDrive& operator=(MappedDrive&& other) noexcept;
  MappedDrive(const MappedDrive&) = delete;
  MappedDrive& operator=(const MappedDrive&) = delete;

  // "X:\" for the letter X.
  std::string Root() const;
  // Removes the mapping before the object goes; true when the drive is gone.
  bool Unmap();

 private:
  enum class Kind { None, DosDevice, WineLink };
  MappedDrive(char letter, Kind kind, std::string folder, std::string link)
      : letter_(letter), kind_(kind), folder_(std::move(folder)), link_(std::move(link)) {}

  char letter_ = 0;
  Kind kind_ = Kind::None;
  std::string folder_;  // the folder mapped (DefineDosDeviceW needs it again to remove the mapping)
  std::string link_;    // under Wine: the Unix path of the link
};

}  // namespace brindle::e2e
