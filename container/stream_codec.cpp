#include "container/stream_codec.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// Decoding state carried between bytes and calls.
struct DecodeState {
  std::uint8_t key;
  std::int32_t depth;
  unsigned escaped;
};

// One byte of the framing, exactly as the decoder defines it. Returns true when the outermost
// group has just closed.
inline bool StepByte(std::uint8_t p, DecodeState& s) {
  const unsigned live = s.escaped ^ 1u;
  const unsigned close = (p == '}') & live;
  s.depth += static_cast<std::int32_t>((p == '{') & live) - static_cast<std::int32_t>(close);
  s.escaped = (p == '\\') & live;
  return close & (s.depth == 0);
}

#if defined(__SSE2__)
constexpr std::size_t kBlock = 64;
constexpr std::uint64_t kEvenBits = 0x5555555555555555ULL;

std::uint64_t ByteMask(const std::uint8_t* block, char c) {
  const __m128i needle = _mm_set1_epi8(c);
  std::uint64_t mask = 0;
  for (int i = 0; i < 4; ++i) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
    mask |= static_cast<std::uint64_t>(
                static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, needle))))
            << (16 * i);
  }
  return mask;
}

// Characters of a block that follow an odd run of backslashes. `escaped` says whether the
// block's first character is escaped, and becomes whether the next block's first one is.
std::uint64_t EscapedCharacters(std::uint64_t backslashes, unsigned& escaped) {
  const std::uint64_t carryIn = escaped;
  // An escaped backslash is a literal one: it starts no escape.
  const std::uint64_t b = backslashes & ~carryIn;
  const std::uint64_t starts = b & ~(b << 1);
  const std::uint64_t evenStarts = starts & kEvenBits;
  const std::uint64_t oddStarts = starts & ~kEvenBits;
  // Adding a run's start bit carries to the bit just past the run; the run's length is odd
  // exactly when that bit's parity differs from the start's.
  const std::uint64_t evenEnds = (b + evenStarts) & ~b;
  std::uint64_t oddSum;
  escaped = __builtin_add_overflow(b, oddStarts, &oddSum) ? 1u : 0u;
  const std::uint64_t oddEnds = oddSum & ~b;
  return (evenEnds & ~kEvenBits) | (oddEnds & kEvenBits) | carryIn;
}
#endif

}  // namespace

std::uint32_t StreamInCallback(StreamCursor& cursor, std::uint8_t* buffer, std::int32_t capacity,
                               std::int32_t& count) {
  count = 0;
  if (cursor.depth < 0) return 0;

  const std::uint8_t* const in = cursor.readPos;
  const auto available = static_cast<std::size_t>(
      std::min<std::int64_t>(std::max(capacity, 0), cursor.end - in));
  DecodeState s{static_cast<std::uint8_t>(cursor.key), cursor.depth, cursor.escaped};

  const auto finish = [&](std::size_t delivered, std::size_t consumed, bool closed) {
    cursor.readPos = in + consumed;
    cursor.key = s.key;
    cursor.depth = closed ? -1 : s.depth;
    cursor.escaped = closed ? 0 : static_cast<std::uint8_t>(s.escaped);
    count = static_cast<std::int32_t>(delivered);
  };

  std::size_t i = 0;
#if defined(__SSE2__)
  // Whole blocks: unscramble 64 bytes (the key chain is the only serial work), then find the
  // unescaped braces with vector compares and walk only those. A block may be unscrambled a
  // little past the closing brace, always inside the image and the caller's buffer.
  for (; i + kBlock <= available; i += kBlock) {
    std::uint8_t* const out = buffer + i;
    std::uint8_t key = s.key;
    for (std::size_t k = 0; k < kBlock; ++k) {
      const auto p = static_cast<std::uint8_t>(in[i + k] - key);
      out[k] = p;
      key ^= p;
    }
    const std::uint64_t escapedChars = EscapedCharacters(ByteMask(out, '\\'), s.escaped);
    const std::uint64_t opens = ByteMask(out, '{') & ~escapedChars;
    const std::uint64_t closes = ByteMask(out, '}') & ~escapedChars;
    if (s.depth > __builtin_popcountll(closes)) {
      // Too few closing braces to reach depth 0 in this block.
      s.depth += __builtin_popcountll(opens) - __builtin_popcountll(closes);
      s.key = key;
      continue;
    }
    for (std::uint64_t braces = opens | closes; braces != 0; braces &= braces - 1) {
      const unsigned at = static_cast<unsigned>(__builtin_ctzll(braces));
      if (opens >> at & 1) {
        ++s.depth;
      } else if (--s.depth == 0) {
        // The outermost group has closed: its brace stays behind the counted bytes.
        finish(i + at, i + at + 1, true);
        return 0;
      }
    }
    s.key = key;
  }
#endif
  for (; i < available; ++i) {
    const auto p = static_cast<std::uint8_t>(in[i] - s.key);
    buffer[i] = p;
    s.key ^= p;
    if (StepByte(p, s)) [[unlikely]] {
      finish(i, i + 1, true);
      return 0;
    }
  }

  finish(i, i, false);
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
