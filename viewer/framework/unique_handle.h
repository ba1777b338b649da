// Owners for Windows handles: one template in the shape of a unique_ptr, one alias per kind.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace scrivora {

// Owns a T released by Traits::Close; Traits::Invalid() is the empty value.
template <class T, class Traits>
class UniqueAny {
 public:
  UniqueAny() = default;
  explicit UniqueAny(T value) : value_(value) {}
  UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~UniqueAny() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::Invalid(); }
  T release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(T value = Traits::Invalid()) {
    if (value_ != Traits::Invalid()) Traits::Close(value_);
    value_ = value;
  }

 private:
  T value_ = Traits::Invalid();
};

// Traits for handles whose empty value is null and whose release is one call.
template <class T, auto CloseFunction>
struct NullHandleTraits {
  static T Invalid() { return T{}; }
  static void Close(T value) { CloseFunction(value); }
};

namespace detail {
inline void CloseKernelHandle(HANDLE h) { ::CloseHandle(h); }
inline void UnmapView(const void* view) { ::UnmapViewOfFile(view); }
inline void DeleteGdiObject(HGDIOBJ object) { ::DeleteObject(object); }
inline void DeleteDc(HDC dc) { ::DeleteDC(dc); }
inline void DestroyMenuHandle(HMENU menu) { ::DestroyMenu(menu); }
inline void DestroyIconHandle(HICON icon) { ::DestroyIcon(icon); }
inline void FreeLibraryHandle(HMODULE module) { ::FreeLibrary(module); }
inline void DestroyAccelerators(HACCEL table) { ::DestroyAcceleratorTable(table); }

// CreateFile gives INVALID_HANDLE_VALUE on failure, most other calls a null handle.
struct FileTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
}  // namespace detail

using UniqueFile = UniqueAny<HANDLE, detail::FileTraits>;
using UniqueMapping = UniqueAny<HANDLE, NullHandleTraits<HANDLE, detail::CloseKernelHandle>>;
using UniqueView = UniqueAny<const void*, NullHandleTraits<const void*, detail::UnmapView>>;
using UniqueDc = UniqueAny<HDC, NullHandleTraits<HDC, detail::DeleteDc>>;
using UniqueGdiObject = UniqueAny<HGDIOBJ, NullHandleTraits<HGDIOBJ, detail::DeleteGdiObject>>;
using UniqueMenu = UniqueAny<HMENU, NullHandleTraits<HMENU, detail::DestroyMenuHandle>>;
using UniqueIcon = UniqueAny<HICON, NullHandleTraits<HICON, detail::DestroyIconHandle>>;
using UniqueLibrary = UniqueAny<HMODULE, NullHandleTraits<HMODULE, detail::FreeLibraryHandle>>;
using UniqueAccelerators =
    UniqueAny<HACCEL, NullHandleTraits<HACCEL, detail::DestroyAccelerators>>;

// A window's device context from GetDC, handed back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~ScopedSelect() {
    if (previous_) ::SelectObject(dc_, previous_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Holds one reference of a COM interface.
template <class I>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(I* adopted) : p_(adopted) {}  // takes over a reference the caller holds
  ComPtr(const ComPtr& other) : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() {
    if (p_) p_->Release();
  }

  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out-parameters: drops what is held and gives the slot.
  I** put() {
    *this = ComPtr();
    return &p_;
  }

 private:
  I* p_ = nullptr;
};

}  // namespace scrivora
