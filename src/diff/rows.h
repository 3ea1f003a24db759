#ifndef PLIMSY_DIFF_ROWS_H_
#define PLIMSY_DIFF_ROWS_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <ftxui/dom/elements.hpp>

#include "diff/cells.h"
#include "diff/colours.h"
#include "diff/diff.h"
#include "diff/render.h"
#include "diff/text_cell.h"
#include "diff/text_layout.h"
#include "diff/word_diff.h"

// The rows of a rendered file, shared by the element tree that holds all of
// them and the element that builds only those in view.
namespace plimsy {

// One row of a hunk, before wrapping. In the joined layout it holds one
// line, as `old_line` when the line has an old number and as `new_line`
// when it has a new one (a context line is both). In the split layout it
// holds a context line on both sides, or the k-th deleted and the k-th added
// line of a run of changes, either of which may be missing.
struct Entry {
  const Line* old_line = nullptr;
  const Line* new_line = nullptr;
  int64_t old_number = 0;
  int64_t new_number = 0;
  // Joined: the line of the other kind that this changed line pairs with in
  // its run, as the split layout pairs them, or null.
  const Line* partner = nullptr;
};

// A stretch of a hunk's lines: context lines in a row, or a run of changed
// lines between them.
struct Block {
  size_t first = 0;
  size_t lines = 0;
  size_t deleted = 0;
  size_t added = 0;
  // The run's deleted lines all come before its added ones, as git prints
  // them.
  bool grouped = true;
  // The numbers of the block's first line on each side.
  int64_t old_number = 0;
  int64_t new_number = 0;
  // The entries before the block, in each layout.
  int64_t joined_entry = 0;
  int64_t split_entry = 0;
};

// The blocks of a hunk, in order.
std::vector<Block> Blocks(const Hunk& hunk);

// The entries of a hunk, in order. Within each run of changed lines
// between context lines, the k-th deleted line pairs with the k-th added
// line, whatever their order in the run.
class Entries {
 public:
  // With `blocks`, Blocks(hunk), entries are found without reading the
  // lines before them.
  Entries(const Hunk& hunk,
          bool split,
          const std::vector<Block>* blocks = nullptr);

  // Makes entry `index` the next one, reading the lines before it only for
  // their kinds, or not at all with blocks. Only before the first Next.
  void Seek(int64_t index);
  bool Next(Entry& entry);

 private:
  // Starts reading the run of `deleted` and `added` lines at `first`.
  void EnterRun(size_t first, size_t deleted, size_t added, bool grouped);
  // Reads the run of changed lines starting at `next_`.
  void EnterRun();
  // Line indices of the k-th deleted and added line of the run.
  size_t DeletedAt(size_t k) const;
  size_t AddedAt(size_t k) const;

  const std::vector<Line>& lines_;
  const bool split_;
  const std::vector<Block>* const blocks_;
  // The next line outside a run, or the end of the run being read.
  size_t next_ = 0;
  int64_t old_number_;
  int64_t new_number_;
  bool in_run_ = false;
  size_t run_begin_ = 0;
  size_t run_deleted_ = 0;
  size_t run_added_ = 0;
  bool run_grouped_ = true;
  // The run's lines of each kind, when they are not grouped.
  std::vector<size_t> deleted_;
  std::vector<size_t> added_;
  // The next entry of the run: a row (split) or a line (joined).
  size_t run_next_ = 0;
  size_t run_entries_ = 0;
  size_t deleted_seen_ = 0;
  size_t added_seen_ = 0;
};

// The entries of a hunk: its lines (joined) or its split rows.
int64_t EntryCount(const Hunk& hunk, bool split);

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

// The rows every entry of `file` takes wrapped at the given text widths,
// kept in `cache` when there is one.
std::shared_ptr<const WrappedRows> KeptWrap(const File& file,
                                            bool split,
                                            std::pair<int, int> widths,
                                            RenderCache* cache);

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

struct RenderCache::Parts {
  std::optional<NumberWidths> widths;
  std::unordered_map<
      const Line*,
      std::unordered_map<const Line*, std::shared_ptr<const WordChanges>>>
      words;
  size_t word_count = 0;
  TextLayouts layouts;
  std::shared_ptr<const WrappedRows> wrapped;
  std::shared_ptr<const HunkTops> tops;
  // Blocks of the long hunks drawn so far.
  std::unordered_map<const Hunk*, std::vector<Block>> blocks;
  // The widths of the text columns at the last frame, for counting wrapped
  // rows before the layout gives the widths again.
  int old_text_width = 0;
  int new_text_width = 0;
  // Lives as long as the cache: what the drawing hands out for later use
  // holds it weakly, to know that the cache and its file are still there.
  std::shared_ptr<int> alive = std::make_shared<int>(0);
};

// Blocks(hunk) when the hunk is long enough for them to spare work, kept in
// the cache; null otherwise.
const std::vector<Block>* BlocksOf(const Hunk& hunk, RenderCache* cache);

// The changed words of a deleted line and the added line it pairs with.
std::shared_ptr<const WordChanges> WordsOf(const Line& deleted,
                                           const Line& added,
                                           RenderCache* cache);

// A hunk's dim header row.
ftxui::Element HeaderRow(const Hunk& hunk);

// The row of an entry, in either layout.
ftxui::Element JoinedRow(const Entry& entry, const FileLook& look);
ftxui::Element SplitRow(const Entry& entry, const FileLook& look);

// The widths of the text columns of a row laid out `width` cells wide.
std::pair<int, int> TextWidths(const FileLook& look, bool split, int width);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_ROWS_H_
