// notes: splits the RTF document on standard input into its main text (-r) or its notes (-x),
// written to standard output as one RTF document.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "common/binary_stdio.h"
#include "notes/byte_stream.h"
#include "notes/splitter.h"

namespace {

class StdinSource final : public scrivora::ByteSource {
 public:
  std::ptrdiff_t Read(std::uint8_t* buffer, std::size_t capacity) override {
    const std::size_t got = std::fread(buffer, 1, capacity, stdin);
    if (got == 0 && std::ferror(stdin)) return -1;
    return static_cast<std::ptrdiff_t>(got);
  }
};

class StdoutSink final : public scrivora::ByteSink {
 public:
  bool Write(const std::uint8_t* bytes, std::size_t length) override {
    return std::fwrite(bytes, 1, length, stdout) == length;
  }
};

}  // namespace

int main(int argc, char** argv) {
  const std::string_view option = argc == 2 ? argv[1] : "";
  if (option != "-r" && option != "-x") {
    std::fputs("Usage: notes -r <document.rtf >main.rtf\n"
               "       notes -x <document.rtf >notes.rtf\n",
               stderr);
    return 2;
  }
  scrivora::UseBinaryStdio();
  static char outputBuffer[64 * 1024];
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);

  StdinSource input;
  StdoutSink output;
  const scrivora::SplitResult result = scrivora::SplitDocument(
      input, output, option == "-r" ? scrivora::SplitMode::MainText : scrivora::SplitMode::Notes);
  if (!result) {
    std::fflush(stdout);
    std::fprintf(stderr, "notes: %s\n", result.Describe().c_str());
    return 1;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "notes: cannot write standard output: %s\n", std::strerror(errno));
    return 1;
  }
  if (result.middleDots > 0) {
    std::fprintf(stderr,
                 "notes: warning: the document's text already holds %llu middle dot%s (U+00B7); "
                 "the viewer may take %s for note markers\n",
                 static_cast<unsigned long long>(result.middleDots),
                 result.middleDots == 1 ? "" : "s", result.middleDots == 1 ? "it" : "them");
  }
  return 0;
}
