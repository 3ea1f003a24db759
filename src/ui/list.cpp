#include "ui/list.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <ftxui/component/event.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/box.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/screen.hpp>

#include "ui/display_text.h"
#include "ui/key_binding.h"
#include "ui/keys.h"

namespace plimsy {
namespace {

using ftxui::Box;
using ftxui::Element;
using ftxui::Event;
using ftxui::Mouse;

// Rows that one notch of the mouse wheel scrolls.
constexpr int kWheelRows = 3;

// Marks the cells of `area` whose characters a match of `finder` covers,
// row by row.
void MarkMatches(ftxui::Screen& screen, const Box& area, const Finder& finder) {
  std::string row;
  std::vector<int> cells;
  for (int y = area.y_min; y <= area.y_max; ++y) {
    row.clear();
    cells.clear();
    for (int x = area.x_min; x <= area.x_max; ++x) {
      const std::string& character = screen.PixelAt(x, y).character;
      row += character;
      cells.insert(cells.end(), character.size(), x);
    }
    const size_t length = finder.term().size();
    for (size_t at = finder.Find(row); at != std::string::npos;
         at = finder.Find(row, at + std::max<size_t>(length, 1))) {
      for (int x = cells[at]; x <= cells[at + length - 1]; ++x) {
        ftxui::Pixel& pixel = screen.PixelAt(x, y);
        pixel.foreground_color = ftxui::Color::Black;
        pixel.background_color = ftxui::Color::Yellow;
        pixel.underlined = true;
      }
    }
  }
}

class ListBase : public ftxui::ComponentBase, public KeyedWidget {
 public:
  explicit ListBase(ListOption option)
      : option_(std::move(option)), keys_(MakeKeys()) {
    if (option_.selected == nullptr) {
      option_.selected = &own_selected_;
    }
  }

  Element OnRender() override;

  bool OnEvent(Event event) override {
    Clamp();
    if (event.is_mouse()) {
      return OnMouseEvent(event);
    }
    const KeyBinding* key = FindKey(keys_, event);
    if (key == nullptr) {
      return false;
    }
    key->action(event);
    return true;
  }

  std::vector<KeyBinding> Keys() const override { return keys_; }

  bool Focusable() const override { return true; }

  // Called by the list's element when it is given its box: the view follows
  // the selection into the rows that the box has. Returns the first entry
  // in view.
  int Layout(const Box& box) {
    box_ = box;
    rows_ = std::max(0, box.y_max - box.y_min + 1);
    Follow();
    return top_;
  }

  int Size() const { return option_.size ? std::max(0, option_.size()) : 0; }
  const Finder* Highlight() const {
    return option_.highlight ? option_.highlight() : nullptr;
  }
  int Selected() const { return *option_.selected; }

  Element Entry(const ListEntryState& state) const {
    if (option_.entry) {
      return option_.entry(state);
    }
    return ListRow(option_.label ? option_.label(state.index) : std::string(),
                   state, option_.dim);
  }

 private:
  std::vector<KeyBinding> MakeKeys() {
    return {
        {{Event::Character('j'), Event::Character('k'), Event::ArrowDown,
          Event::ArrowUp},
         {},
         "j k ↓ ↑",
         kPaneMoveKeys,
         "next / previous row",
         [this](const Event& event) {
           const bool down =
               event == Event::ArrowDown || event == Event::Character('j');
           Select(*option_.selected + (down ? 1 : -1));
           return std::string();
         },
         ""},
        {{Event::PageDown, Event::PageUp},
         {},
         "PgDn PgUp",
         kPaneMoveKeys,
         "a page down / up",
         [this](const Event& event) {
           // Before the first frame the rows are not known: a page is then
           // empty.
           const int page = rows_ > 0 ? std::max(1, rows_ - 1) : 0;
           const int step = event == Event::PageDown ? page : -page;
           top_ += step;
           Select(*option_.selected + step);
           return std::string();
         },
         ""},
        {{Event::Home, Event::End},
         [](const Event& event) { return IsHome(event) || IsEnd(event); },
         "g G Home End",
         kPaneMoveKeys,
         "first / last row",
         [this](const Event& event) {
           Select(IsHome(event) ? 0 : Size() - 1);
           return std::string();
         },
         ""},
    };
  }

  // Keeps the selection within the entries; the view may lie anywhere
  // until it follows.
  void Clamp() {
    *option_.selected =
        std::clamp(*option_.selected, 0, std::max(0, Size() - 1));
  }

  // Moves the view as little as it takes to show the selected entry, and no
  // further down than the end of the list allows. Before the first frame
  // the rows are not known and the view is left to the first layout.
  void Follow() {
    if (rows_ == 0) {
      top_ = 0;
      return;
    }
    const int selected = *option_.selected;
    top_ = std::min(top_, selected);
    top_ = std::max(top_, selected - rows_ + 1);
    top_ = std::clamp(top_, 0, std::max(0, Size() - rows_));
  }

  // Selects `index`, clamped to the entries, brings it into view and
  // reports a change.
  void Select(int index) {
    const int previous = *option_.selected;
    *option_.selected = index;
    Clamp();
    Follow();
    if (*option_.selected != previous && option_.on_change) {
      option_.on_change();
    }
  }

  bool OnMouseEvent(Event event) {
    const Mouse mouse = event.mouse();
    if (!box_.Contain(mouse.x, mouse.y) || !CaptureMouse(event)) {
      return false;
    }
    if (mouse.button == Mouse::WheelUp || mouse.button == Mouse::WheelDown) {
      Scroll(mouse.button == Mouse::WheelUp ? -kWheelRows : kWheelRows);
      return true;
    }
    if (mouse.button != Mouse::Left || mouse.motion != Mouse::Pressed) {
      return false;
    }
    TakeFocus();
    const int index = top_ + mouse.y - box_.y_min;
    if (index < Size()) {
      Select(index);
    }
    return true;
  }

  // Scrolls the view; the selection follows only as far as it must to stay
  // in view.
  void Scroll(int delta) {
    top_ = std::clamp(top_ + delta, 0, std::max(0, Size() - rows_));
    Select(std::clamp(*option_.selected, top_, top_ + rows_ - 1));
  }

  ListOption option_;
  const std::vector<KeyBinding> keys_;
  int own_selected_ = 0;
  // First entry in view, and the rows and box of the last frame.
  int top_ = 0;
  int rows_ = 0;
  Box box_ = {0, -1, 0, -1};
};

// The list as drawn: it takes whatever box its parent gives it, asks for no
// rows (the library's layout multiplies heights and overflows on lists of
// some 46 000 entries) and builds the elements of the entries in view only.
class ListNode : public ftxui::Node {
 public:
  ListNode(ListBase* list, bool focused, bool indicator)
      : list_(list), focused_(focused), indicator_(indicator) {}

  void ComputeRequirement() override {
    requirement_ = {};
    requirement_.min_x = indicator_ ? 1 : 0;
    requirement_.flex_grow_x = 1;
    requirement_.flex_grow_y = 1;
    requirement_.flex_shrink_x = 1;
    requirement_.flex_shrink_y = 1;
  }

  void SetBox(Box box) override {
    Node::SetBox(box);
    size_ = list_->Size();
    top_ = list_->Layout(box);
    children_.clear();
    const int end = std::min(size_, top_ + box.y_max - box.y_min + 1);
    const int selected = list_->Selected();
    for (int index = top_; index < end; ++index) {
      ListEntryState state;
      state.index = index;
      state.selected = index == selected;
      state.focused = state.selected && focused_;
      Element entry = list_->Entry(state);
      entry->ComputeRequirement();
      const int y = box.y_min + index - top_;
      entry->SetBox({box.x_min, box.x_max - (indicator_ ? 1 : 0), y, y});
      children_.push_back(std::move(entry));
    }
  }

  void Render(ftxui::Screen& screen) override {
    Node::Render(screen);
    if (const Finder* finder = list_->Highlight()) {
      Box rows = Box::Intersection(box_, screen.stencil);
      rows.x_max -= indicator_ ? 1 : 0;
      MarkMatches(screen, rows, *finder);
    }
    if (indicator_) {
      RenderIndicator(screen);
    }
  }

 private:
  // The library's vertical scroll indicator for a frame of `rows` rows
  // scrolled `top_` rows down a content of `size_` rows, drawn in half
  // cells; nothing when everything fits.
  void RenderIndicator(ftxui::Screen& screen) const {
    const int rows = box_.y_max - box_.y_min + 1;
    if (rows <= 0 || size_ <= rows) {
      return;
    }
    const int64_t thumb =
        std::max<int64_t>(1, int64_t{2} * rows * rows / size_);
    const int64_t start = int64_t{2} * top_ * rows / size_;
    const int x = box_.x_max;
    for (int row = 0; row < rows; ++row) {
      const int64_t up = 2 * row;
      const int64_t down = up + 1;
      const bool has_up = start <= up && up <= start + thumb;
      const bool has_down = start <= down && down <= start + thumb;
      const char* glyph =
          has_up ? (has_down ? "┃" : "╹") : (has_down ? "╻" : " ");
      screen.PixelAt(x, box_.y_min + row).character = glyph;
    }
  }

  ListBase* list_;
  bool focused_;
  bool indicator_;
  int size_ = 0;
  int top_ = 0;
};

Element ListBase::OnRender() {
  Clamp();
  return std::make_shared<ListNode>(this, Focused(), option_.scroll_indicator);
}

}  // namespace

Element ListRow(std::string_view label, const ListEntryState& state, bool dim) {
  Element row =
      ftxui::text((state.selected ? "> " : "  ") + DisplayText(label));
  if (state.focused) {
    row |= ftxui::inverted;
  }
  if (state.selected) {
    row |= ftxui::bold;
  }
  if (dim && !state.focused && !state.selected) {
    row |= ftxui::dim;
  }
  return row;
}

ftxui::Component List(ListOption option) {
  return std::make_shared<ListBase>(std::move(option));
}

ftxui::Component List(const std::vector<std::string>* entries,
                      int* selected,
                      ListOption option) {
  option.size = [entries] { return static_cast<int>(entries->size()); };
  option.label = [entries](int index) { return (*entries)[index]; };
  option.selected = selected;
  return List(std::move(option));
}

}  // namespace plimsy
