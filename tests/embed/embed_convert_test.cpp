// embed with an author's own format: it finds the converter, runs it directly, splits what it
// made, and leaves nothing behind whatever the converter does. The converters here are the
// stand-in of the tests, under the names embed looks for.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "container/layout.h"
#include "container/stream_codec.h"
#include "tests/embed/embed_harness.h"
#include "tests/embed/fake_converter_words.h"
#include "tests/embed/fake_notes_output.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#endif

namespace scrivora {
namespace {

namespace fs = std::filesystem;
using test::NativeArgument;
using test::ProgramRun;

const std::string kAbout = "Converted book\r\nAbout it.\r\n";
const std::string kEarlierContainer = "an earlier container";

// Minimal files of each kind: what the stand-in converter needs is the kind, which embed tells
// from these bytes. `word` goes into the document's text.
std::string DocumentOf(const std::string& extension, const std::string& word) {
  if (extension == ".docx") {
    // One stored entry, word/document.xml, and the directory that names it.
    const std::string name = "word/document.xml";
    const std::string data = "<w:document>" + word + "</w:document>";
    auto little = [](std::uint32_t v, int width) {
      std::string s;
      for (int i = 0; i < width; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
      return s;
    };
    const std::string local = "PK\x03\x04" + little(20, 2) + little(0, 2) + little(0, 2) +
                              little(0, 8) + little(data.size(), 4) + little(data.size(), 4) +
                              little(name.size(), 2) + little(0, 2) + name + data;
    const std::string central = "PK\x01\x02" + little(20, 2) + little(20, 2) + little(0, 2) +
                                little(0, 2) + little(0, 8) + little(data.size(), 4) +
                                little(data.size(), 4) + little(name.size(), 2) + little(0, 12) +
                                little(0, 4) + name;
    return local + central + "PK\x05\x06" + little(0, 4) + little(1, 2) + little(1, 2) +
           little(central.size(), 4) + little(local.size(), 4) + little(0, 2);
  }
  if (extension == ".odt") {
    const std::string type = "application/vnd.oasis.opendocument.text";
    std::string header("PK\x03\x04\x14\0\0\0\0\0\0\0\0\0\0\0\0\0", 18);
    header += std::string(1, static_cast<char>(type.size())) + std::string("\0\0\0", 3);
    header += std::string(1, static_cast<char>(type.size())) + std::string("\0\0\0", 3);
    header += std::string("\x08\0\0\0", 4);
    return header + "mimetype" + type + "PK\x03\x04 content " + word;
  }
  if (extension == ".doc") {
    return std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + " Word 97 " + word;
  }
  return "# A book\n\nText " + word + ".[^1]\n\n[^1]: A note.\n";  // Markdown
}

// A workshop with the stand-in converter installed as soffice and pandoc in a folder of its
// own, a record file for its arguments, and the runs' environment.
class ConvertWorkshop : public test::EmbedWorkshop {
 public:
  explicit ConvertWorkshop(bool awkward = false) : EmbedWorkshop(awkward) {
    converters_ = root() / "converters";
    fs::create_directories(converters_);
    fs::create_directories(root() / "empty");
    test::WriteFile(work() / "about.txt", kAbout);
    test::WriteFile(work() / "embedded.exe", kEarlierContainer);
  }

  static std::string ProgramName(const char* stem) {
#if defined(_WIN32)
    return std::string(stem) + ".exe";
#else
    return stem;
#endif
  }

  // Puts the stand-in at `folder`/`name`.
  static void Install(const fs::path& folder, const std::string& name) {
    fs::create_directories(folder);
    fs::copy_file(test::HostPath(SCRIVORA_FAKE_CONVERTER), folder / name,
                  fs::copy_options::overwrite_existing);
  }
  void InstallOnPath() {
    Install(converters_, ProgramName("soffice"));
    Install(converters_, ProgramName("pandoc"));
  }

  std::vector<std::pair<std::string, std::string>> Environment(const fs::path& searchPath,
                                                               int limitMs = 20000) const {
    auto utf8 = [](const fs::path& p) {
      const std::u8string t = p.u8string();
      return std::string(t.begin(), t.end());
    };
    // No pandoc of the machine running the tests is found by accident. (Every Windows process
    // gets the system's own ProgramFiles, whatever its parent says.)
    return {{"PATH", utf8(searchPath)},
            {"FAKE_CONVERTER_RECORD", utf8(Record())},
            {"EMBED_CONVERT_TIME_LIMIT_MS", std::to_string(limitMs)},
            {"LOCALAPPDATA", utf8(root() / "empty")}};
  }

  ProgramRun Embed(const std::string& source,
                   const std::vector<std::pair<std::string, std::string>>& environment) const {
    return Run({NativeArgument(source), NativeArgument("about.txt")}, environment);
  }

  const fs::path& converters() const { return converters_; }
  fs::path Record() const { return root() / "record.txt"; }
  // The stand-in's records, one line each, fields split at tabs.
  std::vector<std::vector<std::string>> Records() const {
    std::vector<std::vector<std::string>> lines;
    std::error_code error;
    if (!fs::exists(Record(), error)) return lines;
    const std::string text = test::ReadFile(Record());
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      std::vector<std::string> fields;
      std::size_t from = start;
      for (std::size_t tab; (tab = text.find('\t', from)) < end; from = tab + 1) {
        fields.push_back(text.substr(from, tab - from));
      }
      fields.push_back(text.substr(from, end - from));
      lines.push_back(fields);
    }
    return lines;
  }

 private:
  fs::path converters_;
};

// The container's main stream, decoded; the notes stream must be the stand-in splitter's.
std::string MainText(const std::string& container) {
  const LayoutResult layout =
      ReadLayout(reinterpret_cast<const std::uint8_t*>(container.data()), container.size());
  EXPECT_TRUE(layout) << layout.Describe();
  if (!layout) return {};
  const DecodedStream notes = DecodeStream(reinterpret_cast<const std::uint8_t*>(container.data()),
                                           container.size(), layout.trailer.notesOffset);
  EXPECT_EQ(notes.text + "}", test::kFakeNotesOutput);
  const DecodedStream main = DecodeStream(reinterpret_cast<const std::uint8_t*>(container.data()),
                                          container.size(), layout.trailer.mainOffset);
  EXPECT_TRUE(main.groupClosed);
  return main.text + "}";
}

TEST(EmbedConvert, EachKindThroughItsConverter) {
  struct Case {
    const char* extension;
    bool libreOffice;
  };
  for (const Case& c : {Case{".docx", true}, Case{".odt", true}, Case{".doc", true},
                        Case{".md", false}, Case{".markdown", false}}) {
    SCOPED_TRACE(c.extension);
    ConvertWorkshop workshop(/*awkward=*/true);
    workshop.InstallOnPath();
    const std::string source = test::AwkwardName("-book") + c.extension;
    test::WriteFile(workshop.work() / test::Utf8Path(source), DocumentOf(c.extension, "ok"));
    const auto before = workshop.WorkListing();
    const ProgramRun run = workshop.Embed(source, workshop.Environment(workshop.converters()));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");  // what the converter printed stays in its log

    EXPECT_EQ(MainText(test::ReadFile(workshop.work() / "embedded.exe")),
              test::ConvertedRtf(c.libreOffice));
    // Only embedded.exe changed: no temporary file or folder is left.
    auto after = workshop.WorkListing();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
      EXPECT_EQ(after[i].first, before[i].first);
      if (after[i].first != "embedded.exe") {
        EXPECT_EQ(after[i].second, before[i].second);
      }
    }

    // Started once, with absolute paths, a private profile and output in one temporary folder
    // of the work folder.
    const auto records = workshop.Records();
    ASSERT_EQ(records.size(), 1u);
    const std::vector<std::string>& a = records[0];
    const std::u8string work = workshop.work().u8string();
    const std::string workText(work.begin(), work.end());
    const std::u8string sourcePath = (workshop.work() / test::Utf8Path(source)).u8string();
    const std::string absoluteSource(sourcePath.begin(), sourcePath.end());
    ASSERT_GE(a.size(), 2u);
    EXPECT_EQ(a.back(), absoluteSource);
    if (c.libreOffice) {
      ASSERT_EQ(a.size(), 10u);
      EXPECT_EQ(std::vector<std::string>(a.begin() + 1, a.begin() + 4),
                (std::vector<std::string>{"--headless", "--norestore", "--nolockcheck"}));
      EXPECT_EQ(a[4].rfind("-env:UserInstallation=file:///", 0), 0u) << a[4];
      EXPECT_EQ(a[4].substr(a[4].size() - 8), "/profile");
      EXPECT_EQ(a[5], "--convert-to");
      EXPECT_EQ(a[6], "rtf");
      EXPECT_EQ(a[7], "--outdir");
      EXPECT_EQ(a[8].rfind(workText, 0), 0u) << a[8];
      EXPECT_NE(a[8].find("mbcnv", workText.size()), std::string::npos) << a[8];
    } else {
      ASSERT_EQ(a.size(), 10u);
      EXPECT_EQ(std::vector<std::string>(a.begin() + 1, a.begin() + 6),
                (std::vector<std::string>{"-s", "-f", "markdown", "-t", "rtf"}));
      EXPECT_EQ(a[6], "--resource-path=" + workText);  // the folder of the source
      EXPECT_EQ(a[7], "-o");
      EXPECT_EQ(a[8].rfind(workText, 0), 0u) << a[8];
      EXPECT_NE(a[8].find("mbcnv", workText.size()), std::string::npos) << a[8];
    }
  }
}

#if defined(_WIN32)
// Not on the search path: LibreOffice under Program Files, pandoc in the user's programs.
// Windows (and Wine) give every process the system's own ProgramFiles, so the stand-in goes
// into that folder of the test machine, where no LibreOffice may be installed already.
TEST(EmbedConvert, FindsConvertersInTheirInstallFolders) {
  wchar_t programFilesText[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"ProgramFiles", programFilesText, MAX_PATH);
  ASSERT_GT(length, 0u);
  const fs::path libreOffice = fs::path(programFilesText) / "LibreOffice";
  if (fs::exists(libreOffice)) GTEST_SKIP() << "LibreOffice is installed in " << libreOffice;
  struct Removed {
    fs::path folder;
    ~Removed() {
      std::error_code ignored;
      fs::remove_all(folder, ignored);
    }
  } removed{libreOffice};

  ConvertWorkshop workshop;
  const fs::path local = workshop.root() / "Local";
  ConvertWorkshop::Install(libreOffice / "program", "soffice.exe");
  ConvertWorkshop::Install(local / "Pandoc", "pandoc.exe");
  auto environment = workshop.Environment(workshop.root() / "empty");
  for (auto& [name, value] : environment) {
    const std::u8string p = local.u8string();
    if (name == "LOCALAPPDATA") value.assign(p.begin(), p.end());
  }
  for (const auto& [file, isLibreOffice] :
       std::vector<std::pair<std::string, bool>>{{"book.docx", true}, {"book.md", false}}) {
    SCOPED_TRACE(file);
    test::WriteFile(workshop.work() / file, DocumentOf(fs::path(file).extension().string(), "ok"));
    const ProgramRun run = workshop.Embed(file, environment);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(MainText(test::ReadFile(workshop.work() / "embedded.exe")),
              test::ConvertedRtf(isLibreOffice));
  }
}
#endif

// Whether a process of the given id still runs, waiting up to a few seconds for it to end.
bool StillRuns(long id) {
  for (int attempt = 0; attempt < 50; ++attempt) {
#if defined(_WIN32)
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
    if (process == nullptr) return false;
    const DWORD waited = WaitForSingleObject(process, 100);
    CloseHandle(process);
    if (waited == WAIT_OBJECT_0) return false;
#else
    if (::kill(static_cast<pid_t>(id), 0) != 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
#endif
  }
  return true;
}

// Each failure: `embed: convert "<file>" failed: ...` as the last line, status 2, the work folder
// exactly as it was, and no process of the converter left running.
TEST(EmbedConvert, FailuresLeaveNothingBehind) {
  struct Case {
    const char* name;
    std::string file;
    std::string word;
    bool installed;
    std::vector<std::string> messageParts;
  };
  const std::vector<Case> cases = {
      {"LibreOffice fails",
       "book.docx",
       test::kConvertFails,
       true,
       {"fake converter: this document cannot be converted",
        "embed: convert \"book.docx\" failed: LibreOffice (", "soffice",
        ") exited with status 5\n"}},
      {"pandoc fails",
       "book.md",
       test::kConvertFails,
       true,
       {"embed: convert \"book.md\" failed: pandoc (", ") exited with status 5\n"}},
      {"LibreOffice writes nothing",
       "book.odt",
       test::kConvertWritesNothing,
       true,
       {"Error: source file could not be loaded",
        "embed: convert \"book.odt\" failed: LibreOffice (",
        ") ended without writing an RTF document\n"}},
      {"LibreOffice runs past its time limit",
       "book.doc",
       test::kConvertHangs,
       true,
       {"embed: convert \"book.doc\" failed: LibreOffice did not finish within 1500 milliseconds "
        "and was stopped\n"}},
      {"pandoc runs past its time limit",
       "book.md",
       test::kConvertHangs,
       true,
       {"embed: convert \"book.md\" failed: pandoc did not finish within 1500 milliseconds and "
        "was stopped\n"}},
      {"no LibreOffice",
       "book.docx",
       "ok",
       false,
       {"embed: convert \"book.docx\" failed: LibreOffice converts DOCX documents to RTF and ",
        "or save the document as RTF\n"}},
      {"no pandoc",
       "book.markdown",
       "ok",
       false,
       {"embed: convert \"book.markdown\" failed: pandoc converts Markdown documents to RTF and ",
        "or save the document as RTF\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConvertWorkshop workshop;
    if (c.installed) workshop.InstallOnPath();
    test::WriteFile(workshop.work() / c.file,
                    DocumentOf(fs::path(c.file).extension().string(), c.word));
    const auto before = workshop.WorkListing();
    const auto started = std::chrono::steady_clock::now();
    const ProgramRun run =
        workshop.Embed(c.file, workshop.Environment(workshop.converters(), 1500));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    test::ExpectEmbedFailure(run, c.messageParts);
    EXPECT_EQ(workshop.WorkListing(), before);
    for (const auto& record : workshop.Records()) {
      if (record[0] == "lingering") {
        EXPECT_FALSE(StillRuns(std::stol(record[1])));
      }
    }
    if (c.word == test::kConvertHangs) {
      ASSERT_EQ(workshop.Records().size(), 2u);  // it did start its own child
    }
  }
}

// A document that only claims to be RTF is refused by the splitter, as it always was.
TEST(EmbedConvert, TextThatClaimsToBeRtfIsStillRefused) {
  ConvertWorkshop workshop;
  workshop.InstallOnPath();
  test::WriteFile(workshop.work() / "book.rtf", "# Not RTF\n\nText.[^1]\n\n[^1]: A note.\n");
  const auto before = workshop.WorkListing();
  const ProgramRun run = workshop.Embed("book.rtf", workshop.Environment(workshop.converters()));
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("\"book.rtf\" failed: it does not decode to one complete RTF group"),
            std::string::npos)
      << run.err;
  EXPECT_TRUE(workshop.Records().empty());  // no converter was asked
  EXPECT_EQ(workshop.WorkListing(), before);
}

}  // namespace
}  // namespace scrivora
