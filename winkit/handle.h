// Owned platform handles: one small template, one close function per kind of handle.
//
//   winkit::UniqueKey key;                  // HKEY, closed with RegCloseKey
//   if (RegOpenKeyExW(root, path, 0, KEY_READ, key.Put()) == ERROR_SUCCESS) ...
//   winkit::UniqueBitmap bmp(CreateCompatibleBitmap(dc, w, h));
//   winkit::SelectedObject keep(mem_dc.Get(), bmp.Get());   // selection undone at scope end
//
// A handle is owned by exactly one object; Release() hands it on, Reset() closes it early.
#pragma once
#include <windows.h>

#include <utility>

namespace winkit {

template <class Traits>
class Unique {
 public:
  using Type = typename Traits::Type;

  Unique() = default;
  explicit Unique(Type h) : h_(h) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& o) noexcept : h_(o.Release()) {}
  Unique& operator=(Unique&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  ~Unique() { Reset(); }

  Type Get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::Invalid(); }
  // Closes what is held and takes `h`.
  void Reset(Type h = Traits::Invalid()) {
    Type old = std::exchange(h_, h);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  // Gives up ownership without closing.
  Type Release() { return std::exchange(h_, Traits::Invalid()); }
  // For out-parameters: closes what is held and hands out the slot.
  Type* Put() {
    Reset();
    return &h_;
  }

 private:
  Type h_ = Traits::Invalid();
};

namespace handle_traits {
template <class H, auto CloseFn, H InvalidValue = H{}>
struct Simple {
  using Type = H;
  static Type Invalid() { return InvalidValue; }
  static void Close(Type h) { CloseFn(h); }
};
struct File {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { CloseHandle(h); }
};
template <class H>
struct Gdi {
  using Type = H;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DeleteObject(h); }
};
}  // namespace handle_traits

using UniqueKey = Unique<handle_traits::Simple<HKEY, &RegCloseKey>>;
using UniqueHandle = Unique<handle_traits::Simple<HANDLE, &CloseHandle>>;  // events, threads, mutexes
using UniqueFile = Unique<handle_traits::File>;                           // CreateFile results
using UniqueModule = Unique<handle_traits::Simple<HMODULE, &FreeLibrary>>;
using UniqueDc = Unique<handle_traits::Simple<HDC, &DeleteDC>>;           // CreateCompatibleDC
using UniqueIcon = Unique<handle_traits::Simple<HICON, &DestroyIcon>>;
using UniqueMenu = Unique<handle_traits::Simple<HMENU, &DestroyMenu>>;
using UniqueBitmap = Unique<handle_traits::Gdi<HBITMAP>>;
using UniqueBrush = Unique<handle_traits::Gdi<HBRUSH>>;
using UniqueFont = Unique<handle_traits::Gdi<HFONT>>;
using UniquePen = Unique<handle_traits::Gdi<HPEN>>;
using UniqueRegion = Unique<handle_traits::Gdi<HRGN>>;
using UniqueGlobal = Unique<handle_traits::Simple<HGLOBAL, &GlobalFree>>;  // GlobalAlloc

// A window's DC from GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint/EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { EndPaint(hwnd_, &ps_); }
  HDC Get() const { return dc_; }
  const RECT& Dirty() const { return ps_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_ = {};
  HDC dc_;
};

// An object selected into a DC for a scope; the selection the DC had before comes back at its
// end. Select() puts another object of the kind in; the first selection is still the one that
// comes back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc) { Select(obj); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (old_) SelectObject(dc_, old_);
  }
  void Select(HGDIOBJ obj) {
    if (!dc_ || !obj) return;
    HGDIOBJ before = SelectObject(dc_, obj);
    if (!old_) old_ = before;
  }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace winkit
