// Every fixture and every real document of the corpus splits into two sound documents whose
// markers match one to one and which together hold all the text of the input.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "notes/plain_text.h"
#include "notes/splitter.h"
#include "tests/notes/split_check.h"
#include "tests/support/test_support.h"

namespace scrivora {
namespace {

void ExpectSoundSplits(const std::vector<std::filesystem::path>& documents) {
  for (const auto& path : documents) {
    SCOPED_TRACE(path.filename().string());
    const std::string input = test::ReadFile(path);
    std::string main;
    std::string notes;
    const SplitResult mainResult = SplitDocument(input, main, SplitMode::MainText);
    const SplitResult notesResult = SplitDocument(input, notes, SplitMode::Notes);
    ASSERT_TRUE(mainResult) << mainResult.Describe();
    ASSERT_TRUE(notesResult) << notesResult.Describe();

    // One complete group each, ending exactly at the last byte.
    EXPECT_TRUE(test::FramedAsOneGroup(main));
    EXPECT_TRUE(test::FramedAsOneGroup(notes));

    const PlainText source = ExtractPlainText(input);
    const PlainText mainText = ExtractPlainText(main);
    const PlainText notesText = ExtractPlainText(notes);
    ASSERT_TRUE(source.ok && mainText.ok && notesText.ok);
    EXPECT_GT(source.noteGroups, 0u);
    EXPECT_EQ(mainText.noteGroups, 0u);
    EXPECT_EQ(notesText.noteGroups, 0u);
    EXPECT_EQ(mainResult.footnotes + mainResult.endnotes, source.noteGroups);

    // Each marker exactly once in each document, the same set in both, one per note group.
    const auto mainMarkers = test::Markers(mainText.main);
    const auto noteMarkers = test::Markers(notesText.main);
    EXPECT_EQ(mainMarkers.size(), source.noteGroups);
    EXPECT_EQ(mainMarkers, noteMarkers);
    for (const auto& [marker, count] : mainMarkers) EXPECT_EQ(count, 1);

    // No text lost or moved: the main text is the input's text outside notes, the notes
    // document the notes' text, in order.
    EXPECT_TRUE(test::WithoutMarkersAndSpace(mainText.main) ==
                test::WithoutMarkersAndSpace(source.main));
    EXPECT_TRUE(test::WithoutMarkersAndSpace(notesText.main) ==
                test::WithoutMarkersAndSpace(source.notes));

    // Each note paragraph starts with its marker: no text between its start and the marker.
    std::size_t paragraphs = 0;
    for (std::size_t at = notes.find("\n{\\uc"); at != std::string::npos;
         at = notes.find("\n{\\uc", at + 1)) {
      if (notes.compare(at, 11, "\n{\\uc1\\u183") == 0) continue;  // a marker, not a note
      ++paragraphs;
      const std::size_t marker = notes.find("{\\uc1\\u183", at + 1);
      ASSERT_NE(marker, std::string::npos);
      const PlainText before = ExtractPlainText(notes.substr(at, marker - at));
      EXPECT_TRUE(test::WithoutMarkersAndSpace(before.main).empty())
          << notes.substr(at, marker - at);
    }
    EXPECT_EQ(paragraphs, source.noteGroups);
  }
}

TEST(SplitDocuments, GiveMatchingMarkersAndKeepAllText) {
  const auto fixtures = test::RtfFilesIn(test::FixtureDir());
  ASSERT_GE(fixtures.size(), 3u);  // Word, LibreOffice and pandoc
  ExpectSoundSplits(fixtures);
}

TEST(SplitDocuments, CorpusDocumentsGiveMatchingMarkersAndKeepAllText) {
  SCRIVORA_SKIP_WITHOUT_CORPUS();
  const auto documents = test::RtfFilesIn(test::CorpusDir());
  ASSERT_GE(documents.size(), 16u);
  ExpectSoundSplits(documents);
}

}  // namespace
}  // namespace scrivora
