#include "tests/support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace scrivora::test {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::filesystem::path HostPath(const char* unixPath) {
#if defined(_WIN32)
  std::string p = std::string("Z:") + unixPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  return std::filesystem::path(std::u8string(p.begin(), p.end()));  // the build's paths are UTF-8
#else
  return unixPath;
#endif
}

std::filesystem::path CorpusDir() { return HostPath(SCRIVORA_CORPUS_DIR); }

bool CorpusPresent() {
  if (std::string_view(SCRIVORA_CORPUS_DIR).empty()) return false;  // set empty: no corpus
  std::error_code error;
  return std::filesystem::is_directory(CorpusDir(), error);
}

std::filesystem::path SourceDir() { return HostPath(SCRIVORA_SOURCE_DIR); }
std::filesystem::path FixtureDir() { return SourceDir() / "tests" / "notes" / "data"; }

std::filesystem::path DistProgram(std::string_view name) {
  std::string file(name);
#if defined(_WIN32)
  file += ".exe";
#endif
  return HostPath(SCRIVORA_DIST_DIR) / file;
}

TempDir::TempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() /
                     ("scrivora-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

int RunProgram(const std::filesystem::path& program, const std::string& args,
               const std::filesystem::path& input, const std::filesystem::path& output,
               const std::filesystem::path& error) {
  std::string command = "\"" + program.string() + "\" " + args + " <\"" + input.string() +
                        "\" >\"" + output.string() + "\"";
  if (!error.empty()) command += " 2>\"" + error.string() + "\"";
#if defined(_WIN32)
  // cmd.exe strips the outer pair of quotes of a /c command line.
  command = "\"" + command + "\"";
  return std::system(command.c_str());
#else
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
#endif
}

}  // namespace scrivora::test
