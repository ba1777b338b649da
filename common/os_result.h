// The outcome of an operating-system call, as a value: empty when it succeeded, else the
// system's words for what went wrong.
#pragma once

#include <string>
#include <utility>

namespace scrivora {

struct OsResult {
  std::string reason;
  bool ok() const { return reason.empty(); }
  static OsResult Failed(std::string why) { return OsResult{std::move(why)}; }
};

#if defined(_WIN32)
using NativeHandle = void*;  // a HANDLE
#else
using NativeHandle = int;  // a file descriptor
#endif

}  // namespace scrivora
