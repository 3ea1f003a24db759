#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/controls.h"
#include "diff/diff.h"
#include "diff/pairing.h"
#include "diff/positions.h"
#include "diff/render.h"
#include "diff/render_cache.h"
#include "generate.h"
#include "ui/finder.h"
#include "ui/screen_frame.h"
#include "ui/search.h"
#include "ui/text_view.h"

namespace plimsy {
namespace {

// A file of 100 000 lines in hunks of 60, source-like text.
const File& HundredThousandLines() {
  static const File file = [] {
    std::mt19937 random(7);
    File made;
    made.old_name = made.new_name = "src/generated.cc";
    size_t lines = 0;
    while (lines < 100'000) {
      Hunk& hunk = made.hunks.emplace_back();
      hunk.old_start = hunk.new_start = static_cast<int32_t>(lines + 1);
      bench::GenerateHunkLines(random, 60, hunk);
      lines += hunk.lines.size();
    }
    return made;
  }();
  return file;
}

// A search from the top for a term the file does not hold, so that every
// line is read: the longest a search can take. The first search after the
// file is chosen also finds where its rows lie (`cold`).
void BM_SearchDifference(benchmark::State& state) {
  const File& file = HundredThousandLines();
  const bool split = state.range(0) != 0;
  const bool wrap = state.range(1) != 0;
  const bool cold = state.range(2) != 0;
  const Finder finder(state.range(3) != 0 ? "NotInTheFile" : "notinthefile");
  const std::vector<int> split_rows = SplitRowCounts(file);
  TextView view;
  view.wrap = wrap;
  auto cache = std::make_unique<RenderCache>();
  // Wrapping needs the pane's width, which a frame tells.
  auto frame = [&] {
    ftxui::Screen screen = ftxui::Screen::Create(ftxui::Dimension::Fixed(200),
                                                 ftxui::Dimension::Fixed(60));
    ftxui::Render(screen,
                  RenderFile(file, split, {&split_rows, cache.get(), &view}));
  };
  frame();
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      cache = std::make_unique<RenderCache>();
      frame();
      state.ResumeTiming();
    }
    DrawnFile drawn(file, split, {&split_rows, cache.get(), &view});
    benchmark::DoNotOptimize(drawn.Find(finder, 0, true));
  }
  state.counters["lines"] = 100'000;
}

// The same over a list of 100 000 entries.
void BM_SearchList(benchmark::State& state) {
  std::vector<std::string> entries;
  std::mt19937 random(7);
  for (int i = 0; i < 100'000; ++i) {
    entries.push_back("M src/" + bench::GeneratedLineText(random));
  }
  const Finder finder(state.range(0) != 0 ? "NotInTheList" : "notinthelist");
  for (auto _ : state) {
    int selected = 0;
    benchmark::DoNotOptimize(
        SearchEntries(finder, true, static_cast<int>(entries.size()), selected,
                      [&entries](int i) { return entries[i]; }));
  }
}

// A frame of the shared frame around an empty body at 200x60: with the
// hint line, with the help drawn over it, and the body alone for
// reference.
void BM_FrameParts(benchmark::State& state) {
  const int what = static_cast<int>(state.range(0));
  bool split = true;
  bool ignore_whitespace = false;
  int context = 3;
  ftxui::Component body =
      ftxui::Renderer([] { return ftxui::text("body") | ftxui::flex; });
  ftxui::Component list = ftxui::Renderer([](bool) { return ftxui::text(""); });
  ScreenFrameOptions options;
  options.name = "diff";
  options.controls =
      DiffHeaderControls({.split = &split,
                          .ignore_whitespace = &ignore_whitespace,
                          .context = &context,
                          .whitespace_changed = [] {},
                          .less_context = [] {},
                          .more_context = [] {}});
  options.exit = [] {};
  options.panes = {{list, {}}};
  ftxui::Component root =
      what == 0 ? body
                : ScreenFrame(ftxui::Container::Vertical({body, list}),
                              std::move(options));
  if (what == 2) {
    root->OnEvent(ftxui::Event::Character('?'));
  }
  ftxui::Screen screen = ftxui::Screen::Create(ftxui::Dimension::Fixed(200),
                                               ftxui::Dimension::Fixed(60));
  for (auto _ : state) {
    screen.Clear();
    ftxui::Render(screen, root->Render());
    benchmark::DoNotOptimize(screen.PixelAt(0, 0));
  }
  state.SetLabel(what == 0 ? "body alone" : what == 1 ? "frame" : "frame+help");
}

BENCHMARK(BM_SearchDifference)
    ->ArgNames({"split", "wrap", "cold", "exact_case"})
    ->ArgsProduct({{0, 1}, {0, 1}, {0}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
// Each cold search follows an untimed first frame of the file, which the
// timer's pauses make slow to repeat: a few are enough.
BENCHMARK(BM_SearchDifference)
    ->ArgNames({"split", "wrap", "cold", "exact_case"})
    ->ArgsProduct({{0, 1}, {0, 1}, {1}, {0}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchList)
    ->ArgNames({"exact_case"})
    ->Args({0})
    ->Args({1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameParts)
    ->ArgNames({"what"})
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plimsy
