// Runs one scenario of scenarios.txt (format described there; verbs in kVerbs below, all checked before
// the first step runs) against the release Tavu.exe in e2e\NAME\app of the current folder, which starts
// out holding Tavu.exe and standin.exe (as ICQ.exe). Usage: e2e_driver SCENARIOS NAME. Waits give up
// after a minute; nothing is retried. BRINDLE_APPROVE=1 makes `record` rewrite approved records. As
// `e2e_driver --probe can-write FILE|scripting` it answers by its exit code (0: yes), for set-up steps.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// GDI+ reads and writes the records' pictures; its headers want min and max from their own namespace.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "shell/Utf8.h"
#include "window/Controls.h"

namespace fs = std::filesystem;

namespace e2e {
namespace {

using Args = std::vector<std::string>;
using brindle::win32::Narrow;
using brindle::win32::Widen;

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void Expect(bool ok, const std::string& what) {
  if (!ok) throw Failure(what);
}

template <typename Find>
auto WaitFor(Find find, const std::string& what) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  for (;; Sleep(50)) {
    if (auto found = find()) return found;
    Expect(std::chrono::steady_clock::now() < deadline, "timed out waiting for " + what);
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

std::string Join(const Args& args, std::size_t from) {
  std::string joined;
  for (std::size_t i = from; i < args.size(); ++i) joined += (i > from ? " " : "") + args[i];
  return joined;
}

BOOL CALLBACK AddWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

// The top-level windows, or the children of `parent` in z-order, listed in one go. Walking them a call
// at a time (FindWindowEx after the one found last) hangs Wine 10's wineserver for good when that
// window is being destroyed meanwhile.
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

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB, rows from the top
  bool operator==(const Picture&) const = default;
};

Picture Capture(RECT area) {  // in screen pixels
  Picture picture{area.right - area.left, area.bottom - area.top, {}};
  picture.pixels.resize(std::size_t(std::max(picture.width * picture.height, 0)));
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0},
                  {}};
  const HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, picture.width, picture.height);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, picture.width, picture.height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, old);
  GetDIBits(memory, bitmap, 0, picture.height, picture.pixels.data(), &info, DIB_RGB_COLORS);
  for (std::uint32_t& pixel : picture.pixels) pixel &= 0xFFFFFF;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

// "exclamation" or "information", told by colour: the warning sign is yellow, the information sign
// blue. The box belongs to another process, whose icon handles mean nothing here.
std::string IconKind(HWND messageBox) {
  RECT at{};
  for (const HWND child : WindowsIn(messageBox))
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) GetWindowRect(child, &at);
  int yellow = 0, blue = 0;
  for (const std::uint32_t pixel : Capture(at).pixels) {
    const std::uint32_t r = pixel >> 16, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
    yellow += r > 160 && g > 120 && b < 100;
    blue += b > 120 && r < 100;
  }
  return yellow > blue ? "exclamation" : blue > yellow ? "information" : "no";
}

void SavePng(const Picture& picture, const fs::path& path) {
  Gdiplus::Bitmap bitmap(picture.width, picture.height, picture.width * 4, PixelFormat32bppRGB,
                         reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(picture.pixels.data())));
  const CLSID png{
      0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};  // GDI+'s encoder
  Expect(bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok, "cannot write " + path.string());
}

Picture LoadPng(const fs::path& path) {  // an empty picture when there is none
  Gdiplus::Bitmap bitmap(path.c_str());
  Picture picture{int(bitmap.GetWidth()), int(bitmap.GetHeight()), {}};
  const Gdiplus::Rect all(0, 0, picture.width, picture.height);
  Gdiplus::BitmapData data{};
  if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) != Gdiplus::Ok) return {};
  for (int y = 0; y < picture.height; ++y) {
    const auto* row =
        reinterpret_cast<const std::uint32_t*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
    for (int x = 0; x < picture.width; ++x) picture.pixels.push_back(row[x] & 0xFFFFFF);
  }
  bitmap.UnlockBits(&data);
  return picture;
}

// Where two pictures of one size differ, and a picture of every difference: red on a paled `got`.
std::string Compare(const Picture& want, const Picture& got, Picture& difference) {
  std::size_t count = 0, first = 0;
  difference = got;
  for (std::size_t i = 0; i < got.pixels.size(); ++i) {
    const bool same = got.pixels[i] == want.pixels[i];
    difference.pixels[i] = same ? 0xC0C0C0 | (got.pixels[i] >> 2 & 0x3F3F3F) : 0xFF0000;
    if (!same && !count++) first = i;
  }
  char what[96];
  std::snprintf(what, sizeof what, "%u pixels differ, the first at %u,%u: #%06X, approved #%06X",
                unsigned(count), unsigned(first % got.width), unsigned(first / got.width),
                unsigned(got.pixels[first]), unsigned(want.pixels[first]));
  return count ? what : "";
}

// The first line of `got` that differs from `want`, beside the approved one.
std::string FirstDifferentLine(const std::string& want, const std::string& got) {
  std::size_t at = std::mismatch(want.begin(), want.end(), got.begin(), got.end()).first - want.begin();
  if (want == got) return "";
  at = want.rfind('\n', at ? at - 1 : 0) + 1;  // the start of that line (npos + 1 is 0)
  const auto line = [&](const std::string& text) { return text.substr(at, text.find('\n', at) - at); };
  return "listing line " + std::to_string(std::count(want.begin(), want.begin() + at, '\n') + 1) + " \"" +
         line(got) + "\", approved \"" + line(want) + "\"";
}

// A line for each window: name, class, where it stands (the form on the screen, the controls in its
// client area, in z-order, which is the order of Tab), size, styles, text and what a user can change.
std::string Listing(HWND form) {
  using Get = const char*(CDECL*)();
  const auto wine = reinterpret_cast<Get>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
  std::string listing = std::string("recorded under Wine ") + (wine ? wine() : "(none)") + "\n";
  std::vector<HWND> windows = WindowsIn(form);
  windows.insert(windows.begin(), form);
  for (const HWND window : windows) {
    RECT r{};
    GetWindowRect(window, &r);
    if (window != form) MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    std::string name = "Form1";
    for (const auto& row : brindle::kControls)
      if (window != form && GetDlgCtrlID(window) == brindle::ControlNumber(row.id)) name = row.name;
    char line[160];
    std::snprintf(line, sizeof line, "%s %s at %ld,%ld %ldx%ld style %08lX ex %08lX", name.c_str(),
                  ClassOf(window).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
                  GetWindowLongW(window, GWL_STYLE), GetWindowLongW(window, GWL_EXSTYLE));
    listing += line;
    if (ClassOf(window) == "Edit")
      listing += " limit " + std::to_string(SendMessageW(window, EM_GETLIMITTEXT, 0, 0));
    if (ClassOf(window) == "Button")
      listing += " check " + std::to_string(SendMessageW(window, BM_GETCHECK, 0, 0));
    listing += (window == FocusIn(form) ? " focus \"" : " \"") + TextOf(window) + "\"\n";
  }
  return listing;
}

constexpr wchar_t kTavuOverrides[] = L"Software\\Wine\\AppDefaults\\Tavu.exe\\DllOverrides";

struct Scenario;
std::atomic<Scenario*> running = nullptr;  // for the watchdog
std::atomic<int> lineRunning = 0;

// The state of one scenario run, and what several verbs share.
struct Scenario {
  Scenario(const std::string& name, const fs::path& approvedRecords)
      : base(fs::absolute("e2e") / name), approved(approvedRecords), app(base / "app") {
    RegDeleteKeyW(HKEY_CURRENT_USER, kTavuOverrides);  // left by a run that was killed
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(base, error))  // read-only files too
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(base, error);
    Expect(!error, "cannot clear " + base.string() + ": " + error.message());
    fs::create_directories(app);
    fs::copy_file("Tavu.exe", app / exe);
    fs::copy_file("standin.exe", app / "ICQ.exe");
    running = this;
  }
  ~Scenario() {
    running = nullptr;
    CleanUp();
  }

  // Ends what the scenario started and takes back what it changed outside its folder; once, at the end
  // of the scenario or from the watchdog.
  void CleanUp() {
    if (cleaned.exchange(true)) return;
    for (HANDLE process : launchers) TerminateProcess(process, 1);
    for (HANDLE handle : held) CloseHandle(handle);  // programs started here end on their own
    RegDeleteKeyW(HKEY_CURRENT_USER, kTavuOverrides);
  }

  fs::path At(const std::string& name) const { return app / Widen(name); }

  HANDLE Start(const fs::path& program, const std::string& arguments) {  // as the shell starts a program
    std::wstring commandLine =
        L"\"" + program.wstring() + L"\"" + Widen(arguments.empty() ? "" : " " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    Expect(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          app.c_str(), &startup, &started),
           "cannot start " + program.string());
    CloseHandle(started.hThread);
    ids.push_back(started.dwProcessId);
    return started.hProcess;
  }
  void Launch(const fs::path& folder, const std::string& arguments) {
    launchers.push_back(Start(folder / exe, arguments));
    lastStart = std::chrono::steady_clock::now();
  }

  // Runs a copy of this driver named Tavu.exe, in a folder of its own, on one question; its answer.
  DWORD Probe(const std::string& question) {
    wchar_t driver[MAX_PATH] = L"";
    const fs::path probe = base / "probe" / "Tavu.exe";
    fs::create_directories(probe.parent_path());
    if (!fs::exists(probe))
      fs::copy_file(std::wstring(driver, GetModuleFileNameW(nullptr, driver, MAX_PATH)), probe);
    const HANDLE process = Start(probe, "--probe " + question);
    DWORD answer = 2;
    WaitForSingleObject(process, 60'000);
    GetExitCodeProcess(process, &answer);
    return CloseHandle(process), answer;
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
    return WaitFor([&] { return TextOf(Visible()) == brindle::kForm1.caption ? Visible() : nullptr; },
                   "the information window");
  }
  HWND Control(const std::string& name) {
    for (const auto& row : brindle::kControls)
      if (row.name == name) return GetDlgItem(Form(), brindle::ControlNumber(row.id));
    throw Failure("no control " + name);
  }
  HWND Box() {
    return WaitFor([&] { return Visible("#32770"); }, "a message box");
  }

  // Waits until `actual` gives `expected`: a program handles posted input, and paints, in its own time.
  template <typename Actual>
  void Settle(Actual actual, const std::string& expected, const std::string& what) {
    std::string last;
    try {
      WaitFor([&] { return (last = actual()) == expected; }, what);
    } catch (const Failure&) {
      throw Failure(what + " says \"" + last + "\", not \"" + expected + "\"");
    }
  }

  void Ini(const Args& a, bool write) {  // KEY=VALUE...
    for (std::size_t i = 1; i < a.size(); ++i) {
      const std::size_t equals = a[i].find('=');
      Expect(equals != std::string::npos, a[i] + " is no KEY=VALUE");
      const std::wstring key = Widen(a[i].substr(0, equals)), value = Widen(a[i].substr(equals + 1)),
                         ini = At("tavu.ini").wstring();
      wchar_t read[256] = L"";
      if (write) WritePrivateProfileStringW(L"Brindle", key.c_str(), value.c_str(), ini.c_str());
      GetPrivateProfileStringW(L"Brindle", key.c_str(), L"-", read, 256, ini.c_str());
      Expect(value == read, "tavu.ini has " + a[i].substr(0, equals) + "=" + Narrow(read));
    }
  }

  void Files(const Args& a, const std::string& state) {  // there, missing or writable
    for (std::size_t i = 1; i < a.size(); ++i) {
      const DWORD attributes = GetFileAttributesW(At(a[i]).c_str());
      const bool there = attributes != INVALID_FILE_ATTRIBUTES;
      Expect(state == "missing" ? !there
                                : there && (state == "there" || !(attributes & FILE_ATTRIBUTE_READONLY)),
             a[i] + " is not " + state);
    }
  }

  // The window as it first shows, frame and all, with no pointer over it, against its approved picture
  // and listing.
  void Record(const std::string& name) {
    const HWND form = Form();
    SetCursorPos(0, 0);
    RECT frame{};
    GetWindowRect(form, &frame);
    Picture got = Capture(frame), before;
    WaitFor([&] { return Sleep(300), before = std::exchange(got, Capture(frame)), got == before; }, "paint");
    const std::string listing = Listing(form),
                      approve = std::getenv("BRINDLE_APPROVE") ? std::getenv("BRINDLE_APPROVE") : "";
    const std::string path = ((approve == "1" ? approved : base) / name).string();
    SavePng(got, path + ".png");
    WriteFile(path + ".txt", listing);
    if (approve == "1") return void(std::printf("      approved %s\n", path.c_str()));
    const std::string wantListing = ReadFile((approved / name).string() + ".txt");
    const Picture want = LoadPng((approved / name).string() + ".png");
    Expect(want.width && !wantListing.empty(), "no approved record " + name + " (./run approve)");
    Picture difference;
    std::string why = want.width != got.width || want.height != got.height ? "the picture's size differs"
                                                                           : Compare(want, got, difference);
    if (!difference.pixels.empty() && !why.empty()) SavePng(difference, path + "-difference.png");
    if (listing != wantListing) why += (why.empty() ? "" : "; ") + FirstDifferentLine(wantListing, listing);
    const std::string wine = listing.substr(0, listing.find('\n')),
                      wantWine = wantListing.substr(0, wantListing.find('\n'));
    if (!why.empty() && wine != wantWine)
      why = "the approved record was " + wantWine + ", this one " + wine + ": " + why;
    Expect(why.empty(), name + " differs from the approved record: " + why + " (see " + path + ".*)");
  }

  fs::path base, approved, app;
  std::wstring exe = L"Tavu.exe";
  std::vector<HANDLE> launchers, held;
  std::vector<DWORD> ids;
  std::chrono::steady_clock::time_point lastStart;
  std::atomic<bool> cleaned = false;
};

// Every verb: its arguments, how many (most -1: any number), what it sets up, does or checks.
struct Verb {
  const char *name, *arguments;
  int least, most;
  const char* meaning;
  void (*run)(Scenario&, const Args&);
};

using S = Scenario&;
using A = const Args&;

// clang-format off
const Verb kVerbs[] = {
  // Set-up: each proves that it took effect before the scenario goes on.
  {"folder", "NAME", 1, 1, "the launcher folder is named NAME (before anything else is in it)", [](S s, A a) {
    fs::rename(s.app, s.base / Widen(a[1]));
    Expect(fs::exists((s.app = s.base / Widen(a[1])) / s.exe), "cannot rename the folder"); }},
  {"exe", "NAME", 1, 1, "Tavu.exe is named NAME instead", [](S s, A a) {
    fs::remove(s.app / s.exe);  // a copy, not a rename: Wine would keep the old letter case
    WriteFile(s.app / (s.exe = Widen(a[1])), ReadFile("Tavu.exe")); }},
  {"remove", "FILE", 1, 1, "FILE is gone", [](S s, A a) { fs::remove(s.At(a[1])), s.Files(a, "missing"); }},
  {"dir", "NAME", 1, 1, "a folder NAME", [](S s, A a) { fs::create_directories(s.At(a[1])), s.Files(a, "there"); }},
  {"file", "NAME [standin]", 1, 2, "a file NAME; a copy of the stand-in with \"standin\"", [](S s, A a) {
    Expect(a.size() == 2 || a[2] == "standin", "file NAME [standin]");
    WriteFile(s.At(a[1]), a.size() == 2 ? "not a program" : ReadFile("standin.exe")); }},
  {"readonly", "FILE", 1, 1, "FILE is read-only", [](S s, A a) {
    SetFileAttributesW(s.At(a[1]).c_str(), FILE_ATTRIBUTE_READONLY);
    Expect(GetFileAttributesW(s.At(a[1]).c_str()) & FILE_ATTRIBUTE_READONLY, a[1] + " is not read-only"); }},
  {"standin", "DELAY ALIVE", 2, 2, "the stand-in writes its side file after DELAY ms (-1: never), ends after ALIVE ms",
   [](S s, A a) { WriteFile(s.At("standin.cfg"), a[1] + ' ' + a[2]); }},
  {"lock", "FILE", 1, 1, "FILE is held open, shared with no other process", [](S s, A a) {
    s.held.push_back(CreateFileW(s.At(a[1]).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    Expect(s.Probe("can-write \"" + Narrow(s.At(a[1]).wstring()) + "\"") == 1, a[1] + " can be written"); }},
  {"disable", "DLL", 1, 1, "programs named Tavu.exe cannot load DLL (here: the scripting object's)", [](S s, A a) {
    Expect(s.Probe("scripting") == 0, "no scripting object before " + a[1] + " is disabled");
    RegSetKeyValueW(HKEY_CURRENT_USER, kTavuOverrides, Widen(a[1]).c_str(), REG_SZ, L"", 2);
    Expect(s.Probe("scripting") == 1, "Tavu.exe can still create the scripting object"); }},
  {"ini", "KEY=VALUE...", 1, -1, "tavu.ini holds these", [](S s, A a) { s.Ini(a, true); }},
  {"start", "COPY", 1, 1, "COPY of the stand-in runs", [](S s, A a) {
    s.held.push_back(s.Start(s.At(a[1]), ""));  // runs on after the scenario
    WaitFor([&] { return fs::exists(s.At("standin.log")); }, a[1] + " to start"); }},
  // Launchers, started as the shell starts a program.
  {"run", "[ARGS...]", 0, -1, "Tavu.exe ARGS", [](S s, A a) { s.Launch(s.app, Join(a, 1)); }},
  {"run-upper", "[ARGS...]", 0, -1, "Tavu.exe ARGS, through its folder spelt in upper case", [](S s, A a) {
    std::wstring upper = s.app.wstring();
    CharUpperBuffW(upper.data(), DWORD(upper.size()));
    s.Launch(upper, Join(a, 1)); }},
  // What the user sees and does.
  {"message", "TEXT TITLE ICON", 3, 3, "a message box, answered with OK; ICON is exclamation or information", [](S s, A a) {
    const HWND box = s.Box();
    Expect(TextOf(box) == a[2], "message box titled \"" + TextOf(box) + "\"");
    Expect(TextOf(GetDlgItem(box, 0xFFFF)) == a[1], "message box says \"" + TextOf(GetDlgItem(box, 0xFFFF)) + "\"");
    s.Settle([&] { return IconKind(box); }, a[3], "the message box's icon");  // read off the screen
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !IsWindowVisible(box); }, "the message box to close"); }},
  {"window", "", 0, 0, "the information window is shown", [](S s, A) { s.Form(); }},
  {"record", "NAME", 1, 1, "the window looks as approved in tests/e2e/approved/NAME.png and .txt", [](S s, A a) { s.Record(a[1]); }},
  {"focus", "CONTROL", 1, 1, "CONTROL has the keyboard focus", [](S s, A a) {
    WaitFor([&] { return FocusIn(s.Form()) == s.Control(a[1]); }, "the focus on " + a[1]); }},
  {"key", "KEY...", 1, -1, "these keys pressed: TAB RETURN ESCAPE SPACE", [](S s, A a) {
    const std::map<std::string, UINT> keys{{"TAB", VK_TAB}, {"RETURN", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"SPACE", VK_SPACE}};
    for (std::size_t i = 1; i < a.size(); ++i) {
      Expect(keys.count(a[i]), "no key " + a[i]);
      const HWND target = FocusIn(s.Form()) ? FocusIn(s.Form()) : s.Form();
      const LPARAM scan = LPARAM(MapVirtualKeyW(keys.at(a[i]), MAPVK_VK_TO_VSC)) << 16;
      PostMessageW(target, WM_KEYDOWN, keys.at(a[i]), scan | 1);
      PostMessageW(target, WM_KEYUP, keys.at(a[i]), scan | 0xC0000001);
      Sleep(200);  // a user's pace: the next key goes where this one left the focus
    } }},
  {"type", "CHARS TEXT", 2, 2, "CHARS typed at the end of the count box, which then says TEXT", [](S s, A a) {
    PostMessageW(s.Control("Text1"), EM_SETSEL, 0x7FFF, 0x7FFF);
    for (const wchar_t unit : Widen(a[1])) PostMessageW(s.Control("Text1"), WM_CHAR, unit, 1);
    s.Settle([&] { return TextOf(s.Control("Text1")); }, a[2], "Text1"); }},
  {"clipboard", "TEXT", 1, 1, "TEXT on the clipboard", [](S, A a) { Expect(SetClipboardText(a[1]), "no clipboard"); }},
  {"click", "CONTROL", 1, 1, "CONTROL clicked", [](S s, A a) { PostMessageW(s.Control(a[1]), BM_CLICK, 0, 0); }},
  {"close", "", 0, 0, "the window closed", [](S s, A) { PostMessageW(s.Form(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
  // What the launchers did.
  {"ends", "[MIN [MAX]]", 0, 2, "every launcher ends, showing nothing new, MIN to MAX s after the last start", [](S s, A a) {
    const HWND leaving = s.Visible();  // may be on its way out
    for (HANDLE process : s.launchers)
      WaitFor([&] {
        const HWND shown = s.Visible();
        Expect(!shown || shown == leaving, "unexpected window \"" + TextOf(shown) + "\"");
        return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, "the launchers to end");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - s.lastStart).count();
    Expect(seconds >= (a.size() > 1 ? std::stod(a[1]) : 0) && seconds <= (a.size() > 2 ? std::stod(a[2]) : 60),
           "ended after " + std::to_string(seconds) + " s"); }},
  {"started", "COPY...", 0, -1, "these copies were started, in order, each as the shell would", [](S s, A a) {
    std::string log;
    WaitFor([&] { return log = ReadFile(s.At("standin.log")), std::count(log.begin(), log.end(), '\n') >= long(a.size() - 1); },
            "standin.log");
    std::istringstream lines(log);
    Args seen;
    for (std::string line; std::getline(lines, line, '\r') && lines.ignore();) {
      const std::size_t bar = line.find('|'), next = line.find('|', bar + 1);  // module|show state|command line
      Expect(line.substr(bar, next - bar) == "|1" && line.substr(next + 1) == "\"" + line.substr(0, bar) + "\"",
             "started " + line);
      seen.push_back(fs::path(Widen(line.substr(0, bar))).filename().string());
    }
    Expect(seen == Args(a.begin() + 1, a.end()), "started: " + Join(seen, 0)); }},
  {"check-ini", "KEY=VALUE...", 1, -1, "tavu.ini holds these (VALUE -: absent)", [](S s, A a) { s.Ini(a, false); }},
  {"exists", "FILE...", 1, -1, "these are there", [](S s, A a) { s.Files(a, "there"); }},
  {"missing", "FILE...", 1, -1, "these are not there", [](S s, A a) { s.Files(a, "missing"); }},
  {"writable", "FILE...", 1, -1, "these are there and not read-only", [](S s, A a) { s.Files(a, "writable"); }},
};
// clang-format on

const Verb& Find(const std::string& name) {
  for (const Verb& verb : kVerbs)
    if (name == verb.name) return verb;
  throw Failure("no verb " + name);
}

Args Tokens(const std::string& line) {  // "quoted" tokens may hold blanks; \xHH escapes
  Args tokens;
  for (std::size_t i = line.find_first_not_of(' '); i < line.size(); i = line.find_first_not_of(' ', i)) {
    const bool quoted = line[i] == '"';
    const std::size_t end = std::min(line.find(quoted ? '"' : ' ', i + 1), line.size());
    std::string token;
    for (std::size_t j = i + quoted; j < end; ++j) {
      if (line.compare(j, 2, "\\x") != 0 || j + 3 >= end)
        token += line[j];
      else
        token += char(std::stoi(line.substr(j + 2, 2), nullptr, 16)), j += 3;
    }
    tokens.push_back(token);
    i = end + quoted;
  }
  return tokens;
}

struct Step {
  int line;
  std::string text;
  std::vector<Args> actions;  // a verb and its arguments each
};

// The steps of one scenario, every one checked against kVerbs; the first is the scenario's own line.
std::vector<Step> Parse(const fs::path& scenarios, const std::string& name) {
  std::ifstream file(scenarios);
  std::vector<Step> steps;
  int number = 0;
  for (std::string line; std::getline(file, line);) {
    line = line.substr(0, line.find_last_not_of('\r') + 1);
    lineRunning = ++number;
    if (line.empty() || line[0] == '#') continue;
    const Args tokens = Tokens(line);
    if (tokens[0] == "scenario" && !steps.empty()) break;
    if (tokens[0] == "scenario" && tokens[1] == name) {
      Expect((tokens.size() == 3 || (tokens.size() == 4 && tokens[3] == "serial")) &&
                 (tokens[2] == "de" || tokens[2] == "en"),
             "scenario NAME de|en [serial]");
      steps.push_back({number, line, {tokens}});
    } else if (!steps.empty()) {
      Step& step = steps.emplace_back(Step{number, line, {}});
      for (auto begin = tokens.begin(), end = begin; begin != tokens.end();
           begin = end + (end != tokens.end())) {
        const Args& action = step.actions.emplace_back(begin, end = std::find(begin, tokens.end(), ";"));
        Expect(!action.empty(), "an empty step");
        const Verb& verb = Find(action[0]);
        const int given = int(action.size()) - 1;
        Expect(given >= verb.least && (verb.most < 0 || given <= verb.most),
               action[0] + " " + verb.arguments + ": " + std::to_string(given) + " arguments given");
      }
    }
  }
  Expect(!steps.empty(), "no scenario " + name);
  return steps;
}

// Whatever hangs, says where and cleans up before ctest's time-out would end the driver without a word.
DWORD WINAPI Watchdog(void*) {
  Sleep(150'000);
  std::printf("FAILED: hangs at line %d\n", lineRunning.load());
  if (Scenario* scenario = running.exchange(nullptr)) scenario->CleanUp();
  ExitProcess(3);
}

int Run(const fs::path& scenarios, const std::string& name) {
  CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
  ULONG_PTR gdiplus = 0;
  const Gdiplus::GdiplusStartupInput startup;
  Gdiplus::GdiplusStartup(&gdiplus, &startup, nullptr);
  try {
    const std::vector<Step> steps = Parse(scenarios, name);
    // The locale comes from Wine's LANG; a wrong one would make every text check meaningless.
    const std::string locale = steps[0].actions[0][2];
    Expect((PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_GERMAN) == (locale == "de"),
           "the system locale is not " + locale + " (LANG?)");
    Scenario scenario(name, scenarios.parent_path() / "approved");
    for (const Step& step : std::vector(steps.begin() + 1, steps.end())) {
      std::printf("%4d  %s\n", lineRunning = step.line, step.text.c_str());
      for (const Args& action : step.actions) Find(action[0]).run(scenario, action);
    }
  } catch (const std::exception& error) {  // a Failure, or a file system error on the way
    return std::printf("FAILED at line %d: %s\n", lineRunning.load(), error.what()), 1;
  }
  return std::printf("passed\n"), 0;
}

int Probe(const std::string& question, const std::wstring& file) {
  if (question == "can-write") {  // a missing file can be made, so it can be written
    const HANDLE opened = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, 0, nullptr);
    return opened == INVALID_HANDLE_VALUE ? 1 : (CloseHandle(opened), 0);
  }
  CLSID scripting{};
  IUnknown* object = nullptr;
  CoInitialize(nullptr);
  return question == "scripting" && SUCCEEDED(CLSIDFromProgID(L"Scripting.FileSystemObject", &scripting)) &&
                 SUCCEEDED(CoCreateInstance(scripting, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                            reinterpret_cast<void**>(&object)))
             ? (object->Release(), 0)
             : 1;
}

}  // namespace
}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
  if (argc >= 3 && std::wstring_view(argv[1]) == L"--probe")
    return e2e::Probe(e2e::Narrow(argv[2]), argc > 3 ? argv[3] : L"");
  if (argc != 3) return std::printf("usage: e2e_driver SCENARIOS NAME\n"), 2;
  return e2e::Run(argv[1], e2e::Narrow(argv[2]));
}
