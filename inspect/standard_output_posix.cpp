#include "inspect/standard_output.h"

#include <unistd.h>

#include <cerrno>

namespace scrivora {

bool WriteStandardOutput(std::string_view utf8) {
  while (!utf8.empty()) {
    const ssize_t written = ::write(STDOUT_FILENO, utf8.data(), utf8.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    utf8.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace scrivora
