#include "log/screen.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/component_options.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/screen_interactive.hpp>
#include <ftxui/screen/terminal.hpp>

#include "diff/controls.h"
#include "diff/file_labels.h"
#include "diff/pane_keys.h"
#include "diff/positions.h"
#include "diff/render.h"
#include "git.h"
#include "log/panels.h"
#include "process.h"
#include "terminal.h"
#include "ui/layout.h"
#include "ui/list.h"
#include "ui/screen_frame.h"
#include "ui/scroller.h"
#include "ui/search.h"
#include "ui/side_width.h"
#include "ui/terminal_cells.h"

namespace plimsy::log {
namespace {

// What the commit list's search looks through: what its entry shows.
std::string CommitSearchText(const CommitRow& row) {
  std::string text = row.hash + " " + row.date + " " + row.author + " ";
  for (const RefLabel& label : row.labels) {
    text += label.name + " ";
  }
  return text + row.title;
}

void Reload(State& state) {
  SkipIfGitCannotStart([&state] { refresh(state); });
}

void increase_context(State& state) {
  ++state.context;
  Reload(state);
}

void decrease_context(State& state) {
  if (state.context != 0) {
    --state.context;
  }
  Reload(state);
}

// How long a load waits for git's output before the frame is drawn: a
// commit's diff that git prints by then shows whole in one frame, a longer
// one as far as it has come, with the rest as it arrives.
constexpr auto kSettleTime = std::chrono::milliseconds(40);

// Longer author names are cut in the list.
constexpr int kAuthorWidthLimit = 20;

void Append(State& state, Listed listed) {
  state.commits.push_back(listed.commit);
  state.titles.push_back(listed.commit->title);
  state.rows.push_back(
      MakeCommitRow(*listed.commit, std::move(listed.labels), state.abbrev));
  state.author_width =
      std::max(state.author_width,
               std::min(state.rows.back().author_width, kAuthorWidthLimit));
}

// The length of `name`, an abbreviated object name that git printed; 0
// when it is none.
std::size_t AbbreviationLength(const std::string& name) {
  if (name.size() < 4 || name.size() > 64 ||
      name.find_first_not_of("0123456789abcdef") != std::string::npos) {
    return 0;
  }
  return name.size();
}

// Reads the records of the selected commit's parents and says what its
// files are diffed against.
void NoteParents(State& state) {
  const Commit& commit = *state.commits[state.selected_commit];
  ReadCommits(commit.parents, state.missing);
  if (commit.parents.size() > 1) {
    state.diff_note = "diff against first parent " +
                      commit.parents.front().substr(0, state.abbrev);
  } else if (commit.parents.size() == 1 &&
             state.missing.contains(commit.parents.front())) {
    state.diff_note = "parent " +
                      commit.parents.front().substr(0, state.abbrev) +
                      " not in this repository";
  }
}

void ClearDiff(State& state) {
  state.load.reset();
  state.loading = false;
  state.files.clear();
  state.file_names = {"description"};
  state.split_rows.clear();
  state.render_caches.clear();
  state.diff_note.clear();
  state.diff_error.clear();
}

std::function<void()> Waker(State& state) {
  if (!state.post) {
    return {};
  }
  return [post = state.post, &state] { post([&state] { TakeLoaded(state); }); };
}

std::unique_ptr<DiffLoad> StartLoad(State& state,
                                    const std::vector<std::string>& args) {
  return std::make_unique<DiffLoad>(args, Waker(state));
}

// Takes what the load has read after waiting for its end: for a moment
// when a loop goes on reading, as long as it takes otherwise.
void Settle(State& state) {
  state.loading = true;
  if (state.post) {
    state.load->WaitForEnd(DiffLoad::Clock::now() + kSettleTime);
  } else {
    state.load->WaitForEnd();
  }
  TakeLoaded(state);
}

}  // namespace

std::optional<Refusal> Start(State& state,
                             const std::vector<std::string>& args) {
  std::string refused = RefusedArgument(args);
  if (!refused.empty()) {
    return Refusal{129, refused + "\n"};
  }
  state.walk = std::make_unique<Walk>(WalkCommandLine(args));
  // Most walks start at HEAD: its diff runs beside the walk, with a first
  // line that names the commit and git's abbreviation of its name, which
  // is as long as every abbreviation in the repository.
  std::vector<std::string> guess_command =
      DiffCommandLine("HEAD", state.context);
  std::erase(guess_command, "--no-commit-id");
  guess_command.insert(guess_command.end() - 2,
                       {"--always", "--abbrev", "--format=%H %h"});
  state.load = StartLoad(state, guess_command);
  std::optional<Listed> first = state.walk->Next();
  if (!first) {
    const int status = state.walk->status();
    if (status == 0) {
      return Refusal{0, "No commit to show.\n"};
    }
    std::string error = state.walk->error();
    if (error.empty()) {
      error = "plimsy log: git log ended with status " +
              std::to_string(status) + "\n";
    }
    return Refusal{status, error};
  }
  const std::string& hash = first->commit->hash;
  // The diff's text starts after this line; its parser skips the line.
  const std::string header = state.load->WaitForFirstLine();
  const std::size_t blank = header.find(' ');
  if (blank != std::string::npos) {
    state.abbrev = AbbreviationLength(header.substr(blank + 1));
  }
  if (header.substr(0, blank) != hash || blank == std::string::npos) {
    state.load = StartLoad(state, DiffCommandLine(hash, state.context));
  }
  if (state.abbrev == 0) {
    // HEAD names no commit; the walk started elsewhere.
    GitResult name =
        GitCapture({"rev-parse", "--short", "--end-of-options", hash});
    if (name.status == 0) {
      state.abbrev =
          AbbreviationLength(name.out.substr(0, name.out.find('\n')));
    }
  }
  if (state.abbrev == 0) {
    state.abbrev = 7;
  }
  Append(state, std::move(*first));
  load_more(state);
  std::unique_ptr<DiffLoad> load = std::move(state.load);
  ClearDiff(state);
  state.load = std::move(load);
  NoteParents(state);
  Settle(state);
  return std::nullopt;
}

void load_more(State& state) {
  while (state.walk != nullptr &&
         state.selected_commit > static_cast<int>(state.commits.size()) - 80) {
    std::optional<Listed> listed = state.walk->Next();
    if (!listed) {
      return;
    }
    Append(state, std::move(*listed));
  }
}

std::vector<std::string> DiffCommandLine(const std::string& hash,
                                         int context,
                                         bool ignore_whitespace) {
  // A merge against its first parent, a commit without parents (or whose
  // parents a shallow clone cut off) against the empty tree. The plumbing
  // command reads none of the settings that change how a diff is printed.
  std::vector<std::string> args = {"diff-tree",
                                   "-p",
                                   "--no-commit-id",
                                   "--root",
                                   "--diff-merges=first-parent",
                                   "-M",
                                   "-U" + std::to_string(context)};
  if (ignore_whitespace) {
    args.push_back("-w");
  }
  args.insert(args.end(), {"--end-of-options", hash});
  return args;
}

void refresh(State& state) {
  state.diff_pending = false;
  if (static_cast<unsigned>(state.selected_commit) >= state.commits.size()) {
    return;
  }
  ++state.load_requests;
  ClearDiff(state);
  const Commit& commit = *state.commits[state.selected_commit];
  state.load = StartLoad(state, DiffCommandLine(commit.hash, state.context,
                                                state.ignore_whitespace));
  NoteParents(state);
  Settle(state);
}

bool TakeLoaded(State& state) {
  if (state.load == nullptr) {
    return false;
  }
  LoadUpdate update = state.load->Take();
  if (update.empty()) {
    return false;
  }
  TakeFiles(update, {state.files, state.file_names, state.split_rows,
                     state.render_caches});
  if (update.ended) {
    state.loading = false;
    state.load.reset();
    if (update.status != 0) {
      state.diff_error = update.error.empty()
                             ? "git diff-tree ended with status " +
                                   std::to_string(update.status)
                             : std::move(update.error);
    }
  }
  return true;
}

void on_commit_change(State& state) {
  state.selected_file = 0;
  if (!state.post) {
    Reload(state);
    return;
  }
  ClearDiff(state);
  state.loading = true;
  state.diff_pending = true;
  const int request = ++state.load_requests;
  state.post([&state, request] {
    if (request == state.load_requests) {
      Reload(state);
    }
  });
}

namespace {

// Loads now the diff that a commit step left to a task.
void LoadPendingDiff(State& state) {
  if (!state.diff_pending) {
    return;
  }
  Reload(state);
  // Keys typed ahead into the file list find its files.
  if (state.load != nullptr && state.files.empty()) {
    state.load->WaitForFirst();
    TakeLoaded(state);
  }
}

// Whether `event` may act on the selected commit's files, which a diff
// left for later must then give first. Keys in the commit list, steps to
// another commit, the wheel and the loop's own events only move through
// commits or draw them.
bool ActsOnFiles(ftxui::Event event, bool commits_focused) {
  using ftxui::Event;
  using ftxui::Mouse;
  if (event.is_mouse()) {
    const Mouse::Button button = event.mouse().button;
    return event.mouse().motion == Mouse::Pressed && button != Mouse::WheelUp &&
           button != Mouse::WheelDown;
  }
  if (event == Event::Custom || event == Event::Character('}') ||
      event == Event::Character('{')) {
    return false;
  }
  return !commits_focused;
}

}  // namespace

int InitialCommitsWidth(int width) {
  return std::clamp(width * 2 / 5, 25, 100);
}

ftxui::Component BuildScreen(State& state, std::function<void()> exit) {
  using ftxui::Component;
  using ftxui::Event;

  Component content_view = ftxui::Renderer(ContentRenderer(
      state.selected_file, state.files, state.split_rows, state.render_caches,
      state.view, state.split, state.commits, state.selected_commit, state.rows,
      state.abbrev, state.missing, state.diff_error, state.loading));
  std::shared_ptr<ftxui::ScrollerBase> content_scroller =
      ftxui::MakeScroller(content_view, &state.view);
  Component content_pane =
      ftxui::Renderer(content_scroller, ContentPaneRenderer(content_scroller));
  // What the content pane shows changed: it starts at its top.
  auto content_changed = [&state, content_scroller] {
    content_scroller->SelectAtTop(0);
    state.view.column = 0;
  };
  auto commit_changed = [&state, content_changed] {
    on_commit_change(state);
    content_changed();
  };
  auto highlight = [&state] { return state.view.highlight.get(); };

  ListOption commit_option;
  commit_option.on_change = commit_changed;
  commit_option.entry = CommitEntry(state.rows, state.commits_width,
                                    state.abbrev, state.author_width);
  commit_option.highlight = highlight;
  Component commit_menu =
      List(&state.titles, &state.selected_commit, commit_option);
  Component commits_pane =
      ftxui::Renderer(commit_menu, CommitPaneRenderer(commit_menu));

  ListOption file_option;
  file_option.on_change = content_changed;
  file_option.highlight = highlight;
  Component file_menu =
      List(&state.file_names, &state.selected_file, file_option);
  Component files_pane = ftxui::Renderer(
      file_menu, FilesPaneRenderer(file_menu, state.diff_note, state.loading));

  auto commits_width = std::make_shared<SideWidth>(&state.commits_width);
  auto files_width = std::make_shared<SideWidth>(&state.files_width);
  Component inner_panes =
      ftxui::ResizableSplitLeft(files_pane, content_pane, files_width->shown());
  Component panes = ftxui::ResizableSplitLeft(commits_pane, inner_panes,
                                              commits_width->shown());
  Component body = ftxui::Renderer(panes, [panes, commits_width, files_width] {
    return AtSize([=](int width, int) {
      // The lists leave the content at least a third of a narrow screen;
      // below 80 columns the file list gives up more of its room, since
      // its names are cut before the content would be.
      commits_width->Fit(width, 0.4);
      files_width->Fit(width, width < 80 ? 0.15 : 0.25);
      return BodyRenderer(panes)();
    });
  });

  // The file the content pane shows, as drawn now.
  auto drawn = [&state]() -> std::optional<DrawnFile> {
    const int index = state.selected_file - 1;
    if (index < 0 || index >= static_cast<int>(state.files.size())) {
      return std::nullopt;
    }
    return DrawnFile(
        state.files[index], state.split,
        {&state.split_rows[index], &state.render_caches[index], &state.view});
  };
  auto to_hunk = [drawn, content_scroller](const Event& event) {
    std::optional<DrawnFile> file = drawn();
    if (!file) {
      return std::string("No hunk here: choose a file");
    }
    return JumpToHunk(file, *content_scroller, event == Event::Character(']'));
  };
  auto to_commit = [&state, commit_changed](const Event& event) {
    const int next =
        state.selected_commit + (event == Event::Character('}') ? 1 : -1);
    if (next < 0) {
      return std::string("First commit");
    }
    if (next >= static_cast<int>(state.commits.size())) {
      return std::string("Last commit");
    }
    state.selected_commit = next;
    commit_changed();
    return std::string();
  };

  ScreenFrameOptions options;
  options.name = "log";
  options.controls = DiffHeaderControls({
      .split = &state.split,
      .ignore_whitespace = &state.ignore_whitespace,
      .context = &state.context,
      .whitespace_changed = [&state] { Reload(state); },
      .less_context = [&state] { decrease_context(state); },
      .more_context = [&state] { increase_context(state); },
  });
  options.exit = exit;
  options.status = [&state] {
    return std::string(state.loading ? "loading\u2026" : "");
  };
  options.view = &state.view;
  options.panes = {
      {commit_menu,
       ListSearch(
           state.selected_commit,
           [&state] { return static_cast<int>(state.rows.size()); },
           [&state](int i) { return CommitSearchText(state.rows[i]); },
           commit_changed)},
      {file_menu,
       ListSearch(
           state.selected_file,
           [&state] { return static_cast<int>(state.file_names.size()); },
           [&state](int i) { return state.file_names[i]; }, content_changed)},
      {content_scroller,
       [drawn, content_scroller](const Finder& finder, bool forward) {
         return SearchFile(drawn(), *content_scroller, finder, forward);
       },
       kDifferencePane},
  };
  options.keys = {
      HunkKeys(to_hunk),
      {{Event::Character('}'), Event::Character('{')},
       {},
       "} {",
       "Commits",
       "next / previous commit",
       to_commit,
       "}/{ commit"},
  };

  Component frame = ScreenFrame(body, std::move(options));
  Component root = TerminalCells(
      ftxui::CatchEvent(frame, [&state, commit_menu](Event event) {
        if (ActsOnFiles(event, commit_menu->Focused())) {
          LoadPendingDiff(state);
        }
        // The walk sees the selection as it was before the event moves it.
        load_more(state);
        return false;
      }));
  commit_menu->TakeFocus();
  return root;
}

int main(int argc, const char** argv) {
  State state;
  state.post = PostToScreen;
  try {
    std::optional<Refusal> refusal =
        Start(state, std::vector<std::string>(argv, argv + argc));
    if (refusal) {
      (refusal->status == 0 ? std::cout : std::cerr)
          << refusal->message << std::flush;
      return refusal->status;
    }
  } catch (const subprocess::SpawnError& error) {
    return ReportGitNotStarted(error);
  }
  state.commits_width = InitialCommitsWidth(ftxui::Terminal::Size().dimx);
  state.split = StartsSplit(ftxui::Terminal::Size().dimx);
  return RunScreen(
      "log",
      [&state](std::function<void()> exit) {
        return BuildScreen(state, std::move(exit));
      },
      KeysForScreen());
}

}  // namespace plimsy::log
