// An interrupted embed leaves nothing behind: no temporary file, no running child, and an
// earlier embedded.exe as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/embed/embed_harness.h"
#include "tests/embed/fake_converter_words.h"
#include "tests/embed/fake_notes_output.h"

namespace scrivora {
namespace {

namespace fs = std::filesystem;

bool HasTemporaryFile(const fs::path& folder) {
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("mbrtf", 0) == 0 || name.rfind("sccfg", 0) == 0 || name.rfind("mbcnv", 0) == 0) {
      return true;
    }
  }
  return false;
}

TEST(EmbedInterrupted, RemovesItsTemporaryFilesAndStopsItsChildren) {
  for (const int signalNumber : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(strsignal(signalNumber));
    test::EmbedWorkshop workshop;
    test::WriteFile(workshop.work() / "book.rtf", std::string("{\\rtf1 ") + test::kSlowMain + "}");
    test::WriteFile(workshop.work() / "about.txt", "Title\r\n");
    test::WriteFile(workshop.work() / "embedded.exe", "earlier");
    const auto before = workshop.WorkListing();
    // The splitter's standard error is a pipe: it reaches its end only when every program that
    // held it has ended, the stopped children included.
    int errorPipe[2];
    ASSERT_EQ(pipe(errorPipe), 0);

    const std::string embed = workshop.Embed().string();
    const pid_t pid = fork();
    if (pid == 0) {
      if (chdir(workshop.work().c_str()) != 0) _exit(126);
      dup2(errorPipe[1], 2);
      close(errorPipe[0]);
      close(errorPipe[1]);
      execl(embed.c_str(), embed.c_str(), "book.rtf", "about.txt", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(errorPipe[1]);
    ASSERT_GT(pid, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!HasTemporaryFile(workshop.work()) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(HasTemporaryFile(workshop.work()));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the children are running
    const auto killedAt = std::chrono::steady_clock::now();
    kill(pid, signalNumber);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), signalNumber);
    char buffer[256];
    while (read(errorPipe[0], buffer, sizeof buffer) > 0) {
    }
    close(errorPipe[0]);
    // The slow splitter would have held the pipe for half a minute.
    EXPECT_LT(std::chrono::steady_clock::now() - killedAt, std::chrono::seconds(10));
    EXPECT_EQ(workshop.WorkListing(), before);
  }
}

// Interrupted while a converter runs: the converter and what it started are stopped, and its
// temporary folder goes with all that it wrote there.
TEST(EmbedInterrupted, StopsTheConverterAndRemovesItsFolder) {
  test::EmbedWorkshop workshop;
  const fs::path converters = workshop.root() / "converters";
  fs::create_directories(converters);
  fs::copy_file(SCRIVORA_FAKE_CONVERTER, converters / "pandoc");
  const fs::path record = workshop.root() / "record.txt";
  test::WriteFile(workshop.work() / "book.md", std::string("# ") + test::kConvertHangs + "\n");
  test::WriteFile(workshop.work() / "about.txt", "Title\r\n");
  test::WriteFile(workshop.work() / "embedded.exe", "earlier");
  const auto before = workshop.WorkListing();

  const std::string embed = workshop.Embed().string();
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(workshop.work().c_str()) != 0) _exit(126);
    setenv("PATH", converters.c_str(), 1);
    setenv("FAKE_CONVERTER_RECORD", record.c_str(), 1);
    execl(embed.c_str(), embed.c_str(), "book.md", "about.txt", static_cast<char*>(nullptr));
    _exit(127);
  }
  ASSERT_GT(pid, 0);
  // The converter has filled its output and started its own child once that child is recorded.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  auto lingering = [&record]() -> pid_t {
    std::error_code error;
    if (!fs::exists(record, error)) return 0;
    const std::string text = test::ReadFile(record);
    const std::size_t at = text.find("lingering\t");
    return at == std::string::npos ? 0 : static_cast<pid_t>(std::stol(text.substr(at + 10)));
  };
  while (lingering() == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const pid_t child = lingering();
  ASSERT_GT(child, 0);
  ASSERT_TRUE(HasTemporaryFile(workshop.work()));
  kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGINT);
  EXPECT_EQ(workshop.WorkListing(), before);
  bool gone = false;
  for (int attempt = 0; attempt < 50 && !gone; ++attempt) {
    gone = kill(child, 0) != 0;
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_TRUE(gone) << "the converter's child " << child << " still runs";
}

}  // namespace
}  // namespace scrivora
