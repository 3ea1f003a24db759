#ifndef PLIMSY_DIFF_SCREEN_H_
#define PLIMSY_DIFF_SCREEN_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>

#include "diff/diff.h"
#include "diff/loaded_diff.h"
#include "diff/read_on.h"
#include "feed/feed.h"

namespace plimsy::diff {

// Everything the diff viewer shows; the components read and write it by
// reference for the life of the screen.
struct State {
  // The files git printed, and the file list's entries.
  LoadedDiff diff;
  int32_t selected_file = 0;
  int32_t context = 3;
  // Shown split: as the user chose with the split key, else when the
  // window is wide enough.
  bool split = true;
  std::optional<bool> split_chosen;
  // Adds -w to git diff: changes in whitespace are not shown.
  bool ignore_whitespace = false;
  // Handed on to git diff after the context option at every refresh.
  std::vector<std::string> arguments;
  // When the last git run failed without printing a diff: its exit status
  // and what it wrote on standard error. 0 and empty otherwise.
  int git_status = 0;
  std::string git_error;
  // When git failed after it had printed some files: what to tell.
  std::string stopped;
  // The diff was read from standard input: there is no git to run again.
  bool from_input = false;
  // The screen opened before any file came: a diff that ends without one
  // leaves it again, for the message or git's error, as if it had never
  // opened. `leave` leaves the screen.
  bool leaves_when_empty = false;
  std::function<void()> leave;
  // How far a diff from standard input is read on beyond what is shown,
  // and what the screen does when a goal of it is reached: show another
  // file from its start, show the end of the file shown.
  Reading reading;
  std::function<void()> file_changed;
  std::function<void()> to_file_end;
  // Hands a task to the screen's loop from any thread. Without it, Refresh
  // reads git's whole output before it returns.
  Poster post;
};

// Starts git diff with the state's context and arguments, empties the
// lists and fills them from what git prints: with `post`, for a moment, and
// then from the loop as the rest arrives; without, to its end. Sets
// `git_status` and `git_error` once git has ended. Throws
// SpawnError when git cannot be started, with the lists left
// empty. Does nothing for a diff read from standard input.
void Refresh(State& state);

// Takes into the lists what the running load has read since it was last
// asked; returns whether anything changed.
bool TakeLoaded(State& state);

// Changes the context by `step` lines, never below 0, and runs git again;
// does nothing for a diff read from standard input.
void StepContext(State& state, int step);

// What the header says besides its controls: that git is still being
// read, that the context is fixed for a diff from standard input.
std::string HeaderNote(const State& state);

// The viewer's component tree over `state`, with the file menu focused.
// `exit` is run by "q", Escape and the quit button.
ftxui::Component BuildScreen(State& state, std::function<void()> exit);

// The diff viewer; takes the arguments that follow "diff", which are handed
// on to git diff. Arguments that ask for another output format go to git
// on the terminal instead. Returns 0, or git's status when git failed
// before the screen opened.
int Main(int argc, const char** argv);

// The diff viewer over a diff read from descriptor `fd` (which it closes)
// after `head`, the part of it read already; keys come from the
// controlling terminal. Colour sequences are taken out, and lines outside
// the files' sections ignored.
int MainOnInput(std::string head, int fd);

}  // namespace plimsy::diff

#endif  // PLIMSY_DIFF_SCREEN_H_
