#include "viewer/project_rc_version.h"

#include "viewer/program_file.h"

namespace scrivora {

TProjectRCVersion::TProjectRCVersion(HMODULE module) { Read(ModuleFilePath(module)); }

TProjectRCVersion::TProjectRCVersion(const std::wstring& path) { Read(path); }

void TProjectRCVersion::Read(const std::wstring& path) {
  const std::wstring file = ExtendedLengthPath(path);
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return;
  auto data = std::make_unique<BYTE[]>(size);
  if (!::GetFileVersionInfoW(file.c_str(), 0, size, data.get())) return;
  void* translation = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.get(), L"\\VarFileInfo\\Translation", &translation, &length) ||
      length < 4)
    return;
  const auto* words = static_cast<const WORD*>(translation);
  Translation = (DWORD{words[0]} << 16) | words[1];
  VersionData = std::move(data);
}

bool TProjectRCVersion::Query(const wchar_t* key, const wchar_t*& value) const {
  if (!VersionData) return false;
  // "\StringFileInfo\" + eight lower-case hex digits + "\" + key.
  std::wstring path = L"\\StringFileInfo\\";
  for (int shift = 28; shift >= 0; shift -= 4)
    path += L"0123456789abcdef"[(Translation >> shift) & 0xF];
  path += L'\\';
  path += key;
  void* found = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(VersionData.get(), path.c_str(), &found, &length) || !found) return false;
  value = static_cast<const wchar_t*>(found);
  return true;
}

}  // namespace scrivora
