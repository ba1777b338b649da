#include "tests/embed/embed_harness.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "embed/windows_command_line.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace scrivora::test {

fs::path Utf8Path(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

NativeString NativeArgument(const std::string& utf8) { return Utf8Path(utf8).native(); }

fs::path FakeNotesProgram() { return HostPath(SCRIVORA_FAKE_NOTES); }

std::optional<fs::path> RealNotesProgram() {
  const fs::path notes = DistProgram("notes");
  std::error_code error;
  if (fs::is_regular_file(notes, error)) return notes;
  return std::nullopt;
}

std::string AwkwardName(const std::string& stem) {
#if defined(_WIN32)
  // Windows allows no quotation mark in a file name.
  return stem + " 'q' & ; $HOME %PATH% ^! \xC3\xBC\xE4\xB8\xAD";
#else
  return stem + " \"q\" 'r' & ; $HOME %PATH% `x` \\ \xC3\xBC\xE4\xB8\xAD";
#endif
}

std::string StandInViewer(std::size_t size) {
  std::string viewer(size, '\0');
  for (std::size_t i = 0; i < size; ++i) viewer[i] = static_cast<char>((i * 31 + 7) & 0xFF);
  if (size >= 2) viewer.replace(0, 2, "MZ");
  return viewer;
}

#if defined(_WIN32)

ProgramRun RunProgramIn(const RunSettings& settings, const fs::path& program,
                        const std::vector<NativeString>& arguments) {
  const fs::path outPath = settings.workFolder.parent_path() / "captured-out";
  const fs::path errPath = settings.workFolder.parent_path() / "captured-err";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE in = CreateFileW(settings.input.empty() ? L"NUL" : settings.input.c_str(), GENERIC_READ,
                          share, &inherit, OPEN_EXISTING, 0, nullptr);
  HANDLE out =
      CreateFileW(outPath.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr);
  HANDLE err =
      CreateFileW(errPath.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  const fs::path& name = settings.programName.empty() ? program : settings.programName;
  std::wstring line = ComposeWindowsCommandLine(name.wstring(), arguments);
  // The child inherits this process's environment, changed for the run and then put back.
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> previous;
  for (const auto& [variable, value] : settings.environment) {
    const std::wstring wideName = Utf8Path(variable).wstring();
    wchar_t buffer[32767];
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), buffer, 32767);
    previous.emplace_back(wideName, length > 0
                                        ? std::optional<std::wstring>(std::wstring(buffer, length))
                                        : std::nullopt);
    SetEnvironmentVariableW(wideName.c_str(), Utf8Path(value).wstring().c_str());
  }
  PROCESS_INFORMATION process{};
  ProgramRun run;
  if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     settings.workFolder.c_str(), &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    run.status = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  for (const auto& [variable, value] : previous) {
    SetEnvironmentVariableW(variable.c_str(), value ? value->c_str() : nullptr);
  }
  for (HANDLE h : {in, out, err}) {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  run.out = ReadFile(outPath);
  run.err = ReadFile(errPath);
  fs::remove(outPath);
  fs::remove(errPath);
  return run;
}

#else

ProgramRun RunProgramIn(const RunSettings& settings, const fs::path& program,
                        const std::vector<NativeString>& arguments) {
  const fs::path outPath = settings.workFolder.parent_path() / "captured-out";
  const fs::path errPath = settings.workFolder.parent_path() / "captured-err";
  const fs::path& name = settings.programName.empty() ? program : settings.programName;
  std::vector<char*> argv{const_cast<char*>(name.c_str())};
  for (const NativeString& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const std::string input = settings.input.empty() ? "/dev/null" : settings.input.string();

  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(input.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || chdir(settings.workFolder.c_str()) != 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    for (const auto& [variable, value] : settings.environment) {
      setenv(variable.c_str(), value.c_str(), 1);
    }
    if (settings.fileSizeLimit) {
      const rlimit limit{*settings.fileSizeLimit, *settings.fileSizeLimit};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  ProgramRun run;
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid) {
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  run.out = ReadFile(outPath);
  run.err = ReadFile(errPath);
  fs::remove(outPath);
  fs::remove(errPath);
  return run;
}

#endif

EmbedWorkshop::EmbedWorkshop(bool awkward, std::optional<fs::path> notes) {
  tools_ = root_.path() / Utf8Path(awkward ? AwkwardName("tools") : "tools");
  work_ = root_.path() / Utf8Path(awkward ? AwkwardName("work") : "work");
  fs::create_directories(tools_);
  fs::create_directories(work_);
  fs::copy_file(DistProgram("embed"), Embed());
  fs::copy_file(DistProgram("encrypt"), Tool("encrypt"));
  fs::copy_file(notes ? *notes : FakeNotesProgram(), Tool("notes"));
  WriteFile(tools_ / "scrivora.exe", StandInViewer(1536));
}

fs::path EmbedWorkshop::Tool(const std::string& name) const {
#if defined(_WIN32)
  if (name != "scrivora.exe") return tools_ / (name + ".exe");
#endif
  return tools_ / name;
}

ProgramRun EmbedWorkshop::Run(const std::vector<NativeString>& arguments,
                              std::optional<std::uint64_t> fileSizeLimit) const {
  RunSettings settings;
  settings.workFolder = work_;
  settings.fileSizeLimit = fileSizeLimit;
  return RunProgramIn(settings, Embed(), arguments);
}

ProgramRun EmbedWorkshop::Run(
    const std::vector<NativeString>& arguments,
    const std::vector<std::pair<std::string, std::string>>& environment) const {
  RunSettings settings;
  settings.workFolder = work_;
  settings.environment = environment;
  return RunProgramIn(settings, Embed(), arguments);
}

std::vector<std::pair<std::string, std::string>> EmbedWorkshop::WorkListing() const {
  std::vector<std::pair<std::string, std::string>> listing;
  for (const fs::directory_entry& entry : fs::directory_iterator(work_)) {
    const std::u8string name = entry.path().filename().u8string();
    listing.emplace_back(std::string(name.begin(), name.end()),
                         entry.is_directory() ? "<folder>" : ReadFile(entry.path()));
  }
  std::sort(listing.begin(), listing.end());
  return listing;
}

void ExpectEmbedFailure(const ProgramRun& run, const std::vector<std::string>& parts) {
  EXPECT_EQ(run.status, 2) << run.err;
  const std::size_t ownMessage = run.err.rfind("embed: ");
  ASSERT_NE(ownMessage, std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\n', ownMessage), run.err.size() - 1) << run.err;
  for (const std::string& part : parts) {
    EXPECT_NE(run.err.find(part), std::string::npos) << "missing [" << part << "] in: " << run.err;
  }
}

}  // namespace scrivora::test
