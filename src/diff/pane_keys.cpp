#include "diff/pane_keys.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>

#include "diff/file_look.h"
#include "diff/render.h"
#include "diff/row_elements.h"
#include "diff/text_layout.h"

namespace plimsy {

namespace {

// File `index` as the pane draws it. A file not shown has not been laid out
// at the pane's width yet, which its wrapped rows and the width of its text
// columns depend on: it is laid out at the width the pane had last.
DrawnFile Drawn(const PaneFiles& pane, int index) {
  LoadedDiff& diff = pane.diff;
  const File& file = diff.files[index];
  const RenderOptions options{&diff.split_rows[index],
                              &diff.render_caches[index], &diff.view};
  if (index != pane.shown && diff.view.content_width > 0) {
    const auto [old_width, new_width] =
        TextWidths(LookOf(file, options), pane.split, diff.view.content_width);
    RenderCache::Parts& parts = options.cache->parts();
    parts.old_text_width = old_width;
    parts.new_text_width = new_width;
  }
  return DrawnFile(file, pane.split, options);
}

// The step of the pane's keys that scroll across.
constexpr int64_t kColumnStep = 8;

// Scrolls the text of file `index` across, when not wrapped, so that the
// match shows: a scrolled text gives its first cell to a mark, and a cut
// one its last.
void ScrollToMatch(const PaneFiles& pane,
                   int index,
                   const DrawnFile::Match& match,
                   const Finder& finder) {
  TextView& view = pane.diff.view;
  if (view.wrap || match.line == nullptr) {
    return;
  }
  const RenderCache::Parts& parts = pane.diff.render_caches[index].parts();
  const int64_t width =
      match.new_side ? parts.new_text_width : parts.old_text_width;
  const std::string_view text = match.line->text();
  const size_t at = finder.Find(text);
  if (width <= 0 || at == std::string_view::npos) {
    return;
  }
  const int64_t start = LayOut(text.substr(0, at), 0).columns;
  const int64_t end =
      LayOut(text.substr(0, at + finder.term().size()), 0).columns;
  const int64_t column = view.column;
  if (start >= column + (column > 0 ? 1 : 0) && end <= column + width - 1) {
    return;
  }
  view.column = static_cast<int>(std::max<int64_t>(start - 1, 0) / kColumnStep *
                                 kColumnStep);
}

// The file shown, or -1 when the pane shows none of the diff's files.
int ShownIndex(const PaneFiles& pane) {
  const int count = static_cast<int>(pane.diff.files.size());
  return pane.shown < count ? pane.shown : -1;
}

// Shows file `index` from its start, drawn as `drawn`.
void Show(const PaneFiles& pane, int index, const DrawnFile& drawn) {
  pane.show(index);
  pane.scroller.SetContentHeight(static_cast<int>(
      std::min<int64_t>(drawn.rows(), std::numeric_limits<int>::max())));
}

void Select(const PaneFiles& pane,
            int index,
            const DrawnFile::Match& match,
            const Finder& finder) {
  pane.scroller.Select(static_cast<int>(match.row));
  ScrollToMatch(pane, index, match, finder);
}

}  // namespace

std::string JumpToHunk(const std::optional<DrawnFile>& file,
                       ftxui::ScrollerBase& scroller,
                       bool next) {
  std::optional<int64_t> hunk;
  if (file) {
    const int row = scroller.selected();
    hunk = next ? file->NextHunk(row) : file->PreviousHunk(row);
  }
  if (!hunk) {
    return next ? "No hunk below" : "No hunk above";
  }
  scroller.SelectAtTop(static_cast<int>(*hunk));
  return {};
}

std::string JumpToHunkInFiles(const PaneFiles& pane, bool next) {
  const int shown = ShownIndex(pane);
  if (shown >= 0) {
    std::string told = JumpToHunk(Drawn(pane, shown), pane.scroller, next);
    if (told.empty()) {
      return told;
    }
  }
  const int count = static_cast<int>(pane.diff.files.size());
  const int step = next ? 1 : -1;
  for (int index = shown + step; index >= 0 && index < count; index += step) {
    if (pane.diff.files[index].hunks.empty()) {
      continue;
    }
    const DrawnFile drawn = Drawn(pane, index);
    Show(pane, index, drawn);
    // Shown from its start, a file shows its first hunk first.
    if (!next) {
      const std::optional<int64_t> last =
          drawn.PreviousHunk(std::numeric_limits<int64_t>::max());
      pane.scroller.SelectAtTop(static_cast<int>(last.value_or(0)));
    }
    return {};
  }
  return next ? "No hunk below" : "No hunk above";
}

SearchResult SearchFiles(const PaneFiles& pane,
                         const Finder& finder,
                         bool forward) {
  const int count = static_cast<int>(pane.diff.files.size());
  if (count == 0) {
    return SearchResult::kNothing;
  }
  // A match in the file shown that the search found only by going round it
  // comes after those of every other file.
  const int shown = ShownIndex(pane);
  std::optional<DrawnFile::Match> round;
  if (shown >= 0) {
    round = Drawn(pane, shown).Find(finder, pane.scroller.selected(), forward);
    if (round && !round->wrapped) {
      Select(pane, shown, *round, finder);
      return SearchResult::kFound;
    }
  }
  const int start = shown >= 0 ? shown : forward ? -1 : count;
  const int others = shown >= 0 ? count - 1 : count;
  for (int step = 1; step <= others; ++step) {
    const int unwrapped = forward ? start + step : start - step;
    const int index = (unwrapped % count + count) % count;
    const DrawnFile drawn = Drawn(pane, index);
    if (const std::optional<DrawnFile::Match> match =
            drawn.FindFirst(finder, forward)) {
      Show(pane, index, drawn);
      Select(pane, index, *match, finder);
      return unwrapped == index ? SearchResult::kFound : SearchResult::kWrapped;
    }
  }
  if (round) {
    Select(pane, shown, *round, finder);
    return SearchResult::kWrapped;
  }
  return SearchResult::kNotFound;
}

KeyBinding HunkKeys(std::function<std::string(const ftxui::Event&)> jump) {
  return {{ftxui::Event::Character(']'), ftxui::Event::Character('[')},
          {},
          "] [",
          kDifferencePane,
          "next / previous hunk",
          std::move(jump),
          "]/[ hunk"};
}

}  // namespace plimsy
