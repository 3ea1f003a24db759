#include "diff/positions.h"

#include <algorithm>
#include <utility>

#include "diff/pairing.h"

namespace plimsy {

DrawnFile::DrawnFile(const File& file, bool split, const RenderOptions& options)
    : file_(file), split_(split), cache_(options.cache) {
  // Wrapped rows are known only at the widths of the last frame, as the
  // drawing itself has them.
  std::pair<int, int> widths{0, 0};
  if (options.view != nullptr && options.view->wrap && cache_ != nullptr) {
    const RenderCache::Parts& parts = cache_->parts();
    widths = {parts.old_text_width, parts.new_text_width};
  }
  if (widths != std::pair<int, int>{0, 0}) {
    wrapped_ = KeptWrap(file_, split_, widths, cache_);
  }
  if (cache_ != nullptr) {
    tops_ = cache_->parts().tops;
  }
  if (tops_ == nullptr || tops_->split != split_ ||
      tops_->wrap != (wrapped_ != nullptr) || tops_->widths != widths) {
    tops_ = MeasureHunkTops(file_, split_, wrapped_.get(), widths,
                            options.split_rows);
  }
}

std::optional<int64_t> DrawnFile::NextHunk(int64_t row) const {
  const std::vector<int64_t>& tops = tops_->tops;
  const auto end = tops.end() - 1;
  const auto next = std::upper_bound(tops.begin(), end, row);
  if (next == end) {
    return std::nullopt;
  }
  return *next;
}

std::optional<int64_t> DrawnFile::PreviousHunk(int64_t row) const {
  const std::vector<int64_t>& tops = tops_->tops;
  const auto end = tops.end() - 1;
  const auto next = std::lower_bound(tops.begin(), end, row);
  if (next == tops.begin()) {
    return std::nullopt;
  }
  return *(next - 1);
}

DrawnFile::Position DrawnFile::PositionOf(int64_t row) const {
  const std::vector<int64_t>& tops = tops_->tops;
  const size_t hunks = file_.hunks.size();
  Position position;
  const auto after = std::upper_bound(tops.begin(), tops.begin() + hunks, row);
  position.hunk =
      after == tops.begin() ? 0 : static_cast<size_t>(after - tops.begin()) - 1;
  const int64_t below = row - tops[position.hunk] - 1;
  if (below < 0) {
    return position;
  }
  if (wrapped_ != nullptr) {
    const std::vector<int64_t>& ends = wrapped_->ends[position.hunk];
    position.entry =
        std::upper_bound(ends.begin(), ends.end(), below) - ends.begin();
  } else {
    position.entry = below;
  }
  position.entry = std::min(position.entry, EntriesOf(position.hunk) - 1);
  return position;
}

int64_t DrawnFile::RowOf(size_t hunk, int64_t entry) const {
  int64_t below = entry;
  if (wrapped_ != nullptr) {
    below = entry == 0 ? 0 : wrapped_->ends[hunk][entry - 1];
  }
  return tops_->tops[hunk] + 1 + below;
}

int64_t DrawnFile::EntriesOf(size_t hunk) const {
  if (wrapped_ != nullptr) {
    return static_cast<int64_t>(wrapped_->ends[hunk].size());
  }
  return tops_->tops[hunk + 1] - tops_->tops[hunk] - 1;
}

std::optional<DrawnFile::Match> DrawnFile::FindIn(const Finder& finder,
                                                  size_t hunk,
                                                  int64_t from,
                                                  int64_t to,
                                                  bool forward) const {
  from = std::max<int64_t>(from, 0);
  if (from >= to) {
    return std::nullopt;
  }
  const Hunk& lines = file_.hunks[hunk];
  Entries entries(lines, split_, BlocksOf(lines, cache_));
  entries.Seek(from);
  Entry entry;
  std::optional<Match> found;
  for (int64_t index = from; index < to && entries.Next(entry); ++index) {
    const Line* line = nullptr;
    if (entry.old_line != nullptr && finder.Matches(entry.old_line->text())) {
      line = entry.old_line;
    } else if (entry.new_line != nullptr && entry.new_line != entry.old_line &&
               finder.Matches(entry.new_line->text())) {
      line = entry.new_line;
    }
    if (line != nullptr) {
      found = Match{RowOf(hunk, index), false, line,
                    split_ && line->kind == LineKind::kAdded};
      if (forward) {
        break;
      }
    }
  }
  return found;
}

std::optional<DrawnFile::Match> DrawnFile::Find(const Finder& finder,
                                                int64_t row,
                                                bool forward) const {
  const size_t hunks = file_.hunks.size();
  if (hunks == 0) {
    return std::nullopt;
  }
  const Position start = PositionOf(row);
  // Every hunk once from the one after the start, then the start's hunk:
  // its entries beyond the start first, those before it (and the start
  // itself) once the search has gone round.
  for (size_t step = 0; step <= hunks; ++step) {
    const size_t hunk = forward ? (start.hunk + step) % hunks
                                : (start.hunk + hunks - step % hunks) % hunks;
    int64_t from = 0;
    int64_t to = EntriesOf(hunk);
    if (step == 0) {
      if (forward) {
        from = start.entry + 1;
      } else {
        to = start.entry;
      }
    } else if (step == hunks) {
      if (forward) {
        to = start.entry + 1;
      } else {
        from = start.entry;
      }
    }
    if (std::optional<Match> match = FindIn(finder, hunk, from, to, forward)) {
      match->wrapped =
          step == hunks || (forward ? hunk < start.hunk : hunk > start.hunk);
      return match;
    }
  }
  return std::nullopt;
}

std::optional<DrawnFile::Match> DrawnFile::FindFirst(const Finder& finder,
                                                     bool forward) const {
  const size_t hunks = file_.hunks.size();
  for (size_t step = 0; step < hunks; ++step) {
    const size_t hunk = forward ? step : hunks - 1 - step;
    if (std::optional<Match> match =
            FindIn(finder, hunk, 0, EntriesOf(hunk), forward)) {
      return match;
    }
  }
  return std::nullopt;
}

}  // namespace plimsy
