#include "viewer/mapped_file.h"

namespace scrivora {

std::wstring ExtendedLengthPath(const std::wstring& path) {
  if (path.size() < MAX_PATH - 12 || path.starts_with(L"\\\\?\\")) return path;
  if (path.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + path.substr(2);  // \\server\share
  if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  return path;
}

std::wstring ModuleFilePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: try again with more room
  }
}

bool MappedFile::Open(const std::wstring& path) {
  file_.reset(::CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) return false;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file_.get(), &size)) return false;
  size_ = static_cast<std::uint64_t>(size.QuadPart);
  if (size_ == 0) return true;  // nothing to map
  mapping_.reset(::CreateFileMappingW(file_.get(), nullptr, PAGE_READONLY | SEC_COMMIT, 0, 0,
                                      nullptr));
  if (!mapping_) return false;
  view_.reset(::MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0));
  return static_cast<bool>(view_);
}

}  // namespace scrivora
