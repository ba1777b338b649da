// Small synthetic Windows program images for the tests of signed files: just the headers that
// signing reads and writes, and a certificate table appended as signing tools append it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace scrivora::test {

using ImageBytes = std::vector<std::uint8_t>;

inline constexpr std::size_t kTestPeAt = 0x40;                 // where "PE\0\0" stands
inline constexpr std::size_t kTestOptionalAt = kTestPeAt + 24;  // the optional header
inline constexpr std::size_t kTestChecksumAt = kTestOptionalAt + 64;
inline constexpr std::uint32_t kTestChecksum = 0x1234ABCD;

// Where the security directory entry lies in the headers made below.
constexpr std::size_t SecurityDirectoryAt(bool plus) {
  return kTestOptionalAt + (plus ? 112 : 96) + 4 * 8;
}

void Put16(ImageBytes& bytes, std::size_t at, std::uint16_t value);
void Put32(ImageBytes& bytes, std::size_t at, std::uint32_t value);
std::uint32_t Get32(const ImageBytes& bytes, std::size_t at);

// A program image of `size` bytes (at least 512): PE32 or PE32+ headers with sixteen empty data
// directories and a checksum of kTestChecksum, then filler that is neither zero nor a header.
ImageBytes PeImage(bool plus, std::size_t size = 512);

void SetSecurityDirectory(ImageBytes& image, bool plus, std::uint32_t offset, std::uint32_t size);

// As a signing tool does: zero padding up to a multiple of 8, then a certificate table of
// `tableSize` bytes, recorded in the security directory; the checksum changes too.
void SignImage(ImageBytes& image, bool plus, std::uint32_t tableSize);

}  // namespace scrivora::test
