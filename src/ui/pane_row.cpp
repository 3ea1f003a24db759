#include "ui/pane_row.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include <ftxui/component/component.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/box.hpp>

#include "ui/layout.h"

namespace plimsy {
namespace {

using ftxui::Box;
using ftxui::Component;
using ftxui::Element;
using ftxui::Event;
using ftxui::Mouse;

class PaneRowBase : public ftxui::ComponentBase {
 public:
  explicit PaneRowBase(std::vector<RowPane> panes)
      : panes_(std::move(panes)),
        pane_boxes_(panes_.size()),
        divider_boxes_(panes_.size()),
        fitted_in_(panes_.size()),
        widths_(panes_.size()) {
    ftxui::Components components;
    for (const RowPane& pane : panes_) {
      sides_.emplace_back(pane.rule);
      components.push_back(pane.component);
    }
    Add(ftxui::Container::Horizontal(std::move(components)));
  }

  Element OnRender() override {
    return AtSize([this](int width, int) { return Draw(width); });
  }

  bool OnEvent(Event event) override {
    if (!event.is_mouse()) {
      return ComponentBase::OnEvent(std::move(event));
    }
    const Mouse mouse = event.mouse();
    if (dragging_ >= 0) {
      if (mouse.motion == Mouse::Released) {
        dragging_ = -1;
        captured_.reset();
      } else {
        sides_[dragging_].Choose(mouse.x - pane_boxes_[dragging_].x_min,
                                 fitted_in_[dragging_]);
      }
      return true;
    }
    if (zoomed_) {
      // The panes hidden behind the zoomed one take no clicks.
      return FocusedIndex() < panes_.size() &&
             panes_[FocusedIndex()].component->OnEvent(std::move(event));
    }
    if (mouse.button == Mouse::Left && mouse.motion == Mouse::Pressed) {
      for (std::size_t i = 0; i + 1 < panes_.size(); ++i) {
        if (divider_boxes_[i].Contain(mouse.x, mouse.y)) {
          captured_ = CaptureMouse(event);
          if (captured_ != nullptr) {
            dragging_ = static_cast<int>(i);
            return true;
          }
        }
      }
    }
    return ComponentBase::OnEvent(std::move(event));
  }

  std::vector<KeyBinding> Keys() {
    return {
        {{Event::Character('<'), Event::Character('>')},
         {},
         "< >",
         kGeneralKeys,
         "narrow / widen the focused pane",
         [this](const Event& event) {
           return Widen(event == Event::Character('>'));
         },
         "</> width"},
        {{Event::Character('z')},
         {},
         "z",
         kGeneralKeys,
         "zoom the focused pane and back",
         [this](const Event&) {
           zoomed_ = !zoomed_;
           return std::string();
         },
         "z zoom"},
    };
  }

 private:
  // The focused pane's index; the count of panes when none has the focus.
  std::size_t FocusedIndex() {
    const Component active = ChildAt(0)->ActiveChild();
    std::size_t i = 0;
    while (i < panes_.size() && panes_[i].component != active) {
      ++i;
    }
    return i;
  }

  std::string Widen(bool wider) {
    const std::size_t focused = FocusedIndex();
    if (zoomed_) {
      return "Zoomed: z shows every pane";
    }
    if (panes_.size() < 2 || focused >= panes_.size()) {
      return std::string();
    }
    // The last pane widens as the one beside it narrows.
    const std::size_t side = std::min(focused, panes_.size() - 2);
    const bool side_wider = focused == side ? wider : !wider;
    const int step = std::max(2, fitted_in_[side] / 20);
    sides_[side].Choose(widths_[side] + (side_wider ? step : -step),
                        fitted_in_[side]);
    return std::string();
  }

  Element Draw(int width) {
    int left = width;
    for (std::size_t i = 0; i < panes_.size(); ++i) {
      const bool last = i + 1 == panes_.size();
      fitted_in_[i] = left;
      widths_[i] = last ? left : std::min(sides_[i].Fit(left), left);
      // Each pane but the last has its divider after it.
      left = std::max(left - widths_[i] - (last ? 0 : 1), 0);
    }
    if (zoomed_ && FocusedIndex() < panes_.size()) {
      const RowPane& pane = panes_[FocusedIndex()];
      if (pane.drawn_width != nullptr) {
        *pane.drawn_width = width;
      }
      return pane.component->Render() | ftxui::flex;
    }
    ftxui::Elements row;
    for (std::size_t i = 0; i < panes_.size(); ++i) {
      if (panes_[i].drawn_width != nullptr) {
        *panes_[i].drawn_width = widths_[i];
      }
      row.push_back(panes_[i].component->Render() |
                    ftxui::size(ftxui::WIDTH, ftxui::EQUAL, widths_[i]) |
                    ftxui::reflect(pane_boxes_[i]));
      if (i + 1 < panes_.size()) {
        row.push_back(ftxui::separator() | ftxui::reflect(divider_boxes_[i]));
      }
    }
    return ftxui::hbox(std::move(row)) | ftxui::flex;
  }

  std::vector<RowPane> panes_;
  std::vector<SideWidth> sides_;
  std::vector<Box> pane_boxes_;
  std::vector<Box> divider_boxes_;
  // The width each pane was fitted in on the last frame, and its own.
  std::vector<int> fitted_in_;
  std::vector<int> widths_;
  bool zoomed_ = false;
  int dragging_ = -1;
  ftxui::CapturedMouse captured_;
};

}  // namespace

PaneRowParts PaneRow(std::vector<RowPane> panes) {
  auto row = std::make_shared<PaneRowBase>(std::move(panes));
  return {row, row->Keys()};
}

}  // namespace plimsy
