// The yardstick for Tavu.exe under the bench: the least a launch needs, done plainly. One hidden
// window, the messenger probed through the scripting file-system object, copied to the first slot and
// started from the copy, then 1-second timer ticks that probe for the copy's side file (a fresh object
// for every probe), the end at the first tick that finds it or at the sixth. No settings, no checks, no
// common controls, no window content.

#include <windows.h>

#include <string>

namespace {

bool FileExists(const std::wstring& path) {
  CLSID classId{};
  IDispatch* object = nullptr;
  if (FAILED(CLSIDFromProgID(L"Scripting.FileSystemObject", &classId)) ||
      FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&object))))
    return false;
  LPOLESTR name = const_cast<LPOLESTR>(L"FileExists");
  DISPID method = DISPID_UNKNOWN;
  VARIANTARG argument;
  VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = SysAllocString(path.c_str());
  DISPPARAMS parameters{&argument, nullptr, 1, 0};
  VARIANT result;
  VariantInit(&result);
  const bool exists = SUCCEEDED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &method)) &&
                      SUCCEEDED(object->Invoke(method, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                               &parameters, &result, nullptr, nullptr)) &&
                      result.vt == VT_BOOL && result.boolVal != VARIANT_FALSE;
  VariantClear(&result);
  VariantClear(&argument);
  object->Release();
  return exists;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"BrindleBaseline";
  RegisterClassW(&windowClass);
  const HWND window =
      CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  wchar_t module[MAX_PATH] = L"";
  std::wstring folder(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
  folder.erase(folder.rfind(L'\\') + 1);
  const std::wstring messenger = folder + L"ICQ.exe", copy = messenger + L"1", side = copy + L".csassembly";
  if (!window || !FileExists(messenger)) return 1;

  CopyFileW(messenger.c_str(), copy.c_str(), FALSE);
  std::wstring commandLine = L"\"" + copy + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &started)) {
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
  }

  // The thread sleeps in GetMessageW between the ticks, as the launcher's wait does.
  bool done = FileExists(side);
  if (!done) SetTimer(window, 1, 1000, nullptr);
  int tick = 0;
  MSG message;
  while (!done && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER)
      done = ++tick >= 6 || FileExists(side);
    else
      DispatchMessageW(&message);
  }
  DeleteFileW(side.c_str());
  DestroyWindow(window);
  CoUninitialize();
  return 0;
}
