// The two fields of a Windows program image that Authenticode signing touches: the security
// directory (data directory 4 of the optional header, PE32 and PE32+ alike), which records where
// the certificate table lies, and the image checksum, which signing tools set. Nothing here
// reads outside the bytes it is given; a header that does not fit or does not make sense is
// read as "not a PE image".
#pragma once

#include <cstdint>

namespace scrivora {

// Where the fields of one image's headers lie, and what the security directory records.
struct PeHeader {
  bool valid = false;                        // the headers fit and make sense
  std::uint64_t checksumAt = 0;              // file offset of the 4-byte CheckSum
  std::uint64_t securityDirectoryAt = 0;     // file offset of the 8-byte directory entry
  std::uint32_t certificateOffset = 0;       // as recorded: a file offset, 0 when unsigned
  std::uint32_t certificateSize = 0;         // as recorded
};

PeHeader ReadPeHeader(const std::uint8_t* file, std::uint64_t length);

// The certificate table of a signed image. Present only when the security directory names a
// table that lies behind the headers, inside the file, and ends at the file's end: signing
// appends it last. Anything else (a table outside the file or in its middle, a broken header)
// reads as no table at all.
struct CertificateTable {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;

  bool present() const { return size > 0; }
};

CertificateTable FindCertificateTable(const std::uint8_t* file, std::uint64_t length);

// The same from headers read on their own: the first bytes of a file of `fileLength` bytes.
CertificateTable CertificateTableOf(const PeHeader& header, std::uint64_t fileLength);

// Turns a signed image in place into the unsigned one it was made from: clears the security
// directory and the checksum (which only drivers need, and which would no longer match anyway
// once more bytes follow the image). Returns the length of the image without its certificate
// table; an image with no table is left untouched and keeps its length.
std::uint64_t RemoveSignature(std::uint8_t* image, std::uint64_t length);

}  // namespace scrivora
