#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string>
#include <utility>
#include <vector>

#include "diff/diff.h"
#include "generate.h"

namespace plimsy {
namespace {

// About 50 MB: 1000 files of 10 hunks of 80 lines.
const std::string& LargeDiff() {
  static const std::string text = bench::GenerateDiff(1000, 10, 80, 42);
  return text;
}

size_t StringHeapBytes(const std::string& text) {
  // Strings up to 15 bytes live inside the object (libstdc++'s short string
  // buffer).
  return text.capacity() > 15 ? text.capacity() + 1 : 0;
}

// Heap bytes held by the model, from string and vector capacities (the
// allocator's own overhead not counted).
size_t ModelBytes(const std::vector<File>& files) {
  size_t bytes = files.capacity() * sizeof(File);
  for (const File& file : files) {
    bytes += StringHeapBytes(file.old_name) + StringHeapBytes(file.new_name) +
             file.hunks.capacity() * sizeof(Hunk);
    for (const Hunk& hunk : file.hunks) {
      bytes += hunk.lines.capacity() * sizeof(Line) + hunk.block_size +
               hunk.blocks.capacity() * sizeof(hunk.blocks[0]);
    }
  }
  return bytes;
}

size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

void BM_ParseDiff(benchmark::State& state) {
  const std::string& text = LargeDiff();
  size_t model_bytes = 0;
  size_t heap_bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string copy = text;
    const size_t copy_bytes = copy.capacity() + 1;
    const size_t heap_before = HeapInUse();
    state.ResumeTiming();
    std::vector<File> files = ParseDiff(std::move(copy));
    state.PauseTiming();
    // The text was moved into the parser and freed there, so what the heap
    // gained is the model, allocator overhead included.
    heap_bytes = HeapInUse() + copy_bytes - heap_before;
    model_bytes = ModelBytes(files);
    benchmark::DoNotOptimize(files.data());
    files = {};
    state.ResumeTiming();
  }
  state.SetBytesProcessed(
      static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["text_mb"] = static_cast<double>(text.size()) / 1e6;
  state.counters["model_bytes_per_text_byte"] =
      static_cast<double>(model_bytes) / static_cast<double>(text.size());
  state.counters["heap_bytes_per_text_byte"] =
      static_cast<double>(heap_bytes) / static_cast<double>(text.size());
}
BENCHMARK(BM_ParseDiff)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plimsy
