#include "diff/cells.h"

#include <string>
#include <utility>

#include "ui/display_text.h"

namespace plimsy {

ftxui::Element NumberCell(int64_t number) {
  return ftxui::text(std::to_string(number));
}

ftxui::Element PlaceholderCell() {
  return ftxui::text("~") | ftxui::dim;
}

ftxui::Element LineCell(const Line& line) {
  using ftxui::Color;
  ftxui::Element cell = ftxui::text(DisplayText(line.text));
  switch (line.kind) {
    case LineKind::Context:
      break;
    case LineKind::Deleted:
      cell = std::move(cell) | ftxui::color(Color::RGB(255, 200, 200)) |
             ftxui::bgcolor(Color::RGB(128, 0, 0));
      break;
    case LineKind::Added:
      cell = std::move(cell) | ftxui::color(Color::RGB(200, 255, 200)) |
             ftxui::bgcolor(Color::RGB(0, 128, 0));
      break;
  }
  return cell;
}

ftxui::Element TextColumn(ftxui::Elements cells) {
  return ftxui::vbox(std::move(cells)) |
         ftxui::size(ftxui::WIDTH, ftxui::EQUAL, 800) | ftxui::xflex;
}

}  // namespace plimsy
