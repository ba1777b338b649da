// The embed program as a whole: the container it writes, its usage text, and how it fails.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "container/layout.h"
#include "container/pe_image.h"
#include "container/stream_codec.h"
#include "container/trailer.h"
#include "embed/command_line.h"
#include "tests/embed/embed_harness.h"
#include "tests/embed/fake_notes_output.h"
#include "tests/support/pe_test_image.h"

namespace scrivora {
namespace {

using test::EmbedWorkshop;
using test::NativeArgument;
using test::ProgramRun;
namespace fs = std::filesystem;

const std::string kBook =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}\\f0 A book with a note"
    "{\\super \\chftn}{\\footnote \\pard {\\super \\chftn} The note.}.\\par}\r\n";
const std::string kAbout = "Small book\r\nAbout the small book.\r\n";
const std::string kEarlierContainer = std::string("an earlier container\0\x01\x02", 23);

std::vector<NativeString> Arguments(const std::vector<std::string>& utf8) {
  std::vector<NativeString> arguments;
  for (const std::string& a : utf8) arguments.push_back(NativeArgument(a));
  return arguments;
}

// A workshop whose work folder holds the book, its description and an earlier container.
struct BookWorkshop : EmbedWorkshop {
  explicit BookWorkshop(bool awkward = false, std::optional<fs::path> notes = std::nullopt)
      : EmbedWorkshop(awkward, std::move(notes)) {
    test::WriteFile(work() / "book.rtf", kBook);
    test::WriteFile(work() / "about.txt", kAbout);
    test::WriteFile(work() / "embedded.exe", kEarlierContainer);
  }
};

// What the workshop's splitter prints for `rtf` with `mode`, run on its own.
std::string SplitterOutput(const EmbedWorkshop& workshop, const fs::path& rtf, const char* mode) {
  test::RunSettings settings;
  settings.workFolder = workshop.work();
  settings.input = rtf;
  const ProgramRun run = test::RunProgramIn(settings, workshop.Tool("notes"), Arguments({mode}));
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

// The piece [from, to) of the container is the scrambled `printed`, and decodes to it up to the
// close of its outermost group.
void ExpectStream(const std::string& container, std::int64_t from, std::int64_t to,
                  const std::string& printed) {
  ASSERT_LE(from, to);
  ASSERT_LE(static_cast<std::uint64_t>(to), container.size());
  EXPECT_TRUE(container.substr(from, to - from) == EncodeStream(printed));
  const DecodedStream decoded =
      DecodeStream(reinterpret_cast<const std::uint8_t*>(container.data()), container.size(), from);
  ASSERT_TRUE(decoded.groupClosed);
  EXPECT_LE(static_cast<std::int64_t>(decoded.consumed), to - from);
  EXPECT_TRUE(decoded.text + "}" == printed.substr(0, decoded.consumed));
}

TEST(EmbedProgram, GoldenContainer) {
  BookWorkshop workshop;
  const ProgramRun run = workshop.Run(Arguments({"-c", "/20", "book.rtf", "about.txt"}));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "");

  const std::string container = test::ReadFile(workshop.work() / "embedded.exe");
  ASSERT_EQ(kBook.size(), 131u);
  ASSERT_EQ(std::string(test::kFakeNotesOutput).size(), 35u);
  ASSERT_EQ(kAbout.size(), 35u);
  // Viewer 0..1536, main stream 1536..1667, notes stream 1667..1702, description 1702..1737.
  ASSERT_EQ(container.size(), 1757u);
  const std::uint8_t trailer[] = {0x00, 0x06, 0x00, 0x00, 0x83, 0x06, 0x00, 0x00, 0xA6, 0x06,
                                  0x00, 0x00, 0x14, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00};
  EXPECT_TRUE(container.substr(1737) == std::string(std::begin(trailer), std::end(trailer)));
  EXPECT_TRUE(container.substr(0, 1536) == test::StandInViewer(1536));
  ExpectStream(container, 1536, 1667, kBook);
  ExpectStream(container, 1667, 1702, test::kFakeNotesOutput);
  EXPECT_EQ(container.substr(1702, 35), kAbout);
  // The streams are what the splitter prints when run alone.
  ExpectStream(container, 1536, 1667, SplitterOutput(workshop, workshop.work() / "book.rtf", "-r"));
  ExpectStream(container, 1667, 1702, SplitterOutput(workshop, workshop.work() / "book.rtf", "-x"));
  EXPECT_TRUE(
      ReadLayout(reinterpret_cast<const std::uint8_t*>(container.data()), container.size()));

  // The earlier container is replaced and no temporary file is left.
  const auto listing = workshop.WorkListing();
  ASSERT_EQ(listing.size(), 3u);
  EXPECT_EQ(listing[0].first, "about.txt");
  EXPECT_EQ(listing[1].first, "book.rtf");
  EXPECT_EQ(listing[2].first, "embedded.exe");
}

// A signed viewer goes into the container without its certificate table, and the copy's headers
// record none, so the container is unsigned until its author signs it. The padding that signing
// put before the table stays: the image copied is what lies before the table.
TEST(EmbedProgram, SignedViewerIsCopiedWithoutItsSignature) {
  for (const bool plus : {false, true}) {
    BookWorkshop workshop;
    test::ImageBytes viewer = test::PeImage(plus, 1541);
    test::SignImage(viewer, plus, 712);
    ASSERT_EQ(viewer.size(), 1544u + 712u);
    test::WriteFile(workshop.Tool("scrivora.exe"),
                    std::string(viewer.begin(), viewer.end()));
    const ProgramRun run = workshop.Run(Arguments({"book.rtf", "about.txt"}));
    ASSERT_EQ(run.status, 0) << run.err;

    const std::string container = test::ReadFile(workshop.work() / "embedded.exe");
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(container.data());
    ASSERT_EQ(container.size(), 1544u + 131u + 35u + 35u + 20u);
    const LayoutResult layout = ReadLayout(bytes, container.size());
    ASSERT_TRUE(layout) << layout.Describe();
    EXPECT_EQ(layout.trailer.mainOffset, 1544);
    EXPECT_FALSE(layout.certificate.present());
    const PeHeader header = ReadPeHeader(bytes, container.size());
    ASSERT_TRUE(header.valid);
    EXPECT_EQ(header.certificateOffset, 0u);
    EXPECT_EQ(header.certificateSize, 0u);

    test::ImageBytes expected(viewer.begin(), viewer.begin() + 1544);
    test::SetSecurityDirectory(expected, plus, 0, 0);
    test::Put32(expected, test::kTestChecksumAt, 0);
    EXPECT_TRUE(container.substr(0, 1544) == std::string(expected.begin(), expected.end()));
    ExpectStream(container, 1544, 1544 + 131, kBook);
  }
}

// An unsigned program image, or a file that is none, is copied byte for byte.
TEST(EmbedProgram, UnsignedViewerIsCopiedUnchanged) {
  test::ImageBytes image = test::PeImage(true, 2048);
  const std::string unsignedImage(image.begin(), image.end());
  for (const std::string& viewer : {unsignedImage, test::StandInViewer(1536)}) {
    BookWorkshop workshop;
    test::WriteFile(workshop.Tool("scrivora.exe"), viewer);
    const ProgramRun run = workshop.Run(Arguments({"book.rtf", "about.txt"}));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string container = test::ReadFile(workshop.work() / "embedded.exe");
    EXPECT_TRUE(container.substr(0, viewer.size()) == viewer);
    EXPECT_EQ(container.size(), viewer.size() + 131u + 35u + 35u + 20u);
  }
}

TEST(EmbedProgram, OptionsReachTheTrailer) {
  struct OptionCase {
    std::vector<std::string> options;
    std::int32_t notesPercent;
    std::int32_t permissions;
  };
  const OptionCase cases[] = {
      {{}, 30, 7}, {{"-PA", "/0"}, 0, 3}, {{"-c", "-p"}, 30, 0}, {{"/150"}, 150, 7}};
  BookWorkshop workshop;
  for (const OptionCase& c : cases) {
    std::vector<std::string> arguments = c.options;
    arguments.insert(arguments.end(), {"book.rtf", "about.txt"});
    const ProgramRun run = workshop.Run(Arguments(arguments));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string container = test::ReadFile(workshop.work() / "embedded.exe");
    ASSERT_EQ(container.size(), 1757u);
    const ContainerTrailer trailer =
        DecodeTrailer(reinterpret_cast<const std::uint8_t*>(container.data()) + 1737);
    EXPECT_EQ(trailer.notesPercent, c.notesPercent);
    EXPECT_EQ(trailer.permissions, c.permissions);
    EXPECT_EQ(trailer.descriptionOffset, 1702);
  }
}

TEST(EmbedProgram, UsageTextAloneWithStatusOneAndNothingTouched) {
  const std::vector<std::vector<std::string>> commandLines = {
      {},
      {"book.rtf"},
      {"-c"},
      {"-p", "-c", "book.rtf", "about.txt"},
      {"/abc", "book.rtf", "about.txt"},
      {"book.rtf", "about.txt", "more.txt"}};
  BookWorkshop workshop;
  const auto before = workshop.WorkListing();
  for (const auto& arguments : commandLines) {
    const ProgramRun run = workshop.Run(Arguments(arguments));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, kUsageText);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(workshop.WorkListing(), before);
  }
}

TEST(EmbedProgram, AwkwardFolderAndFileNames) {
  BookWorkshop workshop(/*awkward=*/true);
  const std::string rtfName = test::AwkwardName("book") + ".rtf";
  const fs::path description =
      workshop.work() / test::Utf8Path(test::AwkwardName("about") + ".txt");
  test::WriteFile(workshop.work() / test::Utf8Path(rtfName), kBook);
  test::WriteFile(description, kAbout);
  const std::u8string absolute = description.u8string();
  const ProgramRun run =
      workshop.Run(Arguments({"-pa", rtfName, std::string(absolute.begin(), absolute.end())}));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string container = test::ReadFile(workshop.work() / "embedded.exe");
  ASSERT_EQ(container.size(), 1757u);
  ExpectStream(container, 1536, 1667, kBook);
  ExpectStream(container, 1667, 1702, test::kFakeNotesOutput);
  EXPECT_EQ(container.substr(1702, 35), kAbout);
  EXPECT_EQ(workshop.WorkListing().size(), 5u);  // the two inputs of each kind and the container
}

// The companions are found beside the program file itself, whatever its first argument says or
// wherever a link to it lies.
TEST(EmbedProgram, FindsCompanionsBesideItsOwnFile) {
  BookWorkshop workshop;
  test::RunSettings settings;
  settings.workFolder = workshop.work();
  settings.programName = workshop.work() / "elsewhere" / "embed";
  test::ProgramRun run =
      test::RunProgramIn(settings, workshop.Embed(), Arguments({"book.rtf", "about.txt"}));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::ReadFile(workshop.work() / "embedded.exe").size(), 1757u);
#if !defined(_WIN32)
  const fs::path link = workshop.work().parent_path() / "link folder" / "embed";
  fs::create_directories(link.parent_path());
  fs::create_symlink(workshop.Embed(), link);
  fs::remove(workshop.work() / "embedded.exe");
  run = test::RunProgramIn(settings, link, Arguments({"book.rtf", "about.txt"}));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::ReadFile(workshop.work() / "embedded.exe").size(), 1757u);
#endif
}

// Each failure: a message that names the step and the file, status 2, and the work folder
// exactly as it was, an earlier embedded.exe included.
struct FailureCase {
  const char* name;
  std::function<void(BookWorkshop&)> prepare;
  std::vector<std::string> arguments;
  std::vector<std::string> messageParts;
  std::optional<std::uint64_t> fileSizeLimit = std::nullopt;
};

std::string BookWith(const char* word) { return kBook.substr(0, 20) + word + kBook.substr(20); }

const std::vector<std::string> kBookAndAbout = {"book.rtf", "about.txt"};

std::vector<FailureCase> FailureCases() {
  auto replaceBook = [](const char* word) {
    return [word](BookWorkshop& w) { test::WriteFile(w.work() / "book.rtf", BookWith(word)); };
  };
  const std::string readRtf = "embed: reading the RTF source \"";
  std::vector<FailureCase> cases = {
    {"notes missing",
     [](BookWorkshop& w) { fs::remove(w.Tool("notes")); },
     kBookAndAbout,
     {"embed: finding the companion program \"", "notes",
      "\" failed: it is not in the folder of embed\n"}},
    {"encrypt missing",
     [](BookWorkshop& w) { fs::remove(w.Tool("encrypt")); },
     kBookAndAbout,
     {"embed: finding the companion program \"", "encrypt",
      "\" failed: it is not in the folder of embed\n"}},
    {"viewer missing",
     [](BookWorkshop& w) { fs::remove(w.Tool("scrivora.exe")); },
     kBookAndAbout,
     {"embed: finding the companion program \"", "scrivora.exe\" failed"}},
    {"viewer empty",
     [](BookWorkshop& w) { test::WriteFile(w.Tool("scrivora.exe"), ""); },
     kBookAndAbout,
     {"embed: reading the viewer \"", "scrivora.exe\" failed: it is empty\n"}},
    {"RTF source missing",
     nullptr,
     {"missing.rtf", "about.txt"},
     {readRtf + "missing.rtf\" failed: "}},
    {"RTF source is a folder",
     [](BookWorkshop& w) { fs::create_directory(w.work() / "folder.rtf"); },
     {"folder.rtf", "about.txt"},
     {readRtf + "folder.rtf\" failed: "}},
    {"a path that a shell would run",
     nullptr,
     {"x.rtf; touch pwned & echo $(touch pwned2)", "about.txt"},
     {readRtf + "x.rtf; touch pwned & echo $(touch pwned2)\" failed: "}},
    {"description missing",
     nullptr,
     {"book.rtf", "missing.txt"},
     {"embed: reading the description \"missing.txt\" failed: "}},
    {"description is a folder",
     [](BookWorkshop& w) { fs::create_directory(w.work() / "folder.txt"); },
     {"book.rtf", "folder.txt"},
     {"embed: reading the description \"folder.txt\" failed: "}},
    {"NUL in the description",
     [](BookWorkshop& w) {
       test::WriteFile(w.work() / "about.txt", std::string("Small book\r\0\nrest\r\n", 19));
     },
     kBookAndAbout,
     {"embed: checking the description \"about.txt\" failed: it holds a NUL byte at offset 11\n"}},
    {"notes -r fails",
     replaceBook(test::kFailMain),
     kBookAndAbout,
     {"embed: running notes -r | encrypt on \"book.rtf\" failed: notes -r exited with status 3\n"}},
#if defined(_WIN32)
    {"notes -r is killed",
     replaceBook(test::kKillMain),
     kBookAndAbout,
     {"embed: running notes -r | encrypt on \"book.rtf\" failed: notes -r ended with exception "
      "0xC0000409\n"}},
#else
    {"notes -r is killed",
     replaceBook(test::kKillMain),
     kBookAndAbout,
     {"embed: running notes -r | encrypt on \"book.rtf\" failed: notes -r was killed by signal "
      "9\n"}},
#endif
    {"notes -x fails",
     replaceBook(test::kFailNotes),
     kBookAndAbout,
     {"embed: running notes -x | encrypt on \"book.rtf\" failed: notes -x exited with status 4\n"}},
    {"encrypt fails",
     [](BookWorkshop& w) {
       fs::remove(w.Tool("encrypt"));
       fs::copy_file(test::FakeNotesProgram(), w.Tool("encrypt"));
     },
     kBookAndAbout,
     {"embed: running notes -r | encrypt on \"book.rtf\" failed: ",
      "encrypt exited with status 2\n"}},
    {"notes cannot be started",
     [](BookWorkshop& w) {
       fs::remove(w.Tool("notes"));
       test::WriteFile(w.Tool("notes"), "this is no program\n");
       fs::permissions(w.Tool("notes"), fs::perms::owner_all);
     },
     kBookAndAbout,
     {"embed: running notes -r | encrypt on \"book.rtf\" failed: notes -r could not be started: "}},
    {"main text is no complete group",
     replaceBook(test::kGarbageMain),
     kBookAndAbout,
     {"embed: checking the output of notes -r for \"book.rtf\" failed: it does not decode to one "
      "complete RTF group\n"}},
    {"main text is empty",
     replaceBook(test::kEmptyMain),
     kBookAndAbout,
     {"embed: checking the output of notes -r for \"book.rtf\" failed: it does not decode to one "
      "complete RTF group\n"}},
    {"notes are no group",
     replaceBook(test::kGarbageNotes),
     kBookAndAbout,
     {"embed: checking the output of notes -x for \"book.rtf\" failed: it does not decode to one "
      "complete RTF group\n"}},
    // 2^31 bytes with the notes stream: one byte too many.
    {"container would reach 2 GiB",
     [](BookWorkshop& w) {
       fs::resize_file(w.Tool("scrivora.exe"), (std::uint64_t{1} << 31) - 221);
     },
     kBookAndAbout,
     {"embed: assembling \"embedded.exe\" failed: the container would be 2147483648 bytes, and its "
      "offsets "
      "only reach to 2 GiB (2147483648 bytes)\n"}},
    {"container would pass 2 GiB before the notes",
     [](BookWorkshop& w) {
       fs::resize_file(w.Tool("scrivora.exe"), (std::uint64_t{1} << 31) - 100);
     },
     kBookAndAbout,
     {"embed: assembling \"embedded.exe\" failed: the container would be at least 2147483734 "
      "bytes, "
      "and its offsets only reach to 2 GiB (2147483648 bytes)\n"}},
    {"embedded.exe is a folder",
     [](BookWorkshop& w) {
       fs::remove(w.work() / "embedded.exe");
       fs::create_directory(w.work() / "embedded.exe");
       test::WriteFile(w.work() / "embedded.exe" / "inside.txt", "kept");
     },
     kBookAndAbout,
     {"embed: replacing \"embedded.exe\" failed: "}},
  };
#if !defined(_WIN32)
  // A disk that fills up, made by the file size limit: the container is the first file that
  // grows beyond it.
  cases.push_back({"the disk fills up",
                   [](BookWorkshop& w) {
                     test::WriteFile(w.Tool("scrivora.exe"), test::StandInViewer(256 * 1024));
                   },
                   kBookAndAbout,
                   {"embed: writing \"embedded.exe\" failed: File too large\n"},
                   128 * 1024});
#endif
  return cases;
}

TEST(EmbedProgram, FailureTable) {
  for (const FailureCase& c : FailureCases()) {
    SCOPED_TRACE(c.name);
    BookWorkshop workshop;
    if (c.prepare) c.prepare(workshop);
    const auto before = workshop.WorkListing();
    const ProgramRun run = workshop.Run(Arguments(c.arguments), c.fileSizeLimit);
    test::ExpectEmbedFailure(run, c.messageParts);
    EXPECT_EQ(run.err.find(kUsageText), std::string::npos);
    EXPECT_EQ(workshop.WorkListing(), before);
  }
}

// Once the real splitter is built beside embed, real documents go through it as well.
void ExpectRealDocumentsPackaged(const std::vector<fs::path>& documents) {
  const std::optional<fs::path> notes = test::RealNotesProgram();
  if (!notes) GTEST_SKIP() << "notes is not built in dist/ yet";
  for (bool awkward : {false, true}) {
    BookWorkshop workshop(awkward, *notes);
    for (const fs::path& rtf : documents) {
      SCOPED_TRACE(rtf.filename().string());
      const std::u8string rtfText = rtf.u8string();
      const ProgramRun run = workshop.Run(
          Arguments({"/25", std::string(rtfText.begin(), rtfText.end()), "about.txt"}));
      ASSERT_EQ(run.status, 0) << run.err;
      const std::string container = test::ReadFile(workshop.work() / "embedded.exe");
      const LayoutResult layout =
          ReadLayout(reinterpret_cast<const std::uint8_t*>(container.data()), container.size());
      ASSERT_TRUE(layout) << layout.Describe();
      const ContainerTrailer& t = layout.trailer;
      EXPECT_EQ(t.mainOffset, 1536);
      EXPECT_EQ(t.notesPercent, 25);
      EXPECT_EQ(t.permissions, 7);
      ExpectStream(container, t.mainOffset, t.notesOffset, SplitterOutput(workshop, rtf, "-r"));
      ExpectStream(container, t.notesOffset, t.descriptionOffset,
                   SplitterOutput(workshop, rtf, "-x"));
      EXPECT_EQ(container.substr(t.descriptionOffset, container.size() - 20 - t.descriptionOffset),
                kAbout);
    }
  }
}

TEST(EmbedWithRealNotes, FixtureDocuments) {
  ExpectRealDocumentsPackaged({test::FixtureDir() / "pandoc_notes.rtf",
                               test::FixtureDir() / "libreoffice_notes.rtf",
                               test::FixtureDir() / "word_notes.rtf"});
}

TEST(EmbedWithRealNotes, CorpusDocuments) {
  SCRIVORA_SKIP_WITHOUT_CORPUS();
  ExpectRealDocumentsPackaged({test::CorpusDir() / "pandoc__writer.rtf",
                               test::CorpusDir() / "LibreOffice__tdf108949_footnote.rtf"});
}

}  // namespace
}  // namespace scrivora
