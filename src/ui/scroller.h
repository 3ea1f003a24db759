#ifndef PLIMSY_UI_SCROLLER_H_
#define PLIMSY_UI_SCROLLER_H_

#include <ftxui/component/component.hpp>
#include <ftxui/component/component_base.hpp>
#include <ftxui/screen/box.hpp>

namespace ftxui {

// A vertical viewport over one non-interactive child, with a selected row
// that the keys and the mouse wheel move and the view follows.
class ScrollerBase : public ComponentBase {
 public:
  explicit ScrollerBase(Component child);

  Element OnRender() override;
  bool OnEvent(Event event) override;
  bool Focusable() const override;

 private:
  int selected_;
  int content_height_;
  Box box_;
};

Component Scroller(Component child);

}  // namespace ftxui

#endif  // PLIMSY_UI_SCROLLER_H_
