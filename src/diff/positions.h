#ifndef PLIMSY_DIFF_POSITIONS_H_
#define PLIMSY_DIFF_POSITIONS_H_

#include <cstdint>
#include <memory>
#include <optional>

#include "diff/diff.h"
#include "diff/measures.h"
#include "diff/render.h"
#include "diff/render_cache.h"
#include "ui/finder.h"

// Where the hunks and lines of a file lie among the rows that RenderFile
// draws, for moving the selected row to them.
namespace plimsy {

// A file as RenderFile draws it with the same options: in which layout,
// whether wrapped, and where its hunks lie.
class DrawnFile {
 public:
  DrawnFile(const File& file, bool split, const RenderOptions& options);

  // The rows of the whole file.
  int64_t rows() const { return tops_->tops.back(); }

  // The row of the first hunk header below `row`, or of the last one above
  // it; nothing when there is none.
  std::optional<int64_t> NextHunk(int64_t row) const;
  std::optional<int64_t> PreviousHunk(int64_t row) const;

  struct Match {
    int64_t row = 0;
    // The search went past the end (or the start) of the file to find it.
    bool wrapped = false;
    // The line matched, and whether it is drawn in the new side's text
    // column (split, an added line); a context line matches on the old side.
    const Line* line = nullptr;
    bool new_side = false;
  };
  // The row of the next line (or pair of lines) after the one at `row`, or
  // of the previous one before it, whose text `finder` matches, going round
  // the file; the line at `row` itself last. Nothing when no line matches.
  std::optional<Match> Find(const Finder& finder,
                            int64_t row,
                            bool forward) const;
  // The first (or, not `forward`, the last) line of the file that `finder`
  // matches.
  std::optional<Match> FindFirst(const Finder& finder, bool forward) const;

 private:
  // Entry `entry` of hunk `hunk`; entry -1 is the hunk's header.
  struct Position {
    size_t hunk = 0;
    int64_t entry = -1;
  };
  Position PositionOf(int64_t row) const;
  int64_t RowOf(size_t hunk, int64_t entry) const;
  int64_t EntriesOf(size_t hunk) const;
  // The first (or last) entry of `hunk` in [from, to) that matches, with
  // its row yet to be set.
  std::optional<Match> FindIn(const Finder& finder,
                              size_t hunk,
                              int64_t from,
                              int64_t to,
                              bool forward) const;

  const File& file_;
  const bool split_;
  RenderCache* const cache_;
  std::shared_ptr<const WrappedRows> wrapped_;
  std::shared_ptr<const HunkTops> tops_;
};

}  // namespace plimsy

#endif  // PLIMSY_DIFF_POSITIONS_H_
