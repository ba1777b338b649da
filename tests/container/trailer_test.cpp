#include "container/trailer.h"

#include <gtest/gtest.h>

namespace scrivora {
namespace {

// The worked example: a 332,288-byte viewer, streams of 5,000 and 1,200 bytes,
// a 150-byte description, no options.
ContainerTrailer WorkedExample() {
  ContainerTrailer t;
  t.mainOffset = 332288;
  t.notesOffset = 332288 + 5000;
  t.descriptionOffset = 332288 + 5000 + 1200;
  return t;
}

TEST(Trailer, WorkedExampleBytes) {
  const TrailerBytes expected = {0x00, 0x12, 0x05, 0x00, 0x88, 0x25, 0x05, 0x00, 0x38, 0x2A,
                                 0x05, 0x00, 0x1E, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00};
  EXPECT_EQ(EncodeTrailer(WorkedExample()), expected);
  EXPECT_EQ(DecodeTrailer(expected.data()), WorkedExample());
}

TEST(Trailer, CopyAndWholeTextForbiddenWithNoNotesDiffersInLastEightBytes) {
  ContainerTrailer t = WorkedExample();
  t.notesPercent = 0;
  t.permissions = ComposePermissions(false, true, false);
  const TrailerBytes plain = EncodeTrailer(WorkedExample());
  const TrailerBytes variant = EncodeTrailer(t);
  EXPECT_TRUE(std::equal(plain.begin(), plain.begin() + 12, variant.begin()));
  const std::uint8_t tail[] = {0, 0, 0, 0, 2, 0, 0, 0};
  EXPECT_TRUE(std::equal(std::begin(tail), std::end(tail), variant.begin() + 12));
}

TEST(Trailer, PermissionWordsOfTheOptions) {
  struct Case { bool copy, print, printAll; std::int32_t word; };
  const Case cases[] = {
      {true, true, true, 7},    // no option
      {false, true, true, 6},   // -c
      {true, true, false, 3},   // -pa
      {false, true, false, 2},  // -c -pa
      {true, false, false, 1},  // -p
      {false, false, false, 0}, // -c -p
  };
  for (const Case& c : cases)
    EXPECT_EQ(ComposePermissions(c.copy, c.print, c.printAll), c.word) << c.word;
}

TEST(Trailer, NegativeAndLargeValuesRoundTrip) {
  ContainerTrailer t{-1, 0x7FFFFFFF, INT32_MIN, 250, -8};
  const TrailerBytes bytes = EncodeTrailer(t);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[11], 0x80);
  EXPECT_EQ(DecodeTrailer(bytes.data()), t);
}

}  // namespace
}  // namespace scrivora
