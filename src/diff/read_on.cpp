#include "diff/read_on.h"

#include <algorithm>
#include <limits>

#include "ui/display_text.h"

namespace plimsy::diff {

void ReadAsShown(LoadedDiff& diff, const Reading& reading, Shown shown) {
  if (diff.load == nullptr) {
    return;
  }
  if (reading.goal != ReadingGoal::kNone) {
    diff.load->ReadUpTo(std::numeric_limits<std::size_t>::max());
    return;
  }
  std::size_t end = 0;
  const int files = static_cast<int>(diff.ends.size());
  if (files > 0) {
    end = diff.ends[std::clamp(shown.last_listed, 0, files - 1)];
    if (shown.file_end_shown && shown.pane_file >= 0 &&
        shown.pane_file < files) {
      end = std::max(end, diff.ends[shown.pane_file]);
    }
  }
  diff.load->ReadUpTo(end + kReadAhead);
}

void StartReading(Reading& reading,
                  ReadingGoal goal,
                  const Finder* finder,
                  int from) {
  reading.goal = goal;
  reading.finder =
      finder == nullptr ? nullptr : std::make_shared<const Finder>(*finder);
  reading.searched = from;
  reading.outcome.clear();
}

void StopReading(LoadedDiff& diff, Reading& reading) {
  reading.goal = ReadingGoal::kNone;
  reading.finder.reset();
  reading.outcome = "Stopped reading";
  if (diff.load != nullptr) {
    diff.load->ReadUpTo(diff.load->bytes_read());
  }
}

std::string ReadingNote(LoadedDiff& diff, const Reading& reading) {
  if (reading.goal == ReadingGoal::kNone || diff.load == nullptr) {
    return reading.outcome;
  }
  const std::size_t mib = diff.load->bytes_read() >> 20;
  std::string note = reading.goal == ReadingGoal::kMatch
                         ? "Searching on for " +
                               DisplayText(reading.finder->term()) + "\u2026 "
                         : std::string("Reading on\u2026 ");
  return note + std::to_string(mib) + " MiB read, " +
         std::to_string(diff.files.size()) + " files; Esc stops";
}

int NextMatch(const LoadedDiff& diff, const Finder& finder, int from) {
  const int count = static_cast<int>(diff.names.size());
  for (int i = std::max(from, 0); i < count; ++i) {
    if (finder.Matches(diff.names[i])) {
      return i;
    }
  }
  return -1;
}

}  // namespace plimsy::diff
