#ifndef PLIMSY_UI_TEXT_VIEW_H_
#define PLIMSY_UI_TEXT_VIEW_H_

#include <functional>
#include <memory>

#include "ui/finder.h"

namespace plimsy {

// How the text of a scroller's content is shown across the pane. The
// scroller changes `column` and `wrap` with its keys; the content's drawing
// reads them and, at every frame, reports how far scrolling is worth it.
struct TextView {
  // Columns of text scrolled out at the left.
  int column = 0;
  // Long lines continue on the rows below instead of being cut.
  bool wrap = false;
  // The largest `column` at which the longest row in view still shows
  // something new at its end, written by the drawing; 0 when nothing is
  // cut.
  int column_limit = 0;
  // The width the content was laid out in at the last frame, written by the
  // drawing; 0 before the first.
  int content_width = 0;
  // Written by the drawing: the row that shows, once `wrap` is toggled, what
  // a given row shows now, so that toggling keeps the reader's place. Empty
  // when the drawing cannot tell.
  std::function<int(int)> row_when_toggled;
  // The term of the last search, whose matches the text shows; null before
  // any search.
  std::shared_ptr<const Finder> highlight;
};

}  // namespace plimsy

#endif  // PLIMSY_UI_TEXT_VIEW_H_
