// Running the companion programs without any command interpreter: a two-program pipeline whose
// first program reads a file and whose second writes one, joined by a pipe; and one outside
// converter under a time limit. The program is started by its full path and every argument
// reaches it exactly as given.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "embed/command_line.h"
#include "embed/platform.h"

namespace scrivora {

struct Command {
  std::filesystem::path program;        // full path; never looked up anywhere
  std::vector<NativeString> arguments;  // after the program name
  // Variables set for the program over this process's own environment (ASCII names).
  std::vector<std::pair<std::string, NativeString>> environment;
};

// How one program of a pipeline ended.
struct ChildOutcome {
  enum class Kind {
    NotRun,      // not started because an earlier step failed
    NotStarted,  // the system could not start it; `reason` says why
    Exited,      // it ended by itself with `code`
    Killed,      // a signal ended it (POSIX), `code` is the signal
    TimedOut,    // it ran past its time limit and was stopped
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
};

// `first` with its standard input from `input` and its standard output piped into `second`,
// whose standard output goes to `output`; standard error is shared with the caller. The caller
// may work on while both run. A pipeline that is dropped before it was waited for is stopped
// and waited for, so no child outlives a failure of the caller.
class Pipeline {
 public:
  static Pipeline Start(const Command& first, const Command& second, const File& input,
                        const File& output);
  Pipeline(Pipeline&& other) noexcept;
  Pipeline& operator=(Pipeline&&) = delete;
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;
  ~Pipeline();

  // Returns when both programs have ended.
  PipelineOutcome Wait();

 private:
  Pipeline() = default;
  void Stop();  // ends what still runs, without a word

  PipelineOutcome outcome_;
  std::intptr_t firstChild_ = 0;  // a process id or process handle; 0 when none runs
  std::intptr_t secondChild_ = 0;
};

// Runs `command` with its standard input from the null device and its standard output and error
// into `log`, and returns when it has ended or, past `limit`, has been stopped. The program runs
// in a process group (POSIX) or job (Windows) of its own: whatever it started is stopped with it,
// on a time-out, when it ends and on an interruption.
ChildOutcome RunWithTimeLimit(const Command& command, const File& log,
                              std::chrono::milliseconds limit);

}  // namespace scrivora
