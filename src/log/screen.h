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

#include "log/state.h"

namespace plimsy::log {

// The commit browser over the commits that `git log` lists for the
// arguments that followed "log".
int Main(int argc, const char** argv);

// Starts git's walk over `args`, the arguments that followed "log", reads
// the first commits and the first commit's diff. Returns a refusal when the
// arguments are refused, git fails, or nothing is listed. With `post`, the
// first commits are waited for only until kFirstScreenTime after the start:
// when they have not come by then, the screen opens without them
// (`awaiting_first`), and takes them, or the refusal, from the loop.
// Throws SpawnError when git cannot be started.
std::optional<Refusal> Start(State& state,
                             const std::vector<std::string>& args);

// Asks the walk for commits until the list holds 80 entries past the
// selection, and takes those it has read: with `post`, as they come; without,
// waiting until they are there or the walk has ended.
void LoadMore(State& state);

// Takes into the list the commits the walk has read since it was last
// asked; returns whether anything changed.
bool TakeCommits(State& state);

// Re-reads the selected commit's diff against its first parent (against
// the empty tree for a commit without one) and the records of its
// parents; does nothing while the selection lies outside the loaded
// commits. The files come as TakeLoaded takes them: with `post`, for a
// moment and then from the loop as the rest arrives; without, to the end.
// Throws SpawnError when git cannot be started, with only the
// "description" entry left.
void Refresh(State& state);

// Takes into the lists what the running load has read since it was last
// asked; returns whether anything changed.
bool TakeLoaded(State& state);

// What a change of the selected commit does: drops the previous commit's
// files at once and selects the description; the diff is read at once
// without `post`, else in a posted task that does nothing when another
// load has been asked for after it.
void OnCommitChange(State& state);

// The component tree of the commit browser over `state`, with the focus on
// the commit list; `exit` leaves the screen. Inside the tree a git that
// cannot be started reads as empty output.
ftxui::Component BuildScreen(State& state, std::function<void()> exit);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_SCREEN_H_
