// Building a container: the two pipelines through the companion programs, the checks of what
// they made, and the assembly of viewer, streams, description and trailer into embedded.exe.
// Every failure comes back as a value that names the step and the file; an earlier
// embedded.exe is only ever replaced by a complete new one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "embed/command_line.h"

namespace scrivora {

inline constexpr char kContainerName[] = "embedded.exe";

struct EmbedFailure {
  std::string step;            // what was being done, e.g. "reading the RTF source"
  std::filesystem::path file;  // the file it was done to
  std::string reason;          // what went wrong

  // "embed: reading the RTF source "book.rtf" failed: No such file or directory" and a line end.
  std::string Message() const;
};

// The companions beside the running program: notes, encrypt and scrivora.exe.
struct Companions {
  std::filesystem::path notes;
  std::filesystem::path encrypt;
  std::filesystem::path viewer;

  static Companions In(const std::filesystem::path& directory);
};

// Builds embedded.exe in the current directory. Returns nothing on success.
std::optional<EmbedFailure> BuildContainer(const EmbedOptions& options,
                                           const Companions& companions);

}  // namespace scrivora
