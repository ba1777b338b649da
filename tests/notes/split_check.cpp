#include "tests/notes/split_check.h"

#include <algorithm>

#include "container/stream_codec.h"
#include "tests/support/test_support.h"

namespace scrivora::test {
namespace {

constexpr char32_t kDot = U'\u00B7';

// Length of the marker at `i`, or 0 when none starts there.
std::size_t MarkerAt(const std::u32string& text, std::size_t i) {
  if (text[i] != kDot) return 0;
  for (std::size_t j = i + 1; j < text.size() && j <= i + 5; ++j) {
    if (text[j] == kDot) return j - i + 1;
  }
  return 0;
}

}  // namespace

std::map<std::u32string, int> Markers(const std::u32string& text) {
  std::map<std::u32string, int> markers;
  for (std::size_t i = 0; i < text.size();) {
    if (const std::size_t length = MarkerAt(text, i); length > 0) {
      std::u32string marker = text.substr(i, length);
      for (char32_t& c : marker) {
        if (c >= U'A' && c <= U'Z') c += U'a' - U'A';
      }
      ++markers[marker];
      i += length;
    } else {
      ++i;
    }
  }
  return markers;
}

std::u32string WithoutMarkersAndSpace(const std::u32string& text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    if (const std::size_t length = MarkerAt(text, i); length > 0) {
      i += length;
      continue;
    }
    const char32_t c = text[i++];
    if (c != U' ' && c != U'\t' && c != U'\n' && c != U'\u00A0') out.push_back(c);
  }
  return out;
}

bool FramedAsOneGroup(std::string_view rtf) {
  const std::string scrambled = EncodeStream(rtf);
  const DecodedStream decoded =
      DecodeStream(reinterpret_cast<const std::uint8_t*>(scrambled.data()), scrambled.size(), 0);
  return decoded.groupClosed && decoded.consumed == rtf.size() &&
         decoded.text == rtf.substr(0, rtf.size() - 1);
}

std::vector<std::filesystem::path> RtfFilesIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".rtf") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace scrivora::test
