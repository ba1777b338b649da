// embed's check of a finished stream agrees with the viewer's decoder.
#include "embed/stream_check.h"

#include <gtest/gtest.h>

#include <random>
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

// Streams made mostly of the bytes that matter to the framing, long enough to cross the check's
// blocks, decide the same way.
TEST(StreamCheck, AgreesWithTheDecoderOnRandomStreams) {
  std::mt19937 random(20261211);
  const char alphabet[] = {'{', '}', '\\', 'a', '{', '\\'};
  std::uniform_int_distribution<int> pick(0, sizeof alphabet - 1);
  std::uniform_int_distribution<int> lengths(0, 40000);
  int closed = 0;
  for (int round = 0; round < 400; ++round) {
    std::string plain = round % 4 == 0 ? "" : "{";
    const int length = round < 200 ? lengths(random) % 64 : lengths(random);
    for (int i = 0; i < length; ++i) plain.push_back(alphabet[pick(random)]);
    const std::string scrambled = EncodeStream(plain);
    const bool expected = DecoderSaysClosed(scrambled);
    closed += expected;
    ASSERT_EQ(IsOneCompleteGroup(scrambled), expected) << plain.substr(0, 80);
  }
  EXPECT_GT(closed, 20);  // both answers occur often enough to mean something
  EXPECT_LT(closed, 380);
}

}  // namespace
}  // namespace scrivora
