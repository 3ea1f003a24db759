#include "log/screen.h"

#include <string>
#include <utility>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/component_options.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/screen_interactive.hpp>

#include "diff/file_labels.h"
#include "diff/render.h"
#include "git.h"
#include "log/panels.h"
#include "process.h"
#include "terminal.h"
#include "ui/list.h"
#include "ui/scroller.h"
#include "ui/simple_button.h"
#include "ui/terminal_cells.h"

namespace plimsy::log {
namespace {

void Reload(State& state) {
  SkipIfGitCannotStart([&state] { refresh(state); });
}

void on_commit_change(State& state) {
  Reload(state);
  state.selected_file = 0;
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

}  // namespace

void Start(State& state) {
  state.pending.push_back(HeadHash());
  load_more(state.pending, state.selected_commit, state.commits, state.titles);
  refresh(state);
}

void refresh(State& state) {
  if (static_cast<unsigned>(state.selected_commit) >= state.commits.size()) {
    return;
  }
  state.files.clear();
  state.file_names = {"description"};
  state.split_rows.clear();
  state.render_caches.clear();
  const std::string& hash = state.commits[state.selected_commit]->hash;
  state.files = ParseDiff(GitOutput(
      {"diff", "-U" + std::to_string(state.context), hash + "~..." + hash}));
  for (const File& file : state.files) {
    state.file_names.push_back(FileEntry(file));
    state.split_rows.push_back(SplitRowCounts(file));
  }
  state.render_caches.resize(state.files.size());
}

ftxui::Component BuildScreen(State& state, std::function<void()> exit) {
  using ftxui::Component;
  using ftxui::Event;

  ftxui::ButtonOption button_option = SimpleButtonOption();
  Component split_checkbox =
      ftxui::Checkbox("[S]plit", &state.split, ftxui::CheckboxOption::Simple());
  Component minus_button = ftxui::Button(
      "[-1]", [&state] { decrease_context(state); }, button_option);
  Component plus_button = ftxui::Button(
      "[+1]", [&state] { increase_context(state); }, button_option);
  Component quit_button = ftxui::Button("[Q]uit", exit, button_option);
  Component toolbar = ftxui::Container::Horizontal(
      {split_checkbox, minus_button, plus_button, quit_button});
  Component header = ftxui::Renderer(
      toolbar, HeaderRenderer(split_checkbox, minus_button, state.context,
                              plus_button, quit_button));

  ListOption commit_option;
  commit_option.on_change = [&state] { on_commit_change(state); };
  commit_option.dim = false;
  Component commit_menu =
      List(&state.titles, &state.selected_commit, commit_option);
  Component commits_pane =
      ftxui::Renderer(commit_menu, CommitPaneRenderer(commit_menu));

  Component file_menu = List(&state.file_names, &state.selected_file);
  Component files_pane =
      ftxui::Renderer(file_menu, FilesPaneRenderer(file_menu));

  Component content_view = ftxui::Renderer(ContentRenderer(
      state.selected_file, state.files, state.split_rows, state.render_caches,
      state.view, state.split, state.commits, state.selected_commit));
  Component content_scroller = ftxui::Scroller(content_view, &state.view);
  Component content_pane =
      ftxui::Renderer(content_scroller, ContentPaneRenderer(content_scroller));

  Component inner_panes =
      ftxui::ResizableSplitLeft(files_pane, content_pane, &state.files_width);
  Component panes = ftxui::ResizableSplitLeft(commits_pane, inner_panes,
                                              &state.commits_width);
  Component body = ftxui::Renderer(panes, BodyRenderer(panes));

  Component layout = TerminalCells(ftxui::Container::Vertical({header, body}));
  Component root = ftxui::CatchEvent(layout, [&state, exit](Event event) {
    // The walk sees the selection as it was before the event moves it. A
    // git that cannot be started leaves the rest pending for the next event.
    SkipIfGitCannotStart([&state] {
      load_more(state.pending, state.selected_commit, state.commits,
                state.titles);
    });
    if (event == Event::Character('s')) {
      state.split = !state.split;
      return true;
    }
    if (event == Event::Character('-')) {
      decrease_context(state);
      return true;
    }
    if (event == Event::Character('+')) {
      increase_context(state);
      return true;
    }
    if (event == Event::Character('q') || event == Event::Escape) {
      exit();
      return true;
    }
    return false;
  });
  commits_pane->TakeFocus();
  return root;
}

int main(int, const char**) {
  State state;
  try {
    Start(state);
  } catch (const subprocess::SpawnError& error) {
    return ReportGitNotStarted(error);
  }
  return RunScreen("log", [&state](std::function<void()> exit) {
    return BuildScreen(state, std::move(exit));
  });
}

}  // namespace plimsy::log
