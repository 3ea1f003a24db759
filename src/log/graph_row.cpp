#include "log/graph_row.h"

#include <iterator>
#include <string>
#include <utility>

#include <ftxui/component/event.hpp>
#include <ftxui/screen/color.hpp>

namespace plimsy::log {
namespace {

using ftxui::Color;

// Lanes side by side differ in colour as long as there are colours left.
constexpr Color::Palette16 kLaneColours[] = {
    Color::Blue,       Color::Magenta,      Color::Cyan,
    Color::Green,      Color::Yellow,       Color::Red,
    Color::BlueLight,  Color::MagentaLight, Color::CyanLight,
    Color::GreenLight, Color::YellowLight,  Color::RedLight,
};

// A list narrower than this leaves its room to the titles.
constexpr int kGraphMinimumWidth = 60;

}  // namespace

bool ShowsGraph(const std::optional<bool>& choice, int list_width) {
  return choice.value_or(list_width >= kGraphMinimumWidth);
}

KeyBinding GraphKey(std::optional<bool>& choice, const int& list_width) {
  return {{ftxui::Event::Character('t')},
          {},
          "t",
          "Commits",
          "show / hide the graph of the commits",
          [&choice, &list_width](const ftxui::Event&) {
            choice = !ShowsGraph(choice, list_width);
            return std::string();
          },
          "t graph"};
}

ftxui::Element DrawGraphRow(std::span<const GraphCell> cells, int width) {
  ftxui::Elements glyphs;
  for (int i = 0; i < width && i < static_cast<int>(cells.size()); ++i) {
    const GraphCell& cell = cells[i];
    const bool cut = i + 1 == width && static_cast<int>(cells.size()) > width;
    glyphs.push_back(
        ftxui::text(std::string(cut ? "…" : GraphGlyph(cell))) |
        ftxui::color(kLaneColours[cell.colour % std::size(kLaneColours)]));
  }
  return ftxui::hbox(std::move(glyphs));
}

}  // namespace plimsy::log
