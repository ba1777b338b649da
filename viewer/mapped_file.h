// A whole file mapped read-only: the client reads the container through it, and each pane
// streams its part from one straight into its control.
#pragma once

#include <cstdint>
#include <string>

#include "viewer/framework/unique_handle.h"

namespace scrivora {

class MappedFile {
 public:
  // False when the file cannot be opened or measured. An empty file opens with no view.
  bool Open(const std::wstring& path);
  // True when the whole file is mapped (any file of at least one byte that opened).
  bool Mapped() const { return static_cast<bool>(view_); }
  const std::uint8_t* Data() const { return static_cast<const std::uint8_t*>(view_.get()); }
  std::uint64_t Size() const { return size_; }

 private:
  UniqueFile file_;
  UniqueMapping mapping_;
  UniqueView view_;
  std::uint64_t size_ = 0;
};

// A path that CreateFileW accepts whatever its length (\\?\ in front of long absolute paths).
std::wstring ExtendedLengthPath(const std::wstring& path);

// The full path of the running program's file, however long.
std::wstring ModuleFilePath(HMODULE module = nullptr);

}  // namespace scrivora
