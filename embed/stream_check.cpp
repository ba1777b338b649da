#include "embed/stream_check.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "container/stream_codec.h"

namespace scrivora {
namespace {

constexpr std::size_t kBlock = 16 * 1024;

// The only bytes that the framing looks at.
constexpr std::array<std::uint8_t, 256> kFramingBytes = [] {
  std::array<std::uint8_t, 256> table{};
  table['{'] = table['}'] = table['\\'] = 1;
  return table;
}();

}  // namespace

bool IsOneCompleteGroup(std::string_view scrambled) {
  const auto* in = reinterpret_cast<const std::uint8_t*>(scrambled.data());
  const std::size_t size = scrambled.size();
  std::vector<std::uint32_t> positions(kBlock + 1);
  std::vector<std::uint8_t> bytes(kBlock + 1);
  std::uint8_t key = kInitialKey;
  std::int64_t depth = 0;
  std::size_t escapedAt = SIZE_MAX;  // the position that a lone backslash before it escapes

  for (std::size_t start = 0; start < size; start += kBlock) {
    const std::size_t length = std::min(kBlock, size - start);
    // The key chain is strictly serial, so decoding is kept to its bare steps; every byte is
    // written to the list, but the list only grows past braces and backslashes.
    std::size_t found = 0;
    for (std::size_t i = 0; i < length; ++i) {
      const auto plain = static_cast<std::uint8_t>(in[start + i] - key);
      key ^= plain;
      positions[found] = static_cast<std::uint32_t>(i);
      bytes[found] = plain;
      found += kFramingBytes[plain];
    }
    if (start == 0 && (found == 0 || positions[0] != 0 || bytes[0] != '{')) return false;

    // The framing of the decoder, on those bytes alone: a backslash escapes the byte right
    // after it unless it is escaped itself, and an unescaped closing brace that brings the
    // depth back to 0 closes the outermost group.
    for (std::size_t k = 0; k < found; ++k) {
      const std::size_t at = start + positions[k];
      const bool escaped = at == escapedAt;
      if (bytes[k] == '\\') {
        escapedAt = escaped ? SIZE_MAX : at + 1;
      } else if (!escaped) {
        if (bytes[k] == '{') {
          ++depth;
        } else if (--depth == 0) {
          return true;
        }
      }
    }
  }
  return false;
}

}  // namespace scrivora
