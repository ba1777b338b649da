// The platform layer on POSIX systems.
#include "embed/platform.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "embed/interrupt_cleanup.h"

namespace scrivora {
namespace {

OsResult LastError() { return OsResult::Failed(std::strerror(errno)); }

}  // namespace


void File::Release() {
  if (handle_ >= 0) ::close(handle_);
  handle_ = -1;
}

OsResult File::OpenForReading(const std::filesystem::path& path, File& file) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return LastError();
  File opened(fd);
  struct stat info {};
  if (::fstat(fd, &info) != 0) return LastError();
  if (S_ISDIR(info.st_mode)) return OsResult::Failed(std::strerror(EISDIR));
  file = std::move(opened);
  return {};
}

OsResult File::CreateNew(const std::filesystem::path& path, File& file, bool& nameTaken) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  nameTaken = fd < 0 && errno == EEXIST;
  if (fd < 0) return LastError();
  file = File(fd);
  return {};
}

OsResult File::Size(std::uint64_t& size) const {
  struct stat info {};
  if (::fstat(handle_, &info) != 0) return LastError();
  size = static_cast<std::uint64_t>(info.st_size);
  return {};
}

OsResult File::SeekTo(std::uint64_t offset) {
  if (::lseek(handle_, static_cast<off_t>(offset), SEEK_SET) < 0) return LastError();
  return {};
}

OsResult File::Read(void* buffer, std::size_t length, std::size_t& got) {
  for (;;) {
    const ssize_t n = ::read(handle_, buffer, length);
    if (n >= 0) {
      got = static_cast<std::size_t>(n);
      return {};
    }
    if (errno != EINTR) return LastError();
  }
}

OsResult File::WriteAll(const void* data, std::size_t length) {
  const char* from = static_cast<const char*>(data);
  while (length > 0) {
    const ssize_t n = ::write(handle_, from, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    from += n;
    length -= static_cast<std::size_t>(n);
  }
  return {};
}

void File::StartFlush() {
#if defined(__linux__)
  ::sync_file_range(handle_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

OsResult File::FlushToDisk() {
  if (::fsync(handle_) != 0) return LastError();
  return {};
}

OsResult File::Close() {
  if (handle_ < 0) return {};
  const int fd = handle_;
  handle_ = -1;
  if (::close(fd) != 0 && errno != EINTR) return LastError();
  return {};
}

OsResult TempFile::CloseAndRename(const std::filesystem::path& target) {
  if (OsResult closed = file_.Close(); !closed.ok()) return closed;
  if (::rename(name_.c_str(), target.c_str()) != 0) return LastError();
  UnwatchTempFile(name_);
  name_.clear();  // it is the target now: nothing left to remove
  return {};
}

OsResult CreateNewFolder(const std::filesystem::path& path, bool& nameTaken) {
  const int made = ::mkdir(path.c_str(), 0700);
  nameTaken = made != 0 && errno == EEXIST;
  if (made != 0) return LastError();
  return {};
}

std::optional<std::string> EnvironmentValue(const char* name) {
  const char* value = ::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

bool IsProgramFile(const std::filesystem::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

OsResult RunningProgramPath(std::filesystem::path& path) {
  // The kernel's link names the program file itself, wherever argv[0] pointed.
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return LastError();
    if (static_cast<std::size_t>(n) < buffer.size()) {
      path = std::string(buffer.data(), static_cast<std::size_t>(n));
      return {};
    }
    buffer.resize(buffer.size() * 2);
  }
}

void WriteStandardError(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(STDERR_FILENO, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void ReportOnStandardError(std::string_view utf8Message) { WriteStandardError(utf8Message); }

void PrepareProcess() {
  // With descriptors 0-2 taken, no file opened later can pose as a child's standard stream.
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) ::open("/dev/null", O_RDWR);
  }
  ::signal(SIGXFSZ, SIG_IGN);
  InstallInterruptCleanup();
}

}  // namespace scrivora
