#include "diff/screen.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include <ftxui/component/component.hpp>
#include <ftxui/component/component_options.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/screen_interactive.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/terminal.hpp>

#include "diff/colour_choice.h"
#include "diff/controls.h"
#include "diff/file_labels.h"
#include "diff/pane_keys.h"
#include "diff/render.h"
#include "git/arguments.h"
#include "git/command_lines.h"
#include "git/run.h"
#include "sys/process.h"
#include "sys/terminal.h"
#include "ui/display_text.h"
#include "ui/keys.h"
#include "ui/layout.h"
#include "ui/list.h"
#include "ui/pane_row.h"
#include "ui/screen_frame.h"
#include "ui/scroller.h"
#include "ui/search.h"
#include "ui/stop_key.h"
#include "ui/terminal_cells.h"

namespace plimsy::diff {
namespace {

using ftxui::Component;
using ftxui::Element;
using ftxui::Event;

// The index of the file the difference pane shows, or -1 when the list is
// empty. The menu clamps the selection when it draws; this keeps the pane
// safe even if it is drawn first.
int32_t SelectedIndex(const State& state) {
  const int32_t last = static_cast<int32_t>(state.diff.files.size()) - 1;
  return last < 0 ? -1 : std::clamp(state.selected_file, 0, last);
}

// How the difference pane draws file `index`.
RenderOptions Options(State& state, int32_t index) {
  return {&state.diff.split_rows[index], &state.diff.render_caches[index],
          &state.diff.view};
}

// An argument as a shell would take it back: in single quotes when it is
// empty or holds a blank, a quote or a backslash.
std::string Quoted(const std::string& argument) {
  if (!argument.empty() &&
      argument.find_first_of(" \t\n'\"\\") == std::string::npos) {
    return argument;
  }
  std::string quoted = "'";
  for (const char c : argument) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

// The header's title: "diff" and the arguments it was given; a diff read
// from standard input has none.
std::string Title(const State& state) {
  std::string title = "diff";
  if (!state.from_input) {
    for (const std::string& argument : state.arguments) {
      title += " " + Quoted(argument);
    }
  }
  return title;
}

// The status a git that cannot be started stands for, as a shell has it.
constexpr int kGitNotStarted = 127;

// What git said when its last run failed, one row per line.
Element FailureText(const State& state) {
  ftxui::Elements rows;
  std::string_view rest = state.git_error;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    rows.push_back(ftxui::text(DisplayText(rest.substr(0, end))));
    rest = end == std::string_view::npos ? std::string_view()
                                         : rest.substr(end + 1);
  }
  if (rows.empty()) {
    rows.push_back(ftxui::text("git diff failed with exit status " +
                               std::to_string(state.git_status)));
  }
  return ftxui::vbox(std::move(rows));
}

// A run that printed a diff is shown even when it failed, with what git
// said; --exit-code makes git exit with 1, saying nothing, for every diff.
void NoteEnd(State& state, LoadEnd end) {
  if (state.diff.files.empty() && end.status != 0) {
    state.git_status = end.status;
    state.git_error = std::move(end.error);
  } else if (end.status > 1 || (end.status == 1 && !end.error.empty())) {
    state.stopped = StoppedMessage(end.status, end.error);
  }
}

// The first screen waits for a file, or the end of the text, for a moment
// from `start`.
void WaitForFirstScreen(State& state, DiffFeed::Clock::time_point start) {
  if (state.diff.files.empty()) {
    TakeFirst(
        state.diff, [&state](LoadEnd end) { NoteEnd(state, end); },
        start + kFirstScreenTime);
  }
}

// Starts git's diff over, with the screen's context and whitespace
// options.
void StartDiff(State& state) {
  ClearDiff(state.diff);
  state.git_status = 0;
  state.git_error.clear();
  state.stopped.clear();
  StartLoad(
      state.diff,
      ReadGitDiff(DiffScreenCommandLine(state.context, state.ignore_whitespace,
                                        state.arguments),
                  NextLoadWake(state.diff, state.post,
                               [&state] { TakeLoaded(state); })));
}

// Moves to what the text read on for, once it has come: the last file,
// the end of the file shown, the next match; or, when the text ends first,
// tells so.
void AdvanceReading(State& state) {
  Reading& reading = state.reading;
  const int32_t files = static_cast<int32_t>(state.diff.files.size());
  const bool loading = state.diff.loading;
  switch (reading.goal) {
    case ReadingGoal::kNone:
      return;
    case ReadingGoal::kEnd:
      if (!loading) {
        reading.goal = ReadingGoal::kNone;
        if (files > 0 && state.selected_file != files - 1) {
          state.selected_file = files - 1;
          state.file_changed();
        }
      }
      return;
    case ReadingGoal::kFileEnd:
      if (!loading || SelectedIndex(state) < files - 1) {
        reading.goal = ReadingGoal::kNone;
        state.to_file_end();
      }
      return;
    case ReadingGoal::kMatch:
      break;
  }
  const Finder& finder = *reading.finder;
  if (const int found = NextMatch(state.diff, finder, reading.searched);
      found >= 0) {
    state.selected_file = found;
    state.file_changed();
    reading.goal = ReadingGoal::kNone;
    return;
  }
  reading.searched = static_cast<int>(state.diff.names.size());
  if (!loading) {
    // Nothing after the selected file: on from the top.
    reading.goal = ReadingGoal::kNone;
    int selected = state.selected_file;
    const SearchResult result =
        SearchEntries(finder, true, files, selected,
                      [&state](int i) { return state.diff.names[i]; });
    if (selected != state.selected_file) {
      state.selected_file = selected;
      state.file_changed();
    }
    reading.outcome = SearchNotice(result, true, finder);
  }
}

// The keys of a diff from standard input that read on: End goes to the
// end of the text (in the list) or of the file shown, once read; Escape
// stops reading on.
std::vector<KeyBinding> ReadingKeys(State& state,
                                    Component file_menu,
                                    Component difference_scroller) {
  return {
      {{},
       [&state](const Event& event) {
         return IsEnd(event) && state.diff.loading;
       },
       "G End",
       "Files",
       "standard input: read on to the end of the text, or of the file "
       "shown, and go there",
       [&state, file_menu, difference_scroller](const Event& event) {
         const bool in_list = file_menu->Focused();
         const int32_t last = static_cast<int32_t>(state.diff.files.size()) - 1;
         if (in_list || SelectedIndex(state) == last) {
           StartReading(state.reading,
                        in_list ? ReadingGoal::kEnd : ReadingGoal::kFileEnd);
         }
         (in_list ? file_menu : difference_scroller)->OnEvent(event);
         return std::string();
       },
       ""},
      StopReadingKey(
          "Files",
          [&state] { return state.reading.goal != ReadingGoal::kNone; },
          [&state] { StopReading(state.diff, state.reading); }),
  };
}

}  // namespace

void Refresh(State& state) {
  if (state.from_input) {
    return;
  }
  StartDiff(state);
  SettleLoad(state.diff, static_cast<bool>(state.post),
             [&state](LoadEnd end) { NoteEnd(state, end); });
}

bool TakeLoaded(State& state) {
  const bool changed = plimsy::TakeLoaded(
      state.diff, [&state](LoadEnd end) { NoteEnd(state, end); });
  if (changed) {
    AdvanceReading(state);
  }
  if (!state.diff.files.empty()) {
    state.leaves_when_empty = false;
  } else if (state.leaves_when_empty && !state.diff.loading && state.leave) {
    state.leave();
  }
  return changed;
}

void StepContext(State& state, int step) {
  if (state.from_input) {
    return;
  }
  state.context = std::max(0, state.context + step);
  try {
    Refresh(state);
  } catch (const SpawnError& error) {
    state.git_status = kGitNotStarted;
    state.git_error = std::string("cannot run git: ") + error.what();
  }
}

std::string HeaderNote(const State& state) {
  std::string note = state.diff.loading ? "loading\u2026" : state.stopped;
  if (state.from_input) {
    note += std::string(note.empty() ? "" : "  ") +
            "standard input: the context cannot change";
  }
  return note;
}

Component BuildScreen(State& state, std::function<void()> exit) {
  using namespace ftxui;

  state.leave = exit;
  auto less_context = [&state] { StepContext(state, -1); };
  auto more_context = [&state] { StepContext(state, 1); };

  Component difference_view = Renderer([&state] {
    const int32_t index = SelectedIndex(state);
    if (index >= 0) {
      return RenderDifference(state.diff.files[index], state.split,
                              Options(state, index));
    }
    if (state.diff.loading) {
      return text("loading\u2026");
    }
    return state.git_status != 0 ? FailureText(state)
                                 : text("No difference...");
  });
  std::shared_ptr<ScrollerBase> difference_scroller =
      MakeScroller(difference_view, &state.diff.view);
  // Another file is shown from its start.
  auto file_changed = [&state, difference_scroller] {
    difference_scroller->SelectAtTop(0);
    state.diff.view.column = 0;
  };
  state.file_changed = file_changed;
  state.to_file_end = [difference_scroller] {
    difference_scroller->OnEvent(Event::End);
  };

  ListOption file_list_option;
  file_list_option.scroll_indicator = false;
  file_list_option.on_change = file_changed;
  file_list_option.highlight = [&state] {
    return state.diff.view.highlight.get();
  };
  Component file_menu =
      List(&state.diff.names, &state.selected_file, file_list_option);

  Component files_pane = Renderer(file_menu, [&state, file_menu,
                                              difference_scroller] {
    if (state.from_input) {
      // The list shows no more rows than the terminal has.
      ReadAsShown(
          state.diff, state.reading,
          {.last_listed = state.selected_file + ftxui::Terminal::Size().dimy,
           .pane_file = SelectedIndex(state),
           .file_end_shown =
               difference_scroller->top() + 2 * difference_scroller->rows() >=
               difference_scroller->content_height()});
    }
    Elements rows = {PaneTitle(" Files ", file_menu->Focused()), separator(),
                     file_menu->Render()};
    if (!state.stopped.empty()) {
      rows.push_back(paragraph(state.stopped) | color(Color::Red));
    }
    return vbox(std::move(rows));
  });
  Component difference_pane =
      Renderer(difference_scroller, [&state, difference_scroller] {
        const File* file = FileAt(state.diff, SelectedIndex(state));
        return vbox({
                   PaneTitle(" Difference ", difference_scroller->Focused()),
                   separator(),
                   file == nullptr ? text("") : NameRowElement(*file),
                   separator(),
                   difference_scroller->Render(),
               }) |
               flex;
      });
  // The file list leaves the difference most of a narrow screen.
  PaneRowParts panes = PaneRow(
      {{files_pane,
        {.share = 0.25, .least = 30, .most = 50, .most_share = 1.0 / 3}},
       {difference_pane}});
  Component body = panes.component;

  // The difference pane over the files, from the one shown now.
  auto pane_files = [&state, difference_scroller, file_changed] {
    return PaneFiles{state.diff, state.split, SelectedIndex(state),
                     *difference_scroller, [&state, file_changed](int index) {
                       state.selected_file = index;
                       file_changed();
                     }};
  };
  auto to_hunk = [pane_files](const Event& event) {
    return JumpToHunkInFiles(pane_files(), event == Event::Character(']'));
  };
  auto to_file = [&state, file_changed](const Event& event) {
    const bool forward = event == Event::Character('}');
    const int32_t next = StepEntry(state.diff, SelectedIndex(state), forward);
    if (next < 0) {
      const std::string what = state.diff.grouped ? " commit" : " file";
      return (forward ? "Last" : "First") + what;
    }
    state.selected_file = next;
    file_changed();
    return std::string();
  };

  ScreenFrameOptions options;
  options.name = "diff";
  options.title = Title(state);
  options.controls = DiffHeaderControls({
      .split = &state.split,
      .split_chosen = &state.split_chosen,
      // Text read from standard input cannot be read again another way.
      .ignore_whitespace =
          state.from_input ? nullptr : &state.ignore_whitespace,
      .context = state.from_input ? nullptr : &state.context,
      .whitespace_changed = [&state] { StepContext(state, 0); },
      .less_context = less_context,
      .more_context = more_context,
  });
  options.exit = exit;
  options.status = [&state] { return HeaderNote(state); };
  options.view = &state.diff.view;
  auto list_search = ListSearch(
      state.selected_file,
      [&state] { return static_cast<int>(state.diff.names.size()); },
      [&state](int i) { return state.diff.names[i]; }, file_changed);
  options.panes = {
      {file_menu,
       [&state, list_search, file_changed](const Finder& finder, bool forward) {
         if (!forward || !state.from_input || !state.diff.loading) {
           return list_search(finder, forward);
         }
         // A match ahead may be in the text not read yet.
         const int from = state.selected_file + 1;
         if (const int found = NextMatch(state.diff, finder, from);
             found >= 0) {
           state.selected_file = found;
           file_changed();
           return SearchResult::kFound;
         }
         StartReading(state.reading, ReadingGoal::kMatch, &finder,
                      static_cast<int>(state.diff.names.size()));
         return SearchResult::kReadingOn;
       }},
      {difference_scroller,
       [pane_files](const Finder& finder, bool forward) {
         return SearchFiles(pane_files(), finder, forward);
       },
       kDifferencePane},
  };
  options.keys = {
      HunkKeys(to_hunk),
      {{Event::Character('}'), Event::Character('{')},
       {},
       "} {",
       "Files",
       state.from_input ? "next / previous file; commit, in a text of commits"
                        : "next / previous file",
       to_file,
       "}/{ file"},
  };
  options.keys.insert(options.keys.end(), panes.keys.begin(), panes.keys.end());

  if (state.from_input) {
    options.progress = [&state] {
      return ReadingNote(state.diff, state.reading);
    };
    options.first_keys = ReadingKeys(state, file_menu, difference_scroller);
  }

  Component root = TerminalCells(ScreenFrame(body, std::move(options)));
  if (state.from_input) {
    // What the last reading on came to is told until the next key.
    root |= CatchEvent([&state](const Event& event) {
      if (!event.is_mouse() && event != Event::Custom) {
        state.reading.outcome.clear();
      }
      return false;
    });
  }
  file_menu->TakeFocus();
  return root;
}

namespace {

// What a diff without a file ends with: git's error and status, or the
// message.
int ReportEmpty(const State& state) {
  if (state.git_status != 0) {
    std::cerr << state.git_error << std::flush;
    return state.git_status;
  }
  std::cout << "No difference..." << std::endl;
  return 0;
}

// The screen over what the load has brought by now; none for a diff that
// has ended without a file.
int ShowDiff(State& state, KeySource keys) {
  if (state.diff.files.empty() && !state.diff.loading) {
    return ReportEmpty(state);
  }
  state.leaves_when_empty = state.diff.files.empty();
  const int status = RunScreen(
      "diff",
      [&state](std::function<void()> exit) {
        return BuildScreen(state, std::move(exit));
      },
      keys);
  if (status == 0 && state.leaves_when_empty && !state.diff.loading) {
    return ReportEmpty(state);
  }
  return status;
}

}  // namespace

int Main(int argc, const char** argv) {
  const auto start = DiffFeed::Clock::now();
  State state;
  state.arguments.assign(argv, argv + argc);
  state.post = PostToScreen;
  try {
    if (AsksForAnotherFormat(state.arguments)) {
      return GitInherited(FormatFallbackCommandLine(state.arguments));
    }
    // The first screen shows as soon as it is read, not when git ends.
    StartDiff(state);
  } catch (const SpawnError& error) {
    return ReportGitNotStarted(error);
  }
  ChooseDiffColours();
  WaitForFirstScreen(state, start);
  return ShowDiff(state, KeysForScreen());
}

int MainOnInput(std::string head, int fd) {
  const auto start = DiffFeed::Clock::now();
  State state;
  state.from_input = true;
  state.post = PostToScreen;
  try {
    // The feed owns the descriptor from here on, and closes it.
    StartLoad(state.diff,
              ReadDiffText(std::move(head), fd,
                           NextLoadWake(state.diff, state.post,
                                        [&state] { TakeLoaded(state); })));
  } catch (const SpawnError& error) {
    std::cerr << "plimsy: " << error.what() << std::endl;
    return 1;
  }
  ChooseDiffColours();
  WaitForFirstScreen(state, start);
  return ShowDiff(state, KeySource::kControllingTerminal);
}

}  // namespace plimsy::diff
