// Owners for Windows handles: one template in the shape of a unique_ptr, one alias per kind.
#pragma once

#include <windows.h>

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
inline void DeleteDc(HDC dc) { ::DeleteDC(dc); }
inline void DestroyMenuHandle(HMENU menu) { ::DestroyMenu(menu); }
inline void FreeLibraryHandle(HMODULE module) { ::FreeLibrary(module); }
inline void FreeGlobal(HGLOBAL memory) { ::GlobalFree(memory); }

// CreateFile gives INVALID_HANDLE_VALUE on failure, most other calls a null handle.
struct FileTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
}  // namespace detail

using UniqueFile = UniqueAny<HANDLE, detail::FileTraits>;
// Processes, jobs, pipes, mappings: closed with CloseHandle, null when empty.
using UniqueHandle = UniqueAny<HANDLE, NullHandleTraits<HANDLE, detail::CloseKernelHandle>>;
using UniqueMapping = UniqueHandle;
using UniqueView = UniqueAny<const void*, NullHandleTraits<const void*, detail::UnmapView>>;
using UniqueDc = UniqueAny<HDC, NullHandleTraits<HDC, detail::DeleteDc>>;
using UniqueMenu = UniqueAny<HMENU, NullHandleTraits<HMENU, detail::DestroyMenuHandle>>;
using UniqueLibrary = UniqueAny<HMODULE, NullHandleTraits<HMODULE, detail::FreeLibraryHandle>>;
using UniqueGlobal = UniqueAny<HGLOBAL, NullHandleTraits<HGLOBAL, detail::FreeGlobal>>;

}  // namespace scrivora
