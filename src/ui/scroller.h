#ifndef PLIMSY_UI_SCROLLER_H_
#define PLIMSY_UI_SCROLLER_H_

#include <memory>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/component_base.hpp>
#include <ftxui/screen/box.hpp>

#include "ui/key_binding.h"
#include "ui/text_view.h"

namespace ftxui {

// A vertical viewport over one non-interactive child, with a selected row
// that the keys move and the view follows, moving no further than it must.
// The mouse wheel scrolls the view by 3 rows a notch, the selected row
// following only as far as it must to stay in view; a click selects a row.
// Given a text view, it also scrolls the child's text across and wraps it:
// Left/Right and h/l move by 8 columns, Shift+Left or 0 go back to the
// first column, Shift+Right to the last one worth showing, and w toggles
// wrapping. It lists its keys as a KeyedWidget, those that only a pane of
// text takes without a heading.
class ScrollerBase : public ComponentBase, public plimsy::KeyedWidget {
 public:
  explicit ScrollerBase(Component child, plimsy::TextView* view = nullptr);

  Element OnRender() override;
  // True when the selected row or the text view changed, or a horizontal key
  // was taken.
  bool OnEvent(Event event) override;
  bool Focusable() const override;
  std::vector<plimsy::KeyBinding> Keys() const override;

  int selected() const { return selected_; }
  // The first row in view, the rows in view and the rows of the content, at
  // the last frame.
  int top() const { return top_; }
  int rows() const { return rows_; }
  int content_height() const { return content_height_; }
  // Selects `row`; the view follows at the next frame.
  void Select(int row);
  // Selects `row` and scrolls the view to show it first, as far as the
  // content goes.
  void SelectAtTop(int row);
  // The content changes before the next frame to one of `content_height`
  // rows, which rows selected until then are kept within.
  void SetContentHeight(int content_height);

  // The first row in view for a viewport of `box` over content of
  // `content_height` rows: the last frame's, moved as little as it takes to
  // show the selected row.
  int Layout(const Box& box, int content_height) const;
  // Called by the viewport once drawn: keeps what it showed, and the
  // selected row within the content.
  void Shown(const Box& box, int content_height, int top);

 private:
  std::vector<plimsy::KeyBinding> RowKeys();
  std::vector<plimsy::KeyBinding> TextKeys();
  // The last column worth scrolling to, on a step.
  int LastColumn() const;
  bool OnMouseEvent(Event event);

  int selected_ = 0;
  int content_height_ = 0;
  // The first row in view and the rows the viewport had at the last frame.
  int top_ = 0;
  int rows_ = 0;
  Box box_;
  plimsy::TextView* const view_;
  const std::vector<plimsy::KeyBinding> row_keys_;
  // None without a text view.
  const std::vector<plimsy::KeyBinding> text_keys_;
};

Component Scroller(Component child);
// A scroller whose keys also move `view`, which the child's drawing reads;
// `view` must outlive it.
Component Scroller(Component child, plimsy::TextView* view);
std::shared_ptr<ScrollerBase> MakeScroller(Component child,
                                           plimsy::TextView* view = nullptr);

}  // namespace ftxui

#endif  // PLIMSY_UI_SCROLLER_H_
