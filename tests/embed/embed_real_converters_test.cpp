// embed with the real converters: a Markdown text of sixty footnotes (tests/embed/data), and
// the DOCX, ODT and DOC made of it here, each packaged with every note paired. LibreOffice takes
// seconds a run, so each kind is converted once.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "container/layout.h"
#include "container/stream_codec.h"
#include "embed/converters.h"
#include "embed/platform.h"
#include "notes/plain_text.h"
#include "tests/embed/embed_harness.h"
#include "tests/notes/split_check.h"

namespace scrivora {
namespace {

namespace fs = std::filesystem;
using test::NativeArgument;
using test::ProgramRun;

constexpr int kNotes = 60;

std::optional<fs::path> Installed(Converter converter) {
  for (const fs::path& candidate : ConverterCandidates(converter, EnvironmentValue)) {
    if (IsProgramFile(candidate)) return candidate;
  }
  return std::nullopt;
}

// Runs `program` in `folder` and expects it to succeed.
void Make(const fs::path& folder, const fs::path& program, const std::vector<std::string>& args) {
  test::RunSettings settings;
  settings.workFolder = folder;
  std::vector<NativeString> arguments;
  for (const std::string& a : args) arguments.push_back(NativeArgument(a));
  const ProgramRun run = test::RunProgramIn(settings, program, arguments);
  ASSERT_EQ(run.status, 0) << program << ": " << run.err;
}

std::u32string StreamText(const std::string& container, std::int32_t offset) {
  const DecodedStream stream = DecodeStream(reinterpret_cast<const std::uint8_t*>(container.data()),
                                            container.size(), offset);
  EXPECT_TRUE(stream.groupClosed);
  const PlainText text = ExtractPlainText(stream.text + "}");
  EXPECT_TRUE(text.ok);
  return text.main;
}

TEST(EmbedRealConverters, SixtyNotesPairedFromEachKind) {
  const std::optional<fs::path> pandoc = Installed(Converter::Pandoc);
  const std::optional<fs::path> office = Installed(Converter::LibreOffice);
  if (!pandoc || !office) {
    GTEST_SKIP() << "pandoc and LibreOffice are needed (scripts/setup --convert installs them)";
  }
  const std::optional<fs::path> notes = test::RealNotesProgram();
  ASSERT_TRUE(notes) << "notes is not built in dist/";
  test::EmbedWorkshop workshop(/*awkward=*/false, *notes);
  const fs::path work = workshop.work();
  fs::copy_file(test::SourceDir() / "tests" / "embed" / "data" / "sixty_notes.md",
                work / "book.md");
  test::WriteFile(work / "about.txt", "Sixty Notes\r\nConverted by the tests.\r\n");
  Make(work, *pandoc, {"-s", "-f", "markdown", "-t", "docx", "-o", "book.docx", "book.md"});
  Make(work, *pandoc, {"-s", "-f", "markdown", "-t", "odt", "-o", "book.odt", "book.md"});
  // The DOC comes from the DOCX, in a folder of its own with a private profile.
  const fs::path docFolder = workshop.root() / "doc";
  fs::create_directories(docFolder);
  Make(docFolder, *office,
       {"--headless", "--norestore",
        "-env:UserInstallation=" + FileUrl(workshop.root() / "doc-profile"), "--convert-to", "doc",
        "--outdir", docFolder.string(), (work / "book.docx").string()});
  fs::copy_file(docFolder / "book.doc", work / "book.doc");

  for (const char* source : {"book.md", "book.docx", "book.odt", "book.doc"}) {
    SCOPED_TRACE(source);
    const auto before = workshop.WorkListing();
    const ProgramRun run = workshop.Run({NativeArgument(source), NativeArgument("about.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string container = test::ReadFile(work / "embedded.exe");
    const LayoutResult layout =
        ReadLayout(reinterpret_cast<const std::uint8_t*>(container.data()), container.size());
    ASSERT_TRUE(layout) << layout.Describe();
    const auto mainMarkers = test::Markers(StreamText(container, layout.trailer.mainOffset));
    const auto noteMarkers = test::Markers(StreamText(container, layout.trailer.notesOffset));
    EXPECT_EQ(mainMarkers.size(), static_cast<std::size_t>(kNotes));
    EXPECT_EQ(mainMarkers, noteMarkers);
    for (const auto& [marker, count] : mainMarkers) EXPECT_EQ(count, 1);
    // Nothing but the container is new or changed.
    auto after = workshop.WorkListing();
    ASSERT_EQ(after.size(), before.size() + (before.size() == 5 ? 1 : 0));
    for (const auto& entry : after) {
      if (entry.first == "embedded.exe") continue;
      EXPECT_NE(std::find(before.begin(), before.end(), entry), before.end()) << entry.first;
    }
  }
}

}  // namespace
}  // namespace scrivora
