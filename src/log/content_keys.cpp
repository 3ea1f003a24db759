#include "log/content_keys.h"

#include <ftxui/component/component.hpp>
#include <ftxui/component/event.hpp>

#include "log/state.h"

namespace plimsy::log {
namespace {

using ftxui::Event;

// Selects the next or previous commit; false when there is none.
bool StepCommit(State& state, bool forward) {
  const int next = state.selected_commit + (forward ? 1 : -1);
  if (next < 0 || next >= static_cast<int>(state.commits.size())) {
    return false;
  }
  state.selected_commit = next;
  if (state.commit_changed) {
    state.commit_changed();
  }
  return true;
}

}  // namespace

void ShowFileAsked(State& state) {
  if (state.file_to_show == FileToShow::kNone) {
    return;
  }
  const int files = static_cast<int>(state.diff.files.size());
  const bool first = state.file_to_show == FileToShow::kFirst && files > 0;
  if (!first && (state.diff.loading || state.diff_pending)) {
    return;
  }
  state.file_to_show = FileToShow::kNone;
  // Entry 0 of the file list is the description.
  const int selected = first ? 1 : files;
  if (selected != state.selected_file) {
    state.selected_file = selected;
    if (state.file_changed) {
      state.file_changed();
    }
  }
}

std::string StepThrough(State& state, bool forward, bool in_content) {
  const std::string edge = forward ? "Last commit" : "First commit";
  // A step whose file has not come yet goes on by file.
  if (!in_content ||
      (state.selected_file <= 0 && state.file_to_show == FileToShow::kNone)) {
    return StepCommit(state, forward) ? std::string() : edge;
  }
  const int next = state.selected_file + (forward ? 1 : -1);
  if (next >= 1 && next <= static_cast<int>(state.diff.files.size())) {
    state.selected_file = next;
    if (state.file_changed) {
      state.file_changed();
    }
    return std::string();
  }
  if (forward && state.diff.loading) {
    return "The next file is still being read";
  }
  if (!StepCommit(state, forward)) {
    return edge;
  }
  state.file_to_show = forward ? FileToShow::kFirst : FileToShow::kLast;
  ShowFileAsked(state);
  return std::string();
}

std::vector<KeyBinding> EnterKeys(State& state,
                                  ftxui::Component commit_menu,
                                  ftxui::Component file_menu,
                                  ftxui::Component content) {
  return {
      {{},
       [commit_menu](const Event& event) {
         return event == Event::Return && commit_menu->Focused();
       },
       "Enter",
       "Commits",
       "read the commit's files in the content pane",
       [&state, content](const Event&) {
         content->TakeFocus();
         state.file_to_show = FileToShow::kFirst;
         ShowFileAsked(state);
         return std::string();
       },
       "Enter read"},
      {{},
       [file_menu](const Event& event) {
         return event == Event::Return && file_menu->Focused();
       },
       "Enter",
       "Files",
       "show the file in the content pane",
       [content](const Event&) {
         content->TakeFocus();
         return std::string();
       },
       ""},
  };
}

}  // namespace plimsy::log
