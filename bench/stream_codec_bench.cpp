// Decoder and encoder throughput on a 10 MB stream pulled in 4 KB calls, as the rich-edit
// control pulls it, beside memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "container/stream_codec.h"

namespace {

constexpr std::size_t kStreamSize = 10 * 1000 * 1000;
constexpr std::int32_t kCallSize = 4096;

// RTF-like text: control words, groups, escaped braces and backslashes in realistic density.
const std::string& PlainStream() {
  static const std::string plain = [] {
    std::string s = "{\\rtf1\\ansi\\deff0 ";
    const char* pieces[] = {"{\\b bold} ", "plain words of text ", "\\par\r\n",
                            "{\\i x\\} y\\{ z\\\\} ", "{\\f1\\fs24 more words here} "};
    // Whole pieces only, so every group closes and the last brace ends the stream.
    for (std::size_t i = 0; s.size() + 64 < kStreamSize; ++i) s += pieces[i % 5];
    s.resize(kStreamSize - 1, ' ');
    s += '}';
    return s;
  }();
  return plain;
}

void BM_Memcpy(benchmark::State& state) {
  const std::string& plain = PlainStream();
  std::vector<char> buffer(kCallSize);
  for (auto _ : state) {
    for (std::size_t at = 0; at < plain.size(); at += kCallSize) {
      const std::size_t n = std::min<std::size_t>(kCallSize, plain.size() - at);
      std::memcpy(buffer.data(), plain.data() + at, n);
      benchmark::ClobberMemory();
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * plain.size()));
}

void BM_Encode(benchmark::State& state) {
  const std::string& plain = PlainStream();
  std::vector<std::uint8_t> buffer(kCallSize);
  const auto* in = reinterpret_cast<const std::uint8_t*>(plain.data());
  for (auto _ : state) {
    scrivora::StreamEncoder encoder;
    for (std::size_t at = 0; at < plain.size(); at += kCallSize) {
      const std::size_t n = std::min<std::size_t>(kCallSize, plain.size() - at);
      encoder.Encode(in + at, buffer.data(), n);
      benchmark::ClobberMemory();
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * plain.size()));
}

void BM_Decode(benchmark::State& state) {
  const std::string image = scrivora::EncodeStream(PlainStream());
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(image.data());
  std::vector<std::uint8_t> buffer(kCallSize);
  std::int64_t delivered = 0;
  for (auto _ : state) {
    scrivora::StreamCursor cursor = scrivora::StreamCursor::At(bytes, image.size(), 0);
    std::int32_t count = 0;
    do {
      scrivora::StreamInCallback(cursor, buffer.data(), kCallSize, count);
      delivered += count;
      benchmark::ClobberMemory();
    } while (count > 0);
  }
  if (delivered != static_cast<std::int64_t>(state.iterations() * (image.size() - 1)))
    state.SkipWithError("the decoder did not deliver the whole stream");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.size()));
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
