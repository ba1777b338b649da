// The splitter's behaviour on small documents: references and marks, formatting, the header,
// dropped destinations, binary data, Unicode settings, middle dots, many notes, bad input.
#include "notes/splitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "notes/plain_text.h"
#include "tests/notes/split_check.h"
#include "tests/support/test_support.h"

namespace scrivora {
namespace {

using namespace std::string_literals;

struct Split {
  SplitResult result;
  std::string output;
};

Split SplitIt(std::string_view input, SplitMode mode) {
  Split split;
  split.result = SplitDocument(input, split.output, mode);
  return split;
}

std::string Main(std::string_view input) {
  Split split = SplitIt(input, SplitMode::MainText);
  EXPECT_TRUE(split.result) << split.result.Describe();
  return split.output;
}

std::string Notes(std::string_view input) {
  Split split = SplitIt(input, SplitMode::Notes);
  EXPECT_TRUE(split.result) << split.result.Describe();
  return split.output;
}

const std::string kOne = MarkerRtf("1");

TEST(Splitter, ReplacesEachReferenceByItsMarkerInTheReferencesFormatting) {
  struct Case {
    const char* name;
    std::string input;
    std::string main;
  };
  const Case cases[] = {
      {"Word: reference and note in one group",
       "{\\rtf1 A{\\cs16\\super \\chftn {\\footnote \\pard {\\cs16\\super \\chftn } N.}} B}",
       "{\\rtf1 A{\\cs16\\super " + kOne + "} B}"},
      {"reference group followed by the note group",
       "{\\rtf1 A{\\super\\chftn}{\\*\\footnote\\chftn\\~\\plain\\pard N.} B}",
       "{\\rtf1 A{\\super" + kOne + "} B}"},
      {"bare reference, line end, note",
       "{\\rtf1 A\\chftn\r\n{\\footnote \\chftn N.}B}",
       "{\\rtf1 A" + kOne + "\r\nB}"},
      {"custom mark stays, marker where the note stood",
       "{\\rtf1 A{\\super *{\\footnote {\\super *} N.}} B}",
       "{\\rtf1 A{\\super *" + kOne + "} B}"},
      {"note without any mark", "{\\rtf1 text.{\\footnote note}}", "{\\rtf1 text." + kOne + "}"},
      {"a reference followed by text is no reference",
       "{\\rtf1 A\\chftn B{\\footnote N}}",
       "{\\rtf1 A\\chftn B" + kOne + "}"},
  };
  for (const Case& c : cases) EXPECT_EQ(Main(c.input), c.main) << c.name;
}

TEST(Splitter, WritesEachNoteAsAParagraphStartingWithItsMarker) {
  struct Case {
    const char* name;
    std::string input;
    std::string notes;
  };
  const Case cases[] = {
      {"the note's own number becomes the marker",
       "{\\rtf1\\ansi A\\chftn {\\footnote \\pard {\\super \\chftn } N.}}",
       "{\\rtf1\\ansi \n{\\uc1\\pard\\plain \\pard {\\super " + kOne + "} N.\\par}}"},
      {"a marker before the first text when the note has no number",
       "{\\rtf1 A{\\footnote {\\i N}\\par}}",
       "{\\rtf1 \n{\\uc1\\pard\\plain {\\i " + kOne + "N}\\par}}"},
      {"an empty note still gets its marker",
       "{\\rtf1 A{\\footnote}}",
       "{\\rtf1 \n{\\uc1\\pard\\plain " + kOne + "\\par}}"},
      {"endnotes are labelled apart from footnotes",
       "{\\rtf1 A{\\footnote\\ftnalt E}{\\footnote F}}",
       "{\\rtf1 \n{\\uc1\\pard\\plain " + MarkerRtf("a") + "E\\par}\n{\\uc1\\pard\\plain " +
           kOne + "F\\par}}"},
      {"the note keeps the \\uc in effect where it stood",
       "{\\rtf1\\uc0 A{\\footnote \\u8230 x}}",
       "{\\rtf1\\uc0 \n{\\uc0\\pard\\plain " + kOne + "\\u8230 x\\par}}"},
      {"no notes: the header alone",
       "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
       "{\\info{\\title T}}\\pard Text\\par}",
       "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\pard }"},
  };
  for (const Case& c : cases) EXPECT_EQ(Notes(c.input), c.notes) << c.name;
}

TEST(Splitter, KeepsMarkersPairedInUnusualPlaces) {
  // A reference far from its note is let go (memory stays bounded); the note still gets a marker.
  std::string farApart = "{\\rtf1 A\\chftn";
  for (int i = 0; i < 1000; ++i) farApart += "\\b0\\i0";
  farApart += "{\\footnote N}}";
  // A note inside a note is part of the outer note's text; a note inside data is no note.
  const std::string nested = "{\\rtf1 A\\chftn{\\footnote \\chftn N{\\footnote inner}M}B}";
  const std::string inData = "{\\rtf1 A{\\*\\unknown {\\footnote x}}B}";
  struct Case {
    const char* name;
    std::string input;
    std::u32string main;
    std::u32string notes;
  };
  const Case cases[] = {
      {"reference far from its note", farApart, U"A\u00B71\u00B7", U"\u00B71\u00B7N\n"},
      {"note in a note", nested, U"A\u00B71\u00B7B", U"\u00B71\u00B7NinnerM\n"},
      {"note in unknown data", inData, U"AB", U""},
  };
  for (const Case& c : cases) {
    const std::string main = Main(c.input);
    const std::string notes = Notes(c.input);
    EXPECT_TRUE(ExtractPlainText(main).main == c.main) << c.name;
    EXPECT_TRUE(ExtractPlainText(notes).main == c.notes) << c.name;
    EXPECT_TRUE(test::FramedAsOneGroup(main) && test::FramedAsOneGroup(notes)) << c.name;
  }
  EXPECT_NE(Main(farApart).find("\\chftn"), std::string::npos);  // left as it was
}

TEST(Splitter, PassesADocumentWithoutNotesThroughUnchanged) {
  const std::string input =
      "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}}{\\*\\bkmkstart b}\\'e9t\\'e9 "
      "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}\\u8230\\'85\\par}\r\n";
  EXPECT_EQ(Main(input), input.substr(0, input.size() - 2));
}

TEST(Splitter, MarkersReadAsMiddleDotsWhateverTheUnicodeSetting) {
  for (const std::string setting : {"", "\\uc0", "\\uc2", "\\uc1\\ansicpg1251", "\\mac"}) {
    const std::string input = "{\\rtf1" + setting + " A\\chftn{\\footnote \\chftn N}B}";
    const PlainText main = ExtractPlainText(Main(input));
    const PlainText notes = ExtractPlainText(Notes(input));
    EXPECT_EQ(main.main, U"A\u00B71\u00B7B") << setting;
    EXPECT_EQ(notes.main, U"\u00B71\u00B7N\n") << setting;
  }
}

TEST(Splitter, DropsDestinationsTheControlIgnores) {
  const std::string input = test::ReadFile(test::SourceDir() / "tests/notes/data/word_notes.rtf");
  const Split main = SplitIt(input, SplitMode::MainText);
  const Split notes = SplitIt(input, SplitMode::Notes);
  ASSERT_TRUE(main.result && notes.result);
  for (const char* word : {"\\themedata", "\\colorschememapping", "\\datastore", "\\latentstyles",
                           "\\rsidtbl", "\\xmlnstbl", "\\ftnsep"}) {
    EXPECT_EQ(input.find(word) == std::string::npos, false) << word;
    EXPECT_EQ(main.output.find(word), std::string::npos) << word;
    EXPECT_EQ(notes.output.find(word), std::string::npos) << word;
  }
  for (const char* kept : {"{\\fonttbl", "{\\colortbl", "{\\stylesheet", "\\ansicpg1252"}) {
    EXPECT_NE(main.output.find(kept), std::string::npos) << kept;
    EXPECT_NE(notes.output.find(kept), std::string::npos) << kept;
  }
  EXPECT_EQ(main.output.find("\\chftn"), std::string::npos);
  EXPECT_EQ(notes.output.find("\\chftn"), std::string::npos);
  EXPECT_GT(main.result.droppedBytes, input.size() / 2);
  std::printf("word_notes.rtf: %zu bytes in, -r %zu, -x %zu, %llu bytes of ignored destinations\n",
              input.size(), main.output.size(), notes.output.size(),
              static_cast<unsigned long long>(main.result.droppedBytes));
}

TEST(Splitter, WritesBinaryDataAsHexSoNoBraceEndsTheStream) {
  const std::string input = "{\\rtf1 A{\\pict\\pngblip\\bin4 {}}\\}B\\chftn{\\footnote N}}";
  const std::string main = Main(input);
  EXPECT_EQ(main, "{\\rtf1 A{\\pict\\pngblip 7b7d7d5c}B" + kOne + "}");
  EXPECT_TRUE(test::FramedAsOneGroup(main));

  // Binary data as the fallback of a \uN in the text: a reader still skips one character there,
  // so something must stand in its place, or the next real letter is lost.
  const std::string fallback = "{\\rtf1 A\\u8230\\bin2 {}x}";
  EXPECT_EQ(Main(fallback), "{\\rtf1 A\\u8230?x}");
  EXPECT_TRUE(ExtractPlainText(Main(fallback)).main == U"A\u2026x");
}

TEST(Splitter, CountsMiddleDotsAlreadyInTheText) {
  struct Case {
    std::string input;
    std::uint64_t dots;
  };
  const Case cases[] = {
      {"{\\rtf1\\ansi\\ansicpg1252 a\\'b7b\\u183?c\xB7{\\*\\themedata b7}{\\fonttbl{\\f0 \xB7;}}}", 3},
      {"{\\rtf1\\ansi\\ansicpg1252 \\u183\\'b7 one, its fallback skipped}", 1},
      {"{\\rtf1\\ansi a{\\footnote \\'b7}}", 1},
      {"{\\rtf1\\mac \\'e1 \\'b7}", 1},
      {"{\\rtf1\\ansi {\\listtext \\'b7\\tab}Item}", 0},
      {"{\\rtf1 A\\chftn{\\footnote N}}", 0},
  };
  for (const Case& c : cases) {
    for (const SplitMode mode : {SplitMode::MainText, SplitMode::Notes}) {
      EXPECT_EQ(SplitIt(c.input, mode).result.middleDots, c.dots) << c.input;
    }
  }
}

TEST(Splitter, LabelsAHundredThousandNotesDistinctly) {
  std::string input = "{\\rtf1\\ansi ";
  for (int i = 0; i < 100'000; ++i) {
    input += (i % 3 == 2) ? "w{\\super\\chftn}{\\footnote\\ftnalt \\chftn e}"
                          : "w{\\super\\chftn}{\\footnote \\chftn f}";
  }
  input += "}";
  const Split main = SplitIt(input, SplitMode::MainText);
  const Split notes = SplitIt(input, SplitMode::Notes);
  ASSERT_TRUE(main.result && notes.result);
  EXPECT_EQ(main.result.footnotes, 66'667u);
  EXPECT_EQ(main.result.endnotes, 33'333u);
  const auto mainMarkers = test::Markers(ExtractPlainText(main.output).main);
  EXPECT_EQ(mainMarkers.size(), 100'000u);  // distinct without regard to case
  EXPECT_EQ(mainMarkers, test::Markers(ExtractPlainText(notes.output).main));
  for (const auto& [marker, count] : mainMarkers) {
    ASSERT_EQ(count, 1);
    ASSERT_LE(marker.size(), 6u);
  }
}

TEST(Splitter, HandlesGroupsNestedDeeperThanAnyStack) {
  const std::size_t depth = 300'000;
  const std::string input = "{\\rtf1 A\\chftn{\\footnote " + std::string(depth, '{') + "deep" +
                            std::string(depth, '}') + "}" + std::string(depth, '{') + "B" +
                            std::string(depth, '}') + "}";
  const std::string main = Main(input);
  const std::string notes = Notes(input);
  EXPECT_TRUE(test::FramedAsOneGroup(main));
  EXPECT_TRUE(test::FramedAsOneGroup(notes));
  EXPECT_EQ(test::WithoutMarkersAndSpace(ExtractPlainText(notes).main), U"deep");
}

TEST(Splitter, RefusesBadInputWithoutACompleteDocument) {
  struct Case {
    const char* name;
    std::string input;
    SplitStatus status;
  };
  const Case cases[] = {
      {"empty", "", SplitStatus::NotRtf},
      {"plain text", "Hello, world", SplitStatus::NotRtf},
      {"leading space", " {\\rtf1 x}", SplitStatus::NotRtf},
      {"another group word", "{\\rtfx x}", SplitStatus::NotRtf},
      {"a stray closing brace first", "}{\\rtf1 x}", SplitStatus::NotRtf},
      {"truncated in the text", "{\\rtf1 A\\chftn{\\footnote N}}"s.substr(0, 20), SplitStatus::Truncated},
      {"truncated in a note", "{\\rtf1 A{\\footnote N", SplitStatus::Truncated},
      {"truncated in a control word", "{\\rtf1 A\\", SplitStatus::Truncated},
      {"truncated in binary data", "{\\rtf1 {\\pict\\bin100 abc", SplitStatus::Truncated},
      {"a closing brace too many", "{\\rtf1 A}}", SplitStatus::UnbalancedBrace},
      {"text after the document", "{\\rtf1 A} B", SplitStatus::TrailingData},
      {"a second group after the document", "{\\rtf1 A}{\\rtf1 B}", SplitStatus::TrailingData},
      {"an overlong control word", "{\\rtf1 \\" + std::string(100, 'x') + "}",
       SplitStatus::OverlongControl},
  };
  for (const Case& c : cases) {
    for (const SplitMode mode : {SplitMode::MainText, SplitMode::Notes}) {
      const Split split = SplitIt(c.input, mode);
      EXPECT_EQ(split.result.status, c.status) << c.name;
      EXPECT_FALSE(split.result.Describe().empty());
      EXPECT_FALSE(!split.output.empty() && test::FramedAsOneGroup(split.output)) << c.name;
    }
  }
}

// Gives the document in reads of at most `chunk` bytes, then fails where `failAt` is reached.
class FailingSource final : public ByteSource {
 public:
  FailingSource(std::string_view bytes, std::size_t failAt, std::size_t chunk)
      : bytes_(bytes.substr(0, failAt)), chunk_(chunk) {}
  std::ptrdiff_t Read(std::uint8_t* buffer, std::size_t capacity) override {
    if (pos_ == bytes_.size()) return -1;
    const std::size_t count = std::min({capacity, chunk_, bytes_.size() - pos_});
    std::memcpy(buffer, bytes_.data() + pos_, count);
    pos_ += count;
    return static_cast<std::ptrdiff_t>(count);
  }
  std::size_t read() const { return pos_; }

 private:
  std::string_view bytes_;
  std::size_t chunk_;
  std::size_t pos_ = 0;
};

// Takes `room` bytes, then refuses, keeping the part of the refused write that still fitted, as
// a full disk or a closed pipe would.
class FullSink final : public ByteSink {
 public:
  explicit FullSink(std::size_t room) : room_(room) {}
  bool Write(const std::uint8_t* bytes, std::size_t length) override {
    const std::size_t taken = std::min(length, room_ - text.size());
    text.append(reinterpret_cast<const char*>(bytes), taken);
    return taken == length;
  }
  std::string text;

 private:
  std::size_t room_;
};

// A note of each kind, a reference, binary data and text, so that a read can fail in each.
const std::string kAllKinds =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}} A{\\super\\chftn}{\\footnote \\chftn N.}"
    " B{\\footnote\\ftnalt E.}{\\pict\\bin2 {}}C\\u8230?\\par}";

TEST(Splitter, ReportsAReadErrorWhereverTheInputFails) {
  for (const SplitMode mode : {SplitMode::MainText, SplitMode::Notes}) {
    for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
      // Up to and including the whole document: a read error instead of its end is still one.
      for (std::size_t failAt = 0; failAt <= kAllKinds.size(); ++failAt) {
        FailingSource source(kAllKinds, failAt, chunk);
        StringSink sink;
        const SplitResult result = SplitDocument(source, sink, mode);
        const std::string where = std::to_string(failAt) + " of " +
                                  std::to_string(kAllKinds.size()) + ", reads of " +
                                  std::to_string(chunk);
        ASSERT_EQ(result.status, SplitStatus::ReadFailed) << where;
        EXPECT_EQ(result.offset, failAt) << where;
        EXPECT_NE(result.Describe().find("could not be read (at byte " + std::to_string(failAt)),
                  std::string::npos)
            << result.Describe();
        EXPECT_FALSE(test::FramedAsOneGroup(sink.text)) << where;
      }
    }
  }
}

TEST(Splitter, ReportsAWriteErrorWhereverTheOutputFails) {
  // A small document reaches the sink in one write at the end; a large one in many along the way,
  // with runs longer than the splitter's buffer among them.
  std::string large = "{\\rtf1\\ansi ";
  for (int i = 0; i < 20'000; ++i) large += "Word{\\super\\chftn}{\\footnote \\chftn Note.}\\par ";
  large += std::string(200'000, 'x') + "{\\pict\\bin70000 " + std::string(70'000, '{') + "}}";
  for (const std::string& input : {kAllKinds, large}) {
    for (const SplitMode mode : {SplitMode::MainText, SplitMode::Notes}) {
      std::string whole;
      ASSERT_TRUE(SplitDocument(input, whole, mode));
      std::vector<std::size_t> rooms = {0, 1, whole.size() / 2, whole.size() - 1};
      if (input.size() == kAllKinds.size()) {
        for (std::size_t room = 2; room + 1 < whole.size(); ++room) rooms.push_back(room);
      } else {
        for (const std::size_t room : {65'535, 65'536, 65'537, 300'000}) rooms.push_back(room);
      }
      for (const std::size_t room : rooms) {
        MemorySource source(input);
        FullSink sink(room);
        const SplitResult result = SplitDocument(source, sink, mode);
        ASSERT_EQ(result.status, SplitStatus::WriteFailed) << room << " of " << whole.size();
        EXPECT_EQ(result.Describe(), "the output could not be written");
        EXPECT_EQ(sink.text, whole.substr(0, room)) << room;
        EXPECT_FALSE(test::FramedAsOneGroup(sink.text)) << room;
      }
      FullSink roomForAll(whole.size());
      MemorySource source(input);
      EXPECT_TRUE(SplitDocument(source, roomForAll, mode));
      EXPECT_TRUE(roomForAll.text == whole);
    }
  }
  // Once the output is gone the rest of the input is not read for nothing.
  FailingSource source(large, large.size(), 4096);
  FullSink sink(0);
  EXPECT_EQ(SplitDocument(source, sink, SplitMode::MainText).status, SplitStatus::WriteFailed);
  EXPECT_LT(source.read(), large.size() / 4);
}

TEST(Splitter, ReportsTheFirstNoteBeyondTheLabelsLeft) {
  const std::string foot = "{\\footnote F}";
  const std::string end = "{\\footnote\\ftnalt E}";
  // The text before the last of `notes`: where that note's group opens.
  auto before = [](std::initializer_list<std::string> notes) {
    std::string text = "{\\rtf1 ";
    for (const std::string& note : notes) text += "w" + note;
    return text.substr(0, text.size() - std::data(notes)[notes.size() - 1].size());
  };
  auto document = [&](std::initializer_list<std::string> notes) {
    return before(notes) + std::data(notes)[notes.size() - 1] + "}";
  };
  struct Case {
    const char* name;
    LabelLimits limits;
    std::string input;
    SplitStatus status;
    std::size_t offset;  // where the note that finds no label left opens
  };
  const Case cases[] = {
      {"as many notes as labels", {2, 1}, document({foot, end, foot}), SplitStatus::Ok, 0},
      {"one footnote too many", {2, 1}, document({foot, end, foot, foot}),
       SplitStatus::TooManyNotes, before({foot, end, foot, foot}).size()},
      {"one endnote too many", {2, 1}, document({end, foot, end}), SplitStatus::TooManyNotes,
       before({end, foot, end}).size()},
      {"no footnote label at all", {0, 5}, document({end, foot}), SplitStatus::TooManyNotes,
       before({end, foot}).size()},
      {"the kinds count apart", {1, 1}, document({end, foot}), SplitStatus::Ok, 0},
  };
  for (const Case& c : cases) {
    for (const SplitMode mode : {SplitMode::MainText, SplitMode::Notes}) {
      MemorySource source(c.input);
      StringSink sink;
      const SplitResult result = SplitDocument(source, sink, mode, c.limits);
      ASSERT_EQ(result.status, c.status) << c.name;
      EXPECT_EQ(test::FramedAsOneGroup(sink.text), c.status == SplitStatus::Ok) << c.name;
      if (c.status == SplitStatus::Ok) continue;
      EXPECT_EQ(result.offset, c.offset) << c.name;
      EXPECT_NE(result.Describe().find("too many notes"), std::string::npos) << c.name;
    }
  }
}

TEST(Splitter, AcceptsLineEndsAndNullsAfterTheDocument) {
  EXPECT_EQ(Main(std::string("{\\rtf1 A}\r\n\0\0", 13)), "{\\rtf1 A}");
}

TEST(Splitter, ReportsWhereTheFaultIs) {
  const Split split = SplitIt("{\\rtf1 abc}}", SplitMode::MainText);
  EXPECT_EQ(split.result.status, SplitStatus::UnbalancedBrace);
  EXPECT_EQ(split.result.offset, 11u);
  EXPECT_NE(split.result.Describe().find("byte 11"), std::string::npos);
}

}  // namespace
}  // namespace scrivora
