#include "ui/terminal_cells.h"

#include <cstdlib>
#include <memory>
#include <utility>

#include <ftxui/component/component.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/box.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/screen.hpp>
#include <ftxui/screen/string.hpp>

namespace plimsy {

namespace {

class TerminalCellsNode : public ftxui::Node {
 public:
  TerminalCellsNode(ftxui::Element child, bool no_color)
      : Node({std::move(child)}), no_color_(no_color) {}

  void SetBox(ftxui::Box box) override {
    Node::SetBox(box);
    children_[0]->SetBox(box);
  }

  void Render(ftxui::Screen& screen) override {
    Node::Render(screen);
    const ftxui::Box area = ftxui::Box::Intersection(box_, screen.stencil);
    for (int y = area.y_min; y <= area.y_max; ++y) {
      for (int x = area.x_min; x <= area.x_max; ++x) {
        ftxui::Pixel& pixel = screen.PixelAt(x, y);
        if (no_color_) {
          pixel.foreground_color = ftxui::Color::Default;
          pixel.background_color = ftxui::Color::Default;
        }
        // Every wide character is encoded in three bytes or more.
        if (pixel.character.size() < 3 ||
            ftxui::string_width(pixel.character) != 2) {
          continue;
        }
        const bool edge = x == screen.dimx() - 1;
        if (edge || !screen.PixelAt(x + 1, y).character.empty()) {
          pixel.character = "›";
          pixel.dim = true;
        }
      }
    }
  }

 private:
  const bool no_color_;
};

}  // namespace

bool NoColorRequested() {
  const char* value = std::getenv("NO_COLOR");
  return value != nullptr && value[0] != '\0';
}

ftxui::Element TerminalCells(ftxui::Element element, bool no_color) {
  return std::make_shared<TerminalCellsNode>(std::move(element), no_color);
}

ftxui::Component TerminalCells(ftxui::Component child) {
  const bool no_color = NoColorRequested();
  return ftxui::Renderer(child, [child, no_color] {
    return TerminalCells(child->Render(), no_color);
  });
}

}  // namespace plimsy
