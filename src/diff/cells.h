#ifndef PLIMSY_DIFF_CELLS_H_
#define PLIMSY_DIFF_CELLS_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/color.hpp>

#include "diff/diff.h"
#include "diff/word_diff.h"
#include "ui/finder.h"

// The cells that a rendered hunk is made of, shared by the element that
// holds a whole file and the one that holds only the rows in view.
namespace plimsy {

// The colours of a line's text and sign, and of its changed words.
struct TextStyle {
  ftxui::Color foreground = ftxui::Color::Default;
  ftxui::Color background = ftxui::Color::Default;
  ftxui::Color changed_foreground = ftxui::Color::Default;
  ftxui::Color changed_background = ftxui::Color::Default;
  bool dim = false;
};

const TextStyle& StyleOf(LineKind kind);
// Dim, without colour: the hunks' header rows and the "~" placeholders.
const TextStyle& DimStyle();

// Where a line's text starts within the layout of its glyphs: every few
// thousand bytes, the reading state there, so that a long line can be drawn
// from any column or row without reading it from its start.
struct TextCheckpoint {
  size_t offset = 0;
  int64_t column = 0;
  int64_t row = 0;
  // The cell of the row where a narrow glyph read next would go.
  int64_t x = 0;
};

struct TextLayout {
  // Only printable ASCII: every byte a glyph of one cell, so reading can
  // start at any byte, and `checkpoints` holds only the start.
  bool plain = false;
  // The first one is the start of the text.
  std::vector<TextCheckpoint> checkpoints;
  // Columns of the whole text, unwrapped.
  int64_t columns = 0;
  // Rows it takes when wrapped (1 unwrapped, and for an empty text).
  int64_t rows = 1;
};

// The layout of `text` unwrapped (`width` 0) or wrapped at `width` cells.
TextLayout LayOut(std::string_view text, int width);

// Layouts of the long texts of one file, made the first time a text is
// drawn at a width and kept for the frames after.
class TextLayouts {
 public:
  // The layout of `text`, kept when the text is long enough to be worth it.
  // The text must stay where it is while this lives.
  const TextLayout& Get(std::string_view text, int width);

 private:
  std::map<std::pair<const char*, int>, TextLayout> layouts_;
  // For texts too short to keep.
  TextLayout scratch_;
};

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

// The cells below stand as tall as their row, which a wrapped line makes
// as tall as it needs: the number and sign show in its first row, rules and
// colours go all the way down.

// A line number, left-aligned in a column of `width` cells.
ftxui::Element NumberCell(int64_t number, int width);

// The dimmed "~" that stands where a side has no line number.
ftxui::Element PlaceholderCell(int width);

// The one-cell "-", "+" or blank before a line's text, in its colours.
ftxui::Element SignCell(LineKind kind);

// The blank sign cell of a side without a line.
ftxui::Element EmptySignCell();

// The one-cell rule between two columns.
ftxui::Element RuleCell();

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

// The rows `text` takes wrapped at `width` cells (1 when `width` is 0).
int64_t WrappedRowCount(std::string_view text, int width, TextLayouts* layouts);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_CELLS_H_
