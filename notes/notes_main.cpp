// notes: splits the RTF document on standard input into its main text (-r) or its notes (-x),
// written to standard output as one RTF document.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "common/binary_stdio.h"
#include "notes/byte_stream.h"
#include "notes/splitter.h"

namespace {

// Both streams keep the system's reason for a failure, for the message.
class StdinSource final : public scrivora::ByteSource {
 public:
  std::ptrdiff_t Read(std::uint8_t* buffer, std::size_t capacity) override {
    const std::size_t got = std::fread(buffer, 1, capacity, stdin);
    if (got == 0 && std::ferror(stdin)) {
      error = errno;
      return -1;
    }
    return static_cast<std::ptrdiff_t>(got);
  }
  int error = 0;
};

class StdoutSink final : public scrivora::ByteSink {
 public:
  bool Write(const std::uint8_t* bytes, std::size_t length) override {
    if (std::fwrite(bytes, 1, length, stdout) == length) return true;
    error = errno;
    return false;
  }
  int error = 0;
};

int Failure(const std::string& message, int cause) {
  std::fprintf(stderr, "notes: %s%s%s\n", message.c_str(), cause ? ": " : "",
               cause ? std::strerror(cause) : "");
  return 1;
}

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
    const int cause = result.status == scrivora::SplitStatus::ReadFailed    ? input.error
                      : result.status == scrivora::SplitStatus::WriteFailed ? output.error
                                                                            : 0;
    return Failure(result.Describe(), cause);
  }
  // What the buffer of standard output still holds can fail only now.
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    scrivora::SplitResult unwritten;
    unwritten.status = scrivora::SplitStatus::WriteFailed;
    return Failure(unwritten.Describe(), errno);
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
