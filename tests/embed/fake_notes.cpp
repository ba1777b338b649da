// A stand-in for the note splitter: `-r` copies its input, `-x` prints a small fixed group.
// Words in the input make it fail in the ways embed has to notice.
#include <cstdio>
#include <cstring>
#include <string>

#include "common/binary_stdio.h"
#include "tests/embed/fake_notes_output.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>

#include <csignal>
#endif

namespace {

[[noreturn]] void Die() {
#if defined(_WIN32)
  TerminateProcess(GetCurrentProcess(), 0xC0000409);
#else
  std::raise(SIGKILL);
#endif
  std::abort();
}

bool Has(const std::string& text, const char* word) { return text.find(word) != std::string::npos; }

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace

int main(int argc, char** argv) {
  using namespace scrivora::test;
  const bool main = argc == 2 && std::strcmp(argv[1], "-r") == 0;
  const bool notes = argc == 2 && std::strcmp(argv[1], "-x") == 0;
  if (!main && !notes) {
    std::fputs("Usage: notes -r|-x <rtf >part\n", stderr);
    return 2;
  }
  scrivora::UseBinaryStdio();
  std::string input;
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;)
    input.append(buffer, got);

  if (main) {
    if (Has(input, kFailMain)) return 3;
    if (Has(input, kKillMain)) Die();
    if (Has(input, kSlowMain)) {
#if defined(_WIN32)
      Sleep(30000);
#else
      sleep(30);
#endif
    }
    if (Has(input, kGarbageMain))
      Print("{\\rtf1 this group never closes");
    else if (!Has(input, kEmptyMain))
      Print(input);
  } else {
    if (Has(input, kFailNotes)) return 4;
    Print(Has(input, kGarbageNotes) ? "no group at all" : kFakeNotesOutput);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
