#include "container/trailer.h"

namespace scrivora {
namespace {

void PutLe32(std::uint8_t* out, std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  out[0] = static_cast<std::uint8_t>(u);
  out[1] = static_cast<std::uint8_t>(u >> 8);
  out[2] = static_cast<std::uint8_t>(u >> 16);
  out[3] = static_cast<std::uint8_t>(u >> 24);
}

std::int32_t GetLe32(const std::uint8_t* in) {
  const std::uint32_t u = std::uint32_t{in[0]} | std::uint32_t{in[1]} << 8 |
                          std::uint32_t{in[2]} << 16 | std::uint32_t{in[3]} << 24;
  return static_cast<std::int32_t>(u);
}

}  // namespace

TrailerBytes EncodeTrailer(const ContainerTrailer& trailer) {
  TrailerBytes bytes{};
  PutLe32(&bytes[0], trailer.mainOffset);
  PutLe32(&bytes[4], trailer.notesOffset);
  PutLe32(&bytes[8], trailer.descriptionOffset);
  PutLe32(&bytes[12], trailer.notesPercent);
  PutLe32(&bytes[16], trailer.permissions);
  return bytes;
}

ContainerTrailer DecodeTrailer(const std::uint8_t* bytes) {
  ContainerTrailer trailer;
  trailer.mainOffset = GetLe32(bytes);
  trailer.notesOffset = GetLe32(bytes + 4);
  trailer.descriptionOffset = GetLe32(bytes + 8);
  trailer.notesPercent = GetLe32(bytes + 12);
  trailer.permissions = GetLe32(bytes + 16);
  return trailer;
}

}  // namespace scrivora
