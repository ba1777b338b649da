#include "container/stream_codec.h"

#include <algorithm>
#include <vector>

namespace scrivora {

void StreamEncoder::Encode(const std::uint8_t* plain, std::uint8_t* out, std::size_t length) {
  std::uint8_t key = key_;
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint8_t p = plain[i];
    out[i] = static_cast<std::uint8_t>(p + key);
    key ^= p;
  }
  key_ = key;
}

std::string EncodeStream(std::string_view plain) {
  std::string out(plain.size(), '\0');
  StreamEncoder encoder;
  encoder.Encode(reinterpret_cast<const std::uint8_t*>(plain.data()),
                 reinterpret_cast<std::uint8_t*>(out.data()), plain.size());
  return out;
}

StreamCursor StreamCursor::At(const std::uint8_t* image, std::uint64_t imageLength,
                              std::int64_t offset) {
  StreamCursor cursor;
  cursor.end = image + imageLength;
  const bool inside = offset >= 0 && static_cast<std::uint64_t>(offset) < imageLength;
  cursor.readPos = inside ? image + offset : cursor.end;
  return cursor;
}

std::uint32_t StreamInCallback(StreamCursor& cursor, std::uint8_t* buffer, std::int32_t capacity,
                               std::int32_t& count) {
  count = 0;
  if (cursor.depth < 0) return 0;

  const std::uint8_t* const in = cursor.readPos;
  const std::int32_t available =
      static_cast<std::int32_t>(std::min<std::int64_t>(std::max(capacity, 0), cursor.end - in));
  std::uint8_t key = static_cast<std::uint8_t>(cursor.key);
  std::int32_t depth = cursor.depth;
  unsigned escaped = cursor.escaped;

  std::int32_t i = 0;
  for (; i < available; ++i) {
    const auto p = static_cast<std::uint8_t>(in[i] - key);
    buffer[i] = p;
    key ^= p;
    // Branch-free bookkeeping: braces and backslashes are too frequent in RTF to predict.
    const unsigned live = escaped ^ 1u;
    const unsigned close = (p == '}') & live;
    depth += static_cast<std::int32_t>((p == '{') & live) - static_cast<std::int32_t>(close);
    escaped = (p == '\\') & live;
    if (close & (depth == 0)) [[unlikely]] {
      // The outermost group has closed: its brace stays behind the counted bytes.
      cursor.readPos = in + i + 1;
      cursor.key = key;
      cursor.depth = -1;
      cursor.escaped = 0;
      count = i;
      return 0;
    }
  }

  cursor.readPos = in + i;
  cursor.key = key;
  cursor.depth = depth;
  cursor.escaped = static_cast<std::uint8_t>(escaped);
  count = i;
  if (cursor.readPos == cursor.end && capacity > 0) {
    // Nothing lies beyond the image: the stream ends here, closed or not.
    cursor.depth = -1;
    cursor.hitImageEnd = true;
  }
  return 0;
}

DecodedStream DecodeStream(const std::uint8_t* image, std::uint64_t imageLength,
                           std::int64_t offset) {
  DecodedStream result;
  StreamCursor cursor = StreamCursor::At(image, imageLength, offset);
  const std::uint8_t* const start = cursor.readPos;
  std::vector<std::uint8_t> buffer(64 * 1024);
  std::int32_t count = 0;
  do {
    StreamInCallback(cursor, buffer.data(), static_cast<std::int32_t>(buffer.size()), count);
    result.text.append(reinterpret_cast<const char*>(buffer.data()), count);
  } while (count > 0 || cursor.depth >= 0);
  result.consumed = static_cast<std::uint64_t>(cursor.readPos - start);
  result.groupClosed = !cursor.hitImageEnd && !result.text.empty() && result.text[0] == '{';
  return result;
}

}  // namespace scrivora
