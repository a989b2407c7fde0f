#pragma once
// Move-only owners for Win32 handles and GDI objects. Each kind of handle says in a small traits
// struct what its "empty" value is and how it is released.

#include <utility>

#include "shell/Win32Api.h"

namespace brindle::win32 {

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Type handle) noexcept : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Type get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Traits::Empty(); }

  // Gives up ownership without closing.
  Type release() noexcept { return std::exchange(handle_, Traits::Empty()); }

  void reset(Type handle = Traits::Empty()) noexcept {
    const Type old = std::exchange(handle_, handle);
    if (old != Traits::Empty()) Traits::Close(old);
  }

 private:
  Type handle_ = Traits::Empty();
};

// Kernel objects whose "no handle" value is NULL: mutexes, processes, threads (and files, once
// CreateFile's INVALID_HANDLE_VALUE is turned into NULL).
struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Empty() noexcept { return nullptr; }
  static void Close(Type handle) noexcept { ::CloseHandle(handle); }
};

struct ModuleTraits {
  using Type = HMODULE;
  static Type Empty() noexcept { return nullptr; }
  static void Close(Type module) noexcept { ::FreeLibrary(module); }
};

template <typename Gdi>
struct GdiObjectTraits {
  using Type = Gdi;
  static Type Empty() noexcept { return nullptr; }
  static void Close(Type object) noexcept { ::DeleteObject(object); }
};

struct IconTraits {
  using Type = HICON;
  static Type Empty() noexcept { return nullptr; }
  static void Close(Type icon) noexcept { ::DestroyIcon(icon); }
};

struct WindowTraits {
  using Type = HWND;
  static Type Empty() noexcept { return nullptr; }
  static void Close(Type window) noexcept { ::DestroyWindow(window); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;

// A device context borrowed from a window (GetDC), given back on scope exit.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context; the previous one is selected back on scope exit.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace brindle::win32
