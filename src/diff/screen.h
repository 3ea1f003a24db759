#ifndef PLIMSY_DIFF_SCREEN_H_
#define PLIMSY_DIFF_SCREEN_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>

#include "diff/diff.h"
#include "diff/render.h"
#include "ui/text_view.h"

namespace plimsy::diff {

// Everything the diff viewer shows; the components read and write it by
// reference for the life of the screen.
struct State {
  std::vector<File> files;
  // The file menu's entries: the FileEntry of each of `files`, in order.
  std::vector<std::string> file_names;
  // SplitRowCounts of each of `files`, rebuilt with them.
  std::vector<std::vector<int>> split_rows;
  // What drawing each of `files` keeps between frames, made anew with them.
  std::vector<RenderCache> render_caches;
  // The difference pane's horizontal scroll and wrapping.
  TextView view;
  int32_t selected_file = 0;
  int32_t context = 3;
  bool split = true;
  // Adds -w to git diff: changes in whitespace are not shown.
  bool ignore_whitespace = false;
  int32_t files_width = 30;
  // Handed on to git diff after the context option at every refresh.
  std::vector<std::string> arguments;
  // When the last git run failed without printing a diff: its exit status
  // and what it wrote on standard error. 0 and empty otherwise.
  int git_status = 0;
  std::string git_error;
};

// Runs git diff with the state's context and arguments and replaces
// `files`, `file_names` and `split_rows` with what it printed, and
// `git_status` and `git_error` with how it ended. Throws
// subprocess::SpawnError when git cannot be started, with the lists left
// empty.
void refresh(State& state);

// The viewer's component tree over `state`, with the file menu focused.
// `exit` is run by "q", Escape and the quit button.
ftxui::Component BuildScreen(State& state, std::function<void()> exit);

// The diff viewer; takes the arguments that follow "diff", which are handed
// on to git diff. Arguments that ask for another output format go to git
// on the terminal instead. Returns 0, or git's status when git failed
// before the screen opened.
int main(int argc, const char** argv);

}  // namespace plimsy::diff

#endif  // PLIMSY_DIFF_SCREEN_H_
