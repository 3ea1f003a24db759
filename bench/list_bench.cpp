#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/component_options.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/screen.hpp>

#include "ui/list.h"

namespace plimsy {
namespace {

std::vector<std::string> FileNames(int count) {
  std::vector<std::string> names;
  names.reserve(count);
  for (int i = 0; i < count; ++i) {
    names.push_back("src/module_" + std::to_string(i % 97) + "/file_" +
                    std::to_string(i) + ".cpp");
  }
  return names;
}

// One frame of a list pane as the screens draw it, in a 200x60 screen, with
// the selection about the middle of the list: the list alone (`ours`) or
// the library's menu in a scrolling frame as the screens had it.
void MeasureList(benchmark::State& state, bool ours) {
  const int count = static_cast<int>(state.range(0));
  const std::vector<std::string> names = FileNames(count);
  int selected = count / 2;
  ftxui::Component list =
      ours ? List(&names, &selected)
           : ftxui::Menu(&names, &selected, ftxui::MenuOption::Vertical());
  ftxui::Component pane = ftxui::Renderer(list, [list, ours] {
    ftxui::Element shown = ours ? list->Render()
                                : list->Render() | ftxui::vscroll_indicator |
                                      ftxui::yframe | ftxui::yflex;
    return ftxui::hbox({
        ftxui::vbox({ftxui::text("Files"), ftxui::separator(), shown}) |
            ftxui::size(ftxui::WIDTH, ftxui::EQUAL, 40),
        ftxui::separator(),
        ftxui::text("content") | ftxui::flex,
    });
  });
  ftxui::Screen screen = ftxui::Screen::Create(ftxui::Dimension::Fixed(200),
                                               ftxui::Dimension::Fixed(60));
  for (auto _ : state) {
    // A key per frame, as the screens draw one frame per key.
    list->OnEvent(selected % 2 ? ftxui::Event::ArrowUp
                               : ftxui::Event::ArrowDown);
    screen.Clear();
    ftxui::Render(screen, pane->Render());
    benchmark::DoNotOptimize(screen.PixelAt(0, 0));
  }
  state.counters["entries"] = count;
}

void BM_ListFrame(benchmark::State& state) {
  MeasureList(state, true);
}

// The library's menu builds an element for every entry at every frame.
void BM_ListFrameLibraryMenu(benchmark::State& state) {
  MeasureList(state, false);
}

BENCHMARK(BM_ListFrame)
    ->ArgName("entries")
    ->Arg(100)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMicrosecond);
// Beyond some 46 000 entries the library's layout overflows: its figures
// stop at 40 000.
BENCHMARK(BM_ListFrameLibraryMenu)
    ->ArgName("entries")
    ->Arg(100)
    ->Arg(40'000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plimsy
