#ifndef PLIMSY_DIFF_TEXT_CELL_H_
#define PLIMSY_DIFF_TEXT_CELL_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <ftxui/dom/elements.hpp>

#include "diff/colours.h"
#include "diff/text_layout.h"
#include "diff/word_diff.h"
#include "ui/finder.h"

// The cell that shows a line's text in a drawn difference, scrolled across
// or wrapped, with its changed words and search matches marked. Like the
// other cells of a row it stands as tall as the row, and touches only the
// rows and columns in view.
namespace plimsy {

// How the text cells of a file show their text across.
struct TextOptions {
  // Display columns scrolled out at the left; ignored when wrapping.
  int column = 0;
  bool wrap = false;
  // Layouts of long texts, kept between frames; may be null.
  TextLayouts* layouts = nullptr;
  // Where a drawn cell reports how far its text is worth scrolling (the
  // larger of what it finds and what is there); may be null.
  int* column_limit = nullptr;
  // The matches of this term are shown marked; may be null.
  const Finder* highlight = nullptr;
};

// A line's text in a column of whatever width the layout gives it: scrolled
// by `options.column` with "‹" and "›" marking the cut ends, or wrapped
// over as many rows as it takes. `changed` (may be null) are the bytes
// shown as changed. The cell asks for 800 columns; `xflex` then lets the
// text columns share whatever width the number columns leave. The text must
// outlive the element.
ftxui::Element TextCell(std::string_view text,
                        const TextStyle& style,
                        std::shared_ptr<const std::vector<ByteRange>> changed,
                        const TextOptions& options);

// A hunk's header row: the text, dim, from the first column, cut at the
// edge.
ftxui::Element HeaderCell(std::string header);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_TEXT_CELL_H_
