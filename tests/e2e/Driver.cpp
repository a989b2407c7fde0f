// Runs one scenario of scenarios.txt against the release Tavu.exe in a folder of its own, e2e\NAME\app
// in the current folder, which starts out holding Tavu.exe and standin.exe from the current folder
// as ICQ.exe. Usage: e2e_driver SCENARIOS NAME. A scenario is a line "scenario NAME LOCALE [serial]" and its
// steps: a verb and its arguments ("quoted" where they hold blanks; \r \n \xHH escapes), several to a
// line between " ; ". Files are named relative to the launcher folder. Waits give up after a minute;
// nothing is retried. The verbs are those of Scenario::Step.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/Text.h"
#include "window/Controls.h"
#include "window/SwitchToEnglish.h"
#include "window/Texts.h"

namespace fs = std::filesystem;

namespace e2e {
namespace {

using Args = std::vector<std::string>;
using brindle::win32::Narrow;
using brindle::win32::Widen;

struct Failure {
  std::string what;
};

void Expect(bool ok, const std::string& what) {
  if (!ok) throw Failure{what};
}

template <typename Find>
auto WaitFor(Find find, const std::string& what) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  for (;; Sleep(50)) {
    if (auto found = find()) return found;
    Expect(std::chrono::steady_clock::now() < deadline, "timed out waiting for " + what);
  }
}

// --- Windows of other processes, worked as a user would ---------------------------------------------

BOOL CALLBACK AddWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

// The top-level windows, or the children of `parent`, listed in one go. Walking them a call at a time
// (FindWindowEx after the one found last) hangs Wine 10's wineserver for good when that window is
// being destroyed meanwhile.
std::vector<HWND> WindowsIn(HWND parent = nullptr) {
  std::vector<HWND> windows;
  parent ? EnumChildWindows(parent, AddWindow, LPARAM(&windows)) : EnumWindows(AddWindow, LPARAM(&windows));
  return windows;
}

// A visible top-level window of one of the processes, of the class (nullptr: any).
HWND FindWindowOf(const std::vector<DWORD>& processes, const wchar_t* className) {
  for (const HWND window : WindowsIn()) {
    DWORD process = 0;
    wchar_t windowClass[64] = L"";
    GetWindowThreadProcessId(window, &process);
    GetClassNameW(window, windowClass, 64);
    if (IsWindowVisible(window) && std::count(processes.begin(), processes.end(), process) &&
        (!className || std::wstring_view(windowClass) == className))
      return window;
  }
  return nullptr;
}

std::string TextOf(HWND window) {  // asks the window itself, so it works across processes
  wchar_t text[1024] = L"";
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, LPARAM(text), SMTO_ABORTIFHUNG, 5000, &length);
  return Narrow(std::wstring_view(text, length));
}

HWND FocusIn(HWND window) {  // the control with the keyboard focus in the window's thread
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool SetClipboardText(std::string_view utf8) {
  const std::wstring text = Widen(utf8);
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (!memory || !OpenClipboard(nullptr)) return false;
  std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  EmptyClipboard();
  const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  return CloseClipboard(), set;
}

// "exclamation" or "information", told by colour: the warning sign is yellow, the information sign
// blue. The box belongs to another process, whose icon handles mean nothing here.
std::string IconKind(HWND messageBox) {
  RECT at{};
  for (const HWND child : WindowsIn(messageBox))
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) GetWindowRect(child, &at);
  const HDC screen = GetDC(nullptr);
  int yellow = 0, blue = 0;
  for (int y = at.top; y < at.bottom; ++y) {
    for (int x = at.left; x < at.right; ++x) {
      const COLORREF colour = GetPixel(screen, x, y);
      yellow += GetRValue(colour) > 160 && GetGValue(colour) > 120 && GetBValue(colour) < 100;
      blue += GetBValue(colour) > 120 && GetRValue(colour) < 100;
    }
  }
  ReleaseDC(nullptr, screen);
  return yellow > blue ? "exclamation" : blue > yellow ? "information" : "no";
}

// Where the information window differs from the control table, one line per difference. Positions
// may be a pixel off, where twips fall between pixels.
std::vector<std::string> LayoutFaults(HWND form, bool english) {
  using namespace brindle;
  std::vector<std::string> faults;
  const auto expect = [&](bool ok, const std::string& what) { ok ? void() : faults.push_back(what); };
  const auto compare = [&](const RECT& got, const RECT& want, const std::string& what) {
    const LONG a[] = {got.left, got.top, got.right, got.bottom},
               b[] = {want.left, want.top, want.right, want.bottom};
    std::string edges = "left, top, right, bottom at";
    for (int i = 0; i < 4; ++i)
      edges += " " + std::to_string(a[i]) + (std::abs(a[i] - b[i]) > 1 ? "!=" + std::to_string(b[i]) : "");
    expect(edges.find('!') == std::string::npos, what + " " + edges);
  };
  const HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  const auto pixels = [&](int left, int top, int width, int height) {
    const int x = MulDiv(left, dpiX, 1440), y = MulDiv(top, dpiY, 1440);
    return RECT{x, y, x + MulDiv(width, dpiX, 1440), y + MulDiv(height, dpiY, 1440)};
  };
  // Labels that size themselves measure their text in the 8-point dialog font.
  const HFONT font = CreateFontW(-MulDiv(8, dpiY, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                                 DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
  const HGDIOBJ oldFont = SelectObject(screen, font);

  RECT client{}, frame{};
  GetClientRect(form, &client);
  GetWindowRect(form, &frame);
  compare(client, pixels(0, 0, kForm1.clientWidth, kForm1.clientHeight), "client area");
  expect(!(GetWindowLongW(form, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX)), "the window can be resized");
  expect(std::abs(frame.left + frame.right - GetSystemMetrics(SM_CXSCREEN)) <= 2 &&
             std::abs(frame.top + frame.bottom - GetSystemMetrics(SM_CYSCREEN)) <= 2,
         "the window is not centred");
  expect(TextOf(form) == kForm1.caption, "caption \"" + TextOf(form) + "\"");
  for (const ControlSpec& row : kControls) {
    const std::string name(row.name), text(row.id == ControlId::Text1 ? kText1Initial
                                           : english                  ? EnglishTextOf(row.id).value_or("")
                                                                      : GermanTextOf(row.id).value_or(""));
    const HWND control = GetDlgItem(form, ControlNumber(row.id));
    expect(control && TextOf(control) == text, name + " says \"" + TextOf(control) + "\"");
    const bool moved = english && (row.id == ControlId::Text1 || row.id == ControlId::Label8);
    RECT want = pixels(row.left - (moved ? kEnglishShiftTwips : 0), row.top, row.width, row.height), got{};
    if (row.kind == ControlKind::AutoSizeLabel) {
      const std::wstring wide = Widen(text);
      SIZE extent{};
      TEXTMETRICW metrics{};
      GetTextExtentPoint32W(screen, wide.c_str(), int(wide.size()), &extent);
      GetTextMetricsW(screen, &metrics);
      want.right = want.left + extent.cx;
      want.bottom = want.top + metrics.tmHeight;
    }
    GetWindowRect(control, &got);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&got), 2);
    compare(got, want, name);
  }
  DeleteObject(SelectObject(screen, oldFont));
  ReleaseDC(nullptr, screen);
  return faults;
}

// --- Scenarios ---------------------------------------------------------------------------------------

Args Tokens(const std::string& line) {
  Args tokens;
  for (std::size_t i = line.find_first_not_of(' '); i < line.size(); i = line.find_first_not_of(' ', i)) {
    const bool quoted = line[i] == '"';
    const std::size_t end = std::min(line.find(quoted ? '"' : ' ', i + 1), line.size());
    std::string token;
    for (std::size_t j = i + quoted; j < end; ++j) {
      if (line[j] != '\\' || j + 1 == end)
        token += line[j];
      else if (line[++j] == 'x')
        token += char(std::stoi(line.substr(j + 1, 2), nullptr, 16)), j += 2;
      else
        token += line[j] == 'r' ? '\r' : line[j] == 'n' ? '\n' : line[j];
    }
    tokens.push_back(token);
    i = end + quoted;
  }
  return tokens;
}

std::string Join(const Args& args, std::size_t from, const char* separator = " ") {
  std::string joined;
  for (std::size_t i = from; i < args.size(); ++i) joined += (i > from ? separator : "") + args[i];
  return joined;
}

class Scenario {
 public:
  explicit Scenario(const std::string& name) : base_(fs::absolute("e2e") / name), app_(base_ / "app") {
    std::error_code error;
    fs::remove_all(base_, error);
    Expect(!error, "cannot clear " + base_.string() + ": " + error.message());
    fs::create_directories(app_);
    fs::copy_file("Tavu.exe", app_ / exe_);
    fs::copy_file("standin.exe", app_ / "ICQ.exe");
  }
  ~Scenario() {
    for (HANDLE process : launchers_) TerminateProcess(process, 1);
    for (HANDLE handle : held_) CloseHandle(handle);  // programs started here end on their own
    if (disabled_) RegDeleteKeyW(HKEY_CURRENT_USER, kTavuOverrides);
  }

  void Step(const Args& a) {
    const std::string& verb = a[0];
    const auto arg = [&](std::size_t i) { return i < a.size() ? a[i] : ""; };
    if (verb == "folder")
      fs::rename(app_, base_ / Widen(a[1])), app_ = base_ / Widen(a[1]);  // first step only
    // A copy, not a rename: Wine would keep the letter case of the old name.
    if (verb == "exe") fs::remove(app_ / exe_), fs::copy_file("Tavu.exe", app_ / (exe_ = Widen(a[1])));
    if (verb == "remove") fs::remove(At(a[1]));
    if (verb == "dir") fs::create_directories(At(a[1]));
    if (verb == "file" && a.size() > 2) fs::copy_file("standin.exe", At(a[1]));  // file NAME standin
    if (verb == "file" && a.size() == 2) std::ofstream(At(a[1])) << "not a program";
    if (verb == "write") std::ofstream(At(a[1]), std::ios::binary) << a[2];  // write NAME TEXT
    // standin DELAY ALIVE: the stand-in's side-file delay (-1: never) and lifetime, in milliseconds.
    if (verb == "standin") std::ofstream(app_ / "standin.cfg") << a[1] << ' ' << a[2];
    if (verb == "lock")
      held_.push_back(CreateFileW(At(a[1]).c_str(), GENERIC_WRITE, 0, 0, OPEN_ALWAYS, 0, 0));
    if (verb == "start") held_.push_back(Start(At(a[1]), ""));  // runs on after the scenario
    if (verb == "start") WaitFor([&] { return fs::exists(app_ / "standin.log"); }, a[1] + " to start");
    if (verb == "disable") {  // disable DLL: a Wine DLL override for Tavu.exe alone, while the scenario runs
      disabled_ = !RegSetKeyValueW(HKEY_CURRENT_USER, kTavuOverrides, Widen(a[1]).c_str(), REG_SZ, L"", 2);
    }
    if (verb == "ini" || verb == "check-ini") Ini(a, verb == "check-ini");  // KEY=VALUE...; "-": absent
    for (int i = verb == "run" ? 1 : verb == "burst" ? std::stoi(a[1]) : 0; i > 0; --i) {  // burst N ARGS...
      launchers_.push_back(Start(app_ / exe_, Join(a, verb == "run" ? 1 : 2)));
      lastStart_ = std::chrono::steady_clock::now();
    }
    if (verb == "see" || verb == "message") See(a[1], a[2], a[3]);  // TEXT TITLE exclamation|information
    if (verb == "ok" || verb == "message") {
      const HWND box = WaitFor([&] { return FindWindowOf(ids_, L"#32770"); }, "a message box");
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      WaitFor([&] { return !IsWindowVisible(box); }, "the message box to close");
    }
    if (verb == "window") Form();
    if (verb == "layout") {  // layout de|en
      const auto faults = LayoutFaults(Form(), a[1] == "en");
      Expect(faults.empty(), "the window differs from the table:\n    " + Join(faults, 0, "\n    "));
    }
    if (verb == "focus") WaitFor([&] { return FocusIn(Form()) == Control(a[1]); }, "the focus on " + a[1]);
    if (verb == "key") Keys(a);  // key TAB|RETURN|ESCAPE|SPACE|END|BACK...
    if (verb == "type") {        // type CHARS TEXT: typed at the end of the count box, which then says TEXT
      PostMessageW(Control("Text1"), EM_SETSEL, 0x7FFF, 0x7FFF);
      for (const wchar_t unit : Widen(a[1])) PostMessageW(Control("Text1"), WM_CHAR, unit, 1);
      Settle([&] { return TextOf(Control("Text1")); }, a[2], "Text1");
    }
    if (verb == "clipboard") Expect(SetClipboardText(a[1]), "cannot set the clipboard");
    if (verb == "click") PostMessageW(Control(a[1]), BM_CLICK, 0, 0);
    if (verb == "close") PostMessageW(Form(), WM_SYSCOMMAND, SC_CLOSE, 0);
    if (verb == "checked")
      Settle([&] { return std::to_string(SendMessageW(Control("Check1"), BM_GETCHECK, 0, 0)); }, a[1],
             "Check1");
    // ends [MIN [MAX]]: the launchers end, showing nothing new, MIN to MAX seconds after the last start.
    if (verb == "ends") Ends(std::stod("0" + arg(1)), arg(2).empty() ? 60 : std::stod(arg(2)));
    for (std::size_t i = 1; (verb == "exists" || verb == "missing") && i < a.size(); ++i)
      Expect(fs::exists(At(a[i])) == (verb == "exists"),
             a[i] + (verb == "exists" ? " is missing" : " is there"));
    if (verb == "started") Started(Args(a.begin() + 1, a.end()));  // the copies started, in order
  }

 private:
  static constexpr wchar_t kTavuOverrides[] = L"Software\\Wine\\AppDefaults\\Tavu.exe\\DllOverrides";

  fs::path At(const std::string& name) const { return app_ / Widen(name); }

  HANDLE Start(const fs::path& program, const std::string& arguments) {
    std::wstring commandLine =
        L"\"" + program.wstring() + L"\"" + Widen(arguments.empty() ? "" : " " + arguments);
    STARTUPINFOW startup{};  // as the shell starts a program
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    Expect(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          app_.c_str(), &startup, &started),
           "cannot start " + program.string());
    CloseHandle(started.hThread);
    ids_.push_back(started.dwProcessId);
    return started.hProcess;
  }

  HWND Form() {
    const auto form = [&] {
      const HWND window = FindWindowOf(ids_, nullptr);
      return window && TextOf(window) == brindle::kForm1.caption ? window : nullptr;
    };
    return WaitFor(form, "the information window");
  }
  HWND Control(const std::string& name) {
    for (const auto& row : brindle::kControls)
      if (row.name == name) return GetDlgItem(Form(), brindle::ControlNumber(row.id));
    throw Failure{"no control " + name};
  }

  // Waits until `actual` gives `expected`: a program handles posted input in its own time.
  template <typename Actual>
  void Settle(Actual actual, const std::string& expected, const std::string& what) {
    std::string last;
    try {
      WaitFor([&] { return (last = actual()) == expected; }, what);
    } catch (const Failure&) {
      throw Failure{what + " says \"" + last + "\", not \"" + expected + "\""};
    }
  }

  void Keys(const Args& a) {
    static const std::map<std::string, UINT> keys{{"TAB", VK_TAB},       {"RETURN", VK_RETURN},
                                                  {"ESCAPE", VK_ESCAPE}, {"SPACE", VK_SPACE},
                                                  {"END", VK_END},       {"BACK", VK_BACK}};
    for (std::size_t i = 1; i < a.size(); ++i) {
      const HWND target = FocusIn(Form()) ? FocusIn(Form()) : Form();
      const LPARAM scan = LPARAM(MapVirtualKeyW(keys.at(a[i]), MAPVK_VK_TO_VSC)) << 16;
      PostMessageW(target, WM_KEYDOWN, keys.at(a[i]), scan | 1);
      PostMessageW(target, WM_KEYUP, keys.at(a[i]), scan | 0xC0000001);
      Sleep(200);  // a user's pace: the next key goes where this one left the focus
    }
  }

  void See(const std::string& text, const std::string& title, const std::string& icon) {
    const HWND box = WaitFor([&] { return FindWindowOf(ids_, L"#32770"); }, "a message box");
    Expect(TextOf(box) == title, "message box titled \"" + TextOf(box) + "\"");
    Expect(TextOf(GetDlgItem(box, 0xFFFF)) == text,
           "message box says \"" + TextOf(GetDlgItem(box, 0xFFFF)) + "\"");
    // Read off the screen, so waited for: the box paints in its own time, and a box of a scenario
    // running alongside may cover it for a moment.
    Settle([&] { return IconKind(box); }, icon, "the message box's icon");
  }

  void Ends(double minSeconds, double maxSeconds) {
    const HWND leaving = FindWindowOf(ids_, nullptr);  // may be on its way out
    for (HANDLE process : launchers_) {
      const auto ended = [&] {
        const HWND shown = FindWindowOf(ids_, nullptr);
        Expect(!shown || shown == leaving, "unexpected window \"" + (shown ? TextOf(shown) : "") + "\"");
        return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
      };
      WaitFor(ended, "the launchers to end");
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - lastStart_).count();
    Expect(seconds >= minSeconds && seconds <= maxSeconds, "ended after " + std::to_string(seconds) + " s");
  }

  void Started(const Args& expected) {
    std::string log;
    const auto logged = [&] {
      std::ifstream file(app_ / "standin.log", std::ios::binary);
      log.assign(std::istreambuf_iterator<char>(file), {});
      return std::count(log.begin(), log.end(), '\n') >= long(expected.size());
    };
    WaitFor(logged, "standin.log");
    std::istringstream lines(log);
    Args seen;
    for (std::string line; std::getline(lines, line, '\r') && lines.ignore();) {
      const std::size_t bar = line.find('|'),
                        next = line.find('|', bar + 1);  // module|show state|command line
      const std::string module = line.substr(0, bar);
      Expect(line.substr(bar, next - bar) == "|1" && line.substr(next + 1) == "\"" + module + "\"",
             "started " + line);
      seen.push_back(fs::path(Widen(module)).filename().string());
    }
    Expect(seen == expected, "started: " + Join(seen, 0));
  }

  void Ini(const Args& a, bool check) {
    const std::wstring ini = (app_ / "tavu.ini").wstring();
    for (std::size_t i = 1; i < a.size(); ++i) {
      const std::size_t equals = a[i].find('=');
      const std::wstring key = Widen(a[i].substr(0, equals)), value = Widen(a[i].substr(equals + 1));
      wchar_t read[256] = L"";
      if (!check) WritePrivateProfileStringW(L"Brindle", key.c_str(), value.c_str(), ini.c_str());
      if (check) GetPrivateProfileStringW(L"Brindle", key.c_str(), L"-", read, 256, ini.c_str());
      Expect(!check || value == read, "tavu.ini has " + a[i].substr(0, equals) + "=" + Narrow(read));
    }
  }

  fs::path base_, app_;
  std::wstring exe_ = L"Tavu.exe";
  std::vector<HANDLE> launchers_, held_;
  std::vector<DWORD> ids_;
  std::chrono::steady_clock::time_point lastStart_;
  bool disabled_ = false;
};

int number = 0;  // of the scenario line being run

// Whatever hangs, says where before ctest's time-out would end the driver without a word.
DWORD WINAPI Watchdog(void*) {
  Sleep(150'000);
  std::printf("FAILED: hangs at line %d\n", number);
  ExitProcess(3);
}

int Run(const fs::path& scenarios, const std::string& name) {
  std::ifstream file(scenarios);
  std::optional<Scenario> scenario;
  CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
  try {
    for (std::string line; std::getline(file, line) && (!scenario || line.rfind("scenario ", 0) != 0);) {
      const Args step = Tokens(line.substr(0, line.find_last_not_of('\r') + 1));
      ++number;
      if (step.size() >= 3 && step[0] == "scenario" && step[1] == name) {
        // The locale comes from Wine's LANG; a wrong one would make every text check meaningless.
        const bool german = PRIMARYLANGID(LANGIDFROMLCID(GetSystemDefaultLCID())) == LANG_GERMAN;
        Expect(german == (step[2] == "de"), "the system locale is not " + step[2] + " (LANG?)");
        scenario.emplace(name);
      } else if (scenario && !step.empty() && step[0][0] != '#') {
        std::printf("%4d  %s\n", number, line.c_str());
        for (auto begin = step.begin(), end = begin; begin != step.end(); begin = end + (end != step.end())) {
          end = std::find(begin, step.end(), ";");
          scenario->Step(Args(begin, end));
        }
      }
    }
    Expect(scenario.has_value(), "no scenario " + name);
  } catch (const Failure& failure) {
    return std::printf("FAILED at line %d: %s\n", number, failure.what.c_str()), 1;
  } catch (const std::exception& error) {
    return std::printf("FAILED at line %d: %s\n", number, error.what()), 1;
  }
  return std::printf("passed\n"), 0;
}

}  // namespace
}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return std::printf("usage: e2e_driver SCENARIOS NAME\n"), 2;
  return e2e::Run(argv[1], e2e::Narrow(argv[2]));
}
