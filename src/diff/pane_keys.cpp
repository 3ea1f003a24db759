#include "diff/pane_keys.h"

#include <cstdint>
#include <utility>

namespace plimsy {

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

SearchResult SearchFile(const std::optional<DrawnFile>& file,
                        ftxui::ScrollerBase& scroller,
                        const Finder& finder,
                        bool forward) {
  if (!file) {
    return SearchResult::kNothing;
  }
  const std::optional<DrawnFile::Match> match =
      file->Find(finder, scroller.selected(), forward);
  if (!match) {
    return SearchResult::kNotFound;
  }
  scroller.Select(static_cast<int>(match->row));
  return match->wrapped ? SearchResult::kWrapped : SearchResult::kFound;
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
