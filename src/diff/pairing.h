#ifndef PLIMSY_DIFF_PAIRING_H_
#define PLIMSY_DIFF_PAIRING_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "diff/diff.h"

// How the lines of a hunk pair up into the entries that are drawn as rows.
// Joined, each line is an entry; split, context lines stand on both sides
// and, within a run of changed lines, the k-th deleted line goes beside the
// k-th added one. The hunk
//
//    a      (context)
//   -b
//   -c
//   +B
//    d      (context)
//
// numbered from 1 on both sides gives the joined entries (old and new
// number, line) 1|1 a, 2|~ b paired with B, 3|~ c, ~|2 B paired with b,
// 4|3 d, and the split entries a|a, b|B, c|(none), d|d: four split rows.
//
// A line that git marks with "\ No newline at end of file" is followed by
// an entry of its marker: joined, a row of its own; split, the next place
// on the line's side (both sides for a context line), so that "-x \ +x +y"
// gives x|x, (marker)|y.
namespace plimsy {

// What a marker entry shows after its sign "\": git's words.
inline constexpr std::string_view kNoNewlineText = " No newline at end of file";

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
  // The side shows the marker of the line above it on that side, and no
  // line. Joined, the side of the line marked (both for a context line).
  bool old_marker = false;
  bool new_marker = false;
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
  // The lines of each kind that git marked as ending without a newline.
  size_t marked_context = 0;
  size_t marked_deleted = 0;
  size_t marked_added = 0;
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
// line, whatever their order in the run; a marked line's marker follows it.
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
  // A place in a run: a line, or the marker after it, with the line's
  // ordinal among the run's lines of its kind.
  struct Slot {
    size_t line = 0;
    bool marker = false;
    size_t ordinal = 0;
  };

  // Starts reading the run of `deleted` and `added` lines at `first`;
  // `plain` when its deleted lines come first and none is marked.
  void EnterRun(size_t first, size_t deleted, size_t added, bool plain);
  // Reads the run of changed lines starting at `next_`.
  void EnterRun();
  // Line indices of the k-th deleted and added line of the run.
  size_t DeletedAt(size_t k) const;
  size_t AddedAt(size_t k) const;
  // The k-th place of each side of the run (split), false past its end;
  // the run's k-th entry (joined).
  bool OldSlot(size_t k, Slot& slot) const;
  bool NewSlot(size_t k, Slot& slot) const;
  Slot JoinedSlot(size_t k) const;

  const std::vector<Line>& lines_;
  const bool split_;
  const std::vector<Block>* const blocks_;
  // The next line outside a run, or the end of the run being read.
  size_t next_ = 0;
  int64_t old_number_;
  int64_t new_number_;
  // The marker of the context line before `next_` is the next entry.
  bool marker_next_ = false;
  bool in_run_ = false;
  size_t run_begin_ = 0;
  size_t run_deleted_ = 0;
  size_t run_added_ = 0;
  bool run_plain_ = true;
  // The run's lines of each kind, and its places (split, of each side;
  // joined, in order), when it is not plain.
  std::vector<size_t> deleted_;
  std::vector<size_t> added_;
  std::vector<Slot> old_slots_;
  std::vector<Slot> new_slots_;
  std::vector<Slot> slots_;
  // The next entry of the run: a row (split) or a line (joined).
  size_t run_next_ = 0;
  size_t run_entries_ = 0;
};

// The entries of a hunk: its lines and markers (joined) or its split rows.
int64_t EntryCount(const Hunk& hunk, bool split);

// The rows that each hunk's lines take in the split layout, where the
// changed lines pair up. Kept beside a parsed diff, they spare every frame
// a pass over all of the file's lines.
std::vector<int> SplitRowCounts(const File& file);
// The rows of one hunk in the split layout.
int SplitRowCount(const Hunk& hunk);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_PAIRING_H_
