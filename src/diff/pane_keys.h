#ifndef PLIMSY_DIFF_PANE_KEYS_H_
#define PLIMSY_DIFF_PANE_KEYS_H_

#include <functional>
#include <optional>
#include <string>

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

// Selects the next (or previous) row of `file` that `finder` matches.
SearchResult SearchFile(const std::optional<DrawnFile>& file,
                        ftxui::ScrollerBase& scroller,
                        const Finder& finder,
                        bool forward);

// The `]` and `[` keys of the difference pane, doing `jump`.
KeyBinding HunkKeys(std::function<std::string(const ftxui::Event&)> jump);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_PANE_KEYS_H_
