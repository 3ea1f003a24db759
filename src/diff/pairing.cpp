#include "diff/pairing.h"

#include <algorithm>

namespace plimsy {

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
    const bool context = lines[i].kind == LineKind::kContext;
    for (; i < lines.size() && (lines[i].kind == LineKind::kContext) == context;
         ++i) {
      if (lines[i].kind == LineKind::kDeleted) {
        block.grouped = block.grouped && block.added == 0;
        ++block.deleted;
      } else if (lines[i].kind == LineKind::kAdded) {
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
      (lines_[i].kind == LineKind::kDeleted ? deleted_ : added_).push_back(i);
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
       i < lines_.size() && lines_[i].kind != LineKind::kContext; ++i) {
    if (lines_[i].kind == LineKind::kDeleted) {
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
          (line.kind == LineKind::kDeleted ? deleted_seen_ : added_seen_)++;
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
    if (lines_[next_].kind == LineKind::kContext) {
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
    for (; end < lines_.size() && lines_[end].kind != LineKind::kContext;
         ++end) {
      deleted += lines_[end].kind == LineKind::kDeleted;
      added += lines_[end].kind == LineKind::kAdded;
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
    if (lines_[next_].kind == LineKind::kContext) {
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
  if (line.kind == LineKind::kDeleted) {
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
    const bool is_context = line.kind == LineKind::kContext;
    rows += is_context ? std::max(run_deleted, run_added) + 1 : 0;
    run_deleted =
        is_context ? 0 : run_deleted + (line.kind == LineKind::kDeleted);
    run_added = is_context ? 0 : run_added + (line.kind == LineKind::kAdded);
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

}  // namespace plimsy
