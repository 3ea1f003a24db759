#include "diff/cells.h"

#include <cstddef>
#include <string>
#include <utility>

#include <ftxui/dom/node.hpp>
#include <ftxui/dom/selection.hpp>
#include <ftxui/screen/box.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/colours.h"

namespace plimsy {

namespace {

using ftxui::Box;
using ftxui::Color;

// A cell of fixed width as tall as its row: a short ASCII text in its first
// row, or a column rule down all of its rows, in a style that fills all of
// them. It touches only the rows in view, however tall its row is.
class CellNode : public ftxui::Node {
 public:
  CellNode(std::string text, int width, const TextStyle& style, bool rule)
      : text_(std::move(text)), width_(width), style_(style), rule_(rule) {}

  void ComputeRequirement() override {
    requirement_ = ftxui::Requirement{};
    requirement_.min_x = width_;
    requirement_.min_y = 1;
    has_selection_ = false;
  }

  void Select(ftxui::Selection& selection) override {
    if (rule_ || Box::Intersection(selection.GetBox(), box_).IsEmpty()) {
      return;
    }
    has_selection_ = true;
    selection_ = selection.SaturateHorizontal(box_).GetBox();
  }

  void Render(ftxui::Screen& screen) override {
    const Box area = Box::Intersection(box_, screen.stencil);
    if (area.IsEmpty()) {
      return;
    }
    // As the library draws a separator.
    const bool line = box_.y_min == box_.y_max && box_.x_min != box_.x_max;
    const bool styled = style_.dim ||
                        style_.foreground != Color(Color::Default) ||
                        style_.background != Color(Color::Default);
    for (int y = area.y_min; y <= area.y_max; ++y) {
      for (int x = area.x_min; x <= area.x_max; ++x) {
        ftxui::Pixel& pixel = screen.PixelAt(x, y);
        const size_t i = static_cast<size_t>(x - box_.x_min);
        if (rule_) {
          pixel.character = line ? "─" : "│";
          pixel.automerge = true;
        } else if (y == box_.y_min && i < text_.size()) {
          pixel.character.assign(1, text_[i]);
          if (has_selection_ && x >= selection_.x_min &&
              x <= selection_.x_max) {
            screen.GetSelectionStyle()(pixel);
          }
        }
        if (styled) {
          pixel.foreground_color = style_.foreground;
          pixel.background_color = style_.background;
          pixel.dim = pixel.dim || style_.dim;
        }
      }
    }
  }

 private:
  const std::string text_;
  const int width_;
  const TextStyle& style_;
  const bool rule_;
  bool has_selection_ = false;
  Box selection_;
};

}  // namespace

ftxui::Element NumberCell(int64_t number, int width) {
  return std::make_shared<CellNode>(std::to_string(number), width,
                                    NumberStyle(), false);
}

ftxui::Element PlaceholderCell(int width) {
  return std::make_shared<CellNode>("~", width, DimStyle(), false);
}

ftxui::Element SignCell(LineKind kind) {
  const char* sign = kind == LineKind::kDeleted ? "-"
                     : kind == LineKind::kAdded ? "+"
                                                : " ";
  return std::make_shared<CellNode>(sign, 1, StyleOf(kind), false);
}

ftxui::Element EmptySignCell() {
  return std::make_shared<CellNode>(" ", 1, StyleOf(LineKind::kContext), false);
}

ftxui::Element BlankCell(int width) {
  return std::make_shared<CellNode>("", width, StyleOf(LineKind::kContext),
                                    false);
}

ftxui::Element MarkerSignCell() {
  return std::make_shared<CellNode>("\\", 1, DimStyle(), false);
}

ftxui::Element RuleCell() {
  return std::make_shared<CellNode>("", 1, StyleOf(LineKind::kContext), true);
}

}  // namespace plimsy
