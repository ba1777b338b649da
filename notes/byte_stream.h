// Where the splitter reads its document from and writes its results to: a pipe, a file or memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace scrivora {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `capacity` bytes into `buffer`: the count read, 0 at the end, -1 on a read error.
  virtual std::ptrdiff_t Read(std::uint8_t* buffer, std::size_t capacity) = 0;
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all `length` bytes; false when they could not be written.
  virtual bool Write(const std::uint8_t* bytes, std::size_t length) = 0;
};

// A document held in memory (tests, fuzzing, benchmarks).
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  std::ptrdiff_t Read(std::uint8_t* buffer, std::size_t capacity) override;

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

class StringSink final : public ByteSink {
 public:
  bool Write(const std::uint8_t* bytes, std::size_t length) override {
    text.append(reinterpret_cast<const char*>(bytes), length);
    return true;
  }
  std::string text;
};

}  // namespace scrivora
