// `e2e_driver SCENARIOS NAME` runs scenario NAME of scenarios.txt against Tavu.exe in e2e\NAME\app, beside
// standin.exe as ICQ.exe; every line is checked against kVerbs first; waits give up after a minute.

#include <windows.h>

#include <shlwapi.h>
#include <tlhelp32.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using std::max;  // for GDI+, which draws and writes the records' pictures
using std::min;
#include <gdiplus.h>

#include "shell/Utf8.h"
#include "window/Controls.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Clock = std::chrono::steady_clock;
using brindle::win32::Narrow;
using brindle::win32::Widen;

void Expect(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

template <typename Find>
auto WaitFor(const std::string& what, Find find) {  // what `find` finds, within a minute
  for (const auto deadline = Clock::now() + std::chrono::minutes(1);; Sleep(50)) {
    if (auto found = find()) return found;
    Expect(Clock::now() < deadline, "timed out waiting for " + what);
  }
}

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  Expect(ReadFile(path) == bytes, "cannot write " + path.string());
}

Args Split(const std::string& text, char separator) {
  Args parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

std::string UnixName(const fs::path& path) {  // where Wine keeps a file or folder of its own on the host
  const auto name = reinterpret_cast<const char*(CDECL*)(const wchar_t*)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  Expect(name && name(path.c_str()), "no host name for " + path.string());
  return name(path.c_str());
}

// The files a process has loaded, in lower case, its own executable first.
Args ModulesOf(HANDLE process) {
  Args modules;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetProcessId(process));
  MODULEENTRY32W module{};
  module.dwSize = sizeof module;
  for (BOOL more = Module32FirstW(snapshot, &module); more; more = Module32NextW(snapshot, &module))
    modules.push_back(Narrow(CharLowerW(module.szExePath)));
  CloseHandle(snapshot);
  return modules;
}

// The top-level windows, or the children of `parent` in z-order, listed in one go. Walking them a call
// at a time (FindWindowEx after the one found last) hangs Wine 10's wineserver for good when that
// window is being destroyed meanwhile.
BOOL CALLBACK AddWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}
std::vector<HWND> WindowsIn(HWND parent = nullptr) {
  std::vector<HWND> windows;
  parent ? EnumChildWindows(parent, AddWindow, LPARAM(&windows)) : EnumWindows(AddWindow, LPARAM(&windows));
  return windows;
}

std::string ClassOf(HWND window) {
  wchar_t name[64] = L"";
  return Narrow(std::wstring_view(name, GetClassNameW(window, name, 64)));
}

std::string TextOf(HWND window) {  // asks the window itself, so it works across processes
  wchar_t text[1024] = L"";
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, LPARAM(text), SMTO_ABORTIFHUNG, 5000, &length);
  return Narrow(std::wstring_view(text, length));
}

HWND FocusIn(HWND window) {  // the control with the keyboard focus in the window's thread
  GUITHREADINFO info{sizeof info, 0, {}, {}, {}, {}, {}, {}, {}};
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// What the screen shows in that area (screen pixels), as a PNG file.
std::string Capture(RECT area) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppRGB);
  Gdiplus::Graphics graphics(&bitmap);
  const HDC picture = graphics.GetHDC(), screen = GetDC(nullptr);
  BitBlt(picture, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  graphics.ReleaseHDC(picture);
  IStream* png = SHCreateMemStream(nullptr, 0);
  const CLSID encoder{0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
  bitmap.Save(png, &encoder, nullptr);
  STATSTG size{};
  png->Stat(&size, STATFLAG_NONAME);
  std::string bytes(size.cbSize.QuadPart, '\0');
  png->Seek({}, STREAM_SEEK_SET, nullptr);
  png->Read(bytes.data(), ULONG(bytes.size()), nullptr);
  png->Release();
  return bytes;
}

// A line for each window: name, class, where it stands (the form on the screen, the controls in its
// client area, in z-order, which is the order of Tab), size, styles, text and what a user can change.
std::string Listing(HWND form) {
  std::string listing;
  std::vector<HWND> windows = WindowsIn(form);
  windows.insert(windows.begin(), form);
  for (const HWND window : windows) {
    if ((GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK) == SS_OWNERDRAW && ClassOf(window) == "Static")
      continue;  // a dot: the picture shows it
    RECT r{};
    GetWindowRect(window, &r);
    if (window != form) MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    std::string name = "Form1";
    for (const auto& row : brindle::kControls)
      if (window != form && GetDlgCtrlID(window) == brindle::ControlNumber(row.id)) name = row.name;
    const std::string kind = ClassOf(window);
    char line[160];
    std::snprintf(line, sizeof line, "%s %s at %ld,%ld %ldx%ld style %08lX ex %08lX", name.c_str(),
                  kind.c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
                  GetWindowLongW(window, GWL_STYLE), GetWindowLongW(window, GWL_EXSTYLE));
    listing += line;
    if (kind == "Edit") listing += " limit " + std::to_string(SendMessageW(window, EM_GETLIMITTEXT, 0, 0));
    if (kind == "Button") listing += " check " + std::to_string(SendMessageW(window, BM_GETCHECK, 0, 0));
    listing += (window == FocusIn(form) ? " focus \"" : " \"") + TextOf(window) + "\"\n";
  }
  return listing;
}

// The state of one scenario run, and what several verbs share.
struct Scenario {
  Scenario(const std::string& name, const fs::path& approvedRecords)
      : base(fs::absolute("e2e") / name), approved(approvedRecords), app(base / "app") {
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(base, error))  // read-only files too
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(base, error);
    Expect(!error, "cannot clear " + base.string() + ": " + error.message());
    fs::create_directories(app);
    fs::copy_file("Tavu.exe", app / exe);
    fs::copy_file("standin.exe", app / "ICQ.exe");
  }
  ~Scenario() {  // ends what the scenario started and takes back what it changed outside its folder
    for (const auto& [process, start] : launchers) TerminateProcess(process, 1);
    for (HANDLE handle : held) CloseHandle(handle);  // programs started here end on their own
    for (const std::string& link : links) Host("rm -f '" + link + "'");
  }

  fs::path At(const std::string& name) const { return (app / Widen(name)).lexically_normal(); }

  // A command line for the host's shell (Wine starts Linux programs too): its effect tells when it is done.
  void Host(const std::string& line) { held.push_back(Start("Z:\\bin\\sh", L"-c \"" + Widen(line) + L"\"")); }
  // A symbolic link at `link` on the host to the launcher's folder, which Wine then shows as `name`.
  void LinkToApp(const std::string& link, const fs::path& name) {
    Host("ln -sfn '" + UnixName(app) + "' '" + links.emplace_back(link) + "'");
    WaitFor("a link to the launcher's folder at " + name.string(), [&] { return fs::exists(name / exe); });
  }

  // Starts `program` as the shell does: its quoted path, then `arguments`; or else `line` as typed.
  HANDLE Start(const fs::path& program, const std::wstring& arguments, std::wstring line = L"") {
    if (line.empty()) line = L"\"" + program.native() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    Expect(CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, app.c_str(),
                          &startup, &started),
           "cannot start " + program.string());
    CloseHandle(started.hThread);
    ids.push_back(started.dwProcessId);
    return started.hProcess;
  }
  void Launch(const fs::path& folder, const std::wstring& arguments, const std::wstring& line = L"") {
    launchers.push_back({Start(folder / exe, arguments, line), Clock::now()});
  }

  HWND Visible(const std::string& className = "") {  // a visible window of a program started here
    for (const HWND window : WindowsIn()) {
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      if (IsWindowVisible(window) && std::count(ids.begin(), ids.end(), process) &&
          (className.empty() || ClassOf(window) == className))
        return window;
    }
    return nullptr;
  }
  HWND Form() {
    return WaitFor("the information window",
                   [&] { return TextOf(Visible()) == brindle::kForm1.caption ? Visible() : nullptr; });
  }
  HWND Control(const std::string& name) {
    for (const auto& row : brindle::kControls)
      if (row.name == name) return GetDlgItem(Form(), brindle::ControlNumber(row.id));
    throw std::runtime_error("no control " + name);
  }

  void Ini(const std::string& pairs, bool write) {  // KEY=VALUE ...; VALUE -: no such key
    const std::wstring ini = At("tavu.ini").wstring();
    for (const std::string& pair : Split(pairs, ' ')) {
      const std::size_t equals = pair.find('=');
      const std::wstring key = Widen(pair.substr(0, equals)), value = Widen(pair.substr(equals + 1));
      wchar_t read[256] = L"";
      if (write) WritePrivateProfileStringW(L"Brindle", key.c_str(), value.c_str(), ini.c_str());
      GetPrivateProfileStringW(L"Brindle", key.c_str(), L"-", read, 256, ini.c_str());
      Expect(value == read, "tavu.ini has " + pair.substr(0, equals) + "=" + Narrow(read));
    }
  }

  // Each file is there, missing, writable (there and not read-only) or read-only.
  void Are(const Args& files, const std::string& state) const {
    for (const std::string& file : files) {
      const DWORD attributes = GetFileAttributesW(At(file).c_str());
      const std::string is = attributes == INVALID_FILE_ATTRIBUTES  ? "missing"
                             : attributes & FILE_ATTRIBUTE_READONLY ? "read-only"
                                                                    : "writable";
      Expect(state == is || (state == "there" && is != "missing"), file + " is " + is + ", not " + state);
    }
  }

  // A window as it shows, frame and all, with no pointer over it, against its approved picture and, for the
  // information window, its listing (whose first line names the Wine it was made under; a message box has its
  // all in the picture). BRINDLE_APPROVE=1 approves it as it is.
  void Record(const std::string& name, HWND window) {
    SetCursorPos(0, 0);
    RECT frame{};
    GetWindowRect(window, &frame);
    std::string picture = Capture(frame);
    WaitFor("paint", [&] {  // to settle
      Sleep(300);
      const std::string before = std::exchange(picture, Capture(frame));
      return picture == before;
    });
    const auto wine = reinterpret_cast<const char*(CDECL*)()>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    const bool box = ClassOf(window) == "#32770";
    std::string listing = box ? "" : Listing(window);
    if (!box) listing.insert(listing.find('\n'), std::string(" (Wine ") + (wine ? wine() : "none") + ")");
    const char* approve = std::getenv("BRINDLE_APPROVE");
    const std::string path = ((approve && approve == std::string("1") ? approved : base) / name).string();
    WriteFile(path + ".png", picture);
    if (!box) WriteFile(path + ".txt", listing);
    const Args wants = box ? Args{} : Split(ReadFile(approved / (name + ".txt")), '\n'),
               gots = Split(listing, '\n');
    const auto line =
        std::mismatch(gots.begin(), gots.end(), wants.begin(), wants.end()).first - gots.begin();
    std::string why = ReadFile(approved / (name + ".png")) == picture ? "" : "the picture, ";
    if (gots != wants) why += "listing line " + std::to_string(line + 1) + ", ";
    Expect(why.empty(), name + " differs from the approved record in " + why + "see " + path + ".*");
  }

  fs::path base, approved, app;
  std::wstring exe = L"Tavu.exe";
  std::vector<std::pair<HANDLE, Clock::time_point>> launchers;  // and when each started
  std::size_t ended = 0;  // launchers[ended] is the first whose end `ends` has not checked yet
  std::vector<HANDLE> held;
  std::vector<DWORD> ids;
  std::vector<std::string> links;  // on the host, removed at the end
};

// A verb: its usage, also the pattern its arguments must match (kSyntax); what it does with them, in the
// order of the usage ("" for one left out); for a set-up of a file, the state that proves it took effect.
struct Verb {
  const char* usage;
  void (*run)(Scenario&, const Args&);
  const char* proof = nullptr;
};

using S = Scenario&;
using A = const Args&;

const Verb kVerbs[] = {
    // Set-up: each proves that it took effect before the scenario goes on.
    {"folder NAME",  // the launcher's, before anything else is in it
     [](S s, A a) {
       const fs::path folder = s.base / Widen(a[0]);
       fs::rename(s.app, folder);
       s.app = folder;
       Expect(fs::exists(s.app / s.exe), "cannot rename the folder");
     }},
    {"exe NAME",  // Tavu.exe is named NAME instead: a copy, as a rename would keep the old letter case
     [](S s, A a) {
       fs::remove(s.app / s.exe);
       s.exe = Widen(a[0]);
       WriteFile(s.app / s.exe, ReadFile("Tavu.exe"));
     }},
    {"remove FILE", [](S s, A a) { fs::remove(s.At(a[0])); }, "missing"},
    {"file FILE [from=FILE]",  // a few letters, or a copy of another file; its folder made as needed
     [](S s, A a) {
       Expect(a[1].empty() || fs::exists(s.At(a[1])), "no " + a[1]);
       fs::create_directories(s.At(a[0]).parent_path());
       WriteFile(s.At(a[0]), a[1].empty() ? "not a program" : ReadFile(s.At(a[1])));
     }},
    {"readonly FILE", [](S s, A a) { SetFileAttributesW(s.At(a[0]).c_str(), FILE_ATTRIBUTE_READONLY); },
     "read-only"},
    {"standin side-file=(Nms|never) ends=Nms",  // the stand-in's side file and end, in ms after it starts
     [](S s, A a) { WriteFile(s.At("standin.cfg"), (a[0].empty() ? "-1" : a[0]) + ' ' + a[1]); }},
    {"ini KEY=VALUE...", [](S s, A a) { s.Ini(a[0], true); }},
    // Launchers, started as the shell starts a program: with arguments, in another folder (../APP: the
    // launcher's folder in upper case), with a command line as cmd.exe passes what was typed.
    {"run [ARGS...]", [](S s, A a) { s.Launch(s.app, Widen(a[0])); }},
    {"run-in FOLDER", [](S s, A a) { s.Launch(s.At(a[0]), L""); }},
    {"drive LETTER",  // LETTER: is the launcher's folder too: a drive of Wine's, a link in its dosdevices
     [](S s, A a) {
       const std::string c = UnixName("C:\\");  // .../dosdevices/c:/
       s.LinkToApp(c.substr(0, c.size() - 3) + char(a[0][0] - 'A' + 'a') + ':', Widen(a[0] + ":\\"));
     }},
    {"link NAME",  // NAME, beside the launcher's folder, is a symbolic link to it
     [](S s, A a) { s.LinkToApp(UnixName(s.base) + "/" + a[0], s.base / Widen(a[0])); }},
    {"command LINE", [](S s, A a) { s.Launch(s.app, L"", Widen(a[0])); }},
    // What the user sees and does. A box (of the launcher started last) and a record look as approved in
    // approved/NAME.*; OK closes the box.
    {"box NAME",
     [](S s, A a) {
       const HWND box = WaitFor("a message box", [&] { return s.Visible("#32770"); });
       DWORD owner = 0;
       GetWindowThreadProcessId(box, &owner);
       Expect(owner == GetProcessId(s.launchers.back().first), "a box of another launcher: " + TextOf(box));
       s.Record(a[0], box);
       PostMessageW(box, WM_COMMAND, IDOK, 0);
       WaitFor("the message box to close", [&] { return !IsWindowVisible(box); });
     }},
    {"window", [](S s, A) { s.Form(); }},
    {"record NAME", [](S s, A a) { s.Record(a[0], s.Form()); }},
    {"focus CONTROL",
     [](S s, A a) { WaitFor("the focus on " + a[0], [&] { return FocusIn(s.Form()) == s.Control(a[0]); }); }},
    {"key KEY...",  // at a user's pace: the next key goes where this one left the focus
     [](S s, A a) {
       for (const std::string& key : Split(a[0], ' ')) {
         const UINT code = key == "TAB" ? VK_TAB : key == "RETURN" ? VK_RETURN : VK_ESCAPE;
         const HWND target = FocusIn(s.Form()) ? FocusIn(s.Form()) : s.Form();
         const LPARAM scan = LPARAM(MapVirtualKeyW(code, MAPVK_VK_TO_VSC)) << 16;
         PostMessageW(target, WM_KEYDOWN, code, scan | 1);
         PostMessageW(target, WM_KEYUP, code, scan | 0xC0000001);
         Sleep(200);
       }
     }},
    {"type CHARS shows TEXT",  // at the end of the count box, which did not show TEXT before
     [](S s, A a) {
       const HWND box = s.Control("Text1");
       Expect(TextOf(box) != a[1], "Text1 shows \"" + a[1] + "\" already");
       PostMessageW(box, EM_SETSEL, 0x7FFF, 0x7FFF);
       for (const wchar_t unit : Widen(a[0])) PostMessageW(box, WM_CHAR, unit, 1);
       WaitFor("Text1 to show \"" + a[1] + "\"", [&] { return TextOf(box) == a[1]; });
     }},
    {"click CONTROL", [](S s, A a) { PostMessageW(s.Control(a[0]), BM_CLICK, 0, 0); }},
    {"close", [](S s, A) { PostMessageW(s.Form(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    // What the launchers did. `ends`: those not checked yet end in the order of their starts, with these
    // exit statuses, showing nothing new, MIN to MAX seconds after the first of them started.
    {"ends STATUS,... [within MIN-MAXs]",
     [](S s, A a) {
       const Args statuses = Split(a[0], ',');
       Expect(statuses.size() == s.launchers.size() - s.ended,
              std::to_string(s.launchers.size() - s.ended) + " launchers to check");
       const HWND leaving = s.Visible();  // may be on its way out
       const Clock::time_point first = s.launchers[s.ended].second;
       for (const std::string& want : statuses) {
         const HANDLE process = s.launchers[s.ended++].first;
         DWORD status = STILL_ACTIVE;
         WaitFor("launcher " + std::to_string(s.ended) + " to end", [&] {
           Expect(!s.Visible() || s.Visible() == leaving,
                  "unexpected window \"" + TextOf(s.Visible()) + "\"");
           return GetExitCodeProcess(process, &status) && status != STILL_ACTIVE;
         });
         char what[80];
         std::snprintf(what, sizeof what, "launcher %zu ended with status 0x%lX, not 0x%lX", s.ended, status,
                       std::stoul(want));
         Expect(status == std::stoul(want), what);
       }
       const double seconds = std::chrono::duration<double>(Clock::now() - first).count();
       Expect(seconds >= (a[1].empty() ? 0 : std::stod(a[1])) &&
                  seconds <= (a[2].empty() ? 60 : std::stod(a[2])),
              "ended after " + std::to_string(seconds) + " s");
     }},
    {"started (none|FILE...)",  // in this order, each as the shell starts a program; none: once all ended
     [](S s, A a) {
       for (const auto& [process, start] : s.launchers)
         WaitForSingleObject(process, a[0].empty() ? 60'000 : 0);
       std::string log, seen;
       WaitFor("standin.log", [&] {
         log = ReadFile(s.At("standin.log"));
         return std::count(log.begin(), log.end(), '\n') >= long(Split(a[0], ' ').size());
       });
       for (const std::string& line : Split(log, '\n')) {  // module path|show state|command line, CRLF
         const std::string module = line.substr(0, line.find('|'));
         Expect(line == module + "|1|\"" + module + "\"\r", "started " + line);
         seen += (seen.empty() ? "" : " ") + fs::path(Widen(module)).filename().string();
       }
       Expect(seen == a[0], "started: " + seen);
     }},
    {"module DLL (absent|from TEXT)",  // the launcher started last has DLL loaded, from a path holding TEXT
     [](S s, A a) {
       const Args modules = ModulesOf(s.launchers.back().first);
       Expect(!modules.empty() && modules[0].ends_with("\\tavu.exe"), "cannot list the launcher's modules");
       const auto dll = std::find_if(modules.begin(), modules.end(),
                                     [&](const std::string& path) { return path.ends_with("\\" + a[0]); });
       const std::string from = dll == modules.end() ? "" : *dll;
       Expect(a[1].empty() ? from.empty() : from.find(a[1]) != std::string::npos,
              a[0] + (from.empty() ? " is not loaded" : " is loaded from " + from));
     }},
    {"check-ini KEY=VALUE...", [](S s, A a) { s.Ini(a[0], false); }},  // VALUE -: no such key
    {"exists FILE...", [](S s, A a) { s.Are(Split(a[0], ' '), "there"); }},
    {"missing FILE...", [](S s, A a) { s.Are(Split(a[0], ' '), "missing"); }},
    {"writable FILE...", [](S s, A a) { s.Are(Split(a[0], ' '), "writable"); }},  // and not read-only
};

// What each part of a usage stands for in the pattern its arguments must match, replaced in this order.
const std::pair<const char*, const char*> kSyntax[] = {
    {R"(\()", "(?:"},                      // (a|b): either
    {R"(( ?)\[([^\]]*)\])", "(?:$1$2)?"},  // [...]: may be left out
    {R"(STATUS,\.\.\.)", R"((\d+(?:,\d+)*))"},
    {R"(KEY=VALUE\.\.\.)", R"((\w+=\S*(?: \w+=\S*)*))"},
    {R"(KEY\.\.\.)", R"(((?:TAB|RETURN|ESCAPE)(?: (?:TAB|RETURN|ESCAPE))*))"},
    {R"(FILE\.\.\.)", R"(([^ "]+(?: [^ "]+)*))"},
    {R"(ARGS\.\.\.)", "(.*)"},
    {R"(\b(MIN|MAX)(?![A-Z]))", R"((\d+(?:\.\d+)?))"},
    {R"(\bN(?![A-Z]))", R"((\d+))"},
    {R"(\bCONTROL\b)", "(Text1|Check1|Command1)"},
    {R"(\bLETTER\b)", "([A-Z])"},
    {R"(\b(NAME|FILE|FOLDER|DLL|LINE|TEXT|CHARS)\b)", R"(("[^"]*"|[^ "]+))"},  // "quoted" if with blanks
};

// `text` as a verb of kVerbs and the arguments its usage picks out, unquoted, with \xHH as that byte.
std::pair<const Verb*, Args> ActionOf(const std::string& text) {
  for (const Verb& verb : kVerbs) {
    std::string pattern = verb.usage;
    if (pattern.substr(0, pattern.find(' ')) != text.substr(0, text.find(' '))) continue;
    for (const auto& [part, meaning] : kSyntax)
      pattern = std::regex_replace(pattern, std::regex(part), meaning);
    std::smatch match;
    Expect(std::regex_match(text, match, std::regex(pattern)), "\"" + text + "\" does not fit " + verb.usage);
    Args arguments;
    for (std::string argument : Args(match.begin() + 1, match.end())) {
      if (argument.size() > 1 && argument[0] == '"') argument = argument.substr(1, argument.size() - 2);
      for (std::size_t at = 0; (at = argument.find("\\x", at)) != std::string::npos; ++at)
        argument.replace(at, 4, 1, char(std::stoi(argument.substr(at + 2, 2), nullptr, 16)));
      arguments.push_back(argument);
    }
    return {&verb, arguments};
  }
  throw std::runtime_error("no verb " + text.substr(0, text.find(' ')));
}

std::string Language(LANGID locale) {
  return PRIMARYLANGID(locale) == LANG_GERMAN ? "de" : "en";
}

// Goes through scenario `name`, a step per line, its actions between " ; ", checking each against kVerbs;
// with a scenario to run, shows each line as it starts and runs its actions. `line`: the line it is at.
void Walk(const fs::path& scenarios, const std::string& name, Scenario* scenario, int& line) {
  std::ifstream file(scenarios);
  bool ours = false;
  line = 0;
  for (std::string text; std::getline(file, text);) {
    ++line;
    text.erase(text.find_last_not_of('\r') + 1);
    std::smatch header;
    if (std::regex_match(text, header, std::regex("scenario (\\S+) (de|en)(?:/(de|en))?( serial)?"))) {
      if (ours) return;
      ours = header[1] == name;
      // The system's locale and the user's (the system's unless given) come from Wine's LANG and LC_MESSAGES;
      // a wrong one would make every text check meaningless.
      const std::string want = header[2].str() + "/" + (header[3].matched ? header[3] : header[2]).str(),
                        have = Language(GetSystemDefaultLangID()) + "/" + Language(GetUserDefaultLangID());
      Expect(!ours || have == want, "the locales are " + have + ", not " + want + " (LANG, LC_MESSAGES?)");
    } else if (ours && !text.empty() && text[0] != '#') {
      if (scenario) std::printf("%4d  %s\n", line, text.c_str());
      for (std::size_t at = 0, end = 0; at <= text.size(); at = end + 3) {
        end = std::min(text.find(" ; ", at), text.size());
        const auto [verb, arguments] = ActionOf(text.substr(at, end - at));
        if (scenario) verb->run(*scenario, arguments);
        if (scenario && verb->proof) scenario->Are({arguments[0]}, verb->proof);
      }
    }
  }
  Expect(ours, "no scenario " + name);
}

int Run(const fs::path& scenarios, const std::string& name) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // a test that hangs until ctest's time-out shows where
  ULONG_PTR gdiplus = 0;
  const Gdiplus::GdiplusStartupInput startup;
  Gdiplus::GdiplusStartup(&gdiplus, &startup, nullptr);
  int line = 0;
  try {
    Walk(scenarios, name, nullptr, line);
    Scenario scenario(name, scenarios.parent_path() / "approved");
    Walk(scenarios, name, &scenario, line);
    Expect(scenario.ended == scenario.launchers.size(), "no `ends` for the last launchers");
  } catch (const std::exception& error) {  // a failed expectation, or a file system error on the way
    std::printf("FAILED at line %d: %s\n", line, error.what());
    return 1;
  }
  std::printf("passed\n");
  return 0;
}

}  // namespace
}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
  if (argc == 3) return e2e::Run(argv[1], e2e::Narrow(argv[2]));
  std::printf("usage: e2e_driver SCENARIOS NAME\n");
  return 2;
}
