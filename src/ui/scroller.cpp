#include "ui/scroller.h"

#include <algorithm>
#include <memory>
#include <utility>

#include <ftxui/component/event.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/dom/requirement.hpp>

namespace ftxui {
namespace {

// The library knows Home and End only as xterm sends them; tmux, screen,
// rxvt and the Linux console send these instead.
bool IsHome(const Event& event) {
  return event == Event::Home || event == Event::Special("\x1B[1~") ||
         event == Event::Special("\x1B[7~");
}

bool IsEnd(const Event& event) {
  return event == Event::End || event == Event::Special("\x1B[4~") ||
         event == Event::Special("\x1B[8~");
}

// Passes its child through but asks its parent for no rows: the frame
// inside shows whatever part of the content fits. The library's layout
// multiplies heights together and overflows on content of some 46 000 rows,
// which would hand the frame a box far taller than the screen.
class AnyHeightNode : public Node {
 public:
  explicit AnyHeightNode(Element child) : Node({std::move(child)}) {}

  void ComputeRequirement() override {
    Node::ComputeRequirement();
    requirement_ = children_[0]->requirement();
    requirement_.min_y = 0;
  }

  void SetBox(Box box) override {
    Node::SetBox(box);
    children_[0]->SetBox(box);
  }
};

Element AnyHeight(Element child) {
  return std::make_shared<AnyHeightNode>(std::move(child));
}

// Columns moved by one horizontal key.
constexpr int kColumnStep = 8;

bool IsShiftLeft(const Event& event) {
  return event == Event::Special("\x1B[1;2D");
}

bool IsShiftRight(const Event& event) {
  return event == Event::Special("\x1B[1;2C");
}

}  // namespace

ScrollerBase::ScrollerBase(Component child, plimsy::TextView* view)
    : selected_(0), content_height_(0), box_(), view_(view) {
  Add(std::move(child));
}

Element ScrollerBase::OnRender() {
  const bool focused = Focused();
  const Decorator marker = focused ? Decorator(focus) : Decorator(select);
  const Decorator style = focused ? Decorator(inverted) : Decorator(nothing);

  // The drawing reports the limit anew; content that does not, such as
  // text that is never cut, leaves nothing to scroll to.
  if (view_ != nullptr) {
    view_->column_limit = 0;
    view_->row_when_toggled = nullptr;
  }
  // The base rendering of a component with one child is the child's element.
  Element content = ComponentBase::OnRender();
  content->ComputeRequirement();
  content_height_ = content->requirement().min_y;

  // An empty row over the selected one: it carries the highlight and tells
  // the frame which row to keep in view.
  Element marker_layer = vbox({
      text(L"") | size(HEIGHT, EQUAL, selected_),
      text(L"") | style | marker,
  });

  return dbox({std::move(content), std::move(marker_layer)}) |
         vscroll_indicator | yframe | AnyHeight | yflex | reflect(box_);
}

bool ScrollerBase::OnEvent(Event event) {
  if (event.is_mouse() && box_.Contain(event.mouse().x, event.mouse().y)) {
    TakeFocus();
  }
  if (view_ != nullptr && OnTextViewEvent(event)) {
    return true;
  }

  const int previous = selected_;
  const bool wheel_up =
      event.is_mouse() && event.mouse().button == Mouse::WheelUp;
  const bool wheel_down =
      event.is_mouse() && event.mouse().button == Mouse::WheelDown;
  const int page = box_.y_max - box_.y_min;

  if (event == Event::ArrowUp || event == Event::Character('k') || wheel_up) {
    selected_--;
  }
  if (event == Event::ArrowDown || event == Event::Character('j') ||
      wheel_down) {
    selected_++;
  }
  if (event == Event::PageDown) {
    selected_ += page;
  }
  if (event == Event::PageUp) {
    selected_ -= page;
  }
  if (IsHome(event)) {
    selected_ = 0;
  }
  if (IsEnd(event)) {
    selected_ = content_height_;
  }

  selected_ = std::max(std::min(selected_, content_height_ - 1), 0);
  return selected_ != previous;
}

// The horizontal keys are always taken, even where the text cannot move,
// so that they never move the focus out of the pane.
bool ScrollerBase::OnTextViewEvent(const Event& event) {
  const int last =
      (view_->column_limit + kColumnStep - 1) / kColumnStep * kColumnStep;
  int& column = view_->column;
  if (event == Event::Character('w')) {
    if (view_->row_when_toggled) {
      selected_ = std::max(view_->row_when_toggled(selected_), 0);
    }
    view_->wrap = !view_->wrap;
    return true;
  }
  if (event == Event::ArrowLeft || event == Event::Character('h')) {
    column = std::max(column - kColumnStep, 0);
    return true;
  }
  if (event == Event::ArrowRight || event == Event::Character('l')) {
    column = std::min(column + kColumnStep, std::max(column, last));
    return true;
  }
  if (IsShiftLeft(event) || event == Event::Character('0')) {
    column = 0;
    return true;
  }
  if (IsShiftRight(event)) {
    column = last;
    return true;
  }
  return false;
}

bool ScrollerBase::Focusable() const {
  return true;
}

Component Scroller(Component child) {
  return std::make_shared<ScrollerBase>(std::move(child));
}

Component Scroller(Component child, plimsy::TextView* view) {
  return std::make_shared<ScrollerBase>(std::move(child), view);
}

}  // namespace ftxui
