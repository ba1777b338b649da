// Writes the benchmark document to standard output: notes_make_document [megabytes] [notes].
#include <cstdio>
#include <cstdlib>

#include "bench/notes_document.h"
#include "common/binary_stdio.h"

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 20.0;
  const int notes = argc > 2 ? std::atoi(argv[2]) : 10000;
  if (megabytes <= 0 || notes <= 0) {
    std::fputs("Usage: notes_make_document [megabytes] [notes] >document.rtf\n", stderr);
    return 2;
  }
  scrivora::UseBinaryStdio();
  const std::string rtf =
      scrivora::bench::MakeNotesDocument(static_cast<std::size_t>(megabytes * 1e6), notes);
  return std::fwrite(rtf.data(), 1, rtf.size(), stdout) == rtf.size() ? 0 : 1;
}
