// embed's check of a finished stream agrees with the viewer's decoder.
#include "embed/stream_check.h"

#include <gtest/gtest.h>

#include <string>

#include "container/stream_codec.h"

namespace scrivora {
namespace {

bool DecoderSaysClosed(const std::string& scrambled) {
  return DecodeStream(reinterpret_cast<const std::uint8_t*>(scrambled.data()), scrambled.size(), 0)
      .groupClosed;
}

TEST(StreamCheck, AgreesWithTheDecoder) {
  const std::string longText(200000, 'x');  // spans several pulls of the check's buffer
  std::string backslashAtPull = "{" + std::string(64 * 1024 - 2, 'y') + "\\}" + "more}";
  struct Case {
    std::string plain;
    bool closed;
  };
  const Case cases[] = {
      {"", false},
      {"{", false},
      {"{}", true},
      {"{}\r\n", true},
      {"{\\rtf1 text}trailing bytes", true},
      {"{\\rtf1 {inner} text", false},
      {"{\\rtf1 escaped \\}", false},
      {"{\\rtf1 two backslashes \\\\}", true},
      {"text before {group}", false},
      {"}{", false},
      {"{" + longText + "}", true},
      {"{" + longText, false},
      {backslashAtPull, true},
      {backslashAtPull.substr(0, backslashAtPull.size() - 5), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plain.substr(0, 40));
    const std::string scrambled = EncodeStream(c.plain);
    EXPECT_EQ(IsOneCompleteGroup(scrambled), c.closed);
    EXPECT_EQ(DecoderSaysClosed(scrambled), c.closed);
  }
}

}  // namespace
}  // namespace scrivora
