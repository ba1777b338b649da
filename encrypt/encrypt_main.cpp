// encrypt: scrambles standard input to standard output as one container stream.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/binary_stdio.h"
#include "container/stream_codec.h"

int main(int argc, char**) {
  if (argc > 1) {
    std::fputs("Usage: encrypt <plain >scrambled\n", stderr);
    return 2;
  }
  scrivora::UseBinaryStdio();
  scrivora::StreamEncoder encoder;
  std::vector<std::uint8_t> buffer(256 * 1024);
  for (;;) {
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), stdin);
    if (got > 0) {
      encoder.Encode(buffer.data(), buffer.data(), got);
      if (std::fwrite(buffer.data(), 1, got, stdout) != got) {
        std::fprintf(stderr, "encrypt: cannot write standard output: %s\n", std::strerror(errno));
        return 1;
      }
    }
    if (got < buffer.size()) {
      if (std::ferror(stdin)) {
        std::fprintf(stderr, "encrypt: cannot read standard input: %s\n", std::strerror(errno));
        return 1;
      }
      break;
    }
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "encrypt: cannot write standard output: %s\n", std::strerror(errno));
    return 1;
  }
  return 0;
}
