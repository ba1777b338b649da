// Throughput of the splitter itself, in memory, on the 20 MB document with 10,000 footnotes.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/notes_document.h"
#include "notes/byte_stream.h"
#include "notes/splitter.h"

namespace {

const std::string& Document() {
  static const std::string rtf = scrivora::bench::MakeNotesDocument(20'000'000, 10'000);
  return rtf;
}

// Counts what is written and keeps nothing, like a pipe.
class CountingSink final : public scrivora::ByteSink {
 public:
  bool Write(const std::uint8_t*, std::size_t length) override {
    written += length;
    return true;
  }
  std::size_t written = 0;
};

void Split(benchmark::State& state, scrivora::SplitMode mode) {
  const std::string& rtf = Document();
  for (auto _ : state) {
    scrivora::MemorySource source(rtf);
    CountingSink sink;
    const scrivora::SplitResult result = scrivora::SplitDocument(source, sink, mode);
    if (!result || result.footnotes != 10'000) state.SkipWithError("split failed");
    benchmark::DoNotOptimize(sink.written);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}

void BM_NotesMainText(benchmark::State& state) { Split(state, scrivora::SplitMode::MainText); }
void BM_NotesNotes(benchmark::State& state) { Split(state, scrivora::SplitMode::Notes); }

BENCHMARK(BM_NotesMainText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NotesNotes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
