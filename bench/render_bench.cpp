#include <benchmark/benchmark.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/diff.h"
#include "diff/pairing.h"
#include "diff/render.h"
#include "diff/render_cache.h"
#include "generate.h"
#include "ui/scroller.h"
#include "ui/text_view.h"

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

size_t LineCount(const File& file) {
  size_t lines = 0;
  for (const Hunk& hunk : file.hunks) {
    lines += hunk.lines.size();
  }
  return lines;
}

// The difference pane as the screens make it: a focused scroller over the
// file, drawn into a 200x60 screen, with RenderFile given the split-layout
// row counts, a cache and a view as the screens keep them.
struct Pane {
  Pane(const File& file, bool split, bool wrap)
      : split_rows(SplitRowCounts(file)),
        screen(ftxui::Screen::Create(ftxui::Dimension::Fixed(200),
                                     ftxui::Dimension::Fixed(60))) {
    view.wrap = wrap;
    scroller = ftxui::Scroller(
        ftxui::Renderer([&file, split, this] {
          return RenderFile(file, split, {&split_rows, &cache, &view});
        }),
        &view);
    Draw();
  }

  void Draw() {
    screen.Clear();
    ftxui::Render(screen, scroller->Render());
    benchmark::DoNotOptimize(screen.PixelAt(0, 0));
  }

  // Moves the selected row to about the middle of `rows`.
  void ToMiddle(size_t rows) {
    for (size_t i = 0; i < rows / 2 / 59; ++i) {
      scroller->OnEvent(ftxui::Event::PageDown);
    }
  }

  std::vector<int> split_rows;
  RenderCache cache;
  TextView view;
  ftxui::Component scroller;
  ftxui::Screen screen;
};

// One frame, again and again, at about the middle of the file: what a key
// that changes nothing in view costs.
void BM_Frame(benchmark::State& state) {
  const File& file = GeneratedFile(static_cast<size_t>(state.range(0)));
  const bool split = state.range(1) != 0;
  Pane pane(file, split, false);
  pane.ToMiddle(LineCount(file));
  for (auto _ : state) {
    pane.Draw();
  }
  state.counters["lines"] = static_cast<double>(LineCount(file));
  state.counters["hunks"] = static_cast<double>(file.hunks.size());
}

// A page down and its frame, again and again: every frame shows rows not
// seen before, whose changed words are found for the first time.
void BM_FramePageDown(benchmark::State& state) {
  const File& file = GeneratedFile(static_cast<size_t>(state.range(0)));
  const bool split = state.range(1) != 0;
  const bool wrap = state.range(2) != 0;
  Pane pane(file, split, wrap);
  pane.ToMiddle(LineCount(file));
  for (auto _ : state) {
    if (!pane.scroller->OnEvent(ftxui::Event::PageDown)) {
      pane.scroller->OnEvent(ftxui::Event::Home);
    }
    pane.Draw();
  }
}

// One hunk rewriting a whole file of `changed_lines` / 2 lines, as git
// prints it: all the deleted lines, then all the added ones.
const File& OneHunkFile(size_t changed_lines) {
  static std::map<size_t, File> files;
  auto it = files.find(changed_lines);
  if (it == files.end()) {
    File file;
    Hunk& hunk = file.hunks.emplace_back();
    hunk.old_start = 1;
    hunk.new_start = 1;
    for (const LineKind kind : {LineKind::kDeleted, LineKind::kAdded}) {
      for (size_t i = 0; i < changed_lines / 2; ++i) {
        hunk.AddLine(kind, (kind == LineKind::kDeleted ? "line " : "LINE ") +
                               std::to_string(i));
      }
    }
    it = files.emplace(changed_lines, std::move(file)).first;
  }
  return it->second;
}

// A frame in the middle of one hunk of many lines.
void BM_FrameOneHunk(benchmark::State& state) {
  const File& file = OneHunkFile(static_cast<size_t>(state.range(0)));
  const bool split = state.range(1) != 0;
  Pane pane(file, split, false);
  pane.ToMiddle(LineCount(file) / (split ? 2 : 1));
  pane.Draw();
  for (auto _ : state) {
    pane.Draw();
  }
}

// One changed line of `bytes` bytes of minified code, both versions of it.
const File& HugeLineFile(size_t bytes) {
  static std::map<size_t, File> files;
  auto it = files.find(bytes);
  if (it == files.end()) {
    std::string text;
    text.reserve(bytes + 16);
    for (size_t i = 0; text.size() < bytes; ++i) {
      text += "function f" + std::to_string(i) + "(a,b){return a+b*" +
              std::to_string(i % 97) + "};";
    }
    File file;
    Hunk& hunk = file.hunks.emplace_back();
    hunk.old_start = 1;
    hunk.new_start = 1;
    hunk.header = "@@ -1 +1 @@";
    hunk.AddLine(LineKind::kDeleted, text);
    text.insert(text.size() / 2, "changed();");
    hunk.AddLine(LineKind::kAdded, text);
    it = files.emplace(bytes, std::move(file)).first;
  }
  return it->second;
}

// A frame of a huge changed line: at its start, scrolled to its middle, or
// wrapped and scrolled down to its middle.
void BM_HugeLine(benchmark::State& state) {
  const File& file = HugeLineFile(static_cast<size_t>(state.range(0)) << 20);
  const int where = static_cast<int>(state.range(1));
  Pane pane(file, true, where == 2);
  if (where == 1) {
    pane.view.column = static_cast<int>(file.hunks[0].lines[0].size / 2);
  }
  if (where == 2) {
    // Half the rows of the pane's 95-cell text columns.
    const size_t rows = file.hunks[0].lines[0].size / 95;
    pane.ToMiddle(rows);
  }
  pane.Draw();
  for (auto _ : state) {
    pane.Draw();
  }
}

BENCHMARK(BM_Frame)
    ->ArgNames({"changed", "split"})
    ->ArgsProduct({{1'000, 10'000, 100'000, 1'000'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramePageDown)
    ->ArgNames({"changed", "split", "wrap"})
    ->ArgsProduct({{1'000, 100'000, 1'000'000}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameOneHunk)
    ->ArgNames({"changed", "split"})
    ->ArgsProduct({{100'000, 1'000'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HugeLine)
    ->ArgNames({"MB", "where"})
    ->ArgsProduct({{5, 20}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plimsy
