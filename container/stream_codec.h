// The scrambling of a container's two RTF streams, and the decoder that the viewer's rich-text
// control pulls them through. The key starts at 0xC5 and, after every byte, is exclusive-ored
// with the plain byte just processed. The decoder also finds where a stream ends: it counts the
// braces it delivers and stops when the outermost group closes, or at the end of the image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace scrivora {

inline constexpr std::uint8_t kInitialKey = 0xC5;

// Encodes a stream given in pieces: one encoder per stream, fed in order.
class StreamEncoder {
 public:
  // Encodes `length` bytes from `plain` into `out` (which may be the same buffer).
  void Encode(const std::uint8_t* plain, std::uint8_t* out, std::size_t length);

 private:
  std::uint8_t key_ = kInitialKey;
};

// A whole stream at once, from the initial key.
std::string EncodeStream(std::string_view plain);

// The decoder state of one stream-in. A cursor is made for one load and is never reset.
struct StreamCursor {
  const std::uint8_t* readPos = nullptr;  // the next scrambled byte
  std::uint32_t key = kInitialKey;        // only the low 8 bits ever change
  std::int32_t depth = 0;                 // unescaped brace depth; negative: the stream has ended
  std::uint8_t escaped = 0;               // 1 after a backslash that was not itself escaped
  const std::uint8_t* end = nullptr;      // the end of the image: nothing at or past it is read
  bool hitImageEnd = false;               // the stream ended at the end of the image, unclosed

  // A cursor for the stream at `offset` of an image of `imageLength` bytes. An offset outside
  // the image gives a cursor that ends at once.
  static StreamCursor At(const std::uint8_t* image, std::uint64_t imageLength, std::int64_t offset);
};

// The pull operation of a stream-in: writes up to `capacity` plain bytes into `buffer` and stores
// in `count` how many the control takes. The closing brace of the outermost group is written
// behind them and not counted. Reaching the end of the image ends the stream too. Returns 0.
std::uint32_t StreamInCallback(StreamCursor& cursor, std::uint8_t* buffer, std::int32_t capacity,
                               std::int32_t& count);

// How a whole stream decodes: what the control would receive, and how it ended.
struct DecodedStream {
  std::string text;         // every delivered byte, the final closing brace excluded
  bool groupClosed = false; // the outermost group closed (a sound stream)
  std::uint64_t consumed = 0;  // scrambled bytes read, the closing brace included
};

DecodedStream DecodeStream(const std::uint8_t* image, std::uint64_t imageLength,
                           std::int64_t offset);

}  // namespace scrivora
