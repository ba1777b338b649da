#include "container/pe_image.h"

namespace scrivora {
namespace {

constexpr std::uint64_t kNewHeaderPointerAt = 0x3C;  // e_lfanew in the DOS header
constexpr std::uint64_t kFileHeaderSize = 20;         // after the 4-byte "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kSecurityDirectory = 4;
// A WIN_CERTIFICATE entry has an 8-byte header, so no real table is smaller.
constexpr std::uint32_t kMinimumTableSize = 8;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

void Clear(std::uint8_t* p, int count) {
  for (int i = 0; i < count; ++i) p[i] = 0;
}

}  // namespace

PeHeader ReadPeHeader(const std::uint8_t* file, std::uint64_t length) {
  PeHeader header;
  if (length < kNewHeaderPointerAt + 4 || file[0] != 'M' || file[1] != 'Z') return header;
  const std::uint64_t peAt = Le32(file + kNewHeaderPointerAt);
  const std::uint64_t optionalAt = peAt + 4 + kFileHeaderSize;
  if (optionalAt + 2 > length) return header;
  if (file[peAt] != 'P' || file[peAt + 1] != 'E' || file[peAt + 2] != 0 || file[peAt + 3] != 0) {
    return header;
  }
  const std::uint64_t optionalSize = Le16(file + peAt + 4 + 16);  // SizeOfOptionalHeader
  const std::uint16_t magic = Le16(file + optionalAt);
  // Where the directory count and the directories begin differs by the wider ImageBase and
  // stack and heap sizes of PE32+; the checksum sits at the same place in both.
  std::uint64_t countAt = 0;
  if (magic == kPe32Magic) {
    countAt = 92;
  } else if (magic == kPe32PlusMagic) {
    countAt = 108;
  } else {
    return header;
  }
  const std::uint64_t entryAt = countAt + 4 + 8 * kSecurityDirectory;
  if (optionalSize < entryAt + 8 || optionalAt + entryAt + 8 > length) return header;
  if (Le32(file + optionalAt + countAt) <= kSecurityDirectory) return header;

  header.valid = true;
  header.checksumAt = optionalAt + 64;
  header.securityDirectoryAt = optionalAt + entryAt;
  header.certificateOffset = Le32(file + header.securityDirectoryAt);
  header.certificateSize = Le32(file + header.securityDirectoryAt + 4);
  return header;
}

CertificateTable FindCertificateTable(const std::uint8_t* file, std::uint64_t length) {
  return CertificateTableOf(ReadPeHeader(file, length), length);
}

CertificateTable CertificateTableOf(const PeHeader& header, std::uint64_t length) {
  if (!header.valid || header.certificateSize < kMinimumTableSize) return {};
  const std::uint64_t offset = header.certificateOffset;
  const std::uint64_t size = header.certificateSize;
  if (offset < header.securityDirectoryAt + 8 || offset > length || size != length - offset) {
    return {};
  }
  return CertificateTable{offset, size};
}

std::uint64_t RemoveSignature(std::uint8_t* image, std::uint64_t length) {
  const CertificateTable table = FindCertificateTable(image, length);
  if (!table.present()) return length;
  const PeHeader header = ReadPeHeader(image, length);
  Clear(image + header.securityDirectoryAt, 8);
  Clear(image + header.checksumAt, 4);
  return table.offset;
}

}  // namespace scrivora
