// Under Windows: both documents of every corpus file and fixture, scrambled as in a container and
// pulled through the viewer's decoder into a real rich-edit control, show the same markers as
// U+00B7 text, one per note, whatever the document's code page and \ucN.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "container/stream_codec.h"
#include "notes/plain_text.h"
#include "notes/splitter.h"
#include "tests/notes/split_check.h"
#include "tests/support/test_support.h"

namespace scrivora {
namespace {

DWORD CALLBACK PullThroughDecoder(DWORD_PTR cookie, LPBYTE buffer, LONG capacity, LONG* count) {
  std::int32_t delivered = 0;
  StreamInCallback(*reinterpret_cast<StreamCursor*>(cookie), buffer, capacity, delivered);
  *count = delivered;
  return 0;
}

// The text a rich-edit control shows for a scrambled RTF stream.
std::u32string ControlText(HWND edit, const std::string& rtf) {
  const std::string scrambled = EncodeStream(rtf);
  StreamCursor cursor = StreamCursor::At(reinterpret_cast<const std::uint8_t*>(scrambled.data()),
                                         scrambled.size(), 0);
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
  stream.pfnCallback = PullThroughDecoder;
  SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  const int length = GetWindowTextLengthW(edit);
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  wide.resize(static_cast<std::size_t>(GetWindowTextW(edit, wide.data(), length + 1)));
  std::u32string text;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const char32_t c = wide[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size()) {
      text.push_back(0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00));
    } else {
      text.push_back(c);
    }
  }
  return text;
}

class RichEditMarkers : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(LoadLibraryW(L"msftedit.dll"), nullptr);
    edit_ = CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_POPUP | ES_MULTILINE, 0, 0, 400, 300,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit_, nullptr);
    SendMessageW(edit_, EM_EXLIMITTEXT, 0, 64 * 1024 * 1024);
  }
  void TearDown() override {
    if (edit_) DestroyWindow(edit_);
  }

  // Each document's two halves, shown by the control, hold the same markers once each.
  void ExpectSameMarkers(const std::vector<std::pair<std::string, std::string>>& documents) {
    for (const auto& [name, input] : documents) {
      SCOPED_TRACE(name);
      std::string main;
      std::string notes;
      ASSERT_TRUE(SplitDocument(input, main, SplitMode::MainText));
      ASSERT_TRUE(SplitDocument(input, notes, SplitMode::Notes));
      const auto mainMarkers = test::Markers(ControlText(edit_, main));
      const auto noteMarkers = test::Markers(ControlText(edit_, notes));
      EXPECT_EQ(mainMarkers.size(), ExtractPlainText(input).noteGroups);
      EXPECT_EQ(mainMarkers, noteMarkers);
      for (const auto& [marker, count] : mainMarkers) EXPECT_EQ(count, 1);
    }
  }

  static std::vector<std::pair<std::string, std::string>> Read(
      const std::vector<std::filesystem::path>& files) {
    std::vector<std::pair<std::string, std::string>> documents;
    for (const auto& path : files) {
      documents.emplace_back(path.filename().string(), test::ReadFile(path));
    }
    return documents;
  }

  HWND edit_ = nullptr;
};

TEST_F(RichEditMarkers, ShowTheSameMarkersInBothPanes) {
  auto documents = Read(test::RtfFilesIn(test::FixtureDir()));
  ASSERT_GE(documents.size(), 3u);
  // Code pages and Unicode settings the markers must survive.
  for (const char* variant : {
           "{\\rtf1\\ansi\\ansicpg1251\\uc0 A\\chftn{\\footnote \\chftn N}}",
           "{\\rtf1\\mac\\uc2 A\\chftn{\\footnote \\chftn N}{\\footnote\\ftnalt E}}",
           "{\\rtf1\\ansi\\ansicpg932 A\\chftn{\\footnote \\chftn N}}",
       }) {
    documents.emplace_back(variant, variant);
  }
  ExpectSameMarkers(documents);
}

TEST_F(RichEditMarkers, ShowTheSameMarkersForCorpusDocuments) {
  SCRIVORA_SKIP_WITHOUT_CORPUS();
  ExpectSameMarkers(Read(test::RtfFilesIn(test::CorpusDir())));
}

}  // namespace
}  // namespace scrivora
