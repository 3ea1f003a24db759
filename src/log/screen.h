#ifndef PLIMSY_LOG_SCREEN_H_
#define PLIMSY_LOG_SCREEN_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>

#include "diff/diff.h"
#include "diff/load.h"
#include "diff/render.h"
#include "log/commit.h"
#include "log/rows.h"
#include "log/walk.h"
#include "ui/text_view.h"

namespace plimsy::log {

// The commit browser over the commits that `git log` lists for the
// arguments that followed "log".
int main(int argc, const char** argv);

// Everything the commit browser shows and remembers while it runs.
struct State {
  // git's walk; ended and reaped when the state goes.
  std::unique_ptr<Walk> walk;
  // Digits of an abbreviated object name, as git abbreviates them here.
  std::size_t abbrev = 7;
  int selected_commit = 0;
  std::vector<const Commit*> commits;
  std::vector<std::string> titles;
  // What the commit list shows of each of `commits`.
  std::vector<CommitRow> rows;
  // The widest author name listed, up to a limit, in cells.
  int author_width = 0;
  // Commits named as parents that the repository does not have.
  std::set<std::string> missing;
  int context = 3;
  bool split = true;
  // Adds -w to the commit's diff: changes in whitespace are not shown.
  bool ignore_whitespace = false;
  std::vector<File> files;
  // "description", then the new name of each entry of `files`.
  std::vector<std::string> file_names;
  // SplitRowCounts of each of `files`, rebuilt with them.
  std::vector<std::vector<int>> split_rows;
  // What drawing each of `files` keeps between frames, made anew with them.
  std::vector<RenderCache> render_caches;
  // The content pane's horizontal scroll and wrapping.
  TextView view;
  // What a merge's files are diffed against; empty for other commits.
  std::string diff_note;
  // git's standard error when the selected commit's diff failed.
  std::string diff_error;
  int selected_file = 0;
  int commits_width = 25;
  int files_width = 25;
  // Hands a task to the screen's loop from any thread; the screen is drawn
  // after it runs. With it, a change of the selection loads the diff in a
  // task of its own, after the keys already queued, and a load goes on
  // from the loop; without it, every load is read to its end at once.
  std::function<void(std::function<void()>)> post;
  // The selected commit's diff being read, and whether its text goes on;
  // the last of `files` may be the part of a file read so far.
  std::unique_ptr<DiffLoad> load;
  bool loading = false;
  // Counts the loads asked for; a task that finds it changed has been
  // overtaken.
  int load_requests = 0;
  // The selected commit's diff waits in such a task.
  bool diff_pending = false;
};

// Why the screen does not open: what to print (on standard output for
// status 0, else on standard error) and the exit status.
struct Refusal {
  int status = 0;
  std::string message;
};

// Starts git's walk over `args`, the arguments that followed "log", reads
// the first commits and the first commit's diff. Returns a refusal when the
// arguments are refused, git fails, or nothing is listed. Throws
// SpawnError when git cannot be started.
std::optional<Refusal> Start(State& state,
                             const std::vector<std::string>& args);

// Reads commits from the walk until the list holds 80 entries past the
// selection or the walk has ended.
void load_more(State& state);

// Re-reads the selected commit's diff against its first parent (against
// the empty tree for a commit without one) and the records of its
// parents; does nothing while the selection lies outside the loaded
// commits. The files come as TakeLoaded takes them: with `post`, for a
// moment and then from the loop as the rest arrives; without, to the end.
// Throws SpawnError when git cannot be started, with only the
// "description" entry left.
void refresh(State& state);

// Takes into the lists what the running load has read since it was last
// asked; returns whether anything changed.
bool TakeLoaded(State& state);

// What a change of the selected commit does: drops the previous commit's
// files at once and selects the description; the diff is read at once
// without `post`, else in a posted task that does nothing when another
// load has been asked for after it.
void on_commit_change(State& state);

// The starting width of the commit list in a terminal `width` cells wide.
int InitialCommitsWidth(int width);

// The component tree of the commit browser over `state`, with the focus on
// the commit list; `exit` leaves the screen. Inside the tree a git that
// cannot be started reads as empty output.
ftxui::Component BuildScreen(State& state, std::function<void()> exit);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_SCREEN_H_
