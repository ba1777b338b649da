// The few operating-system services the packaging tool needs, behind one small interface with a
// POSIX and a Win32 implementation: files that close themselves, temporary files that remove
// themselves, the running program's own path and standard error. Paths are native (UTF-16 on
// Windows), so any file name the system allows works.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/mapped_file.h"
#include "common/os_result.h"

namespace scrivora {

// An open file; closed by the destructor. Handles are never inherited by child processes unless
// the process layer passes them on explicitly.
class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens an existing file for reading; a directory is refused.
  static OsResult OpenForReading(const std::filesystem::path& path, File& file);
  // Creates `path` for reading and writing only if no file of that name exists; `nameTaken`
  // tells that case apart from other failures.
  static OsResult CreateNew(const std::filesystem::path& path, File& file, bool& nameTaken);

  NativeHandle handle() const { return handle_; }

  OsResult Size(std::uint64_t& size) const;
  // Moves to `offset` from the start; writing there leaves a gap of zero bytes, if any, before it.
  OsResult SeekTo(std::uint64_t offset);
  // Reads up to `length` bytes; `got` is 0 only at the end of the file.
  OsResult Read(void* buffer, std::size_t length, std::size_t& got);
  OsResult WriteAll(const void* data, std::size_t length);
  // Starts writing what has been written so far to the disk, without waiting for it, so that
  // FlushToDisk later has less left to wait for. Where the system offers no such thing, nothing.
  void StartFlush();
  // Pushes everything written so far to the disk, so a full disk shows here and not later.
  OsResult FlushToDisk();
  OsResult Close();

 private:
  explicit File(NativeHandle handle) : handle_(handle) {}
  void Release();

#if defined(_WIN32)
  NativeHandle handle_ = reinterpret_cast<NativeHandle>(static_cast<std::intptr_t>(-1));
#else
  NativeHandle handle_ = -1;
#endif
};

// Opens `path` and maps all of it read-only; the view outlives the file's handle.
OsResult MapWholeFile(const std::filesystem::path& path, MappedFile& view);

// A file of the current directory, made under a fresh name that begins with a given prefix. It
// is removed by the destructor unless it was renamed into place, so no failure leaves it behind.
class TempFile {
 public:
  TempFile() = default;
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // `prefix` followed by six letters or digits, created exclusively: an existing file is never
  // opened, so no other process can slip one in under the name.
  static OsResult Create(std::string_view prefix, TempFile& temp);

  File& file() { return file_; }
  const std::filesystem::path& name() const { return name_; }

  // Closes the file and gives it the name `target`, replacing any file of that name at once.
  OsResult CloseAndRename(const std::filesystem::path& target);
  // Closes and removes the file now rather than at the end of the scope.
  void Remove();

 private:
  File file_;
  std::filesystem::path name_;
};

// A folder of the current directory, made under a fresh name that begins with a given prefix,
// for an outside converter's profile and output. It is removed with everything in it by the
// destructor, and by an interruption.
class TempFolder {
 public:
  TempFolder() = default;
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // `prefix` followed by six letters or digits, created exclusively and open to its owner only.
  static OsResult Create(std::string_view prefix, TempFolder& folder);

  const std::filesystem::path& name() const { return name_; }

  // Removes the folder and all it holds now rather than at the end of the scope.
  void Remove();

 private:
  std::filesystem::path name_;
};

// Makes the folder `path` only if nothing of that name exists; `nameTaken` tells that case apart.
OsResult CreateNewFolder(const std::filesystem::path& path, bool& nameTaken);

// The value of an environment variable, or nothing when it is not set.
std::optional<std::filesystem::path::string_type> EnvironmentValue(const char* name);

// Whether `path` is a file this process could start as a program.
bool IsProgramFile(const std::filesystem::path& path);

// The full path of the running program's file, symbolic links resolved where the system knows.
OsResult RunningProgramPath(std::filesystem::path& path);

// Writes `bytes` to standard error with one call of the system (the usage text must not be
// interleaved with anything).
void WriteStandardError(std::string_view bytes);

// A message for people (UTF-8): shown with the console's own wide-character output on a Windows
// console, written as UTF-8 bytes everywhere else.
void ReportOnStandardError(std::string_view utf8Message);

// Prepares the process: on POSIX a write beyond the file size limit fails with an error instead
// of killing the program, so the message can be given and the temporary files removed.
void PrepareProcess();

// A path as UTF-8 text, for messages.
std::string PathForMessage(const std::filesystem::path& path);

}  // namespace scrivora
