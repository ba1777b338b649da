#include "notes/byte_stream.h"

#include <algorithm>
#include <cstring>

namespace scrivora {

std::ptrdiff_t MemorySource::Read(std::uint8_t* buffer, std::size_t capacity) {
  const std::size_t count = std::min(capacity, bytes_.size() - pos_);
  std::memcpy(buffer, bytes_.data() + pos_, count);
  pos_ += count;
  return static_cast<std::ptrdiff_t>(count);
}

}  // namespace scrivora
