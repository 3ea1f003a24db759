#include "ui/layout.h"

#include <algorithm>
#include <memory>
#include <utility>

#include <ftxui/dom/node.hpp>
#include <ftxui/screen/box.hpp>
#include <ftxui/screen/screen.hpp>

namespace plimsy {
namespace {

using ftxui::Box;
using ftxui::Element;
using ftxui::Elements;

class AtSizeNode : public ftxui::Node {
 public:
  explicit AtSizeNode(std::function<Element(int, int)> build)
      : build_(std::move(build)) {}

  void ComputeRequirement() override {
    if (!children_.empty()) {
      children_[0]->ComputeRequirement();
    }
    requirement_ = ftxui::Requirement{};
    requirement_.flex_grow_x = 1;
    requirement_.flex_grow_y = 1;
    requirement_.flex_shrink_x = 1;
    requirement_.flex_shrink_y = 1;
  }

  void SetBox(Box box) override {
    Node::SetBox(box);
    const int width = std::max(0, box.x_max - box.x_min + 1);
    const int height = std::max(0, box.y_max - box.y_min + 1);
    // Built again only when the layout runs again at another size.
    if (children_.empty() || width != width_ || height != height_) {
      width_ = width;
      height_ = height;
      children_ = {build_(width, height)};
      children_[0]->ComputeRequirement();
    }
    children_[0]->SetBox(box);
  }

 private:
  std::function<Element(int, int)> build_;
  int width_ = -1;
  int height_ = -1;
};

class FirstThatFitsNode : public ftxui::Node {
 public:
  FirstThatFitsNode(Elements choices, std::function<void()> before_layout)
      : Node(std::move(choices)), before_layout_(std::move(before_layout)) {}

  void ComputeRequirement() override {
    Node::ComputeRequirement();
    requirement_ = ftxui::Requirement{};
    requirement_.min_y = 1;
    requirement_.flex_grow_x = 1;
    requirement_.flex_shrink_x = 1;
  }

  void SetBox(Box box) override {
    Node::SetBox(box);
    const int width = box.x_max - box.x_min + 1;
    chosen_ = -1;
    for (size_t i = 0; i < children_.size(); ++i) {
      if (children_[i]->requirement().min_x <= width) {
        chosen_ = static_cast<int>(i);
        break;
      }
    }
    if (before_layout_) {
      before_layout_();
    }
    if (chosen_ >= 0) {
      children_[chosen_]->SetBox(box);
    }
  }

  void Check(Status* status) override {
    if (chosen_ >= 0) {
      children_[chosen_]->Check(status);
    }
  }

  void Select(ftxui::Selection& selection) override {
    if (chosen_ >= 0) {
      children_[chosen_]->Select(selection);
    }
  }

  void Render(ftxui::Screen& screen) override {
    if (chosen_ >= 0) {
      children_[chosen_]->Render(screen);
    }
  }

 private:
  std::function<void()> before_layout_;
  int chosen_ = -1;
};

}  // namespace

Element AtSize(std::function<Element(int width, int height)> build) {
  return std::make_shared<AtSizeNode>(std::move(build));
}

Element FirstThatFits(Elements choices, std::function<void()> before_layout) {
  return std::make_shared<FirstThatFitsNode>(std::move(choices),
                                             std::move(before_layout));
}

Element PaneTitle(const std::string& title, bool focused) {
  Element row = ftxui::text(title);
  if (focused) {
    row |= ftxui::bold;
    row |= ftxui::inverted;
  }
  return row;
}

}  // namespace plimsy
