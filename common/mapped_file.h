// A read-only view of an open file, released by the destructor. The viewer streams its panes
// straight from one, embed checks and copies its streams from one: bytes of many megabytes are
// read where they lie instead of first being copied into memory of our own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/os_result.h"

namespace scrivora {

class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile() { Release(); }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Maps the first `size` bytes of `file` (its whole length, as measured). A size of 0 gives
  // an empty view: an empty file cannot be mapped.
  OsResult Map(NativeHandle file, std::uint64_t size);
  void Release();

  const std::uint8_t* data() const { return data_; }
  std::uint64_t size() const { return size_; }
  std::string_view bytes() const {
    return {reinterpret_cast<const char*>(data_), static_cast<std::size_t>(size_)};
  }

 private:
  const std::uint8_t* data_ = nullptr;
  std::uint64_t size_ = 0;
  void* mapping_ = nullptr;  // the mapping object, where the system has one
};

}  // namespace scrivora
