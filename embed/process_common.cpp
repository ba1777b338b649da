#include "embed/process.h"

namespace scrivora {

std::string ChildOutcome::Describe(std::string_view name) const {
  const std::string who(name);
  switch (kind) {
    case Kind::NotRun:
      return who + " was not run";
    case Kind::NotStarted:
      return who + " could not be started: " + reason;
    case Kind::Killed:
      return who + " was killed by signal " + std::to_string(code);
    case Kind::TimedOut:
      return who + " ran past its time limit and was stopped";
    case Kind::Exited:
      break;
  }
#if defined(_WIN32)
  // Exception codes (0xC...) are how Windows programs die; they read better in hexadecimal.
  if (static_cast<unsigned long>(code) >= 0xC0000000ul) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string hex;
    for (int shift = 28; shift >= 0; shift -= 4) hex.push_back(kHex[(code >> shift) & 0xF]);
    return who + " ended with exception 0x" + hex;
  }
#endif
  return who + " exited with status " + std::to_string(code);
}

Pipeline::Pipeline(Pipeline&& other) noexcept
    : outcome_(std::move(other.outcome_)),
      firstChild_(other.firstChild_),
      secondChild_(other.secondChild_) {
  other.firstChild_ = other.secondChild_ = 0;
}

Pipeline::~Pipeline() { Stop(); }

}  // namespace scrivora
