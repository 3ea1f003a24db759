#ifndef PLIMSY_LOG_SCREEN_H_
#define PLIMSY_LOG_SCREEN_H_

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>

#include "diff/diff.h"
#include "diff/render.h"
#include "log/commit.h"
#include "ui/text_view.h"

namespace plimsy::log {

// The commit browser; its arguments are ignored.
int main(int argc, const char** argv);

// Everything the commit browser shows and remembers while it runs.
struct State {
  std::deque<std::string> pending;
  int selected_commit = 0;
  std::vector<const Commit*> commits;
  std::vector<std::string> titles;
  int context = 3;
  bool split = true;
  std::vector<File> files;
  // "description", then the new name of each entry of `files`.
  std::vector<std::string> file_names;
  // SplitRowCounts of each of `files`, rebuilt with them.
  std::vector<std::vector<int>> split_rows;
  // What drawing each of `files` keeps between frames, made anew with them.
  std::vector<RenderCache> render_caches;
  // The content pane's horizontal scroll and wrapping.
  TextView view;
  int selected_file = 0;
  int commits_width = 25;
  int files_width = 25;
};

// Queues HEAD and reads the first commits and the first commit's diff.
// Throws subprocess::SpawnError when git cannot be started.
void Start(State& state);

// Re-reads the selected commit's diff against its first parent; does
// nothing while the selection lies outside the loaded commits. Throws
// subprocess::SpawnError when git cannot be started, with only the
// "description" entry left.
void refresh(State& state);

// The component tree of the commit browser over `state`, with the focus on
// the commit list; `exit` leaves the screen. Inside the tree a git that
// cannot be started reads as empty output.
ftxui::Component BuildScreen(State& state, std::function<void()> exit);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_SCREEN_H_
