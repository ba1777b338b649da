#include "tests/support/pe_test_image.h"

namespace scrivora::test {

void Put16(ImageBytes& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(ImageBytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t Get32(const ImageBytes& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

ImageBytes PeImage(bool plus, std::size_t size) {
  ImageBytes image(size < 512 ? 512 : size, 0);
  for (std::size_t i = 512; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 1);
  image[0] = 'M';
  image[1] = 'Z';
  Put32(image, 0x3C, kTestPeAt);
  image[kTestPeAt] = 'P';
  image[kTestPeAt + 1] = 'E';
  Put16(image, kTestPeAt + 4 + 16, plus ? 0xF0 : 0xE0);  // SizeOfOptionalHeader
  Put16(image, kTestOptionalAt, plus ? 0x20B : 0x10B);
  Put32(image, kTestChecksumAt, kTestChecksum);
  Put32(image, kTestOptionalAt + (plus ? 108 : 92), 16);  // NumberOfRvaAndSizes
  return image;
}

void SetSecurityDirectory(ImageBytes& image, bool plus, std::uint32_t offset, std::uint32_t size) {
  Put32(image, SecurityDirectoryAt(plus), offset);
  Put32(image, SecurityDirectoryAt(plus) + 4, size);
}

void SignImage(ImageBytes& image, bool plus, std::uint32_t tableSize) {
  image.resize((image.size() + 7) / 8 * 8, 0);
  SetSecurityDirectory(image, plus, static_cast<std::uint32_t>(image.size()), tableSize);
  Put32(image, kTestChecksumAt, 0x0BADF00D);
  image.resize(image.size() + tableSize, 0x5A);
}

}  // namespace scrivora::test
