#pragma once
// The one interface through which the launcher's logic reaches the operating system. Portable types
// only: text is UTF-8, geometry is twips. Every operation reports failure as a value and never throws;
// callers ignore failures and go on with their next step.

#include <optional>
#include <string>
#include <string_view>

namespace brindle {

// The controls of Form1, in the order of the window table (window/Controls.h) that names them.
// clang-format off
enum class ControlId { Label2, Label3, Point0, Label4, Point1, Label5, Point2, Label6, Point3, Label7, Point4,
                       Label1, Text1, Label8, Check1, Command1 };
// clang-format on

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

// What the system answers when the launcher asks for its per-user, per-executable guard.
enum class GuardAnswer {
  Taken,         // ours now, for the life of the process
  AlreadyTaken,  // another launcher holds it
  AccessDenied,  // it exists, but belongs to a launcher this one may not open (one run elevated)
  Failed,        // any other failure
};

// The kind of locale information asked for at start-up: the native name of the language.
inline constexpr int kLocaleNativeLanguageName = 4;

class Platform {
 public:
  virtual ~Platform() = default;

  // Process facts.
  virtual std::string CommandLineArguments() = 0;  // raw text after the program name, untrimmed
  virtual std::string ExecutablePath() = 0;        // full path of the running executable
  // Asks for the per-user, per-executable guard; when taken it is held until the process ends.
  virtual GuardAnswer TakeInstanceGuard() = 0;

  // The system default locale's text of the given kind, whole; empty when the query fails.
  virtual std::string LocaleLanguageName(int kind) = 0;

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

  // The window. Showing it, the timer and the end are not here: the handlers return them
  // (launcher/Next.h) and the shell carries them out.
  virtual void InitCommonControls() = 0;
  virtual void ShowMessage(const Message& message) = 0;  // modal, no owner, returns when closed
  virtual void HideWindow() = 0;
  // The window's controls, with their German texts and design geometry. Made only for a window that
  // will be shown: a launch straight from the start never needs them, and sixteen controls cost it
  // about a fifth of its start-up time.
  virtual void CreateControls() = 0;
  virtual void PumpEvents() = 0;  // runs the window events already queued, then returns

  // Controls of Form1.
  virtual std::string ControlText(ControlId id) = 0;
  virtual bool SetControlText(ControlId id, std::string_view text) = 0;
  virtual int ControlLeft(ControlId id) = 0;  // twips
  virtual bool SetControlLeft(ControlId id, int left) = 0;
  virtual int CheckValue(ControlId id) = 0;  // 0 clear, 1 ticked, 2 greyed
};

}  // namespace brindle
