#pragma once
// The operating system's services as the launcher's logic sees them: facts of the process, the instance
// guard, the locale, the settings file, files and processes, message boxes. Portable types only: text is
// UTF-8. Every operation reports failure as a value and never throws; callers ignore failures and go on
// with their next step. What the logic asks of its window is the window's own interface (window/Window.h).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brindle {

// How a run of the launcher ends, as its process's exit status: only the hand-over of a launch is a
// success. Scripts and schedulers that start Tavu.exe read it; the README lists it for them.
enum class ExitStatus : int {
  Launched = 0,          // the messenger's copy was started and the wait is over
  AlreadyRunning = 1,    // another launcher of the same file runs
  WrongExeName = 2,      // the executable is not called Tavu.exe
  MessengerMissing = 3,  // no ICQ.exe beside the launcher
  WindowClosed = 4,      // the information window was closed without OK
  Failed = 5,            // a handler failed unexpectedly; nothing must be left running
  NotStarted = 6,        // the wait ran its course, but the copy could not be started
};

enum class MessageIcon { Exclamation, Information };

struct Message {
  std::string_view text, title;
  MessageIcon icon;
};

struct ProfileKey {
  std::string_view path, section, key;
};

struct FileMove {
  std::string_view from, to;
};

// What makes a file the same file however it is reached: its volume and its number on that volume.
struct FileIdentity {
  std::uint32_t volumeSerial = 0;
  std::uint64_t fileIndex = 0;
};

// What the system answers when the launcher asks for its guard.
enum class GuardAnswer {
  Taken,         // ours now, for the life of the process
  AlreadyTaken,  // another launcher holds it
  AccessDenied,  // it exists, but belongs to a launcher this one may not open (one run elevated)
  Failed,        // any other failure
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Facts of the process, read once at start-up.
  virtual std::string CommandLineArguments() = 0;  // raw text after the program name, untrimmed
  virtual std::string ExecutablePath() = 0;        // full path of the running executable

  // The identity of the file at `path`; nullopt where it cannot be read (a file system that keeps
  // none, the file not opened).
  virtual std::optional<FileIdentity> IdentityOf(std::string_view path) = 0;
  // The text upper-cased as the system compares file names, so that spellings of one path that differ
  // only in letter case come out equal.
  virtual std::string UpperCase(std::string_view text) = 0;
  // Asks for the guard of that name in the user's session; when taken it is held until the process ends.
  virtual GuardAnswer TakeInstanceGuard(std::string_view name) = 0;

  // The native name of the language of the system default locale (the locale for programs that are not
  // Unicode, not the user's); empty when the query fails.
  virtual std::string LocaleLanguageName() = 0;

  // Private-profile (INI) files, straight through to the file. A missing file, section or key reads
  // as the empty string.
  virtual std::string ReadProfileValue(const ProfileKey& key) = 0;
  virtual bool WriteProfileValue(const ProfileKey& key, std::string_view value) = 0;

  // Files and processes.
  // The scripting file-system object's answer; nullopt when the object fails in any way (not
  // registered, blocked, or its FileExists cannot be called).
  virtual std::optional<bool> ScriptingFileExists(std::string_view path) = 0;
  virtual bool FileSystemFileExists(std::string_view path) = 0;  // a file, not a folder
  virtual bool RemoveFile(std::string_view path) = 0;
  virtual bool CopyFileOver(const FileMove& copy) = 0;   // replaces an existing destination
  virtual bool RenameFile(const FileMove& move) = 0;     // never replaces an existing file
  virtual bool MakeWritable(std::string_view path) = 0;  // clears the read-only attribute
  // Starts a program file with no arguments, in the launcher's working directory, in a normal
  // window with focus; neither waits for it nor keeps a handle.
  virtual bool StartProgram(std::string_view path) = 0;

  // A modal message box with one OK button and no owner, shown even while the window is hidden;
  // returns when the user has closed it.
  virtual void ShowMessage(const Message& message) = 0;
};

}  // namespace brindle
