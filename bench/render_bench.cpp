#include <benchmark/benchmark.h>

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

// One frame of the difference pane: the whole file rendered inside a
// focused scroller, drawn into a 200x60 screen.
void BM_RenderFrame(benchmark::State& state) {
  const File file =
      bench::GenerateFile(static_cast<size_t>(state.range(0)), 42);
  const bool split = state.range(1) != 0;
  ftxui::Component scroller =
      ftxui::Scroller(ftxui::Renderer([&] { return RenderFile(file, split); }));
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

  for (auto _ : state) {
    screen.Clear();
    ftxui::Render(screen, scroller->Render());
    benchmark::DoNotOptimize(screen.PixelAt(0, 0));
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["hunks"] = static_cast<double>(file.hunks.size());
}
BENCHMARK(BM_RenderFrame)
    ->ArgNames({"changed", "split"})
    ->ArgsProduct({{1'000, 10'000, 100'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plimsy
