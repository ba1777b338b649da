// Helpers shared by the test programs: fixture files, temporary folders, running the tools.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace scrivora::test {

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, std::string_view bytes);

// A path the build system knows; under Wine a Unix path is reached through drive Z:.
std::filesystem::path HostPath(const char* unixPath);

// The shared corpus of real documents: an extra that a clone elsewhere does not have.
std::filesystem::path CorpusDir();
bool CorpusPresent();
std::filesystem::path SourceDir();
// The project's own RTF documents with notes (tests/notes/data).
std::filesystem::path FixtureDir();

// A program of the tool set beside the tests' build (dist/), with .exe on Windows.
std::filesystem::path DistProgram(std::string_view name);

// A fresh, empty folder under the system's temporary folder; removed by the destructor.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Runs `program args` with standard input from `input` and standard output into `output`
// (standard error into `error` when given). Returns the exit status.
int RunProgram(const std::filesystem::path& program, const std::string& args,
               const std::filesystem::path& input, const std::filesystem::path& output,
               const std::filesystem::path& error = {});

}  // namespace scrivora::test

// Ends a test that reads the shared corpus, as skipped and saying where it looked, when the
// corpus is absent.
#define SCRIVORA_SKIP_WITHOUT_CORPUS()                                                    \
  do {                                                                                    \
    if (!::scrivora::test::CorpusPresent())                                               \
      GTEST_SKIP() << "the shared corpus is absent (looked for "                          \
                   << ::scrivora::test::CorpusDir().string() << ")";                      \
  } while (false)
