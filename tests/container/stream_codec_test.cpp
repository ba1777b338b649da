#include "container/stream_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace scrivora {
namespace {

const std::uint8_t* Bytes(const std::string& s) {
  return reinterpret_cast<const std::uint8_t*>(s.data());
}

// Pulls a whole stream in calls of the given sizes (the last size repeats), as a control would.
struct Pulled {
  std::string delivered;
  std::vector<std::int32_t> counts;
};

Pulled Pull(const std::string& image, std::int64_t offset, std::vector<std::int32_t> sizes,
            int extraCalls = 0) {
  StreamCursor cursor = StreamCursor::At(Bytes(image), image.size(), offset);
  Pulled out;
  std::size_t next = 0;
  for (int guard = 0; guard < 1000000; ++guard) {
    const std::int32_t capacity = sizes[std::min(next++, sizes.size() - 1)];
    std::vector<std::uint8_t> buffer(capacity + 1, 0xEE);
    std::int32_t count = -7;
    EXPECT_EQ(StreamInCallback(cursor, buffer.data(), capacity, count), 0u);
    out.counts.push_back(count);
    out.delivered.append(reinterpret_cast<char*>(buffer.data()), count);
    if (count == 0 && extraCalls-- <= 0) break;
  }
  return out;
}

TEST(StreamCodec, EncodingFollowsTheKeySchedule) {
  // k0 = C5; c = p + k; k ^= p.
  const std::string encoded = EncodeStream("{A");
  ASSERT_EQ(encoded.size(), 2u);
  EXPECT_EQ(static_cast<std::uint8_t>(encoded[0]), static_cast<std::uint8_t>(0x7B + 0xC5));
  EXPECT_EQ(static_cast<std::uint8_t>(encoded[1]), static_cast<std::uint8_t>(0x41 + (0xC5 ^ 0x7B)));
}

TEST(StreamCodec, EncoderInPiecesEqualsEncoderAtOnce) {
  const std::string plain = "{\\rtf1 piecewise {\\b text}}\r\n";
  std::string pieces(plain.size(), '\0');
  StreamEncoder encoder;
  auto* out = reinterpret_cast<std::uint8_t*>(pieces.data());
  encoder.Encode(Bytes(plain), out, 5);
  encoder.Encode(Bytes(plain) + 5, out + 5, 1);
  encoder.Encode(Bytes(plain) + 6, out + 6, plain.size() - 6);
  EXPECT_EQ(pieces, EncodeStream(plain));
}

// A real document survives scrambling and pulling in pieces of any size.
void ExpectRoundTrip(const std::filesystem::path& document) {
  SCOPED_TRACE(document.filename().string());
  const std::string rtf = test::ReadFile(document);
  const std::size_t close = rtf.rfind('}');
  ASSERT_NE(close, std::string::npos);
  const std::string image = EncodeStream(rtf);
  for (std::int32_t size : {1, 7, 4096, 1 << 20}) {
    const Pulled p = Pull(image, 0, {size});
    EXPECT_EQ(p.delivered, rtf.substr(0, close)) << "calls of " << size;
  }
  const DecodedStream whole = DecodeStream(Bytes(image), image.size(), 0);
  EXPECT_TRUE(whole.groupClosed);
  EXPECT_EQ(whole.consumed, close + 1);
}

TEST(StreamCodec, RealDocumentRoundTrips) {
  ExpectRoundTrip(test::FixtureDir() / "word_notes.rtf");
}

TEST(StreamCodec, CorpusDocumentRoundTrips) {
  SCRIVORA_SKIP_WITHOUT_CORPUS();
  ExpectRoundTrip(test::CorpusDir() / "rtf.js__sample_source.rtf");
}

TEST(StreamCodec, Framing) {
  struct Case {
    const char* name;
    std::string plain;
    std::string delivered;
  };
  const Case cases[] = {
      {"empty group delivers its opening brace", "{}", "{"},
      {"brace after one backslash is literal", "{a\\}b}", "{a\\}b"},
      {"brace after two backslashes counts", "{a\\\\}b}", "{a\\\\"},
      {"brace after three backslashes is literal", "{a\\\\\\}b}", "{a\\\\\\}b"},
      {"opening brace after a backslash does not nest", "{a\\{b}c}", "{a\\{b"},
      {"nested groups", "{a{b{c}d}e}f", "{a{b{c}d}e"},
      {"bytes after the group are never delivered", "{x}GARBAGE}}}{", "{x"},
      {"hexadecimal brace is no brace", "{\\'7d}x", "{\\'7d"},
  };
  for (const Case& c : cases) {
    const std::string image = EncodeStream(c.plain);
    EXPECT_EQ(Pull(image, 0, {4096}).delivered, c.delivered) << c.name;
    EXPECT_EQ(Pull(image, 0, {1}).delivered, c.delivered) << c.name << " (byte by byte)";
  }
}

TEST(StreamCodec, BackslashEndingOneCallAndBraceStartingTheNext) {
  const std::string plain = "{ab\\}c}";
  const Pulled p = Pull(EncodeStream(plain), 0, {4, 4096});  // "{ab\" then "}c}"
  EXPECT_EQ(p.delivered, "{ab\\}c");
  EXPECT_EQ(p.counts, (std::vector<std::int32_t>{4, 2, 0}));
}

TEST(StreamCodec, ClosingBraceAsFirstByteOfACallReportsZero) {
  const Pulled p = Pull(EncodeStream("{abc}"), 0, {4, 4096});
  EXPECT_EQ(p.counts, (std::vector<std::int32_t>{4, 0}));
  EXPECT_EQ(p.delivered, "{abc");
}

TEST(StreamCodec, CallsAfterTheEndDeliverNothing) {
  const Pulled p = Pull(EncodeStream("{x}"), 0, {4096}, 5);
  EXPECT_EQ(p.counts, (std::vector<std::int32_t>{2, 0, 0, 0, 0, 0, 0}));  // one end, five more
}

TEST(StreamCodec, ClosingBraceStandsBehindTheCountedBytes) {
  const std::string image = EncodeStream("{ab}");
  StreamCursor cursor = StreamCursor::At(Bytes(image), image.size(), 0);
  std::uint8_t buffer[16] = {};
  std::int32_t count = 0;
  StreamInCallback(cursor, buffer, 16, count);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(buffer[3], '}');
  EXPECT_LT(cursor.depth, 0);
}

TEST(StreamCodec, StreamNotBeginningWithABrace) {
  // "a}bc": the brace at depth 0 takes the depth to -1 without ending the call.
  const std::string image = EncodeStream("a}bc");
  StreamCursor cursor = StreamCursor::At(Bytes(image), image.size() + 0, 0);
  std::uint8_t buffer[3] = {};
  std::int32_t count = 0;
  StreamInCallback(cursor, buffer, 3, count);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(cursor.depth, -1);
  StreamInCallback(cursor, buffer, 3, count);
  EXPECT_EQ(count, 0);  // ended at the start of the next call
  EXPECT_FALSE(DecodeStream(Bytes(image), image.size(), 0).groupClosed);
}

TEST(StreamCodec, StreamRunningIntoTheEndOfTheImageEnds) {
  const std::string plain = "{never {closes}";
  const std::string image = EncodeStream(plain);
  // The image ends with the stream: nothing beyond it is read, even byte by byte.
  const Pulled p = Pull(image, 0, {1});
  EXPECT_EQ(p.delivered, plain);
  const DecodedStream whole = DecodeStream(Bytes(image), image.size(), 0);
  EXPECT_FALSE(whole.groupClosed);
  EXPECT_EQ(whole.consumed, image.size());
}

TEST(StreamCodec, OffsetsOutsideTheImageReadNothing) {
  const std::string image = EncodeStream("{x}");
  for (std::int64_t offset : {std::int64_t{3}, std::int64_t{4}, std::int64_t{-1},
                              std::int64_t{1} << 40}) {
    const Pulled p = Pull(image, offset, {4096}, 2);
    EXPECT_EQ(p.delivered, "") << offset;
    EXPECT_FALSE(DecodeStream(Bytes(image), image.size(), offset).groupClosed) << offset;
  }
}

TEST(StreamCodec, TwoStreamsDecodeIndependently) {
  const std::string main = "{\\rtf1 main text}";
  const std::string notes = "{\\rtf1 the notes}";
  const std::string description = "Title\r\n";
  const std::string image = "VIEWER" + EncodeStream(main) + EncodeStream(notes) + description;
  const std::int64_t notesOffset = 6 + static_cast<std::int64_t>(main.size());
  EXPECT_EQ(DecodeStream(Bytes(image), image.size(), 6).text, "{\\rtf1 main text");
  EXPECT_EQ(DecodeStream(Bytes(image), image.size(), notesOffset).text, "{\\rtf1 the notes");
  // One byte off gives something else, and no error.
  const DecodedStream off = DecodeStream(Bytes(image), image.size(), notesOffset + 1);
  EXPECT_NE(off.text.substr(0, 6), "\\rtf1 ");
}

}  // namespace
}  // namespace scrivora

namespace scrivora {
namespace {

// The framing exactly as defined, one byte at a time: the reference for the fast decoder.
std::string ReferenceDecode(const std::string& image, std::size_t capacity,
                            std::vector<std::int32_t>* counts) {
  std::string out;
  std::uint8_t key = kInitialKey;
  std::int32_t depth = 0;
  bool escaped = false;
  std::size_t pos = 0;
  for (;;) {
    std::int32_t count = 0;
    bool ended = depth < 0;
    for (std::size_t n = 0; !ended && n < capacity && pos < image.size(); ++n) {
      const auto p = static_cast<std::uint8_t>(static_cast<std::uint8_t>(image[pos++]) - key);
      key ^= p;
      if (!escaped && p == '{') ++depth;
      if (!escaped && p == '}' && --depth == 0) {
        depth = -1;
        ended = true;
        break;
      }
      escaped = p == '\\' && !escaped;
      out.push_back(static_cast<char>(p));
      ++count;
    }
    if (pos == image.size() && !ended) depth = -1;
    counts->push_back(count);
    if (count == 0) return out;
  }
}

TEST(StreamCodec, AgreesWithTheByteByByteDefinition) {
  // Random texts dense in braces and backslashes, in calls of many sizes, so that escapes and
  // closes fall on every position of the decoder's blocks and across calls.
  std::uint32_t seed = 12345;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  const char alphabet[] = {'{', '}', '\\', '\\', 'a', ' ', '{', 'x'};
  for (int round = 0; round < 400; ++round) {
    std::string plain = "{";
    const std::size_t length = next() % 700;
    for (std::size_t i = 0; i < length; ++i) plain.push_back(alphabet[next() % 8]);
    if (round % 3 == 0) plain[0] = 'q';  // not starting with a brace
    const std::string image = EncodeStream(plain);
    const std::int32_t capacity = static_cast<std::int32_t>(1 + next() % 200);
    std::vector<std::int32_t> expectedCounts;
    const std::string expected = ReferenceDecode(image, capacity, &expectedCounts);
    const Pulled got = Pull(image, 0, {capacity});
    ASSERT_EQ(got.delivered, expected) << "round " << round << " capacity " << capacity;
    ASSERT_EQ(got.counts, expectedCounts) << "round " << round;
  }
}

}  // namespace
}  // namespace scrivora
