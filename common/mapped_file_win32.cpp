#include "common/mapped_file.h"

#include <windows.h>

#include "common/unique_handle.h"
#include "common/win32_error.h"

namespace scrivora {

OsResult MappedFile::Map(NativeHandle file, std::uint64_t size) {
  Release();
  if (size == 0) return {};
  UniqueMapping mapping(::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) return OsResult::Failed(WindowsErrorText(::GetLastError()));
  const void* view = ::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size));
  if (view == nullptr) return OsResult::Failed(WindowsErrorText(::GetLastError()));
  mapping_ = mapping.release();
  data_ = static_cast<const std::uint8_t*>(view);
  size_ = size;
  return {};
}

void MappedFile::Release() {
  if (data_ != nullptr) ::UnmapViewOfFile(data_);
  if (mapping_ != nullptr) ::CloseHandle(mapping_);
  data_ = nullptr;
  size_ = 0;
  mapping_ = nullptr;
}

}  // namespace scrivora
