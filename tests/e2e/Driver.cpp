// Runs one scenario of scenarios.txt (verbs in kVerbs, all checked before the first step) against the release
// Tavu.exe in e2e\NAME\app, which starts out holding Tavu.exe and standin.exe (as ICQ.exe). Usage: e2e_driver
// SCENARIOS NAME. Waits give up after a minute; no retries. BRINDLE_APPROVE=1: `record` and `box` rewrite the
// approved records. `e2e_driver --scripting`: exit code 0 if it can create the scripting object.

#include <windows.h>

#include <sddl.h>
#include <winternl.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// GDI+ reads and writes the records' pictures; its headers want min and max from their own namespace.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "launcher/InstanceGuard.h"
#include "shell/Utf8.h"
#include "shell/Win32Platform.h"
#include "window/Controls.h"

namespace fs = std::filesystem;

namespace e2e {
namespace {

using Args = std::vector<std::string>;
using brindle::win32::Narrow;
using brindle::win32::Widen;

void Expect(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
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
  GUITHREADINFO info{sizeof info, 0, {}, {}, {}, {}, {}, {}, {}};
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB, rows from the top
  bool operator==(const Picture&) const = default;
};

Picture PictureOf(Gdiplus::Bitmap& bitmap) {  // an empty picture when there is none
  Picture picture{int(bitmap.GetWidth()), int(bitmap.GetHeight()), {}};
  Gdiplus::Color color;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      picture.pixels.push_back(bitmap.GetPixel(x, y, &color) == Gdiplus::Ok ? color.GetValue() & 0xFFFFFF
                                                                            : 0);
  return picture;
}

// What `paint` draws, given the picture's DC and the screen's.
template <typename Paint>
Picture Painted(int width, int height, Paint paint) {
  Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppRGB);
  Gdiplus::Graphics graphics(&bitmap);
  const HDC picture = graphics.GetHDC(), screen = GetDC(nullptr);
  paint(picture, screen);
  ReleaseDC(nullptr, screen);
  graphics.ReleaseHDC(picture);
  return PictureOf(bitmap);
}

Picture Capture(RECT area) {  // in screen pixels
  const int width = area.right - area.left, height = area.bottom - area.top;
  return Painted(width, height, [&](HDC picture, HDC screen) {
    BitBlt(picture, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  });
}

void SavePng(const Picture& picture, const fs::path& path) {  // with GDI+'s PNG encoder
  Gdiplus::Bitmap bitmap(picture.width, picture.height, picture.width * 4, PixelFormat32bppRGB,
                         reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(picture.pixels.data())));
  const CLSID png{0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
  Expect(bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok, "cannot write " + path.string());
}

// Which standard icon (IDI_*) an icon control shows: each is drawn here, on the control's background,
// and compared with the control on the screen. Its icon handle would mean nothing in this process.
std::string IconOf(HWND control) {
  RECT at{};
  GetWindowRect(control, &at);
  const Picture shown = Capture(at);
  const char* names[] = {"application", "error", "question", "exclamation", "information"};
  for (int i = 0; i < 5; ++i) {
    if (shown == Painted(shown.width, shown.height, [&](HDC picture, HDC screen) {
          StretchBlt(picture, 0, 0, shown.width, shown.height, screen, at.left, at.top, 1, 1, SRCCOPY);
          DrawIconEx(picture, 0, 0, LoadIconW(nullptr, MAKEINTRESOURCEW(32512 + i)), shown.width,
                     shown.height, 0, nullptr, DI_NORMAL);
        }))
      return names[i];
  }
  return "none";
}

// A message box in a line: its title, its icon, the text of each button, and its text.
std::string BoxListing(HWND box) {
  std::string icon = "none", buttons, text;
  for (const HWND child : WindowsIn(box)) {
    if (ClassOf(child) == "Button")
      buttons += " \"" + TextOf(child) + "\"";
    else if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
      icon = IconOf(child);
    else
      text += TextOf(child);
  }
  return "Box \"" + TextOf(box) + "\" icon " + icon + " buttons" + buttons + " text \"" + text + "\"\n";
}

// A line for each window: name, class, where it stands (the form on the screen, the controls in its
// client area, in z-order, which is the order of Tab), size, styles, text and what a user can change.
std::string Listing(HWND form) {
  if (ClassOf(form) == "#32770") return BoxListing(form);
  std::string listing;
  std::vector<HWND> windows = WindowsIn(form);
  windows.insert(windows.begin(), form);
  for (const HWND window : windows) {
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

extern "C" NTSTATUS NTAPI RtlCreateProcessParameters(void**, UNICODE_STRING*, void*, void*, UNICODE_STRING*,
                                                     void*, void*, void*, void*, void*);
extern "C" NTSTATUS NTAPI RtlCreateUserProcess(UNICODE_STRING*, ULONG, void*, void*, void*, HANDLE, BOOLEAN,
                                               HANDLE, HANDLE, void*);

// Wine's CreateProcessW finds no program at a path of MAX_PATH characters or more; ntdll starts it.
PROCESS_INFORMATION StartDeep(const std::wstring& program, const std::wstring& line) {
  const std::wstring ntProgram = L"\\??\\" + program;
  UNICODE_STRING image{}, ntImage{}, commandLine{};
  for (auto [unicode, text] : {std::pair{&image, &program}, {&ntImage, &ntProgram}, {&commandLine, &line}})
    RtlInitUnicodeString(unicode, text->c_str());
  void* parameters = nullptr;
  ULONG_PTR started[24] = {sizeof started};  // size, process, thread, process id, ...
  RtlCreateProcessParameters(&parameters, &image, nullptr, nullptr, &commandLine, nullptr, nullptr, nullptr,
                             nullptr, nullptr);
  if (RtlCreateUserProcess(&ntImage, 0, parameters, nullptr, nullptr, nullptr, FALSE, nullptr, nullptr,
                           started))
    return {};
  ResumeThread(HANDLE(started[2]));
  return {HANDLE(started[1]), HANDLE(started[2]), DWORD(started[3]), 0};
}

constexpr wchar_t kTavuOverrides[] = L"Software\\Wine\\AppDefaults\\Tavu.exe\\DllOverrides";

int lineRunning = 0;

// The state of one scenario run, and what several verbs share.
struct Scenario {
  Scenario(const std::string& name, const fs::path& approvedRecords)
      : base(fs::absolute("e2e") / name), approved(approvedRecords), app(base / "app") {
    RegDeleteKeyW(HKEY_CURRENT_USER, kTavuOverrides);  // left by a run that was killed
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(base, error))  // std::filesystem stops at MAX_PATH
      if (entry.path().native().size() >= MAX_PATH) fs::rename(entry.path(), base / "deep", error);
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
    RegDeleteKeyW(HKEY_CURRENT_USER, kTavuOverrides);
  }

  fs::path At(const std::string& name) const { return (app / Widen(name)).lexically_normal(); }

  // Starts `program` as the shell does: its quoted path and `arguments`, or else `line` as typed.
  HANDLE Start(const fs::path& program, const std::string& arguments, std::wstring line = L"") {
    if (line.empty())
      line = L"\"" + program.native() + L"\"" + Widen(arguments.empty() ? "" : " " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started =
        program.native().size() < MAX_PATH ? PROCESS_INFORMATION{} : StartDeep(program, line);
    Expect(started.hProcess || CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                              nullptr, app.c_str(), &startup, &started),
           "cannot start " + program.string());
    CloseHandle(started.hThread);
    ids.push_back(started.dwProcessId);
    return started.hProcess;
  }
  void Launch(const fs::path& folder, const std::string& arguments, const std::wstring& line = L"") {
    launchers.push_back({Start(folder / exe, arguments, line), std::chrono::steady_clock::now()});
  }

  // Whether a copy of this driver named Tavu.exe, in a folder of its own, can create the scripting object.
  bool Scripting() {
    const fs::path probe = base / "probe" / "Tavu.exe";
    fs::create_directories(probe.parent_path());
    if (!fs::exists(probe)) fs::copy_file("e2e_driver.exe", probe);
    const HANDLE process = Start(probe, "--scripting");
    DWORD answer = 2;
    WaitForSingleObject(process, 60'000);
    GetExitCodeProcess(process, &answer);
    return CloseHandle(process), answer == 0;
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
    throw std::runtime_error("no control " + name);
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

  // A window as it shows, frame and all, with no pointer over it, against its approved picture and
  // listing, whose first line names the Wine it was made under.
  void Record(const std::string& name, HWND window) {
    SetCursorPos(0, 0);
    RECT frame{};
    GetWindowRect(window, &frame);
    Picture got = Capture(frame), before;
    WaitFor([&] { return Sleep(300), before = std::exchange(got, Capture(frame)), got == before; }, "paint");
    using Get = const char*(CDECL*)();
    const auto wine = reinterpret_cast<Get>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    std::string listing = Listing(window);
    listing.insert(listing.find('\n'), std::string(" (Wine ") + (wine ? wine() : "none") + ")");
    const bool approve = std::getenv("BRINDLE_APPROVE") && std::getenv("BRINDLE_APPROVE") == std::string("1");
    const std::string path = ((approve ? approved : base) / name).string();
    SavePng(got, path + ".png");
    WriteFile(path + ".txt", listing);
    if (approve) return void(std::printf("      approved %s\n", path.c_str()));
    const std::string wantListing = ReadFile((approved / name).string() + ".txt");
    Gdiplus::Bitmap approvedPicture((approved / name).wstring().append(L".png").c_str());
    const Picture want = PictureOf(approvedPicture);
    Expect(want.width && !wantListing.empty(), "no approved record " + name + " (./run approve)");
    const std::size_t pixel =
        std::mismatch(got.pixels.begin(), got.pixels.end(), want.pixels.begin(), want.pixels.end()).first -
        got.pixels.begin();
    std::string why = want.width != got.width || want.height != got.height ? "the picture's size differs"
                      : pixel < got.pixels.size() ? "the picture from " + std::to_string(pixel % got.width) +
                                                        "," + std::to_string(pixel / got.width)
                                                  : "";
    std::istringstream wants(wantListing), gots(listing);
    int line = 1;  // the first that differs
    for (std::string want, got; std::getline(wants, want) && std::getline(gots, got) && want == got;) ++line;
    if (listing != wantListing) why += (why.empty() ? "" : "; ") + ("listing line " + std::to_string(line));
    Expect(why.empty(), name + " differs from the approved record: " + why + " (see " + path + ".*)");
  }

  fs::path base, approved, app;
  std::wstring exe = L"Tavu.exe";
  std::vector<std::pair<HANDLE, std::chrono::steady_clock::time_point>> launchers;  // and when started
  std::size_t ended = 0;  // launchers[ended] is the first whose end `ends` has not checked yet
  std::vector<HANDLE> held;
  std::vector<DWORD> ids;
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
  {"folder", "NAME [LENGTH]", 1, 2, "the launcher folder is named NAME (before anything else is in it), repeated until its path has LENGTH characters", [](S s, A a) {
    fs::path folder = s.base / Widen(a[1]);
    while (a.size() > 2 && folder.native().size() < std::stoul(a[2])) folder += Widen(a[1]);
    fs::rename(s.app, folder);
    Expect(fs::exists((s.app = folder) / s.exe), "cannot rename the folder"); }},
  {"exe", "NAME", 1, 1, "Tavu.exe is named NAME instead", [](S s, A a) {
    fs::remove(s.app / s.exe);  // a copy, not a rename: Wine would keep the old letter case
    WriteFile(s.app / (s.exe = Widen(a[1])), ReadFile("Tavu.exe")); }},
  {"remove", "FILE", 1, 1, "FILE is gone", [](S s, A a) { fs::remove(s.At(a[1])), s.Files(a, "missing"); }},
  {"dir", "NAME", 1, 1, "a folder NAME", [](S s, A a) { fs::create_directories(s.At(a[1])), s.Files(a, "there"); }},
  {"file", "NAME [FROM]", 1, 2, "a file NAME; with FROM a copy of that file", [](S s, A a) {
    a.size() == 2 ? WriteFile(s.At(a[1]), "not a program") : void(fs::copy_file(s.At(a[2]), s.At(a[1]))); }},
  {"readonly", "FILE", 1, 1, "FILE is read-only", [](S s, A a) {
    SetFileAttributesW(s.At(a[1]).c_str(), FILE_ATTRIBUTE_READONLY);
    Expect(GetFileAttributesW(s.At(a[1]).c_str()) & FILE_ATTRIBUTE_READONLY, a[1] + " is not read-only"); }},
  {"standin", "DELAY ALIVE", 2, 2, "the stand-in writes its side file after DELAY ms (-1: never), ends after ALIVE ms", [](S s, A a) { WriteFile(s.At("standin.cfg"), a[1] + ' ' + a[2]); }},
  {"lock", "FILE", 1, 1, "FILE is held open, shared with no one", [](S s, A a) {
    s.held.push_back(CreateFileW(s.At(a[1]).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    const HANDLE again = CreateFileW(s.At(a[1]).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    Expect(again == INVALID_HANDLE_VALUE, a[1] + " can be written"); }},
  {"disable", "DLL", 1, 1, "programs named Tavu.exe cannot load DLL (here: the scripting object's)", [](S s, A a) {
    Expect(s.Scripting(), "no scripting object before " + a[1] + " is disabled");
    RegSetKeyValueW(HKEY_CURRENT_USER, kTavuOverrides, Widen(a[1]).c_str(), REG_SZ, L"", 2);
    Expect(!s.Scripting(), "Tavu.exe can still create the scripting object"); }},
  {"guard-held", "", 0, 0, "the driver holds Tavu.exe's guard, made so that no one may open it", [](S s, A) {
    PSECURITY_DESCRIPTOR noAccess = nullptr;  // an empty access list
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1, &noAccess, nullptr);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, noAccess, FALSE};
    brindle::win32::Win32Platform platform;
    const std::wstring guard = Widen(brindle::InstanceGuardName(platform, Narrow((s.app / s.exe).native())));
    s.held.push_back(CreateMutexW(&attributes, FALSE, guard.c_str()));
    Expect(!OpenMutexW(MUTEX_ALL_ACCESS, FALSE, guard.c_str()) && GetLastError() == ERROR_ACCESS_DENIED, "the guard can be opened"); }},
  {"ini", "KEY=VALUE...", 1, -1, "tavu.ini holds these", [](S s, A a) { s.Ini(a, true); }},
  {"start", "COPY", 1, 1, "COPY of the stand-in runs", [](S s, A a) {
    s.held.push_back(s.Start(s.At(a[1]), ""));
    WaitFor([&] { return fs::exists(s.At("standin.log")); }, a[1] + " to start"); }},
  // Launchers, started as the shell starts a program.
  {"run", "[ARGS...]", 0, -1, "Tavu.exe ARGS", [](S s, A a) { s.Launch(s.app, Join(a, 1)); }},
  {"run-in", "FOLDER [ARGS...]", 1, -1, "Tavu.exe ARGS, in FOLDER (../APP: the launcher folder spelt in upper case)", [](S s, A a) { s.Launch(s.At(a[1]), Join(a, 2)); }},
  {"command", "LINE", 1, 1, "Tavu.exe with the command line LINE, as cmd.exe passes what was typed", [](S s, A a) { s.Launch(s.app, "", Widen(a[1])); }},
  // What the user sees and does.
  {"box", "NAME", 1, 1, "a message box of the launcher started last, as approved in tests/e2e/approved/NAME.png and .txt; OK pressed", [](S s, A a) {
    const HWND box = WaitFor([&] { return s.Visible("#32770"); }, "a message box");
    DWORD owner = 0;
    GetWindowThreadProcessId(box, &owner);
    Expect(owner == GetProcessId(s.launchers.back().first), "a box of another launcher: " + BoxListing(box));
    s.Record(a[1], box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !IsWindowVisible(box); }, "the message box to close"); }},
  {"window", "", 0, 0, "the information window is shown", [](S s, A) { s.Form(); }},
  {"record", "NAME", 1, 1, "the window looks as approved in tests/e2e/approved/NAME.png and .txt", [](S s, A a) { s.Record(a[1], s.Form()); }},
  {"focus", "CONTROL", 1, 1, "CONTROL has the keyboard focus", [](S s, A a) {
    WaitFor([&] { return FocusIn(s.Form()) == s.Control(a[1]); }, "the focus on " + a[1]); }},
  {"activate", "", 0, 0, "a window of the driver takes the activation and the focus, then the window gets them back", [](S s, A) {
    const HWND form = s.Form(), other = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    WaitFor([&] { return GetForegroundWindow() == other && !FocusIn(form); }, "the driver's window in front");
    DestroyWindow(other);
    SetForegroundWindow(form); }},
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
  {"type", "CHARS TEXT", 2, 2, "CHARS typed at the end of the count box, which then says TEXT (and did not before)", [](S s, A a) {
    Expect(TextOf(s.Control("Text1")) != a[2], "Text1 says \"" + a[2] + "\" already");
    PostMessageW(s.Control("Text1"), EM_SETSEL, 0x7FFF, 0x7FFF);
    for (const wchar_t unit : Widen(a[1])) PostMessageW(s.Control("Text1"), WM_CHAR, unit, 1);
    WaitFor([&] { return TextOf(s.Control("Text1")) == a[2]; }, "Text1 to say \"" + a[2] + "\""); }},
  {"clipboard", "TEXT", 1, 1, "TEXT on the clipboard, copied from an edit box of the driver", [](S, A a) {
    const HWND edit = CreateWindowExW(0, L"Edit", Widen(a[1]).c_str(), 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_COPY, 0, 0);
    DestroyWindow(edit); }},
  {"click", "CONTROL", 1, 1, "CONTROL clicked", [](S s, A a) { PostMessageW(s.Control(a[1]), BM_CLICK, 0, 0); }},
  {"close", "", 0, 0, "the window closed", [](S s, A) { PostMessageW(s.Form(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
  // What the launchers did.
  {"ends", "STATUS,... [MIN [MAX]]", 1, 3, "the launchers not checked yet end, with these exit statuses in the order of their starts, showing nothing new, MIN to MAX s after the first of them started", [](S s, A a) {
    const HWND leaving = s.Visible();  // may be on its way out
    const auto first = s.ended < s.launchers.size() ? s.launchers[s.ended].second : std::chrono::steady_clock::now();
    std::istringstream statuses(a[1]);
    for (std::string want; std::getline(statuses, want, ',');) {
      Expect(s.ended < s.launchers.size(), "more statuses than launchers");
      const HANDLE process = s.launchers[s.ended++].first;
      DWORD status = STILL_ACTIVE;
      WaitFor([&] {
        Expect(!s.Visible() || s.Visible() == leaving, "unexpected window \"" + TextOf(s.Visible()) + "\"");
        return GetExitCodeProcess(process, &status) && status != STILL_ACTIVE; }, "launcher " + std::to_string(s.ended) + " to end");
      char what[64];
      std::snprintf(what, sizeof what, "launcher %u ended with status 0x%lX, not 0x%lX", unsigned(s.ended), status, std::stoul(want));
      Expect(status == std::stoul(want), what);
    }
    Expect(s.ended == s.launchers.size(), "no status for launcher " + std::to_string(s.ended + 1));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - first).count();
    Expect(seconds >= (a.size() > 2 ? std::stod(a[2]) : 0) && seconds <= (a.size() > 3 ? std::stod(a[3]) : 60),
           "ended after " + std::to_string(seconds) + " s"); }},
  {"started", "COPY...", 0, -1, "these copies were started, in order, each as the shell would; none: when all launchers ended", [](S s, A a) {
    for (const auto& [process, start] : s.launchers) WaitForSingleObject(process, a.size() == 1 ? 60'000 : 0);
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
  throw std::runtime_error("no verb " + name);
}

Args Tokens(const std::string& line) {  // "quoted" tokens may hold blanks; \xHH escapes
  Args tokens;
  for (std::size_t i = line.find_first_not_of(' '); i < line.size(); i = line.find_first_not_of(' ', i)) {
    const bool quoted = line[i] == '"';
    const std::size_t end = std::min(line.find(quoted ? '"' : ' ', i + 1), line.size());
    std::string& token = tokens.emplace_back();
    for (std::size_t j = i + quoted; j < end; ++j) {
      const bool escape = line.compare(j, 2, "\\x") == 0 && j + 3 < end;
      token += escape ? char(std::stoi(line.substr(j + 2, 2), nullptr, 16)) : line[j];
      j += escape ? 3 : 0;
    }
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
  for (std::string line; std::getline(file, line);) {
    line = line.substr(0, line.find_last_not_of('\r') + 1);
    if (++lineRunning, line.empty() || line[0] == '#') continue;
    const Args tokens = Tokens(line);
    if (tokens[0] == "scenario" && !steps.empty()) break;
    if (tokens[0] == "scenario" && tokens[1] == name) {
      Expect((tokens.size() == 3 || (tokens.size() == 4 && tokens[3] == "serial")) &&
                 (tokens[2] == "de" || tokens[2] == "en"),
             "scenario NAME de|en [serial]");
      steps.push_back({lineRunning, line, {tokens}});
    } else if (!steps.empty()) {
      Step& step = steps.emplace_back(Step{lineRunning, line, {}});
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

int Run(const fs::path& scenarios, const std::string& name) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // a test that hangs until ctest's time-out shows where
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
    Expect(scenario.ended == scenario.launchers.size(), "no `ends` for the last launchers");
  } catch (const std::exception& error) {  // a failed expectation, or a file system error on the way
    return std::printf("FAILED at line %d: %s\n", lineRunning, error.what()), 1;
  }
  return std::printf("passed\n"), 0;
}

int CanCreateScriptingObject() {  // 0: yes
  CLSID scripting{};
  IUnknown* object = nullptr;  // left to the end of the process
  CoInitialize(nullptr);
  return FAILED(CLSIDFromProgID(L"Scripting.FileSystemObject", &scripting)) ||
         FAILED(CoCreateInstance(scripting, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                 reinterpret_cast<void**>(&object)));
}

}  // namespace
}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring_view(argv[1]) == L"--scripting") return e2e::CanCreateScriptingObject();
  if (argc != 3) return std::printf("usage: e2e_driver SCENARIOS NAME\n"), 2;
  return e2e::Run(argv[1], e2e::Narrow(argv[2]));
}
