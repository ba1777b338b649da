// The version information that Windows shows for embed.exe.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace scrivora {
namespace {

class EmbedVersion : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring path = test::DistProgram("embed").wstring();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    data_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data_.data()));
  }

  std::wstring String(const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueW(data_.data(), key.c_str(), &value, &length) || length == 0)
      return L"<none>";
    return std::wstring(static_cast<const wchar_t*>(value));
  }

  std::vector<char> data_;
};

TEST_F(EmbedVersion, FixedPart) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data_.data(), L"\\", &value, &length));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00020000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(EmbedVersion, LanguageAndStrings) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_GE(length, 4u);
  const auto* translation = static_cast<const WORD*>(value);
  EXPECT_EQ(translation[0], 0x0409);  // U.S. English
  EXPECT_EQ(translation[1], 1252);
  EXPECT_EQ(String(L"FileDescription"), L"Scrivora embedding tool (Window XP)");
  EXPECT_EQ(String(L"FileVersion"), L"2.0");
  EXPECT_EQ(String(L"InternalName"), L"embed");
  EXPECT_EQ(String(L"OriginalFilename"), L"embed.exe");
}

}  // namespace
}  // namespace scrivora
