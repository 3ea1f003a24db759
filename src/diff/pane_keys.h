#ifndef PLIMSY_DIFF_PANE_KEYS_H_
#define PLIMSY_DIFF_PANE_KEYS_H_

#include <functional>
#include <optional>
#include <string>

#include "diff/loaded_diff.h"
#include "diff/positions.h"
#include "ui/finder.h"
#include "ui/key_binding.h"
#include "ui/scroller.h"
#include "ui/search.h"

// The difference pane's hunk jumps and search, the same in both screens.
namespace plimsy {

// The heading of the difference pane's keys in the help.
inline constexpr char kDifferencePane[] = "Difference pane";

// Selects the first row of the next (`next`) or previous hunk of `file`
// and scrolls it to the top of `scroller`'s view; returns what to tell the
// user when there is none.
std::string JumpToHunk(const std::optional<DrawnFile>& file,
                       ftxui::ScrollerBase& scroller,
                       bool next);

// The difference pane over the files of a diff, for the moves that go on
// from the file shown to the others, in the order of the file list.
struct PaneFiles {
  LoadedDiff& diff;
  bool split = true;
  // The index in `diff.files` of the file shown; -1 while none is.
  int shown = -1;
  ftxui::ScrollerBase& scroller;
  // Shows file `index` from its start, selecting it in the list.
  std::function<void(int)> show;
};

// JumpToHunk that goes on past the last (or first) hunk of the file shown
// to the first (last) hunk of the next (previous) file that has one.
std::string JumpToHunkInFiles(const PaneFiles& pane, bool next);

// Selects the next (or previous) row that `finder` matches: in the file
// shown after (before) the selected row, then in the files after (before)
// it, round the diff to the file shown and its rows up to the selected
// one. A match in another file shows that file. A match cut off across the
// pane scrolls the text across to show it.
SearchResult SearchFiles(const PaneFiles& pane,
                         const Finder& finder,
                         bool forward);

// The `]` and `[` keys of the difference pane, doing `jump`.
KeyBinding HunkKeys(std::function<std::string(const ftxui::Event&)> jump);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_PANE_KEYS_H_
