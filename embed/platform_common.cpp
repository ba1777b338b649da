// The parts of the platform layer that need no system call of their own.
#include "embed/platform.h"

#include <random>
#include <system_error>

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

OsResult TempFile::Create(std::string_view prefix, TempFile& temp) {
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
    File file;
    OsResult result = File::CreateNew(name, file, nameTaken);
    if (result.ok()) {
      temp.file_ = std::move(file);
      temp.name_ = name;
      WatchTempFile(temp.name_);
      return result;
    }
    if (!nameTaken) return result;
  }
  return OsResult::Failed("no free name found for a temporary file");
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
