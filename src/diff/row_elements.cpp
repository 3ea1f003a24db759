#include "diff/row_elements.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <ftxui/dom/node.hpp>
#include <ftxui/screen/box.hpp>

#include "diff/cells.h"
#include "diff/colours.h"
#include "diff/render_cache.h"
#include "diff/text_cell.h"
#include "diff/word_diff.h"

namespace plimsy {

namespace {

using ftxui::Element;

std::string Header(const Hunk& hunk) {
  if (!hunk.header.empty()) {
    return hunk.header;
  }
  return "@@ -" + std::to_string(hunk.old_start) + " +" +
         std::to_string(hunk.new_start) + " @@";
}

std::shared_ptr<const std::vector<ByteRange>> Before(
    std::shared_ptr<const WordChanges> words) {
  const std::vector<ByteRange>* before = &words->before;
  return {std::move(words), before};
}

std::shared_ptr<const std::vector<ByteRange>> After(
    std::shared_ptr<const WordChanges> words) {
  const std::vector<ByteRange>* after = &words->after;
  return {std::move(words), after};
}

// The number, sign and text cells of one side of a row.
struct Side {
  Element number;
  Element sign;
  Element text;
};

// Git's marker, scrolled and wrapped as the texts are but never marked as
// a match: searches look at lines only.
Element MarkerText(const FileLook& look) {
  TextOptions options = look.text;
  options.highlight = nullptr;
  return TextCell(kNoNewlineText, DimStyle(), nullptr, options);
}

Side MakeSide(const Line* line,
              bool marker,
              int64_t number,
              int width,
              std::shared_ptr<const std::vector<ByteRange>> changed,
              const FileLook& look) {
  if (marker) {
    return {BlankCell(width), MarkerSignCell(), MarkerText(look)};
  }
  if (line == nullptr) {
    return {PlaceholderCell(width), EmptySignCell(),
            TextCell("", StyleOf(LineKind::kContext), nullptr, look.text)};
  }
  return {NumberCell(number, width), SignCell(line->kind),
          TextCell(line->text(), StyleOf(line->kind), std::move(changed),
                   look.text)};
}

}  // namespace

Element HeaderRow(const Hunk& hunk) {
  return HeaderCell(Header(hunk));
}

Element JoinedRow(const Entry& entry, const FileLook& look) {
  if (entry.old_marker || entry.new_marker) {
    return ftxui::hbox({BlankCell(look.old_width), RuleCell(),
                        BlankCell(look.new_width), RuleCell(), MarkerSignCell(),
                        MarkerText(look)});
  }
  const Line& line =
      entry.old_line != nullptr ? *entry.old_line : *entry.new_line;
  std::shared_ptr<const std::vector<ByteRange>> changed;
  if (entry.partner != nullptr) {
    if (line.kind == LineKind::kDeleted) {
      changed = Before(WordsOf(line, *entry.partner, look.cache));
    } else {
      changed = After(WordsOf(*entry.partner, line, look.cache));
    }
  }
  return ftxui::hbox({
      entry.old_line != nullptr ? NumberCell(entry.old_number, look.old_width)
                                : PlaceholderCell(look.old_width),
      RuleCell(),
      entry.new_line != nullptr ? NumberCell(entry.new_number, look.new_width)
                                : PlaceholderCell(look.new_width),
      RuleCell(),
      SignCell(line.kind),
      TextCell(line.text(), StyleOf(line.kind), std::move(changed), look.text),
  });
}

Element SplitRow(const Entry& entry, const FileLook& look) {
  std::shared_ptr<const std::vector<ByteRange>> old_changed;
  std::shared_ptr<const std::vector<ByteRange>> new_changed;
  if (entry.old_line != nullptr && entry.new_line != nullptr &&
      entry.old_line->kind == LineKind::kDeleted &&
      entry.new_line->kind == LineKind::kAdded) {
    std::shared_ptr<const WordChanges> words =
        WordsOf(*entry.old_line, *entry.new_line, look.cache);
    old_changed = Before(words);
    new_changed = After(words);
  }
  Side old_side = MakeSide(entry.old_line, entry.old_marker, entry.old_number,
                           look.old_width, std::move(old_changed), look);
  Side new_side = MakeSide(entry.new_line, entry.new_marker, entry.new_number,
                           look.new_width, std::move(new_changed), look);
  return ftxui::hbox({
      std::move(old_side.number),
      RuleCell(),
      std::move(old_side.sign),
      std::move(old_side.text),
      RuleCell(),
      std::move(new_side.number),
      RuleCell(),
      std::move(new_side.sign),
      std::move(new_side.text),
  });
}

std::pair<int, int> TextWidths(const FileLook& look, bool split, int width) {
  using ftxui::EQUAL;
  using ftxui::WIDTH;
  ftxui::Box old_text;
  ftxui::Box new_text;
  const auto fixed = [](int cells) {
    return ftxui::text("") | ftxui::size(WIDTH, EQUAL, cells);
  };
  // The box the text cell itself gets, which its size decorator keeps
  // within a little over 800 cells.
  const auto text = [](ftxui::Box& box) {
    return ftxui::text("") | ftxui::reflect(box) |
           ftxui::size(WIDTH, EQUAL, 800) | ftxui::xflex;
  };
  Element row;
  if (split) {
    row = ftxui::hbox({fixed(look.old_width), RuleCell(), fixed(1),
                       text(old_text), RuleCell(), fixed(look.new_width),
                       RuleCell(), fixed(1), text(new_text)});
  } else {
    row = ftxui::hbox({fixed(look.old_width), RuleCell(), fixed(look.new_width),
                       RuleCell(), fixed(1), text(old_text)});
  }
  row->ComputeRequirement();
  row->SetBox({0, width - 1, 0, 0});
  const auto cells = [](const ftxui::Box& box) {
    return std::max(box.x_max - box.x_min + 1, 0);
  };
  return {cells(old_text), split ? cells(new_text) : 0};
}

}  // namespace plimsy
