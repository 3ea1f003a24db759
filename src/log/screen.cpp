#include "log/screen.h"

#include <algorithm>
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

#include "diff/colour_choice.h"
#include "diff/controls.h"
#include "diff/file_labels.h"
#include "diff/pane_keys.h"
#include "diff/positions.h"
#include "diff/render.h"
#include "git/arguments.h"
#include "git/command_lines.h"
#include "git/run.h"
#include "log/content_keys.h"
#include "log/graph_row.h"
#include "log/list_position.h"
#include "log/panels.h"
#include "log/panes.h"
#include "log/read_on.h"
#include "sys/process.h"
#include "sys/terminal.h"
#include "ui/keys.h"
#include "ui/layout.h"
#include "ui/list.h"
#include "ui/screen_frame.h"
#include "ui/scroller.h"
#include "ui/search.h"
#include "ui/terminal_cells.h"

namespace plimsy::log {
namespace {

void Reload(State& state) {
  SkipIfGitCannotStart([&state] { Refresh(state); });
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

// Longer author names are cut in the list.
constexpr int kAuthorWidthLimit = 20;

// How far the list is read ahead of the selection.
constexpr std::size_t kLookAhead = 80;

void Append(State& state, WalkRecord record) {
  const Commit* commit = KeepCommit(std::move(record.commit));
  // A record that stands for the last one has its row in the graph: its
  // first line, which names the parents, had come whole.
  if (!record.replaces) {
    state.graph.Add(commit->hash, state.walk_names_parents ? record.walk_parents
                                                           : commit->parents);
  }
  state.commits.push_back(commit);
  state.rows.push_back(
      MakeCommitRow(*commit, std::move(record.labels), state.abbrev));
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

// Says what the selected commit's files are diffed against, once its
// parents' records are read.
void TakeParents(State& state) {
  if (!TakeReadCommits(state.parents, state.missing) ||
      static_cast<unsigned>(state.selected_commit) >= state.commits.size()) {
    return;
  }
  const Commit& commit = *state.commits[state.selected_commit];
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

// Reads the records of the selected commit's parents, whose titles its
// details show: in a feed of their own with `post`, at once without.
void NoteParents(State& state) {
  std::function<void()> wake =
      PostingWake(state.post, [&state] { TakeParents(state); });
  state.parents =
      StartReadingCommits(state.commits[state.selected_commit]->parents,
                          state.missing, std::move(wake));
  if (!state.post && state.parents.feed != nullptr) {
    state.parents.feed->WaitForEnd();
  }
  TakeParents(state);
}

void ClearCommitDiff(State& state) {
  ClearDiff(state.diff);
  state.parents = {};
  state.diff_note.clear();
  state.diff_error.clear();
}

void StartCommitDiff(State& state, const std::vector<std::string>& args) {
  StartLoad(state.diff,
            ReadGitDiff(args, NextLoadWake(state.diff, state.post,
                                           [&state] { TakeLoaded(state); })));
}

void NoteEnd(State& state, LoadEnd end) {
  if (end.status != 0) {
    state.diff_error = end.error.empty() ? "git diff-tree ended with status " +
                                               std::to_string(end.status)
                                         : std::move(end.error);
  }
}

// Takes what the load has read after waiting for its end: for a moment
// when a loop goes on reading, as long as it takes otherwise.
void Settle(State& state) {
  SettleLoad(state.diff, static_cast<bool>(state.post),
             [&state](LoadEnd end) { NoteEnd(state, end); });
}

// Takes the commits of `update`, and the walk's failure when it ends with
// one.
void AppendCommits(State& state, WalkFeed::Update& update) {
  for (WalkRecord& record : update.records) {
    if (record.replaces && !state.commits.empty()) {
      state.commits.pop_back();
      state.rows.pop_back();
    }
    Append(state, std::move(record));
  }
  if (update.ended) {
    state.walk_ended = true;
    state.graph.Finish();
  }
  if (update.ended && update.status != 0) {
    state.walk_stopped = StoppedMessage(update.status, update.error);
  }
}

// Why the screen does not open for a walk that ended without a commit.
Refusal EmptyWalk(const WalkFeed::Update& first) {
  if (first.status == 0) {
    return Refusal{0, "No commit to show.\n"};
  }
  std::string error = first.error;
  if (error.empty()) {
    error = "plimsy log: git log ended with status " +
            std::to_string(first.status) + "\n";
  }
  return Refusal{first.status, error};
}

// Takes the walk's first commits, with git's abbreviation of object names
// and the first commit's diff; the refusal of a walk that listed none. On
// the loop (`on_loop`), nothing waits on git beyond a moment: without
// HEAD's diff line by then, names are abbreviated to 7 digits.
std::optional<Refusal> TakeFirstCommits(State& state,
                                        WalkFeed::Update& first,
                                        bool on_loop) {
  if (first.records.empty()) {
    return EmptyWalk(first);
  }
  const std::string hash = first.records.front().commit.hash;
  // The diff's text starts after this line; its parser skips the line.
  const std::string header =
      state.diff.load == nullptr
          ? std::string()
          : state.diff.load->WaitForFirstLine(
                on_loop ? WalkFeed::Clock::now() + kSettleTime
                        : WalkFeed::Clock::time_point::max());
  const std::size_t blank = header.find(' ');
  if (blank != std::string::npos) {
    state.abbrev = AbbreviationLength(header.substr(blank + 1));
  }
  if (header.substr(0, blank) != hash || blank == std::string::npos) {
    StartCommitDiff(state, CommitDiffCommandLine(hash, state.context, false));
  }
  if (state.abbrev == 0 && !on_loop) {
    // HEAD names no commit; the walk started elsewhere.
    GitResult name = GitCapture(ShortNameCommandLine(hash));
    if (name.status == 0) {
      state.abbrev =
          AbbreviationLength(name.out.substr(0, name.out.find('\n')));
    }
  }
  if (state.abbrev == 0) {
    state.abbrev = 7;
  }
  AppendCommits(state, first);
  if (!on_loop) {
    // The first screen shows what git prints in a moment, and no later.
    state.walk->WaitForRecords(kLookAhead,
                               WalkFeed::Clock::now() + kSettleTime);
  }
  LoadMore(state);
  NoteParents(state);
  Settle(state);
  return std::nullopt;
}

}  // namespace

std::optional<Refusal> Start(State& state,
                             const std::vector<std::string>& args) {
  const auto start = WalkFeed::Clock::now();
  std::string refused = RefusedArgument(args);
  if (!refused.empty()) {
    return Refusal{129, refused + "\n"};
  }
  std::function<void()> wake =
      PostingWake(state.post, [&state] { TakeCommits(state); });
  state.walk_names_parents = WalkNamesParents(args);
  state.walk = ReadWalk(WalkCommandLine(args), std::move(wake), kLookAhead);
  // Most walks start at HEAD: its diff runs beside the walk, with a first
  // line that names the commit and git's abbreviation of its name, which
  // is as long as every abbreviation in the repository.
  StartCommitDiff(state, HeadGuessCommandLine(state.context));
  state.walk->WaitForRecords(1, state.post
                                    ? start + kFirstScreenTime
                                    : WalkFeed::Clock::time_point::max());
  WalkFeed::Update first = state.walk->Take();
  if (first.records.empty() && !first.ended) {
    state.awaiting_first = true;
    return std::nullopt;
  }
  return TakeFirstCommits(state, first, false);
}

bool TakeCommits(State& state) {
  if (state.walk == nullptr) {
    return false;
  }
  WalkFeed::Update update = state.walk->Take();
  if (state.awaiting_first && !update.empty()) {
    state.awaiting_first = false;
    state.refusal = TakeFirstCommits(state, update, true);
    if (state.refusal && state.leave) {
      state.leave();
    }
    return true;
  }
  AppendCommits(state, update);
  if (update.empty()) {
    return false;
  }
  AdvanceReading(state);
  return true;
}

void LoadMore(State& state) {
  if (state.walk == nullptr) {
    return;
  }
  const std::size_t wanted =
      static_cast<std::size_t>(std::max(state.selected_commit, 0)) + kLookAhead;
  state.walk->Want(wanted);
  if (!state.post) {
    state.walk->WaitForRecords(wanted);
  } else if (static_cast<std::size_t>(state.selected_commit) + 1 >=
             state.commits.size()) {
    // A key at the last commit read waits a moment for the next, as a
    // key that runs git waits for its output: a walk that git prints at
    // once moves on as if it had all been read.
    state.walk->WaitForRecords(wanted, WalkFeed::Clock::now() + kSettleTime);
  }
  TakeCommits(state);
}

void Refresh(State& state) {
  state.diff_pending = false;
  if (static_cast<unsigned>(state.selected_commit) >= state.commits.size()) {
    return;
  }
  ++state.load_requests;
  ClearCommitDiff(state);
  const Commit& commit = *state.commits[state.selected_commit];
  StartCommitDiff(state, CommitDiffCommandLine(commit.hash, state.context,
                                               state.ignore_whitespace));
  NoteParents(state);
  Settle(state);
  ShowFileAsked(state);
}

bool TakeLoaded(State& state) {
  // HEAD's diff waits for the first commit, which tells whether it is that
  // commit's.
  if (state.awaiting_first) {
    return false;
  }
  const bool changed = plimsy::TakeLoaded(
      state.diff, [&state](LoadEnd end) { NoteEnd(state, end); });
  ShowFileAsked(state);
  return changed;
}

void OnCommitChange(State& state) {
  state.selected_file = 0;
  state.file_to_show = FileToShow::kNone;
  if (!state.post) {
    Reload(state);
    return;
  }
  ClearCommitDiff(state);
  state.diff.loading = true;
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
  if (state.diff.files.empty()) {
    TakeFirst(state.diff, [&state](LoadEnd end) { NoteEnd(state, end); });
  }
  ShowFileAsked(state);
}

// Whether `event` may act on the selected commit's files, which a diff
// left for later must then give first. Keys in the commit list, steps to
// another commit outside the content pane, the wheel and the loop's own
// events only move through commits or draw them.
bool ActsOnFiles(ftxui::Event event,
                 bool commits_focused,
                 bool content_focused) {
  using ftxui::Event;
  using ftxui::Mouse;
  if (event.is_mouse()) {
    const Mouse::Button button = event.mouse().button;
    return event.mouse().motion == Mouse::Pressed && button != Mouse::WheelUp &&
           button != Mouse::WheelDown;
  }
  if (event == Event::Character('}') || event == Event::Character('{')) {
    return content_focused;
  }
  if (event == Event::Custom) {
    return false;
  }
  return !commits_focused;
}

}  // namespace

ftxui::Component BuildScreen(State& state, std::function<void()> exit) {
  using ftxui::Component;
  using ftxui::Event;

  Component content_view = ftxui::Renderer(ContentRenderer(state));
  std::shared_ptr<ftxui::ScrollerBase> content_scroller =
      ftxui::MakeScroller(content_view, &state.diff.view);
  Component content_pane = ftxui::Renderer(
      content_scroller, ContentPaneRenderer(content_scroller, state));
  // What the content pane shows changed: it starts at its top.
  auto content_changed = [&state, content_scroller] {
    content_scroller->SelectAtTop(0);
    state.diff.view.column = 0;
  };
  auto commit_changed = [&state, content_changed] {
    OnCommitChange(state);
    content_changed();
  };
  state.commit_changed = commit_changed;
  state.file_changed = content_changed;
  auto highlight = [&state] { return state.diff.view.highlight.get(); };

  ListOption commit_option;
  commit_option.size = [&state] { return static_cast<int>(state.rows.size()); };
  commit_option.selected = &state.selected_commit;
  commit_option.on_change = commit_changed;
  commit_option.entry = CommitEntry(state);
  commit_option.highlight = highlight;
  Component commit_menu = List(commit_option);
  Component commits_pane = ftxui::Renderer(
      commit_menu,
      CommitPaneRenderer(commit_menu, state.walk_stopped, [&state] {
        return ListPosition(state.selected_commit, state.commits.size(),
                            !state.walk_ended);
      }));

  ListOption file_option;
  file_option.on_change = content_changed;
  file_option.highlight = highlight;
  file_option.entry = FileEntry(state);
  Component file_menu =
      List(&state.diff.names, &state.selected_file, file_option);
  Component files_pane = ftxui::Renderer(
      file_menu,
      FilesPaneRenderer(file_menu, state.diff_note, state.diff.loading));

  PaneRowParts panes = Panes(state, commits_pane, files_pane, content_pane);

  // The file the content pane shows, as drawn now.
  auto drawn = [&state]() -> std::optional<DrawnFile> {
    const int index = state.selected_file - 1;
    if (index < 0 || index >= static_cast<int>(state.diff.files.size())) {
      return std::nullopt;
    }
    return DrawnFile(state.diff.files[index], state.split,
                     {&state.diff.split_rows[index],
                      &state.diff.render_caches[index], &state.diff.view});
  };
  auto to_hunk = [drawn, content_scroller](const Event& event) {
    std::optional<DrawnFile> file = drawn();
    if (!file) {
      return std::string("No hunk here: choose a file");
    }
    return JumpToHunk(file, *content_scroller, event == Event::Character(']'));
  };
  auto step = [&state, content_scroller](const Event& event) {
    return StepThrough(state, event == Event::Character('}'),
                       content_scroller->Focused());
  };

  ScreenFrameOptions options;
  options.name = "log";
  options.controls = DiffHeaderControls({
      .split = &state.split,
      .split_chosen = &state.split_chosen,
      .ignore_whitespace = &state.ignore_whitespace,
      .context = &state.context,
      .whitespace_changed = [&state] { Reload(state); },
      .less_context = [&state] { decrease_context(state); },
      .more_context = [&state] { increase_context(state); },
  });
  options.exit = exit;
  state.leave = exit;
  options.status = [&state] {
    if (state.diff.loading ||
        (state.walk != nullptr && state.walk->reading())) {
      return std::string("loading\u2026");
    }
    return state.walk_stopped;
  };
  options.view = &state.diff.view;
  options.panes = {
      {commit_menu,
       [&state](const Finder& finder, bool forward) {
         return SearchCommits(state, finder, forward);
       }},
      {file_menu,
       ListSearch(
           state.selected_file,
           [&state] { return static_cast<int>(state.diff.names.size()); },
           [&state](int i) { return state.diff.names[i]; }, content_changed)},
      {content_scroller,
       [&state, content_scroller, content_changed](const Finder& finder,
                                                   bool forward) {
         // The files of the commit shown follow its details in the list.
         const auto show = [&state, content_changed](int index) {
           state.selected_file = index + 1;
           content_changed();
         };
         return SearchFiles({state.diff, state.split, state.selected_file - 1,
                             *content_scroller, show},
                            finder, forward);
       },
       kDifferencePane},
  };
  options.keys = {
      HunkKeys(to_hunk),
      {{Event::Character('}'), Event::Character('{')},
       {},
       "} {",
       "Commits",
       "next / previous commit; content pane: file",
       step,
       "}/{ commit"},
      GraphKey(state.graph_shown, state.commits_width),
  };
  options.keys.insert(options.keys.end(), panes.keys.begin(), panes.keys.end());
  for (KeyBinding& key :
       EnterKeys(state, commit_menu, file_menu, content_scroller)) {
    options.keys.push_back(std::move(key));
  }
  options.first_keys = ReadingKeys(state, commit_menu);
  options.progress = [&state] { return ReadingNote(state); };

  Component frame = ScreenFrame(panes.component, std::move(options));
  Component root = TerminalCells(ftxui::CatchEvent(
      frame, [&state, commit_menu, content_scroller](Event event) {
        if (ActsOnFiles(event, commit_menu->Focused(),
                        content_scroller->Focused())) {
          LoadPendingDiff(state);
        }
        // What the last reading on came to is told until the next key.
        if (!event.is_mouse() && event != Event::Custom) {
          state.reading.outcome.clear();
        }
        // The walk sees the selection as it was before the event moves it.
        LoadMore(state);
        return false;
      }));
  commit_menu->TakeFocus();
  return root;
}

int Main(int argc, const char** argv) {
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
  } catch (const SpawnError& error) {
    return ReportGitNotStarted(error);
  }
  ChooseDiffColours();
  const int status = RunScreen(
      "log",
      [&state](std::function<void()> exit) {
        return BuildScreen(state, std::move(exit));
      },
      KeysForScreen());
  if (status == 0 && state.refusal) {
    (state.refusal->status == 0 ? std::cout : std::cerr)
        << state.refusal->message << std::flush;
    return state.refusal->status;
  }
  return status;
}

}  // namespace plimsy::log
