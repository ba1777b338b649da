// Runs the embed program the way a user does: from a tool folder that holds its companions,
// in a working folder of its own, with arguments that no shell ever sees.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "embed/command_line.h"
#include "tests/support/test_support.h"

namespace scrivora::test {

namespace fs = std::filesystem;

struct ProgramRun {
  int status = -1;  // the exit status, or 128 + the signal that ended the program
  std::string out;
  std::string err;
};

struct RunSettings {
  fs::path workFolder;   // the current folder of the program
  fs::path input;        // standard input; none when empty
  fs::path programName;  // the program's own first argument; its path when empty
  std::optional<std::uint64_t> fileSizeLimit;  // POSIX only: the largest file it may write
  // Environment variables set for the program (UTF-8 names and values); the rest is inherited.
  std::vector<std::pair<std::string, std::string>> environment;
};

ProgramRun RunProgramIn(const RunSettings& settings, const fs::path& program,
                        const std::vector<NativeString>& arguments);

// A failed run of embed: status 2, its own message as the last line of standard error (the
// programs it ran may have spoken first), holding every one of `parts`.
void ExpectEmbedFailure(const ProgramRun& run, const std::vector<std::string>& parts);

// A path from UTF-8 text.
fs::path Utf8Path(const std::string& text);
NativeString NativeArgument(const std::string& utf8);

// The stand-in splitter built with the tests, and the real one when it has been built.
fs::path FakeNotesProgram();
std::optional<fs::path> RealNotesProgram();

// A folder name with blanks, quotation marks (where the system allows them), &, ;, $, %, and
// letters beyond ASCII.
std::string AwkwardName(const std::string& stem);

// A stand-in viewer: `size` bytes that start like a program image and hold every byte value.
std::string StandInViewer(std::size_t size);

// A tool folder with embed, encrypt, a splitter and a viewer, and an empty work folder.
class EmbedWorkshop {
 public:
  // `awkward`: folder names full of characters that a shell would act on.
  explicit EmbedWorkshop(bool awkward = false, std::optional<fs::path> notes = std::nullopt);

  const fs::path& work() const { return work_; }
  const fs::path& root() const { return root_.path(); }
  fs::path Tool(const std::string& name) const;  // adds .exe on Windows, except for scrivora.exe
  fs::path Embed() const { return Tool("embed"); }

  ProgramRun Run(const std::vector<NativeString>& arguments,
                 std::optional<std::uint64_t> fileSizeLimit = std::nullopt) const;
  ProgramRun Run(const std::vector<NativeString>& arguments,
                 const std::vector<std::pair<std::string, std::string>>& environment) const;

  // Every file in the work folder, with its contents (folders as "<folder>").
  std::vector<std::pair<std::string, std::string>> WorkListing() const;

 private:
  TempDir root_;
  fs::path tools_;
  fs::path work_;
};

}  // namespace scrivora::test
