#ifndef PLIMSY_LOG_STATE_H_
#define PLIMSY_LOG_STATE_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "diff/loaded_diff.h"
#include "feed/feed.h"
#include "log/commit.h"
#include "log/commit_records.h"
#include "log/content_keys.h"
#include "log/graph.h"
#include "log/read_on.h"
#include "log/rows.h"
#include "log/walk_feed.h"

namespace plimsy::log {

// Why the screen does not open: what to print (on standard output for
// status 0, else on standard error) and the exit status.
struct Refusal {
  int status = 0;
  std::string message;
};

// Everything the commit browser shows and remembers while it runs.
struct State {
  // git's walk, read ahead of the selection; its git is ended and reaped
  // when the state goes.
  std::unique_ptr<WalkFeed> walk;
  // When the walk failed after its first commits: what to tell.
  std::string walk_stopped;
  // The screen opened before the walk's first commit came; a walk that
  // ends without one leaves it (`leave`) for `refusal`.
  bool awaiting_first = false;
  std::optional<Refusal> refusal;
  std::function<void()> leave;
  // Every commit of the walk has been listed.
  bool walk_ended = false;
  // The walk names the parents it links each commit to; else the graph
  // joins the commits' own parents.
  bool walk_names_parents = true;
  // Digits of an abbreviated object name, as git abbreviates them here.
  std::size_t abbrev = 7;
  int selected_commit = 0;
  std::vector<const Commit*> commits;
  // What the commit list shows of each of `commits`.
  std::vector<CommitRow> rows;
  // The lanes of the commits listed, a row each.
  GraphLanes graph;
  // Whether the user asked for the graph or hid it; before that it shows
  // when the list is wide enough.
  std::optional<bool> graph_shown;
  // The widest author name listed, up to a limit, in cells.
  int author_width = 0;
  // Commits named as parents that the repository does not have.
  std::set<std::string> missing;
  // The records of the selected commit's parents being read.
  CommitRecordsRead parents;
  int context = 3;
  // Shown split: as the user chose with the split key, else when the
  // window is wide enough.
  bool split = true;
  std::optional<bool> split_chosen;
  // Adds -w to the commit's diff: changes in whitespace are not shown.
  bool ignore_whitespace = false;
  // The selected commit's diff; its file list starts with "description".
  LoadedDiff diff{std::vector<std::string>{"description"}};
  // What a merge's files are diffed against; empty for other commits.
  std::string diff_note;
  // git's standard error when the selected commit's diff failed.
  std::string diff_error;
  int selected_file = 0;
  // The file a step to another commit shows once its files come.
  FileToShow file_to_show = FileToShow::kNone;
  // Reading the walk on for its end or a match.
  Reading reading;
  // What the screen does when the selected commit, or the file shown,
  // changes other than by the lists' own keys.
  std::function<void()> commit_changed;
  std::function<void()> file_changed;
  // The width the commit list is drawn with, as the last frame fitted it.
  int commits_width = 25;
  // Hands a task to the screen's loop from any thread. With it, a change
  // of the selection loads the diff in a task of its own, after the keys
  // already queued, and loads go on from the loop; without it, every load
  // is read as far as it is needed at once.
  Poster post;
  // Counts the diffs asked for; a task that finds it changed has been
  // overtaken.
  int load_requests = 0;
  // The selected commit's diff waits in such a task.
  bool diff_pending = false;
};

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_STATE_H_
