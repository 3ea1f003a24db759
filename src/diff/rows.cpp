#include "diff/rows.h"

#include <algorithm>
#include <string>

#include <ftxui/dom/node.hpp>
#include <ftxui/screen/box.hpp>

namespace plimsy {

namespace {

using ftxui::Element;

// Width of the decimal text of `number`.
int NumberWidth(int64_t number) {
  int width = number < 0 ? 2 : 1;
  for (int64_t rest = number < 0 ? -number : number; rest >= 10; rest /= 10) {
    ++width;
  }
  return width;
}

// The widest of the numbers `first` .., `count` of them; numbers are widest
// at one end of a run, and "~" takes one cell.
int RunWidth(int64_t first, int64_t count) {
  if (count == 0) {
    return 1;
  }
  return std::max(NumberWidth(first), NumberWidth(first + count - 1));
}

// The width of the column that numbers the lines of every kind but
// `skipped`, if it can be wider than `widest`. Reading lines is what
// measuring costs, so they are counted only then.
int ColumnWidth(const std::vector<Line>& lines,
                int64_t first,
                LineKind skipped,
                int widest) {
  const auto rows = static_cast<int64_t>(lines.size());
  if (RunWidth(first, rows) <= widest) {
    return widest;
  }
  const auto count = std::count_if(
      lines.begin(), lines.end(),
      [skipped](const Line& line) { return line.kind != skipped; });
  return std::max(widest, RunWidth(first, count));
}

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

Side MakeSide(const Line* line,
              int64_t number,
              int width,
              std::shared_ptr<const std::vector<ByteRange>> changed,
              const FileLook& look) {
  if (line == nullptr) {
    return {PlaceholderCell(width), EmptySignCell(),
            TextCell("", StyleOf(LineKind::Context), nullptr, look.text)};
  }
  return {
      NumberCell(number, width), SignCell(line->kind),
      TextCell(line->text, StyleOf(line->kind), std::move(changed), look.text)};
}

}  // namespace

std::vector<Block> Blocks(const Hunk& hunk) {
  const std::vector<Line>& lines = hunk.lines;
  std::vector<Block> blocks;
  Block block;
  block.old_number = hunk.old_start;
  block.new_number = hunk.new_start;
  size_t i = 0;
  while (i < lines.size()) {
    block.first = i;
    block.deleted = 0;
    block.added = 0;
    block.grouped = true;
    const bool context = lines[i].kind == LineKind::Context;
    for (; i < lines.size() && (lines[i].kind == LineKind::Context) == context;
         ++i) {
      if (lines[i].kind == LineKind::Deleted) {
        block.grouped = block.grouped && block.added == 0;
        ++block.deleted;
      } else if (lines[i].kind == LineKind::Added) {
        ++block.added;
      }
    }
    block.lines = i - block.first;
    blocks.push_back(block);
    const auto deleted = static_cast<int64_t>(block.deleted);
    const auto added = static_cast<int64_t>(block.added);
    const auto entries = static_cast<int64_t>(block.lines);
    block.old_number += context ? entries : deleted;
    block.new_number += context ? entries : added;
    block.joined_entry += entries;
    block.split_entry += context ? entries : std::max(deleted, added);
  }
  return blocks;
}

Entries::Entries(const Hunk& hunk, bool split, const std::vector<Block>* blocks)
    : lines_(hunk.lines),
      split_(split),
      blocks_(blocks),
      old_number_(hunk.old_start),
      new_number_(hunk.new_start) {}

size_t Entries::DeletedAt(size_t k) const {
  return run_grouped_ ? run_begin_ + k : deleted_[k];
}

size_t Entries::AddedAt(size_t k) const {
  return run_grouped_ ? run_begin_ + run_deleted_ + k : added_[k];
}

void Entries::EnterRun(size_t first,
                       size_t deleted,
                       size_t added,
                       bool grouped) {
  run_begin_ = first;
  run_deleted_ = deleted;
  run_added_ = added;
  run_grouped_ = grouped;
  deleted_.clear();
  added_.clear();
  if (!grouped) {
    for (size_t i = first; i < first + deleted + added; ++i) {
      (lines_[i].kind == LineKind::Deleted ? deleted_ : added_).push_back(i);
    }
  }
  in_run_ = true;
  run_next_ = 0;
  run_entries_ = split_ ? std::max(deleted, added) : deleted + added;
  deleted_seen_ = 0;
  added_seen_ = 0;
  next_ = first + deleted + added;
}

void Entries::EnterRun() {
  size_t deleted = 0;
  size_t added = 0;
  bool grouped = true;
  for (size_t i = next_;
       i < lines_.size() && lines_[i].kind != LineKind::Context; ++i) {
    if (lines_[i].kind == LineKind::Deleted) {
      grouped = grouped && added == 0;
      ++deleted;
    } else {
      ++added;
    }
  }
  EnterRun(next_, deleted, added, grouped);
}

void Entries::Seek(int64_t index) {
  if (index <= 0) {
    return;
  }
  if (blocks_ != nullptr && !blocks_->empty()) {
    const auto entry_of = [this](const Block& block) {
      return split_ ? block.split_entry : block.joined_entry;
    };
    auto block = std::upper_bound(
        blocks_->begin(), blocks_->end(), index,
        [&](int64_t i, const Block& b) { return i < entry_of(b); });
    --block;
    const int64_t offset = index - entry_of(*block);
    old_number_ = block->old_number;
    new_number_ = block->new_number;
    if (block->deleted + block->added == 0) {
      next_ = block->first + static_cast<size_t>(offset);
      old_number_ += offset;
      new_number_ += offset;
      return;
    }
    EnterRun(block->first, block->deleted, block->added, block->grouped);
    index = offset;
  }
  while (index > 0) {
    if (in_run_) {
      const auto left = static_cast<int64_t>(run_entries_ - run_next_);
      if (index < left) {
        if (split_) {
          run_next_ += static_cast<size_t>(index);
          return;
        }
        // Joined entries within a run are its lines in order.
        if (run_grouped_) {
          run_next_ += static_cast<size_t>(index);
          deleted_seen_ = std::min(run_next_, run_deleted_);
          added_seen_ = run_next_ - deleted_seen_;
          return;
        }
        for (int64_t k = 0; k < index; ++k, ++run_next_) {
          const Line& line = lines_[run_begin_ + run_next_];
          (line.kind == LineKind::Deleted ? deleted_seen_ : added_seen_)++;
        }
        return;
      }
      index -= left;
      old_number_ += static_cast<int64_t>(run_deleted_);
      new_number_ += static_cast<int64_t>(run_added_);
      in_run_ = false;
      continue;
    }
    if (next_ >= lines_.size()) {
      return;
    }
    if (lines_[next_].kind == LineKind::Context) {
      ++next_;
      ++old_number_;
      ++new_number_;
      --index;
      continue;
    }
    // Counts the run without entering it when the entry lies beyond it.
    size_t end = next_;
    int64_t deleted = 0;
    int64_t added = 0;
    for (; end < lines_.size() && lines_[end].kind != LineKind::Context;
         ++end) {
      deleted += lines_[end].kind == LineKind::Deleted;
      added += lines_[end].kind == LineKind::Added;
    }
    const int64_t entries = split_ ? std::max(deleted, added) : deleted + added;
    if (index < entries) {
      EnterRun();
      continue;
    }
    index -= entries;
    old_number_ += deleted;
    new_number_ += added;
    next_ = end;
  }
}

bool Entries::Next(Entry& entry) {
  entry = Entry();
  if (in_run_ && run_next_ == run_entries_) {
    old_number_ += static_cast<int64_t>(run_deleted_);
    new_number_ += static_cast<int64_t>(run_added_);
    in_run_ = false;
  }
  if (!in_run_) {
    if (next_ >= lines_.size()) {
      return false;
    }
    if (lines_[next_].kind == LineKind::Context) {
      entry.old_line = entry.new_line = &lines_[next_];
      entry.old_number = old_number_++;
      entry.new_number = new_number_++;
      ++next_;
      return true;
    }
    EnterRun();
  }
  const size_t k = run_next_++;
  if (split_) {
    if (k < run_deleted_) {
      entry.old_line = &lines_[DeletedAt(k)];
      entry.old_number = old_number_ + static_cast<int64_t>(k);
    }
    if (k < run_added_) {
      entry.new_line = &lines_[AddedAt(k)];
      entry.new_number = new_number_ + static_cast<int64_t>(k);
    }
    return true;
  }
  const Line& line = lines_[run_begin_ + k];
  if (line.kind == LineKind::Deleted) {
    const size_t ordinal = deleted_seen_++;
    entry.old_line = &line;
    entry.old_number = old_number_ + static_cast<int64_t>(ordinal);
    if (ordinal < run_added_) {
      entry.partner = &lines_[AddedAt(ordinal)];
    }
  } else {
    const size_t ordinal = added_seen_++;
    entry.new_line = &line;
    entry.new_number = new_number_ + static_cast<int64_t>(ordinal);
    if (ordinal < run_deleted_) {
      entry.partner = &lines_[DeletedAt(ordinal)];
    }
  }
  return true;
}

const std::vector<Block>* BlocksOf(const Hunk& hunk, RenderCache* cache) {
  // Shorter hunks are read faster than their blocks are looked up.
  constexpr size_t kLongHunk = 1024;
  if (cache == nullptr || hunk.lines.size() < kLongHunk) {
    return nullptr;
  }
  auto& blocks = cache->parts().blocks;
  auto it = blocks.find(&hunk);
  if (it == blocks.end()) {
    it = blocks.emplace(&hunk, Blocks(hunk)).first;
  }
  return &it->second;
}

int64_t EntryCount(const Hunk& hunk, bool split) {
  return split ? SplitRowCount(hunk) : static_cast<int64_t>(hunk.lines.size());
}

// Each run of changed lines between context lines takes as many rows as
// its longer side.
int SplitRowCount(const Hunk& hunk) {
  int rows = 0;
  int run_deleted = 0;
  int run_added = 0;
  // Conditional expressions rather than a switch: faster on kinds that
  // follow no pattern.
  for (const Line& line : hunk.lines) {
    const bool is_context = line.kind == LineKind::Context;
    rows += is_context ? std::max(run_deleted, run_added) + 1 : 0;
    run_deleted =
        is_context ? 0 : run_deleted + (line.kind == LineKind::Deleted);
    run_added = is_context ? 0 : run_added + (line.kind == LineKind::Added);
  }
  return rows + std::max(run_deleted, run_added);
}

std::vector<int> SplitRowCounts(const File& file) {
  std::vector<int> counts;
  counts.reserve(file.hunks.size());
  for (const Hunk& hunk : file.hunks) {
    counts.push_back(SplitRowCount(hunk));
  }
  return counts;
}

NumberWidths FileNumberWidths(const File& file) {
  NumberWidths widths;
  for (const Hunk& hunk : file.hunks) {
    widths.old_width = ColumnWidth(hunk.lines, hunk.old_start, LineKind::Added,
                                   widths.old_width);
    widths.new_width = ColumnWidth(hunk.lines, hunk.new_start,
                                   LineKind::Deleted, widths.new_width);
  }
  return widths;
}

int64_t EntryRows(const Entry& entry,
                  bool split,
                  int old_width,
                  int new_width,
                  TextLayouts* layouts) {
  if (!split) {
    const Line* line =
        entry.old_line != nullptr ? entry.old_line : entry.new_line;
    return WrappedRowCount(line->text, old_width, layouts);
  }
  int64_t rows = 1;
  if (entry.old_line != nullptr) {
    rows = WrappedRowCount(entry.old_line->text, old_width, layouts);
  }
  if (entry.new_line != nullptr) {
    rows = std::max(rows,
                    WrappedRowCount(entry.new_line->text, new_width, layouts));
  }
  return rows;
}

WrappedRows WrapFile(const File& file,
                     bool split,
                     int old_width,
                     int new_width,
                     TextLayouts* layouts) {
  WrappedRows wrapped;
  wrapped.split = split;
  wrapped.old_width = old_width;
  wrapped.new_width = new_width;
  wrapped.ends.reserve(file.hunks.size());
  for (const Hunk& hunk : file.hunks) {
    std::vector<int64_t>& ends = wrapped.ends.emplace_back();
    Entries entries(hunk, split);
    Entry entry;
    int64_t rows = 0;
    while (entries.Next(entry)) {
      rows += EntryRows(entry, split, old_width, new_width, layouts);
      ends.push_back(rows);
    }
  }
  return wrapped;
}

int64_t RowWhenToggled(const File& file,
                       bool wrap,
                       const WrappedRows& wrapped,
                       int64_t row) {
  // Tops of the hunks as drawn now and as they will be.
  int64_t top = 0;
  int64_t top_then = 0;
  for (size_t h = 0; h < file.hunks.size(); ++h) {
    const std::vector<int64_t>& ends = wrapped.ends[h];
    const int64_t entries = static_cast<int64_t>(ends.size());
    const int64_t wrapped_rows = entries == 0 ? 0 : ends.back();
    const int64_t rows = wrap ? wrapped_rows : entries;
    const int64_t rows_then = wrap ? entries : wrapped_rows;
    if (row <= top + rows || h + 1 == file.hunks.size()) {
      if (row <= top) {
        return top_then;
      }
      const int64_t offset =
          std::min(row - top - 1, std::max<int64_t>(rows - 1, 0));
      if (entries == 0) {
        return top_then;
      }
      if (wrap) {
        // From a wrapped row to its entry.
        const int64_t entry =
            std::upper_bound(ends.begin(), ends.end(), offset) - ends.begin();
        return top_then + 1 + std::min(entry, entries - 1);
      }
      return top_then + 1 + (offset == 0 ? 0 : ends[offset - 1]);
    }
    top += 1 + rows;
    top_then += 1 + rows_then;
  }
  return row;
}

std::shared_ptr<const WrappedRows> KeptWrap(const File& file,
                                            bool split,
                                            std::pair<int, int> widths,
                                            RenderCache* cache) {
  std::shared_ptr<const WrappedRows> kept;
  if (cache != nullptr) {
    kept = cache->parts().wrapped;
  }
  if (kept != nullptr && kept->split == split &&
      kept->old_width == widths.first && kept->new_width == widths.second) {
    return kept;
  }
  kept = std::make_shared<const WrappedRows>(
      WrapFile(file, split, widths.first, widths.second,
               cache != nullptr ? &cache->parts().layouts : nullptr));
  if (cache != nullptr) {
    cache->parts().wrapped = kept;
  }
  return kept;
}

std::shared_ptr<const WordChanges> WordsOf(const Line& deleted,
                                           const Line& added,
                                           RenderCache* cache) {
  if (cache == nullptr) {
    return std::make_shared<const WordChanges>(
        ChangedWords(deleted.text, added.text));
  }
  RenderCache::Parts& parts = cache->parts();
  // Lines scrolled past long ago are the ones forgotten; what is in view is
  // found again within the frame.
  constexpr size_t kMostPairs = 1 << 16;
  if (parts.word_count >= kMostPairs) {
    parts.words.clear();
    parts.word_count = 0;
  }
  std::shared_ptr<const WordChanges>& words = parts.words[&deleted][&added];
  if (words == nullptr) {
    words = std::make_shared<const WordChanges>(
        ChangedWords(deleted.text, added.text));
    ++parts.word_count;
  }
  return words;
}

Element HeaderRow(const Hunk& hunk) {
  return HeaderCell(Header(hunk));
}

Element JoinedRow(const Entry& entry, const FileLook& look) {
  const Line& line =
      entry.old_line != nullptr ? *entry.old_line : *entry.new_line;
  std::shared_ptr<const std::vector<ByteRange>> changed;
  if (entry.partner != nullptr) {
    if (line.kind == LineKind::Deleted) {
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
      TextCell(line.text, StyleOf(line.kind), std::move(changed), look.text),
  });
}

Element SplitRow(const Entry& entry, const FileLook& look) {
  std::shared_ptr<const std::vector<ByteRange>> old_changed;
  std::shared_ptr<const std::vector<ByteRange>> new_changed;
  if (entry.old_line != nullptr && entry.new_line != nullptr &&
      entry.old_line->kind == LineKind::Deleted &&
      entry.new_line->kind == LineKind::Added) {
    std::shared_ptr<const WordChanges> words =
        WordsOf(*entry.old_line, *entry.new_line, look.cache);
    old_changed = Before(words);
    new_changed = After(words);
  }
  Side old_side = MakeSide(entry.old_line, entry.old_number, look.old_width,
                           std::move(old_changed), look);
  Side new_side = MakeSide(entry.new_line, entry.new_number, look.new_width,
                           std::move(new_changed), look);
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

namespace {

// Without kept split-layout row counts, every hunk's lines are read on every
// frame. The hunks' lines lie apart in memory: asking early for those of a
// hunk a few hunks ahead lets the memory fetch them while the hunks before
// it are counted.
void PrefetchLines(const Hunk& hunk) {
  constexpr size_t kBytes = 4096;
  const char* const data = reinterpret_cast<const char*>(hunk.lines.data());
  const size_t size = std::min(hunk.lines.size() * sizeof(Line), kBytes);
  for (size_t offset = 0; offset < size; offset += 64) {
    __builtin_prefetch(data + offset);
  }
}
constexpr size_t kPrefetchDistance = 8;

}  // namespace

std::shared_ptr<const HunkTops> MeasureHunkTops(
    const File& file,
    bool split,
    const WrappedRows* wrapped,
    std::pair<int, int> widths,
    const std::vector<int>* split_rows) {
  auto measured = std::make_shared<HunkTops>();
  measured->split = split;
  measured->wrap = wrapped != nullptr;
  measured->widths = widths;
  const std::vector<Hunk>& hunks = file.hunks;
  std::vector<int64_t>& tops = measured->tops;
  tops.reserve(hunks.size() + 1);
  int64_t top = 0;
  for (size_t i = 0; i < hunks.size(); ++i) {
    tops.push_back(top);
    int64_t rows = 0;
    if (wrapped != nullptr) {
      const std::vector<int64_t>& ends = wrapped->ends[i];
      rows = ends.empty() ? 0 : ends.back();
    } else if (split && split_rows != nullptr) {
      rows = (*split_rows)[i];
    } else {
      if (split && i + kPrefetchDistance < hunks.size()) {
        PrefetchLines(hunks[i + kPrefetchDistance]);
      }
      rows = EntryCount(hunks[i], split);
    }
    top += 1 + rows;
  }
  tops.push_back(top);
  return measured;
}

}  // namespace plimsy
