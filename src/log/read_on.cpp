#include "log/read_on.h"

#include <algorithm>

#include <ftxui/component/component.hpp>
#include <ftxui/component/event.hpp>

#include "log/list_position.h"
#include "log/screen.h"
#include "log/state.h"
#include "ui/display_text.h"
#include "ui/stop_key.h"

namespace plimsy::log {
namespace {

bool WalkGoesOn(const State& state) {
  return state.walk != nullptr && !state.walk_ended;
}

// The first commit from `from` towards `to`, which it stops short of, that
// `search` matches; -1 when none does.
int FindCommit(const State& state,
               const CommitSearch& search,
               int from,
               int to) {
  const int step = from <= to ? 1 : -1;
  for (int i = from; i != to; i += step) {
    if (CommitMatches(search, *state.commits[i], state.rows[i])) {
      return i;
    }
  }
  return -1;
}

void Select(State& state, int index) {
  if (index == state.selected_commit) {
    return;
  }
  state.selected_commit = index;
  if (state.commit_changed) {
    state.commit_changed();
  }
}

// Searches the whole list from the other end round to the selection.
SearchResult SearchRound(State& state,
                         const CommitSearch& search,
                         bool forward) {
  const int count = static_cast<int>(state.rows.size());
  const int selected = std::clamp(state.selected_commit, 0, count - 1);
  const int found = forward
                        ? FindCommit(state, search, 0, selected + 1)
                        : FindCommit(state, search, count - 1, selected - 1);
  if (found < 0) {
    return SearchResult::kNotFound;
  }
  Select(state, found);
  return SearchResult::kWrapped;
}

// Lets the walk go on to its end; without a loop, waits for it.
void ReadOn(State& state) {
  state.walk->Want(WalkFeed::kAll);
  if (!state.post) {
    state.walk->WaitForEnd();
    TakeCommits(state);
  }
}

}  // namespace

SearchResult SearchCommits(State& state, const Finder& typed, bool forward) {
  const int count = static_cast<int>(state.rows.size());
  if (count == 0) {
    return SearchResult::kNothing;
  }
  auto search = std::make_shared<const CommitSearch>(ReadCommitSearch(typed));
  const int selected = std::clamp(state.selected_commit, 0, count - 1);
  const int found = forward ? FindCommit(state, *search, selected + 1, count)
                            : FindCommit(state, *search, selected - 1, -1);
  if (found >= 0) {
    Select(state, found);
    return SearchResult::kFound;
  }
  if (!WalkGoesOn(state)) {
    return SearchRound(state, *search, forward);
  }
  state.reading = {ReadingGoal::kMatch,
                   std::make_shared<const Finder>(typed),
                   std::move(search),
                   forward,
                   count,
                   ""};
  ReadOn(state);
  return SearchResult::kReadingOn;
}

void ReadToEnd(State& state) {
  if (WalkGoesOn(state)) {
    state.reading = Reading();
    state.reading.goal = ReadingGoal::kEnd;
    ReadOn(state);
    return;
  }
  if (!state.rows.empty()) {
    Select(state, static_cast<int>(state.rows.size()) - 1);
  }
}

void AdvanceReading(State& state) {
  Reading& reading = state.reading;
  const int count = static_cast<int>(state.rows.size());
  if (reading.goal == ReadingGoal::kNone) {
    return;
  }
  if (reading.goal == ReadingGoal::kEnd) {
    if (!WalkGoesOn(state)) {
      reading.goal = ReadingGoal::kNone;
      if (count > 0) {
        Select(state, count - 1);
      }
    }
    return;
  }
  if (reading.forward) {
    if (const int found =
            FindCommit(state, *reading.search, reading.searched, count);
        found >= 0) {
      reading.goal = ReadingGoal::kNone;
      Select(state, found);
      return;
    }
    // The last commit may yet be taken again, whole.
    reading.searched = std::max(count - 1, 0);
  }
  if (!WalkGoesOn(state)) {
    reading.goal = ReadingGoal::kNone;
    reading.outcome =
        SearchNotice(SearchRound(state, *reading.search, reading.forward),
                     reading.forward, *reading.typed);
  }
}

void StopReading(State& state) {
  state.reading.goal = ReadingGoal::kNone;
  state.reading.outcome = "Stopped reading";
  if (state.walk != nullptr) {
    state.walk->WantNoMore();
  }
}

std::vector<KeyBinding> ReadingKeys(State& state,
                                    ftxui::Component commit_menu) {
  using ftxui::Event;
  return {
      {{},
       [&state, commit_menu](const Event& event) {
         return event == Event::Character('G') && commit_menu->Focused() &&
                WalkGoesOn(state);
       },
       "G",
       "Commits",
       "read on to the history's last commit",
       [&state](const Event&) {
         ReadToEnd(state);
         return std::string();
       },
       ""},
      StopReadingKey(
          "Commits",
          [&state] { return state.reading.goal != ReadingGoal::kNone; },
          [&state] { StopReading(state); }),
  };
}

std::string ReadingNote(const State& state) {
  const Reading& reading = state.reading;
  if (reading.goal == ReadingGoal::kNone) {
    return reading.outcome;
  }
  const std::string note =
      reading.goal == ReadingGoal::kMatch
          ? "Searching on for " + DisplayText(reading.typed->term()) + "\u2026 "
          : std::string("Reading on to the end\u2026 ");
  return note + Grouped(state.commits.size()) + " commits; Esc stops";
}

}  // namespace plimsy::log
