// The platform layer on Windows: wide-character paths throughout.
#include "embed/platform.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "common/win32_error.h"
#include "embed/interrupt_cleanup.h"

namespace scrivora {
namespace {

OsResult ErrorResult(DWORD code) { return OsResult::Failed(WindowsErrorText(code)); }

OsResult LastError() { return ErrorResult(GetLastError()); }

bool IsFolder(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void File::Release() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

OsResult File::OpenForReading(const std::filesystem::path& path, File& file) {
  if (IsFolder(path)) return OsResult::Failed("it is a folder, not a file");
  const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  file = File(handle);
  return {};
}

OsResult File::CreateNew(const std::filesystem::path& path, File& file, bool& nameTaken) {
  const HANDLE handle =
      CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    nameTaken = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
    return ErrorResult(code);
  }
  nameTaken = false;
  file = File(handle);
  return {};
}

OsResult File::Size(std::uint64_t& size) const {
  LARGE_INTEGER value{};
  if (!GetFileSizeEx(handle_, &value)) return LastError();
  size = static_cast<std::uint64_t>(value.QuadPart);
  return {};
}

OsResult File::SeekTo(std::uint64_t offset) {
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN)) return LastError();
  return {};
}

OsResult File::Read(void* buffer, std::size_t length, std::size_t& got) {
  DWORD read = 0;
  const DWORD want = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
  if (!ReadFile(handle_, buffer, want, &read, nullptr)) {
    // The end of a pipe reads as a broken pipe.
    if (GetLastError() == ERROR_BROKEN_PIPE)
      read = 0;
    else
      return LastError();
  }
  got = read;
  return {};
}

OsResult File::WriteAll(const void* data, std::size_t length) {
  const char* from = static_cast<const char*>(data);
  while (length > 0) {
    DWORD written = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
    if (!WriteFile(handle_, from, want, &written, nullptr)) return LastError();
    if (written == 0) return OsResult::Failed("nothing could be written");
    from += written;
    length -= written;
  }
  return {};
}

void File::StartFlush() {}

OsResult File::FlushToDisk() {
  if (!FlushFileBuffers(handle_)) return LastError();
  return {};
}

OsResult File::Close() {
  if (handle_ == INVALID_HANDLE_VALUE) return {};
  const HANDLE handle = handle_;
  handle_ = INVALID_HANDLE_VALUE;
  if (!CloseHandle(handle)) return LastError();
  return {};
}

OsResult TempFile::CloseAndRename(const std::filesystem::path& target) {
  if (OsResult closed = file_.Close(); !closed.ok()) return closed;
  if (!MoveFileExW(name_.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return LastError();
  }
  UnwatchTempFile(name_);
  name_.clear();  // it is the target now: nothing left to remove
  return {};
}

OsResult CreateNewFolder(const std::filesystem::path& path, bool& nameTaken) {
  // The folder inherits the current folder's permissions, as the temporary files do.
  if (CreateDirectoryW(path.c_str(), nullptr)) {
    nameTaken = false;
    return {};
  }
  const DWORD code = GetLastError();
  nameTaken = code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS;
  return ErrorResult(code);
}

std::optional<std::wstring> EnvironmentValue(const char* name) {
  const std::wstring wideName(name, name + std::strlen(name));  // names are ASCII
  std::vector<wchar_t> buffer(256);
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD length =
        GetEnvironmentVariableW(wideName.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::wstring();
    }
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length);
  }
}

bool IsProgramFile(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

OsResult RunningProgramPath(std::filesystem::path& path) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return LastError();
    if (length < buffer.size()) {
      path = std::wstring(buffer.data(), length);
      return {};
    }
    buffer.resize(buffer.size() * 2);  // cut short: try again with room for a long path
  }
}

void WriteStandardError(std::string_view bytes) {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void ReportOnStandardError(std::string_view utf8Message) {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (error != nullptr && error != INVALID_HANDLE_VALUE && GetConsoleMode(error, &mode)) {
    // A console shows every letter of a file name this way, whatever its code page.
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8Message.data(),
                                         static_cast<int>(utf8Message.size()), nullptr, 0);
    std::wstring wide(size > 0 ? size : 0, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8Message.data(), static_cast<int>(utf8Message.size()),
                        wide.data(), size);
    DWORD written = 0;
    WriteConsoleW(error, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  WriteStandardError(utf8Message);
}

void PrepareProcess() {
  // A companion that crashes ends with an exception code instead of waiting on an error box
  // that nobody sees; the mode is passed on to the children.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  InstallInterruptCleanup();
}

}  // namespace scrivora
