#ifndef PLIMSY_DIFF_LOADED_DIFF_H_
#define PLIMSY_DIFF_LOADED_DIFF_H_

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "diff/diff.h"
#include "diff/feed.h"
#include "diff/render.h"
#include "ui/text_view.h"

namespace plimsy {

// A diff as a screen shows it while it is read: its files with what drawing
// them needs beside each, the list's entries, and the feed still reading
// it. The lists beside `files` are all of its length.
struct LoadedDiff {
  LoadedDiff() = default;
  // A list whose first entries are `leading`, before the files.
  explicit LoadedDiff(std::vector<std::string> leading_entries)
      : names(leading_entries), leading(std::move(leading_entries)) {}

  std::vector<File> files;
  // The file list's entries: `leading`, then the FileEntry of each file.
  std::vector<std::string> names;
  std::vector<std::string> leading;
  // A description has come: the files' entries are set in under theirs.
  bool grouped = false;
  // SplitRowCounts of each of `files`, rebuilt with them.
  std::vector<std::vector<int>> split_rows;
  // What drawing each of `files` keeps between frames, made anew with them.
  std::vector<RenderCache> render_caches;
  // Where each of `files` ends in the text read, as far as it is read.
  std::vector<std::size_t> ends;
  // The difference pane's horizontal scroll and wrapping.
  TextView view;
  // The diff being read, and whether its text goes on; the last of `files`
  // may be the part of a file read so far.
  std::unique_ptr<DiffFeed> load;
  bool loading = false;
  // Counts the loads started; a wake meant for an earlier one is dropped.
  int request = 0;
};

// How a load ended: git's exit status and standard error.
struct LoadEnd {
  int status = 0;
  std::string error;
};

// Stops the load and empties the lists.
void ClearDiff(LoadedDiff& diff);

// The wake of the next load to start: hands `take` to the loop through
// `post`, unless another load has started since. None without `post`.
std::function<void()> NextLoadWake(LoadedDiff& diff,
                                   const Poster& post,
                                   std::function<void()> take);

// Starts reading a new diff from `load` into the emptied lists.
void StartLoad(LoadedDiff& diff, std::unique_ptr<DiffFeed> load);

// Takes into the lists what the load has handed over since it was last
// asked, joining a part to the file of the parts before it; returns whether
// anything changed. `ended` is called once the load has ended, after its
// last files are in.
bool TakeLoaded(LoadedDiff& diff,
                const std::function<void(LoadEnd)>& ended = {});

// Waits for the load to end, then takes what it has read: for kSettleTime
// when a loop takes the rest as it arrives (`briefly`), else as long as it
// takes.
void SettleLoad(LoadedDiff& diff,
                bool briefly,
                const std::function<void(LoadEnd)>& ended = {});

// Waits until the load has handed over something, or ended, or `deadline`
// has passed, and takes what it has; for keys that need the files of a
// diff that is being read, and for the first screen.
void TakeFirst(
    LoadedDiff& diff,
    const std::function<void(LoadEnd)>& ended = {},
    DiffFeed::Clock::time_point deadline = DiffFeed::Clock::time_point::max());

// The entry after (`forward`) or before `from` that `}` and `{` go to:
// the next file, or the next description in a list grouped under them; -1
// when there is none.
int StepEntry(const LoadedDiff& diff, int from, bool forward);

// The file at `index`, or null past the ends.
const File* FileAt(const LoadedDiff& diff, int index);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_LOADED_DIFF_H_
