#ifndef PLIMSY_DIFF_RENDER_H_
#define PLIMSY_DIFF_RENDER_H_

#include <vector>

#include <ftxui/dom/elements.hpp>

#include "diff/diff.h"
#include "diff/render_cache.h"
#include "ui/text_view.h"

// The drawing of one file's hunks, as the difference panes show them.
namespace plimsy {

struct RenderOptions {
  // SplitRowCounts of the file, when the caller keeps them.
  const std::vector<int>* split_rows = nullptr;
  // Kept beside the file; without it, each frame finds again what it needs.
  RenderCache* cache = nullptr;
  // How the text is shown across; the drawing reports in it how far the
  // rows in view are worth scrolling. Without it, text is shown from its
  // first column and cut.
  TextView* view = nullptr;
};

// One file's hunks, each after a dim row holding its "@@" header, in the
// split (side by side) or the joined layout: line numbers in columns as
// wide as the file's widest, a sign column ("-", "+" or blank) before each
// text, and the changed words of the lines that a changed run pairs up in
// a stronger shade. The element asks for the size of the whole file but
// builds and draws only the rows in view, and of a line only the columns in
// view. It refers to `file` and to what `options` points to, which must
// outlive it.
ftxui::Element RenderFile(const File& file,
                          bool split,
                          const RenderOptions& options);
ftxui::Element RenderFile(const File& file,
                          bool split,
                          const std::vector<int>* split_rows = nullptr);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_RENDER_H_
