// The yardstick for Tavu.exe's launch: the least a launch needs, done plainly. One hidden window, the
// messenger probed through the scripting file-system object, copied to the first slot and started from
// the copy. No settings file, no checks, no window content, no messages.
//
//   baseline.exe          one launch, then the end
//   baseline.exe -wait    then the hand-over wait at its leanest: 1-second timer ticks, the first five
//                         probing the side file through a fresh file-system object, the end at the sixth
//   baseline.exe -steps   also writes the time of each step to steps.txt beside itself when done

#include <string>
#include <string_view>

#include "common/StepLog.h"
#include "platform/win32/Com.h"
#include "platform/win32/Handles.h"

namespace {

using brindle::bench::Stamp;
using brindle::bench::StepLog;
using brindle::bench::TimedStep;
using brindle::win32::ComPtr;
using brindle::win32::ComScope;
using brindle::win32::UniqueBstr;
using brindle::win32::UniqueKernelHandle;
using brindle::win32::UniqueVariant;
using brindle::win32::UniqueWindow;

constexpr wchar_t kClassName[] = L"BrindleBenchBaseline";
constexpr UINT_PTR kWaitTimer = 1;
constexpr UINT kTickMs = 1000;
constexpr int kLastTick = 6;

bool HasSwitch(std::wstring_view commandLine, std::wstring_view name) {
  return commandLine.find(name) != std::wstring_view::npos;
}

UniqueWindow CreateHiddenWindow(HINSTANCE instance) noexcept {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  if (!::RegisterClassExW(&windowClass)) return UniqueWindow();
  return UniqueWindow(::CreateWindowExW(0, kClassName, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr));
}

bool FileExistsThroughFso(const std::wstring& path) noexcept {
  CLSID classId{};
  if (FAILED(::CLSIDFromProgID(L"Scripting.FileSystemObject", &classId))) return false;
  ComPtr<IDispatch> object;
  if (FAILED(::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put())))
    return false;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"FileExists")};
  DISPID fileExists = DISPID_UNKNOWN;
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &fileExists))) return false;
  const UniqueBstr text(path);
  if (!text) return false;
  VARIANTARG argument;
  ::VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = text.get();  // still owned by text
  DISPPARAMS parameters{};
  parameters.rgvarg = &argument;
  parameters.cArgs = 1;
  UniqueVariant result;
  if (FAILED(object->Invoke(fileExists, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                            result.get(), nullptr, nullptr)))
    return false;
  return (*result).vt == VT_BOOL && (*result).boolVal != VARIANT_FALSE;
}

bool StartCopy(const std::wstring& path) noexcept {
  std::wstring commandLine = L"\"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
    return false;
  const UniqueKernelHandle process(started.hProcess);
  const UniqueKernelHandle thread(started.hThread);
  return true;
}

// Timer-driven like the launcher's wait: the thread sleeps in GetMessageW between the ticks.
void WaitForSideFile(HWND window, const std::wstring& sideFile, StepLog& log) noexcept {
  if (!::SetTimer(window, kWaitTimer, kTickMs, nullptr)) return;
  int tick = 0;
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == window && message.wParam == kWaitTimer) {
      if (++tick >= kLastTick) break;
      const TimedStep step(log, "probe");
      if (FileExistsThroughFso(sideFile)) break;
      continue;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  ::KillTimer(window, kWaitTimer);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  StepLog log;
  const std::wstring_view commandLine = ::GetCommandLineW();
  const bool wait = HasSwitch(commandLine, L" -wait");
  const bool steps = HasSwitch(commandLine, L" -steps");

  Stamp begin = log.Now();
  const ComScope com;
  log.Add("com", begin, log.Now());

  begin = log.Now();
  const UniqueWindow window = CreateHiddenWindow(instance);
  log.Add("window", begin, log.Now());
  if (!window) return 1;

  const std::wstring folder = brindle::bench::ExecutableFolder();
  const std::wstring messenger = folder + L"ICQ.exe";
  const std::wstring copy = messenger + L"1";
  {
    const TimedStep step(log, "probe");
    if (!FileExistsThroughFso(messenger)) return 1;
  }
  {
    const TimedStep step(log, "copy");
    ::CopyFileW(messenger.c_str(), copy.c_str(), FALSE);
  }
  {
    const TimedStep step(log, "start");
    StartCopy(copy);
  }
  if (wait) WaitForSideFile(window.get(), copy + L".csassembly", log);
  if (steps) log.WriteTo(folder + L"steps.txt");
  return 0;
}
