#ifndef PLIMSY_DIFF_READ_ON_H_
#define PLIMSY_DIFF_READ_ON_H_

#include <cstddef>
#include <memory>
#include <string>

#include "diff/loaded_diff.h"
#include "ui/finder.h"
#include "ui/search.h"

// How far a diff from standard input is read. The text may never end (a
// long `git log -p` through a pager), so only what the screen shows is
// read, and a few MiB beyond it; the rest as the user moves on, or, when a
// key asks for the end or a match, on until it comes or the user stops it.
namespace plimsy::diff {

// What is read beyond the furthest row shown.
inline constexpr std::size_t kReadAhead = std::size_t{8} << 20;

enum class ReadingGoal {
  kNone,
  // The end of the text, to select its last file.
  kEnd,
  // The end of the file the difference pane shows.
  kFileEnd,
  // The next file whose entry `finder` matches.
  kMatch,
};

struct Reading {
  ReadingGoal goal = ReadingGoal::kNone;
  std::shared_ptr<const Finder> finder;
  // The entries searched for the match so far.
  int searched = 0;
  // What the last reading on came to, told until the next key.
  std::string outcome;
};

// What is shown: the list's entries up to `last_listed`, and the file the
// difference pane shows, whole when its end is in view (`file_end_shown`).
struct Shown {
  int last_listed = 0;
  int pane_file = -1;
  bool file_end_shown = false;
};

// Lets the load read as far as `shown` needs and kReadAhead beyond, or on
// to its end while `reading` has a goal.
void ReadAsShown(LoadedDiff& diff, const Reading& reading, Shown shown);

// Starts reading on for `goal`; for kMatch, the entries from `from` on are
// searched with a copy of `finder`.
void StartReading(Reading& reading,
                  ReadingGoal goal,
                  const Finder* finder = nullptr,
                  int from = 0);

// Stops reading on: the position stays where it is.
void StopReading(LoadedDiff& diff, Reading& reading);

// The bottom line's note while reading on: how much is read, and how to
// stop; then what it came to.
std::string ReadingNote(LoadedDiff& diff, const Reading& reading);

// The next entry of the list from `from` on that `finder` matches, without
// going round; -1 when there is none.
int NextMatch(const LoadedDiff& diff, const Finder& finder, int from);

}  // namespace plimsy::diff

#endif  // PLIMSY_DIFF_READ_ON_H_
