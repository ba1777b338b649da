#include "embed/stream_check.h"

#include <cstdint>

#include "container/stream_codec.h"

namespace scrivora {

bool IsOneCompleteGroup(std::string_view scrambled) {
  const auto* image = reinterpret_cast<const std::uint8_t*>(scrambled.data());
  StreamCursor cursor = StreamCursor::At(image, scrambled.size(), 0);
  // The viewer's own decoder, pulled through a small buffer that is overwritten each time.
  std::uint8_t buffer[64 * 1024];
  std::int32_t count = 0;
  bool first = true;
  bool opensWithBrace = false;
  do {
    StreamInCallback(cursor, buffer, static_cast<std::int32_t>(sizeof buffer), count);
    if (first && count > 0) {
      opensWithBrace = buffer[0] == '{';
      first = false;
    }
  } while (count > 0 || cursor.depth >= 0);
  return opensWithBrace && !cursor.hitImageEnd;
}

}  // namespace scrivora
