#ifndef PLIMSY_UI_SCROLLER_H_
#define PLIMSY_UI_SCROLLER_H_

#include <ftxui/component/component.hpp>
#include <ftxui/component/component_base.hpp>
#include <ftxui/screen/box.hpp>

#include "ui/text_view.h"

namespace ftxui {

// A vertical viewport over one non-interactive child, with a selected row
// that the keys and the mouse wheel move and the view follows. Given a text
// view, it also scrolls the child's text across and wraps it: Left/Right
// and h/l move by 8 columns, Shift+Left or 0 go back to the first column,
// Shift+Right to the last one worth showing, and w toggles wrapping.
class ScrollerBase : public ComponentBase {
 public:
  explicit ScrollerBase(Component child, plimsy::TextView* view = nullptr);

  Element OnRender() override;
  bool OnEvent(Event event) override;
  bool Focusable() const override;

 private:
  bool OnTextViewEvent(const Event& event);

  int selected_;
  int content_height_;
  Box box_;
  plimsy::TextView* const view_;
};

Component Scroller(Component child);
// A scroller whose keys also move `view`, which the child's drawing reads;
// `view` must outlive it.
Component Scroller(Component child, plimsy::TextView* view);

}  // namespace ftxui

#endif  // PLIMSY_UI_SCROLLER_H_
