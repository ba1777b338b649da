#include "container/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace scrivora {
namespace {

std::vector<std::uint8_t> FileWithTrailer(std::size_t bodyLength, const ContainerTrailer& t) {
  std::vector<std::uint8_t> file(bodyLength, 'x');
  const TrailerBytes bytes = EncodeTrailer(t);
  file.insert(file.end(), bytes.begin(), bytes.end());
  return file;
}

TEST(Layout, Checks) {
  struct Case {
    const char* name;
    std::uint64_t fileLength;
    ContainerTrailer trailer;
    LayoutStatus expected;
  };
  // A 100-byte file: the trailer starts at 80.
  const Case cases[] = {
      {"sound", 100, {10, 20, 30, 30, 7}, LayoutStatus::Ok},
      {"empty streams and description", 100, {80, 80, 80, 30, 7}, LayoutStatus::Ok},
      {"shorter than a trailer", 19, {}, LayoutStatus::FileTooShort},
      {"exactly a trailer, offsets 0", 20, {0, 0, 0, 0, 0}, LayoutStatus::MainOffsetNotPositive},
      {"main offset negative", 100, {-5, 20, 30, 30, 7}, LayoutStatus::MainOffsetNotPositive},
      {"notes before main", 100, {20, 10, 30, 30, 7}, LayoutStatus::NotesBeforeMain},
      {"notes negative", 100, {10, -1, 30, 30, 7}, LayoutStatus::NotesBeforeMain},
      {"description before notes", 100, {10, 30, 20, 30, 7}, LayoutStatus::DescriptionBeforeNotes},
      {"description inside trailer", 100, {10, 20, 81, 30, 7}, LayoutStatus::DescriptionPastTrailer},
      {"beyond the file", 100, {10, 20, 5000, 30, 7}, LayoutStatus::DescriptionPastTrailer},
      {"all beyond the file", 100, {500, 600, 700, 30, 7}, LayoutStatus::DescriptionPastTrailer},
  };
  for (const Case& c : cases) {
    const LayoutResult r = CheckLayout(c.trailer, c.fileLength);
    EXPECT_EQ(r.status, c.expected) << c.name << ": " << r.Describe();
    EXPECT_EQ(static_cast<bool>(r), c.expected == LayoutStatus::Ok) << c.name;
  }
}

TEST(Layout, EveryErrorHasItsOwnText) {
  const LayoutStatus all[] = {LayoutStatus::Ok, LayoutStatus::FileTooShort,
                              LayoutStatus::MainOffsetNotPositive, LayoutStatus::NotesBeforeMain,
                              LayoutStatus::DescriptionBeforeNotes,
                              LayoutStatus::DescriptionPastTrailer};
  std::vector<std::string> texts;
  for (LayoutStatus s : all) {
    LayoutResult r;
    r.status = s;
    texts.emplace_back(r.Describe());
  }
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(std::unique(texts.begin(), texts.end()), texts.end());
}

TEST(Layout, ReadsTheTrailerFromTheLastTwentyBytes) {
  const ContainerTrailer t{10, 20, 30, 25, 3};
  const auto file = FileWithTrailer(40, t);
  const LayoutResult r = ReadLayout(file.data(), file.size());
  ASSERT_TRUE(r) << r.Describe();
  EXPECT_EQ(r.trailer, t);
  EXPECT_EQ(r.DescriptionEnd(), 40u);
}

TEST(Layout, ShortFilesHaveNoTrailer) {
  for (std::size_t n : {0u, 1u, 19u}) {
    std::vector<std::uint8_t> file(n, 0);
    EXPECT_EQ(ReadLayout(file.data(), n).status, LayoutStatus::FileTooShort) << n;
  }
}

TEST(Layout, BareProgramWithoutTrailerIsRejected) {
  // The end of an ordinary program file: zero padding gives offsets of 0.
  std::vector<std::uint8_t> file(4096, 0);
  EXPECT_EQ(ReadLayout(file.data(), file.size()).status, LayoutStatus::MainOffsetNotPositive);
}

}  // namespace
}  // namespace scrivora
