// Reads the version information of a program file: the product name and version, the
// copyright line and a special-build note, from the string table of its first translation.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace scrivora {

class TProjectRCVersion {
 public:
  // The file `module` was loaded from; the running program for null.
  explicit TProjectRCVersion(HMODULE module);
  explicit TProjectRCVersion(const std::wstring& path);
  virtual ~TProjectRCVersion() = default;

  // Each sets `value` (pointing into the reader's data) and answers true when found.
  bool GetProductName(const wchar_t*& value) const { return Query(L"ProductName", value); }
  bool GetProductVersion(const wchar_t*& value) const { return Query(L"ProductVersion", value); }
  bool GetCopyright(const wchar_t*& value) const { return Query(L"LegalCopyright", value); }
  bool GetSpecialBuild(const wchar_t*& value) const { return Query(L"SpecialBuild", value); }

  bool Query(const wchar_t* key, const wchar_t*& value) const;

 private:
  void Read(const std::wstring& path);

  std::unique_ptr<BYTE[]> VersionData;
  DWORD Translation = 0;  // language * 65536 + code page
};

}  // namespace scrivora
