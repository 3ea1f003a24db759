#ifndef PLIMSY_DIFF_RENDER_H_
#define PLIMSY_DIFF_RENDER_H_

#include <cstdint>
#include <memory>
#include <vector>

#include <ftxui/dom/elements.hpp>

#include "diff/diff.h"
#include "diff/text_cell.h"
#include "diff/word_diff.h"
#include "ui/text_view.h"

namespace plimsy {

// The rows that each hunk's lines take in the split layout, where the
// changed lines pair up. Kept beside a parsed diff, they spare every frame
// a pass over all of the file's lines.
std::vector<int> SplitRowCounts(const File& file);
// The rows of one hunk in the split layout.
int SplitRowCount(const Hunk& hunk);

// What drawing one file learns and keeps from frame to frame: the widths of
// its number columns, the changed words of the line pairs drawn so far, the
// layouts of its long lines and, while wrapping, the rows every line takes.
// Made empty beside each parsed file, it must go with the file: it refers
// to the file's lines.
class RenderCache {
 public:
  RenderCache();
  ~RenderCache();
  RenderCache(RenderCache&&) noexcept;
  RenderCache& operator=(RenderCache&&) noexcept;

  struct Parts;
  Parts& parts();

 private:
  std::unique_ptr<Parts> parts_;
};

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

// What the hunks of one file are drawn with.
struct FileLook {
  // Widths of the two number columns.
  int old_width = 1;
  int new_width = 1;
  TextOptions text;
  // Changed words found so far, or null.
  RenderCache* cache = nullptr;
};

// The look that RenderFile draws `file` with.
FileLook LookOf(const File& file, const RenderOptions& options);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_RENDER_H_
