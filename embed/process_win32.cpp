// Pipelines on Windows: CreateProcessW with the standard handles passed on by inheritance.
#include "embed/process.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string_view>
#include <utility>

#include "common/unique_handle.h"
#include "common/win32_error.h"
#include "embed/interrupt_cleanup.h"
#include "embed/windows_command_line.h"

namespace scrivora {
namespace {

// Makes a handle inheritable for as long as one child is being started. This process starts
// its children one at a time from one thread, so no other child can catch it meanwhile.
class InheritedWhileStarting {
 public:
  explicit InheritedWhileStarting(HANDLE handle) : handle_(handle) {
    SetHandleInformation(handle_, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  }
  ~InheritedWhileStarting() { SetHandleInformation(handle_, HANDLE_FLAG_INHERIT, 0); }
  InheritedWhileStarting(const InheritedWhileStarting&) = delete;
  InheritedWhileStarting& operator=(const InheritedWhileStarting&) = delete;

 private:
  HANDLE handle_;
};

// Starts `command` with the three standard handles given. `job`, when given, receives the new
// process before it runs a single instruction, so whatever it starts belongs to the job too.
// Our environment block with the command's variables in place of ours of the same name
// (names compared as Windows does, without regard to case); empty when it sets none.
std::wstring EnvironmentFor(const Command& command) {
  if (command.environment.empty()) return {};
  std::wstring block;
  for (const auto& [name, value] : command.environment) {
    block.append(name.begin(), name.end()).append(L"=").append(value).push_back(L'\0');
  }
  wchar_t* const ours = GetEnvironmentStringsW();
  for (const wchar_t* entry = ours; entry != nullptr && *entry != L'\0';
       entry += wcslen(entry) + 1) {
    const std::wstring_view text(entry);
    const bool replaced = std::any_of(
        command.environment.begin(), command.environment.end(), [&](const auto& setting) {
          const std::wstring name(setting.first.begin(), setting.first.end());
          return text.size() > name.size() && text[name.size()] == L'=' &&
                 CompareStringOrdinal(text.data(), static_cast<int>(name.size()), name.data(),
                                      static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
        });
    if (!replaced) block.append(text).push_back(L'\0');
  }
  if (ours != nullptr) FreeEnvironmentStringsW(ours);
  block.push_back(L'\0');
  return block;
}

HANDLE StartChild(const Command& command, HANDLE in, HANDLE out, HANDLE error,
                  ChildOutcome& outcome, HANDLE job = nullptr) {
  InheritedWhileStarting inheritIn(in), inheritOut(out);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = error;
  std::wstring line = ComposeWindowsCommandLine(command.program.wstring(), command.arguments);
  PROCESS_INFORMATION process{};
  // The program is named by its full path: nothing is searched for, and no interpreter reads
  // the command line.
  std::wstring environment = EnvironmentFor(command);
  const DWORD flags = (job != nullptr ? CREATE_SUSPENDED : 0) | CREATE_UNICODE_ENVIRONMENT;
  if (!CreateProcessW(command.program.c_str(), line.data(), nullptr, nullptr, TRUE, flags,
                      environment.empty() ? nullptr : environment.data(), nullptr, &startup,
                      &process)) {
    outcome.kind = ChildOutcome::Kind::NotStarted;
    outcome.reason = WindowsErrorText(GetLastError());
    return nullptr;
  }
  WatchChild(reinterpret_cast<std::intptr_t>(process.hProcess));
  if (job != nullptr) {
    // Where jobs cannot be nested (before Windows 8) only the process itself is stopped.
    AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

void WaitFor(HANDLE process, ChildOutcome& outcome) {
  DWORD code = 0;
  if (WaitForSingleObject(process, INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process, &code)) {
    outcome.kind = ChildOutcome::Kind::NotStarted;
    outcome.reason = WindowsErrorText(GetLastError());
    return;
  }
  outcome.kind = ChildOutcome::Kind::Exited;
  outcome.code = static_cast<long>(code);
}

}  // namespace

Pipeline Pipeline::Start(const Command& first, const Command& second, const File& input,
                         const File& output) {
  Pipeline pipeline;
  HANDLE pipeRead = nullptr, pipeWrite = nullptr;
  if (!CreatePipe(&pipeRead, &pipeWrite, nullptr, 0)) {
    pipeline.outcome_.setup = OsResult::Failed(WindowsErrorText(GetLastError()));
    return pipeline;
  }
  UniqueHandle readEnd(pipeRead), writeEnd(pipeWrite);
  // The children share our standard error, through a copy that they may inherit.
  HANDLE errorCopy = nullptr;
  const HANDLE ownError = GetStdHandle(STD_ERROR_HANDLE);
  if (ownError != nullptr && ownError != INVALID_HANDLE_VALUE) {
    DuplicateHandle(GetCurrentProcess(), ownError, GetCurrentProcess(), &errorCopy, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
  }
  const UniqueHandle error(errorCopy);

  const HANDLE firstProcess =
      StartChild(first, input.handle(), writeEnd.get(), error.get(), pipeline.outcome_.first);
  pipeline.firstChild_ = reinterpret_cast<std::intptr_t>(firstProcess);
  writeEnd.reset();  // the second program sees the end of its input when the first one ends
  if (firstProcess != nullptr) {
    const HANDLE secondProcess =
        StartChild(second, readEnd.get(), output.handle(), error.get(), pipeline.outcome_.second);
    pipeline.secondChild_ = reinterpret_cast<std::intptr_t>(secondProcess);
  }
  readEnd.reset();  // without a reader the first program is not left waiting on a full pipe
  return pipeline;
}

PipelineOutcome Pipeline::Wait() {
  for (auto [child, outcome] :
       {std::pair{&firstChild_, &outcome_.first}, std::pair{&secondChild_, &outcome_.second}}) {
    if (*child == 0) continue;
    const UniqueHandle process(reinterpret_cast<HANDLE>(*child));
    *child = 0;
    WaitFor(process.get(), *outcome);
    UnwatchChild(reinterpret_cast<std::intptr_t>(process.get()));
  }
  return outcome_;
}

void Pipeline::Stop() {
  for (std::intptr_t* child : {&firstChild_, &secondChild_}) {
    if (*child == 0) continue;
    const UniqueHandle process(reinterpret_cast<HANDLE>(*child));
    *child = 0;
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), INFINITE);
    UnwatchChild(reinterpret_cast<std::intptr_t>(process.get()));
  }
}

ChildOutcome RunWithTimeLimit(const Command& command, const File& log,
                              std::chrono::milliseconds limit) {
  ChildOutcome outcome;
  const UniqueFile nothing(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
  const UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
  if (!nothing || !job) {
    outcome.kind = ChildOutcome::Kind::NotStarted;
    outcome.reason = WindowsErrorText(GetLastError());
    return outcome;
  }
  // Closing the job, however this process ends, ends every process in it.
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
  WatchProcessTree(reinterpret_cast<std::intptr_t>(job.get()));

  const UniqueHandle process(
      StartChild(command, nothing.get(), log.handle(), log.handle(), outcome, job.get()));
  if (process.get() != nullptr) {
    const auto milliseconds = std::min<std::chrono::milliseconds::rep>(limit.count(), 0x7FFFFFFF);
    if (WaitForSingleObject(process.get(), static_cast<DWORD>(milliseconds)) == WAIT_TIMEOUT) {
      TerminateJobObject(job.get(), 1);
      TerminateProcess(process.get(), 1);  // in case it could not join the job
      WaitForSingleObject(process.get(), INFINITE);
      outcome.kind = ChildOutcome::Kind::TimedOut;
    } else {
      WaitFor(process.get(), outcome);
    }
    UnwatchChild(reinterpret_cast<std::intptr_t>(process.get()));
  }
  // Whatever it started and left running goes with it.
  TerminateJobObject(job.get(), 1);
  for (int attempt = 0; attempt < 50; ++attempt) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!QueryInformationJobObject(job.get(), JobObjectBasicAccountingInformation, &accounting,
                                   sizeof accounting, nullptr) ||
        accounting.ActiveProcesses == 0) {
      break;
    }
    Sleep(100);
  }
  UnwatchProcessTree(reinterpret_cast<std::intptr_t>(job.get()));
  return outcome;
}

}  // namespace scrivora
