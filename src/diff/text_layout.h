#ifndef PLIMSY_DIFF_TEXT_LAYOUT_H_
#define PLIMSY_DIFF_TEXT_LAYOUT_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/glyphs.h"

// Where the glyphs of a line's text fall, unwrapped or wrapped at a width,
// so that a long line is drawn or counted without reading it from its
// start. "ab漢c" wrapped at 3 cells takes 2 rows: "ab" (the wide "漢" does
// not fit in the third cell), then "漢c".
namespace plimsy {

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

// The rows `text` takes wrapped at `width` cells (1 when `width` is 0).
int64_t WrappedRowCount(std::string_view text, int width, TextLayouts* layouts);

// Where glyphs go: along one row when not wrapping (`width` 0), else row
// after row of `width` cells, a wide glyph that does not fit at the end of
// a row moving to the next. Defined here, as drawing places every glyph in
// view through it.
class GlyphPlacer {
 public:
  GlyphPlacer(int64_t width, int64_t row, int64_t x)
      : width_(width), row_(row), x_(x) {}

  // The row and cell of a glyph of `cells` cells, then moves past it. A
  // wide glyph in rows of one cell takes the one cell.
  std::pair<int64_t, int64_t> Place(int cells) {
    if (width_ == 0) {
      const int64_t at = x_;
      x_ += cells;
      return {0, at};
    }
    const int64_t taken = std::min<int64_t>(cells, width_);
    if (x_ + taken > width_) {
      ++row_;
      x_ = 0;
    }
    const int64_t at = x_;
    x_ += taken;
    return {row_, at};
  }

  // Moves past `count` narrow glyphs.
  void PlaceNarrow(int64_t count) {
    if (count == 0) {
      return;
    }
    if (width_ == 0) {
      x_ += count;
      return;
    }
    if (x_ == width_) {
      ++row_;
      x_ = 0;
    }
    const int64_t end = x_ + count;
    row_ += (end - 1) / width_;
    x_ = (end - 1) % width_ + 1;
  }

  // Cells that narrow glyphs can take before row `row` starts.
  int64_t CellsBefore(int64_t row) const {
    return width_ == 0 ? 0 : (row - row_) * width_ - x_;
  }

  TextCheckpoint Checkpoint(const GlyphReader& reader) const {
    if (width_ != 0 && x_ == width_) {
      return {reader.offset(), reader.column(), row_ + 1, 0};
    }
    return {reader.offset(), reader.column(), row_, x_};
  }

  int64_t row() const { return row_; }

 private:
  int64_t width_;
  int64_t row_;
  int64_t x_;
};

}  // namespace plimsy

#endif  // PLIMSY_DIFF_TEXT_LAYOUT_H_
