#include "common/mapped_file.h"

#include <sys/mman.h>

#include <cerrno>
#include <cstring>

namespace scrivora {

OsResult MappedFile::Map(NativeHandle file, std::uint64_t size) {
  Release();
  if (size == 0) return {};
  void* data = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, file, 0);
  if (data == MAP_FAILED) return OsResult::Failed(std::strerror(errno));
  ::madvise(data, size, MADV_SEQUENTIAL);  // read front to back, once
  data_ = static_cast<const std::uint8_t*>(data);
  size_ = size;
  return {};
}

void MappedFile::Release() {
  if (data_ != nullptr) ::munmap(const_cast<std::uint8_t*>(data_), size_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace scrivora
