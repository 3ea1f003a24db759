#ifndef PLIMSY_DIFF_MEASURES_H_
#define PLIMSY_DIFF_MEASURES_H_

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "diff/diff.h"
#include "diff/pairing.h"
#include "diff/text_layout.h"

// How much room a file takes drawn: the widths of its number columns, the
// rows each entry takes when its lines wrap, and the row where each hunk
// starts. Two hunks of 3 and 5 entries, unwrapped, have their header rows
// at rows 0 and 4 and take 10 rows in all; wrapped, an entry whose longer
// line wraps to 3 rows counts 3.
namespace plimsy {

struct NumberWidths {
  int old_width = 1;
  int new_width = 1;
};

// The widths of the number columns that hold every number of the file.
NumberWidths FileNumberWidths(const File& file);

// Rows of every entry of a file, wrapped at the widths of its text columns.
struct WrappedRows {
  bool split = false;
  int old_width = 0;
  int new_width = 0;
  // For each hunk, the rows of its entries up to and including each one.
  std::vector<std::vector<int64_t>> ends;
};

// The rows each entry of `file` takes when wrapped at the text widths.
WrappedRows WrapFile(const File& file,
                     bool split,
                     int old_width,
                     int new_width,
                     TextLayouts* layouts);

// Where the hunks of a file lie, drawn one way: the row of each hunk's
// header, counted from the top of the file, and last the rows of the whole
// file.
struct HunkTops {
  bool split = false;
  bool wrap = false;
  // While wrapping, the widths of the text columns.
  std::pair<int, int> widths{0, 0};
  std::vector<int64_t> tops;
};

// Where the hunks of `file` lie: with `wrapped`, the rows of its entries
// wrapped at `widths`, else one row per entry, counted from `split_rows`
// (SplitRowCounts of the file) when given.
std::shared_ptr<const HunkTops> MeasureHunkTops(
    const File& file,
    bool split,
    const WrappedRows* wrapped,
    std::pair<int, int> widths,
    const std::vector<int>* split_rows);

// The rows an entry takes when wrapped.
int64_t EntryRows(const Entry& entry,
                  bool split,
                  int old_width,
                  int new_width,
                  TextLayouts* layouts);

// The row at which `file`, drawn with wrapping toggled, shows the line or
// header that row `row` shows now. `wrapped` holds the rows of every entry
// wrapped at the widths the text columns have.
int64_t RowWhenToggled(const File& file,
                       bool wrap,
                       const WrappedRows& wrapped,
                       int64_t row);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_MEASURES_H_
