#include "whole_file_render.h"

#include <utility>

#include "diff/pairing.h"
#include "diff/row_elements.h"

namespace plimsy::testing {

namespace {

using ftxui::Element;
using ftxui::Elements;

Element RenderHunk(const Hunk& hunk, bool split, const FileLook& look) {
  Elements rows = {HeaderRow(hunk)};
  Entries entries(hunk, split);
  Entry entry;
  while (entries.Next(entry)) {
    rows.push_back(split ? SplitRow(entry, look) : JoinedRow(entry, look));
  }
  return ftxui::vbox(std::move(rows));
}

}  // namespace

Element RenderWholeFile(const File& file, bool split, const FileLook& look) {
  Elements hunks;
  for (const Hunk& hunk : file.hunks) {
    hunks.push_back(RenderHunk(hunk, split, look));
  }
  return ftxui::vbox(std::move(hunks));
}

}  // namespace plimsy::testing
