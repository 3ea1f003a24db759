#include <benchmark/benchmark.h>

#include <cstddef>
#include <map>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/diff.h"
#include "diff/render.h"
#include "generate.h"
#include "ui/scroller.h"

namespace plimsy {
namespace {

// Generating a million changed lines takes seconds: each size is made once.
const File& GeneratedFile(size_t changed_lines) {
  static std::map<size_t, File> files;
  auto it = files.find(changed_lines);
  if (it == files.end()) {
    it = files.emplace(changed_lines, bench::GenerateFile(changed_lines, 42))
             .first;
  }
  return it->second;
}

// One frame of the difference pane: the file rendered inside a focused
// scroller scrolled to about the middle, drawn into a 200x60 screen, with
// RenderFile given the split-layout row counts as the screens keep them
// (`lazy`), or with the reference that builds every line.
void MeasureFrame(benchmark::State& state, bool lazy) {
  const File& file = GeneratedFile(static_cast<size_t>(state.range(0)));
  const bool split = state.range(1) != 0;
  const std::vector<int> split_rows = SplitRowCounts(file);
  // Both renderings ask for the same size, so the cheap one sets up the
  // scroller even when the reference is measured.
  bool measuring = false;
  ftxui::Component scroller = ftxui::Scroller(ftxui::Renderer([&] {
    return lazy || !measuring ? RenderFile(file, split, &split_rows)
                              : RenderWholeFile(file, split, LookOf(file, {}));
  }));
  ftxui::Screen screen = ftxui::Screen::Create(ftxui::Dimension::Fixed(200),
                                               ftxui::Dimension::Fixed(60));
  // Lay out once so that pages can move the row to about the middle.
  ftxui::Render(screen, scroller->Render());
  size_t lines = 0;
  for (const Hunk& hunk : file.hunks) {
    lines += hunk.lines.size();
  }
  for (size_t i = 0; i < lines / 2 / 59; ++i) {
    scroller->OnEvent(ftxui::Event::PageDown);
  }

  measuring = true;
  for (auto _ : state) {
    screen.Clear();
    ftxui::Render(screen, scroller->Render());
    benchmark::DoNotOptimize(screen.PixelAt(0, 0));
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["hunks"] = static_cast<double>(file.hunks.size());
}

void BM_FrameReference(benchmark::State& state) {
  MeasureFrame(state, false);
}

void BM_Frame(benchmark::State& state) {
  MeasureFrame(state, true);
}

// The references leave the heap large and scattered: they run last so that
// the figures of RenderFile do not depend on them.
BENCHMARK(BM_Frame)
    ->ArgNames({"changed", "split"})
    ->ArgsProduct({{1'000, 10'000, 100'000, 1'000'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameReference)
    ->ArgNames({"changed", "split"})
    ->ArgsProduct({{1'000, 10'000, 100'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
// About twenty-five seconds a frame: one is enough.
BENCHMARK(BM_FrameReference)
    ->ArgNames({"changed", "split"})
    ->ArgsProduct({{1'000'000}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plimsy
