#include "ui/scroller.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <ftxui/component/event.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/dom/requirement.hpp>
#include <ftxui/screen/screen.hpp>
#include <ftxui/util/autoreset.hpp>

#include "ui/keys.h"

namespace ftxui {
namespace {

// Rows that one notch of the mouse wheel scrolls.
constexpr int kWheelRows = 3;

// Columns moved by one horizontal key.
constexpr int kColumnStep = 8;

// Shows the rows of its child from the scroller's first row in view on, and
// marks the selected row. It asks its parent for no rows: the library's
// layout multiplies heights together and overflows on content of some
// 46 000 rows, which would hand a frame a box far taller than the screen.
class ViewportNode : public Node {
 public:
  ViewportNode(Element child, ScrollerBase* scroller, bool focused)
      : Node({std::move(child)}), scroller_(scroller), focused_(focused) {}

  void ComputeRequirement() override {
    Node::ComputeRequirement();
    requirement_ = children_[0]->requirement();
    requirement_.min_y = 0;
  }

  void SetBox(Box box) override {
    Node::SetBox(box);
    const int content = children_[0]->requirement().min_y;
    const int rows = std::max(0, box.y_max - box.y_min + 1);
    content_ = content;
    top_ = scroller_->Layout(box, content);
    Box inner = box;
    inner.y_min = box.y_min - top_;
    inner.y_max = inner.y_min + std::max(content, rows) - 1;
    children_[0]->SetBox(inner);
  }

  void Render(Screen& screen) override {
    const AutoReset<Box> stencil(&screen.stencil,
                                 Box::Intersection(box_, screen.stencil));
    children_[0]->Render(screen);
    // The layout may have run more than once; this is its last word.
    scroller_->Shown(box_, content_, top_);
    if (!focused_) {
      return;
    }
    // Across the row, short of the scroll indicator's column.
    const int y = box_.y_min + scroller_->selected() - top_;
    if (y < box_.y_min || y > box_.y_max) {
      return;
    }
    for (int x = box_.x_min; x < box_.x_max; ++x) {
      screen.PixelAt(x, y).inverted = true;
    }
  }

 private:
  ScrollerBase* scroller_;
  bool focused_;
  int top_ = 0;
  int content_ = 0;
};

}  // namespace

ScrollerBase::ScrollerBase(Component child, plimsy::TextView* view)
    : box_(),
      view_(view),
      row_keys_(RowKeys()),
      text_keys_(view == nullptr ? std::vector<plimsy::KeyBinding>()
                                 : TextKeys()) {
  Add(std::move(child));
}

std::vector<plimsy::KeyBinding> ScrollerBase::Keys() const {
  std::vector<plimsy::KeyBinding> keys = row_keys_;
  keys.insert(keys.end(), text_keys_.begin(), text_keys_.end());
  return keys;
}

Element ScrollerBase::OnRender() {
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
  return std::make_shared<ViewportNode>(std::move(content) | vscroll_indicator,
                                        this, Focused()) |
         yflex | reflect(box_);
}

int ScrollerBase::Layout(const Box& box, int content_height) const {
  const int rows = std::max(0, box.y_max - box.y_min + 1);
  const int selected =
      std::clamp(selected_, 0, std::max(0, content_height - 1));
  if (rows == 0) {
    return top_;
  }
  int top = std::min(top_, selected);
  top = std::max(top, selected - rows + 1);
  return std::clamp(top, 0, std::max(0, content_height - rows));
}

void ScrollerBase::Shown(const Box& box, int content_height, int top) {
  content_height_ = content_height;
  rows_ = std::max(0, box.y_max - box.y_min + 1);
  top_ = top;
  selected_ = std::clamp(selected_, 0, std::max(0, content_height_ - 1));
}

void ScrollerBase::Select(int row) {
  selected_ = std::clamp(row, 0, std::max(0, content_height_ - 1));
}

void ScrollerBase::SetContentHeight(int content_height) {
  content_height_ = content_height;
}

void ScrollerBase::SelectAtTop(int row) {
  Select(row);
  top_ = selected_;
}

bool ScrollerBase::OnMouseEvent(Event event) {
  const Mouse mouse = event.mouse();
  if (!box_.Contain(mouse.x, mouse.y) || !CaptureMouse(event)) {
    return false;
  }
  if (mouse.button == Mouse::WheelUp || mouse.button == Mouse::WheelDown) {
    if (rows_ == 0) {
      return false;
    }
    const int previous_top = top_;
    const int previous = selected_;
    top_ += mouse.button == Mouse::WheelUp ? -kWheelRows : kWheelRows;
    top_ = std::clamp(top_, 0, std::max(0, content_height_ - rows_));
    selected_ = std::clamp(selected_, top_, top_ + rows_ - 1);
    Select(selected_);
    return top_ != previous_top || selected_ != previous;
  }
  if (mouse.button == Mouse::Left && mouse.motion == Mouse::Pressed) {
    TakeFocus();
    const int previous = selected_;
    if (rows_ > 0 && top_ + mouse.y - box_.y_min < content_height_) {
      Select(top_ + mouse.y - box_.y_min);
    }
    return selected_ != previous;
  }
  return false;
}

bool ScrollerBase::OnEvent(Event event) {
  if (event.is_mouse()) {
    return OnMouseEvent(event);
  }
  // The keys on the text are always taken, even where the text cannot
  // move, so that they never move the focus out of the pane.
  if (const plimsy::KeyBinding* key = plimsy::FindKey(text_keys_, event)) {
    key->action(event);
    return true;
  }
  const plimsy::KeyBinding* key = plimsy::FindKey(row_keys_, event);
  if (key == nullptr) {
    return false;
  }
  const int previous = selected_;
  key->action(event);
  selected_ = std::max(std::min(selected_, content_height_ - 1), 0);
  return selected_ != previous;
}

std::vector<plimsy::KeyBinding> ScrollerBase::RowKeys() {
  return {
      {{Event::Character('j'), Event::Character('k'), Event::ArrowDown,
        Event::ArrowUp},
       {},
       "j k ↓ ↑",
       plimsy::kPaneMoveKeys,
       "next / previous row",
       [this](const Event& event) {
         const bool down =
             event == Event::ArrowDown || event == Event::Character('j');
         selected_ += down ? 1 : -1;
         return std::string();
       },
       ""},
      {{Event::PageDown, Event::PageUp},
       {},
       "PgDn PgUp",
       plimsy::kPaneMoveKeys,
       "a page down / up",
       [this](const Event& event) {
         // Before the first frame the rows are not known: a page is then
         // empty.
         const int page = std::max(0, rows_ - 1);
         if (event == Event::PageDown) {
           top_ += page;
           selected_ += page;
         } else {
           top_ = std::max(0, top_ - page);
           selected_ -= page;
         }
         return std::string();
       },
       ""},
      {{Event::Home, Event::End},
       [](const Event& event) {
         return plimsy::IsHome(event) || plimsy::IsEnd(event);
       },
       "g G Home End",
       plimsy::kPaneMoveKeys,
       "first / last row",
       [this](const Event& event) {
         // The last row of the content the next frame draws, which may
         // have grown since this one.
         selected_ =
             plimsy::IsHome(event) ? 0 : std::numeric_limits<int>::max();
         return std::string();
       },
       ""},
  };
}

int ScrollerBase::LastColumn() const {
  return (view_->column_limit + kColumnStep - 1) / kColumnStep * kColumnStep;
}

std::vector<plimsy::KeyBinding> ScrollerBase::TextKeys() {
  const auto across = [this](const Event& event) {
    int& column = view_->column;
    if (event == Event::ArrowLeft || event == Event::Character('h')) {
      column = std::max(column - kColumnStep, 0);
    } else {
      column = std::min(column + kColumnStep, std::max(column, LastColumn()));
    }
    return std::string();
  };
  return {
      {{Event::ArrowRight, Event::ArrowLeft},
       {},
       "→ ←",
       plimsy::kPaneMoveKeys,
       "scroll 8 columns",
       across,
       ""},
      {{Event::Character('l'), Event::Character('h')},
       {},
       "l h",
       "",
       "scroll across by 8 columns",
       across,
       ""},
      {{Event::Character('0'), Event::Special("\x1B[1;2D")},
       {},
       "0 Shift-←",
       "",
       "back to the first column",
       [this](const Event&) {
         view_->column = 0;
         return std::string();
       },
       ""},
      {{Event::Special("\x1B[1;2C")},
       {},
       "Shift-→",
       "",
       "to the end of the longest line",
       [this](const Event&) {
         view_->column = LastColumn();
         return std::string();
       },
       ""},
      {{Event::Character('w')},
       {},
       "w",
       "",
       "wrap long lines, or cut them",
       [this](const Event&) {
         if (view_->row_when_toggled) {
           // The row keeps its place on the screen.
           const int offset = selected_ - top_;
           selected_ = std::max(view_->row_when_toggled(selected_), 0);
           top_ = std::max(selected_ - offset, 0);
         }
         view_->wrap = !view_->wrap;
         return std::string();
       },
       ""},
  };
}

bool ScrollerBase::Focusable() const {
  return true;
}

std::shared_ptr<ScrollerBase> MakeScroller(Component child,
                                           plimsy::TextView* view) {
  return std::make_shared<ScrollerBase>(std::move(child), view);
}

Component Scroller(Component child) {
  return MakeScroller(std::move(child));
}

Component Scroller(Component child, plimsy::TextView* view) {
  return MakeScroller(std::move(child), view);
}

}  // namespace ftxui
