#include "container/pe_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "container/layout.h"
#include "tests/support/pe_test_image.h"

namespace scrivora {
namespace {

using Bytes = test::ImageBytes;
using test::Get32;
using test::kTestChecksumAt;
using test::kTestOptionalAt;
using test::kTestPeAt;
using test::PeImage;
using test::Put16;
using test::Put32;

void SetSecurity(Bytes& image, bool plus, std::uint32_t offset, std::uint32_t size) {
  test::SetSecurityDirectory(image, plus, offset, size);
}

// A container made from that image: two "streams", a description and the trailer, then
// `padding` zero bytes and, when `tableSize` is not 0, a certificate table recorded in the
// security directory, as signing leaves it.
Bytes Container(bool plus, std::size_t padding, std::uint32_t tableSize) {
  Bytes file = PeImage(plus);
  const auto main = static_cast<std::int32_t>(file.size());
  const std::string pieces = "{main}{notes}Title\r\n";
  file.insert(file.end(), pieces.begin(), pieces.end());
  const TrailerBytes trailer = EncodeTrailer({main, main + 6, main + 13, 30, 7});
  file.insert(file.end(), trailer.begin(), trailer.end());
  file.resize(file.size() + padding, 0);
  if (tableSize > 0) {
    SetSecurity(file, plus, static_cast<std::uint32_t>(file.size()), tableSize);
    file.resize(file.size() + tableSize, 0x5A);
  }
  return file;
}

TEST(CertificateTable, FoundOnlyWhereSigningPutsIt) {
  struct Case {
    const char* name;
    std::function<void(Bytes&, bool)> change;
    bool found;
  };
  // The file: 512 bytes of headers, then a 64-byte table at 512 recorded in the directory.
  const Case cases[] = {
      {"signed", [](Bytes&, bool) {}, true},
      {"unsigned", [](Bytes& f, bool plus) { SetSecurity(f, plus, 0, 0); }, false},
      {"no MZ", [](Bytes& f, bool) { f[0] = 'X'; }, false},
      {"no PE signature", [](Bytes& f, bool) { f[kTestPeAt + 2] = 'X'; }, false},
      {"new header beyond the file", [](Bytes& f, bool) { Put32(f, 0x3C, 0x10000); }, false},
      {"new header at 4 GiB", [](Bytes& f, bool) { Put32(f, 0x3C, 0xFFFFFFFC); }, false},
      {"unknown optional header", [](Bytes& f, bool) { Put16(f, kTestOptionalAt, 0x107); }, false},
      {"optional header too short for the directory",
       [](Bytes& f, bool) { Put16(f, kTestPeAt + 20, 0x60); }, false},
      {"only four directories",
       [](Bytes& f, bool plus) { Put32(f, kTestOptionalAt + (plus ? 108 : 92), 4); }, false},
      {"table past the file's end", [](Bytes& f, bool plus) { SetSecurity(f, plus, 512, 65); },
       false},
      {"table in the middle", [](Bytes& f, bool plus) { SetSecurity(f, plus, 500, 64); }, false},
      {"table inside the headers",
       [](Bytes& f, bool plus) {
         SetSecurity(f, plus, 16, static_cast<std::uint32_t>(f.size() - 16));
       },
       false},
      {"table offset past the file",
       [](Bytes& f, bool plus) { SetSecurity(f, plus, 0xFFFFFFF0, 64); }, false},
      {"table of 4 bytes",
       [](Bytes& f, bool plus) {
         SetSecurity(f, plus, static_cast<std::uint32_t>(f.size() - 4), 4);
       },
       false},
  };
  for (const bool plus : {false, true}) {
    for (const Case& c : cases) {
      Bytes file = PeImage(plus);
      SetSecurity(file, plus, 512, 64);
      file.resize(576, 0x5A);
      c.change(file, plus);
      const CertificateTable table = FindCertificateTable(file.data(), file.size());
      EXPECT_EQ(table.present(), c.found) << c.name << (plus ? " (PE32+)" : " (PE32)");
      if (c.found) {
        EXPECT_EQ(table.offset, 512u);
        EXPECT_EQ(table.size, 64u);
      }
    }
  }
}

TEST(CertificateTable, TruncatedHeadersNeverReadOutsideTheFile) {
  // Every prefix of a signed image's headers, each in a buffer of exactly its own size.
  Bytes whole = PeImage(true);
  SetSecurity(whole, true, 512, 64);
  const std::size_t headersEnd = test::SecurityDirectoryAt(true) + 8;
  for (std::size_t n = 0; n <= headersEnd; ++n) {
    const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_EQ(ReadPeHeader(prefix.data(), n).valid, n == headersEnd) << n;
    EXPECT_FALSE(FindCertificateTable(prefix.data(), n).present()) << n;
  }
}

TEST(SignedLayout, TheContainerEndsBeforeItsCertificateTable) {
  for (const bool plus : {false, true}) {
    for (std::size_t padding = 0; padding <= kMaxSigningPadding; ++padding) {
      const Bytes file = Container(plus, padding, 1024);
      const LayoutResult r = ReadLayout(file.data(), file.size());
      ASSERT_TRUE(r) << padding << ": " << r.Describe();
      EXPECT_EQ(r.fileLength, file.size());
      EXPECT_EQ(r.containerEnd, file.size() - 1024) << padding;
      EXPECT_EQ(r.padding, padding);
      EXPECT_EQ(r.certificate.size, 1024u);
      EXPECT_EQ(r.trailer.descriptionOffset, 512 + 13);
      EXPECT_EQ(r.DescriptionEnd(), 512u + 20u) << padding;
    }
  }
}

TEST(SignedLayout, PaddingLeftBySignatureRemovalIsSkipped) {
  for (std::size_t padding = 0; padding <= kMaxSigningPadding; ++padding) {
    const Bytes file = Container(false, padding, 0);
    const LayoutResult r = ReadLayout(file.data(), file.size());
    ASSERT_TRUE(r) << padding << ": " << r.Describe();
    EXPECT_EQ(r.containerEnd, file.size());
    EXPECT_EQ(r.padding, padding);
    EXPECT_FALSE(r.certificate.present());
  }
}

TEST(SignedLayout, WhatIsNotSigningPaddingIsNoContainer) {
  struct Case {
    const char* name;
    Bytes file;
    LayoutStatus expected;
  };
  Bytes nonZero = Container(false, 4, 64);
  nonZero[nonZero.size() - 64 - 2] = 1;  // padding before the table that is not zero
  Bytes eight = Container(false, 8, 64);
  const Case cases[] = {
      {"non-zero padding", nonZero, LayoutStatus::DescriptionBeforeNotes},
      // Seven is the most signing adds: the 20 bytes before the table begin inside the trailer.
      {"eight bytes of padding", eight, LayoutStatus::NotesBeforeMain},
  };
  for (const Case& c : cases) {
    const LayoutResult r = ReadLayout(c.file.data(), c.file.size());
    EXPECT_EQ(r.status, c.expected) << c.name << ": " << r.Describe();
  }
}

TEST(SignedLayout, ADirectoryIntoTheMiddleReadsAsUnsigned) {
  Bytes file = Container(true, 0, 0);
  SetSecurity(file, true, 512, 16);  // names the streams, which do not end the file
  const LayoutResult r = ReadLayout(file.data(), file.size());
  ASSERT_TRUE(r) << r.Describe();
  EXPECT_FALSE(r.certificate.present());
  EXPECT_EQ(r.containerEnd, file.size());
}

TEST(SignedLayout, FewestPaddingBytesFirst) {
  // Permission word 0 ends the trailer in four zero bytes, which must not be taken for padding.
  Bytes file = PeImage(false);
  file.resize(600, 'x');
  const TrailerBytes trailer = EncodeTrailer({512, 520, 530, 30, 0});
  file.insert(file.end(), trailer.begin(), trailer.end());
  const LayoutResult r = ReadLayout(file.data(), file.size());
  ASSERT_TRUE(r) << r.Describe();
  EXPECT_EQ(r.padding, 0u);
  EXPECT_EQ(r.trailer.permissions, 0);
}

TEST(RemoveSignature, ClearsTheDirectoryAndChecksumAndDropsTheTable) {
  for (const bool plus : {false, true}) {
    Bytes file = Container(plus, 3, 256);
    const std::uint64_t tableAt = file.size() - 256;
    Bytes expected(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(tableAt));
    SetSecurity(expected, plus, 0, 0);
    Put32(expected, kTestChecksumAt, 0);

    const std::uint64_t length = RemoveSignature(file.data(), file.size());
    ASSERT_EQ(length, tableAt);
    file.resize(length);
    EXPECT_EQ(file, expected);
    EXPECT_FALSE(FindCertificateTable(file.data(), file.size()).present());
  }
}

TEST(RemoveSignature, LeavesUnsignedAndForeignFilesAlone) {
  Bytes unsignedImage = Container(false, 0, 0);
  Bytes middle = Container(false, 0, 0);
  SetSecurity(middle, false, 512, 8);
  Bytes notPe(700, 0x33);
  for (Bytes* file : {&unsignedImage, &middle, &notPe}) {
    const Bytes before = *file;
    EXPECT_EQ(RemoveSignature(file->data(), file->size()), file->size());
    EXPECT_EQ(*file, before);
  }
  EXPECT_EQ(Get32(unsignedImage, kTestChecksumAt), 0x1234ABCDu);
}

}  // namespace
}  // namespace scrivora
