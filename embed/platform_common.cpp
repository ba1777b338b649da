// The parts of the platform layer that need no system call of their own.
#include "embed/platform.h"

#include <chrono>
#include <random>
#include <system_error>
#include <thread>

#include "embed/interrupt_cleanup.h"

namespace scrivora {

File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = File().handle_; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Release();
    handle_ = other.handle_;
    other.handle_ = File().handle_;
  }
  return *this;
}

File::~File() { Release(); }

namespace {

// Tries fresh names `prefix` + six letters or digits until `create` makes one that was free.
template <typename Create>
OsResult CreateUnderFreshName(std::string_view prefix, Create create, const char* what) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  // 62^6 names: a hundred taken ones in a row means something else is wrong.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name(prefix);
    for (int i = 0; i < 6; ++i) name.push_back(kLetters[pick(random)]);
    bool nameTaken = false;
    OsResult result = create(std::filesystem::path(name), nameTaken);
    if (result.ok() || !nameTaken) return result;
  }
  return OsResult::Failed(std::string("no free name found for a temporary ") + what);
}

}  // namespace

OsResult MapWholeFile(const std::filesystem::path& path, MappedFile& view) {
  File file;
  std::uint64_t size = 0;
  OsResult result = File::OpenForReading(path, file);
  if (result.ok()) result = file.Size(size);
  if (result.ok()) result = view.Map(file.handle(), size);
  return result;
}

OsResult TempFile::Create(std::string_view prefix, TempFile& temp) {
  return CreateUnderFreshName(
      prefix,
      [&temp](const std::filesystem::path& name, bool& nameTaken) {
        File file;
        OsResult result = File::CreateNew(name, file, nameTaken);
        if (result.ok()) {
          temp.file_ = std::move(file);
          temp.name_ = name;
          WatchTempFile(temp.name_);
        }
        return result;
      },
      "file");
}

OsResult TempFolder::Create(std::string_view prefix, TempFolder& folder) {
  return CreateUnderFreshName(
      prefix,
      [&folder](const std::filesystem::path& name, bool& nameTaken) {
        OsResult result = CreateNewFolder(name, nameTaken);
        if (result.ok()) {
          folder.name_ = name;
          WatchTempFolder(folder.name_);
        }
        return result;
      },
      "folder");
}

TempFolder::~TempFolder() { Remove(); }

void TempFolder::Remove() {
  if (name_.empty()) return;
  // A converter that was just stopped may hold its files open a moment longer, and Windows
  // removes no open file: a few more tries then.
  for (int attempt = 0; attempt < 50; ++attempt) {
    std::error_code error;
    std::filesystem::remove_all(name_, error);
    if (!error || !std::filesystem::exists(name_, error)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  UnwatchTempFolder(name_);
  name_.clear();
}

TempFile::~TempFile() { Remove(); }

void TempFile::Remove() {
  if (name_.empty()) return;
  file_.Close();
  std::error_code error;
  std::filesystem::remove(name_, error);
  UnwatchTempFile(name_);
  name_.clear();
}

std::string PathForMessage(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace scrivora
