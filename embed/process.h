// Running the companion programs without any command interpreter: a two-program pipeline whose
// first program reads a file and whose second writes one, joined by a pipe. The program is
// started by its full path and every argument reaches it exactly as given.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "embed/command_line.h"
#include "embed/platform.h"

namespace scrivora {

struct Command {
  std::filesystem::path program;        // full path; never looked up anywhere
  std::vector<NativeString> arguments;  // after the program name
};

// How one program of a pipeline ended.
struct ChildOutcome {
  enum class Kind {
    NotRun,      // not started because an earlier step failed
    NotStarted,  // the system could not start it; `reason` says why
    Exited,      // it ended by itself with `code`
    Killed,      // a signal ended it (POSIX), `code` is the signal
  };
  Kind kind = Kind::NotRun;
  long code = 0;
  std::string reason;

  bool ok() const { return kind == Kind::Exited && code == 0; }
  std::string Describe(std::string_view name) const;  // "notes exited with status 3"
};

struct PipelineOutcome {
  ChildOutcome first;
  ChildOutcome second;
  OsResult setup;  // pipes and handles; a failure here means neither program was started

  bool ok() const { return setup.ok() && first.ok() && second.ok(); }
};

// Runs `first` with its standard input from `input` and its standard output piped into
// `second`, whose standard output goes to `output`; standard error is shared with the caller.
// Returns when both have ended.
PipelineOutcome RunPipeline(const Command& first, const Command& second, const File& input,
                            const File& output);

}  // namespace scrivora
