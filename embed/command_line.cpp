#include "embed/command_line.h"

#include <limits>

#include "container/trailer.h"

namespace scrivora {
namespace {

using NativeChar = NativeString::value_type;

// Letter case is folded for ASCII letters only, whatever the locale.
NativeChar AsciiLower(NativeChar c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<NativeChar>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(const NativeString& argument, std::string_view option) {
  if (argument.size() != option.size()) return false;
  for (std::size_t i = 0; i < option.size(); ++i) {
    if (AsciiLower(argument[i]) != static_cast<NativeChar>(option[i])) return false;
  }
  return true;
}

bool IsAsciiDigit(NativeChar c) { return c >= '0' && c <= '9'; }

// "/" followed by a digit.
bool IsNotesPercentOption(const NativeString& argument) {
  return argument.size() >= 2 && argument[0] == '/' && IsAsciiDigit(argument[1]);
}

// The digits after the slash up to the first non-digit. The value is not range-checked, but a
// number too large for the trailer's signed field stops at its largest value instead of
// wrapping into a negative height.
std::int32_t NotesPercentOf(const NativeString& argument) {
  constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (std::size_t i = 1; i < argument.size() && IsAsciiDigit(argument[i]); ++i) {
    value = value * 10 + (argument[i] - '0');
    if (value > kLargest) return static_cast<std::int32_t>(kLargest);
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<NativeString>& arguments) {
  bool copy = true, print = true, printAll = true;
  std::int32_t notesPercent = kDefaultNotesPercent;
  std::size_t at = 0;
  const std::size_t count = arguments.size();

  if (at < count && EqualsIgnoringAsciiCase(arguments[at], "-c")) {
    copy = false;
    ++at;
  }
  if (at < count) {
    if (EqualsIgnoringAsciiCase(arguments[at], "-p")) {
      print = printAll = false;
      ++at;
    } else if (EqualsIgnoringAsciiCase(arguments[at], "-pa")) {
      printAll = false;
      ++at;
    }
  }
  if (at < count && IsNotesPercentOption(arguments[at])) {
    notesPercent = NotesPercentOf(arguments[at]);
    ++at;
  }

  ParsedCommandLine parsed;
  if (count - at != 2) return parsed;
  parsed.usage = false;
  parsed.options.permissions = ComposePermissions(copy, print, printAll);
  parsed.options.notesPercent = notesPercent;
  parsed.options.rtfSource = arguments[at];
  parsed.options.description = arguments[at + 1];
  return parsed;
}

}  // namespace scrivora
