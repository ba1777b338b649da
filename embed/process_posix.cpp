// Pipelines on POSIX systems: posix_spawn with the descriptors put in place for the child.
#include "embed/process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <thread>

#include "embed/interrupt_cleanup.h"

extern char** environ;

namespace scrivora {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() { Close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

class SpawnSetup {
 public:
  SpawnSetup() {
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    ::posix_spawnattr_destroy(&attributes);
    ::posix_spawn_file_actions_destroy(&actions);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
};

// Starts `command` with `in` as its standard input and `out` as its standard output, and `error`
// as its standard error unless that is -1. Every other descriptor of ours is close-on-exec, so
// the child holds no stray end of the pipe. `ownGroup` puts it into a new process group.
pid_t Spawn(const Command& command, int in, int out, ChildOutcome& outcome, int error = -1,
            bool ownGroup = false) {
  SpawnSetup setup;
  ::posix_spawn_file_actions_adddup2(&setup.actions, in, STDIN_FILENO);
  ::posix_spawn_file_actions_adddup2(&setup.actions, out, STDOUT_FILENO);
  if (error >= 0) ::posix_spawn_file_actions_adddup2(&setup.actions, error, STDERR_FILENO);
  // The child starts with the signal dispositions a program expects, not with ours.
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGXFSZ);
  sigaddset(&defaults, SIGPIPE);
  ::posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
  ::posix_spawnattr_setflags(&setup.attributes,
                             POSIX_SPAWN_SETSIGDEF | (ownGroup ? POSIX_SPAWN_SETPGROUP : 0));
  ::posix_spawnattr_setpgroup(&setup.attributes, 0);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(command.program.c_str()));
  for (const NativeString& argument : command.arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);

  // Our environment, with the command's own variables in place of ours of the same name.
  std::vector<std::string> settings;
  std::vector<char*> envp;
  for (const auto& [name, value] : command.environment) settings.push_back(name + "=" + value);
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const bool replaced = std::any_of(
        command.environment.begin(), command.environment.end(), [&](const auto& setting) {
          return text.size() > setting.first.size() && text.starts_with(setting.first) &&
                 text[setting.first.size()] == '=';
        });
    if (!replaced) envp.push_back(*entry);
  }
  for (std::string& setting : settings) envp.push_back(setting.data());
  envp.push_back(nullptr);

  // An interruption between the start and the watch would miss the child, which in a group of
  // its own gets no signal from the terminal: the handler runs only once it is watched. The
  // child itself starts with the mask we had.
  sigset_t interruptions, previous;
  sigemptyset(&interruptions);
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&interruptions, signalNumber);
  ::sigprocmask(SIG_BLOCK, &interruptions, &previous);
  short flags = 0;
  ::posix_spawnattr_getflags(&setup.attributes, &flags);
  ::posix_spawnattr_setflags(&setup.attributes, flags | POSIX_SPAWN_SETSIGMASK);
  ::posix_spawnattr_setsigmask(&setup.attributes, &previous);
  pid_t pid = -1;
  const int failed = ::posix_spawn(&pid, command.program.c_str(), &setup.actions, &setup.attributes,
                                   argv.data(), envp.data());
  if (failed == 0) {
    // The group exists by now: posix_spawn returns once the child has started the program.
    if (ownGroup)
      WatchProcessTree(pid);
    else
      WatchChild(pid);
  }
  ::sigprocmask(SIG_SETMASK, &previous, nullptr);
  if (failed != 0) {
    outcome.kind = ChildOutcome::Kind::NotStarted;
    outcome.reason = std::strerror(failed);
    return -1;
  }
  return pid;
}

void Record(int status, ChildOutcome& outcome) {
  if (WIFSIGNALED(status)) {
    outcome.kind = ChildOutcome::Kind::Killed;
    outcome.code = WTERMSIG(status);
  } else {
    outcome.kind = ChildOutcome::Kind::Exited;
    outcome.code = WEXITSTATUS(status);
  }
}

void WaitFor(pid_t pid, ChildOutcome& outcome) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      UnwatchChild(pid);
      outcome.kind = ChildOutcome::Kind::NotStarted;
      outcome.reason = std::strerror(errno);
      return;
    }
  }
  UnwatchChild(pid);
  Record(status, outcome);
}

}  // namespace

Pipeline Pipeline::Start(const Command& first, const Command& second, const File& input,
                         const File& output) {
  Pipeline pipeline;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) {
    pipeline.outcome_.setup = OsResult::Failed(std::strerror(errno));
    return pipeline;
  }
  Descriptor readEnd(ends[0]), writeEnd(ends[1]);

  const pid_t firstPid = Spawn(first, input.handle(), writeEnd.get(), pipeline.outcome_.first);
  pipeline.firstChild_ = firstPid > 0 ? firstPid : 0;
  writeEnd.Close();  // the second program sees the end of its input when the first one ends
  if (firstPid > 0) {
    const pid_t secondPid = Spawn(second, readEnd.get(), output.handle(), pipeline.outcome_.second);
    pipeline.secondChild_ = secondPid > 0 ? secondPid : 0;
  }
  readEnd.Close();  // without a reader the first program is not left waiting on a full pipe
  return pipeline;
}

PipelineOutcome Pipeline::Wait() {
  if (firstChild_ != 0) WaitFor(static_cast<pid_t>(firstChild_), outcome_.first);
  if (secondChild_ != 0) WaitFor(static_cast<pid_t>(secondChild_), outcome_.second);
  firstChild_ = secondChild_ = 0;
  return outcome_;
}

void Pipeline::Stop() {
  for (std::intptr_t* child : {&firstChild_, &secondChild_}) {
    if (*child == 0) continue;
    ::kill(static_cast<pid_t>(*child), SIGKILL);
    int status = 0;
    while (::waitpid(static_cast<pid_t>(*child), &status, 0) < 0 && errno == EINTR) {
    }
    UnwatchChild(*child);
    *child = 0;
  }
}

ChildOutcome RunWithTimeLimit(const Command& command, const File& log,
                              std::chrono::milliseconds limit) {
  ChildOutcome outcome;
  const Descriptor nothing(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  if (nothing.get() < 0) {
    outcome.kind = ChildOutcome::Kind::NotStarted;
    outcome.reason = std::strerror(errno);
    return outcome;
  }
  const pid_t pid = Spawn(command, nothing.get(), log.handle(), outcome, log.handle(),
                          /*ownGroup=*/true);
  if (pid < 0) return outcome;

  // A converter runs for seconds: looking every few milliseconds costs nothing that matters.
  const auto deadline = std::chrono::steady_clock::now() + limit;
  auto pause = std::chrono::milliseconds(1);
  int status = 0;
  for (;;) {
    const pid_t ended = ::waitpid(pid, &status, WNOHANG);
    if (ended == pid) {
      Record(status, outcome);
      break;
    }
    if (ended < 0 && errno != EINTR) {
      outcome.kind = ChildOutcome::Kind::NotStarted;
      outcome.reason = std::strerror(errno);
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(-pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      outcome.kind = ChildOutcome::Kind::TimedOut;
      break;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(20));
  }
  // Whatever it started and left running goes with it. The group keeps its id while any member
  // lives, so this reaches no stranger.
  ::kill(-pid, SIGKILL);
  UnwatchProcessTree(pid);
  return outcome;
}

}  // namespace scrivora
