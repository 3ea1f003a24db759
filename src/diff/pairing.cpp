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
    block.marked_context = 0;
    block.marked_deleted = 0;
    block.marked_added = 0;
    const bool context = lines[i].kind == LineKind::kContext;
    for (; i < lines.size() && (lines[i].kind == LineKind::kContext) == context;
         ++i) {
      const size_t marked = lines[i].no_newline ? 1 : 0;
      if (lines[i].kind == LineKind::kDeleted) {
        block.grouped = block.grouped && block.added == 0;
        ++block.deleted;
        block.marked_deleted += marked;
      } else if (lines[i].kind == LineKind::kAdded) {
        ++block.added;
        block.marked_added += marked;
      } else {
        block.marked_context += marked;
      }
    }
    block.lines = i - block.first;
    blocks.push_back(block);
    const auto deleted = static_cast<int64_t>(block.deleted);
    const auto added = static_cast<int64_t>(block.added);
    const auto entries = static_cast<int64_t>(block.lines);
    const auto old_places =
        static_cast<int64_t>(block.deleted + block.marked_deleted);
    const auto new_places =
        static_cast<int64_t>(block.added + block.marked_added);
    const auto context_marks = static_cast<int64_t>(block.marked_context);
    block.old_number += context ? entries : deleted;
    block.new_number += context ? entries : added;
    block.joined_entry +=
        context ? entries + context_marks : old_places + new_places;
    block.split_entry +=
        context ? entries + context_marks : std::max(old_places, new_places);
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
  return run_plain_ ? run_begin_ + k : deleted_[k];
}

size_t Entries::AddedAt(size_t k) const {
  return run_plain_ ? run_begin_ + run_deleted_ + k : added_[k];
}

bool Entries::OldSlot(size_t k, Slot& slot) const {
  if (run_plain_) {
    slot = {run_begin_ + k, false, k};
    return k < run_deleted_;
  }
  if (k >= old_slots_.size()) {
    return false;
  }
  slot = old_slots_[k];
  return true;
}

bool Entries::NewSlot(size_t k, Slot& slot) const {
  if (run_plain_) {
    slot = {run_begin_ + run_deleted_ + k, false, k};
    return k < run_added_;
  }
  if (k >= new_slots_.size()) {
    return false;
  }
  slot = new_slots_[k];
  return true;
}

Entries::Slot Entries::JoinedSlot(size_t k) const {
  if (!run_plain_) {
    return slots_[k];
  }
  return {run_begin_ + k, false, k < run_deleted_ ? k : k - run_deleted_};
}

void Entries::EnterRun(size_t first, size_t deleted, size_t added, bool plain) {
  run_begin_ = first;
  run_deleted_ = deleted;
  run_added_ = added;
  run_plain_ = plain;
  deleted_.clear();
  added_.clear();
  old_slots_.clear();
  new_slots_.clear();
  slots_.clear();
  if (!plain) {
    for (size_t i = first; i < first + deleted + added; ++i) {
      const bool is_deleted = lines_[i].kind == LineKind::kDeleted;
      std::vector<size_t>& of_kind = is_deleted ? deleted_ : added_;
      const Slot slot{i, false, of_kind.size()};
      of_kind.push_back(i);
      std::vector<Slot>& places = !split_      ? slots_
                                  : is_deleted ? old_slots_
                                               : new_slots_;
      places.push_back(slot);
      if (lines_[i].no_newline) {
        places.push_back({i, true, slot.ordinal});
      }
    }
  }
  in_run_ = true;
  run_next_ = 0;
  if (plain) {
    run_entries_ = split_ ? std::max(deleted, added) : deleted + added;
  } else {
    run_entries_ =
        split_ ? std::max(old_slots_.size(), new_slots_.size()) : slots_.size();
  }
  next_ = first + deleted + added;
}

void Entries::EnterRun() {
  size_t deleted = 0;
  size_t added = 0;
  bool plain = true;
  for (size_t i = next_;
       i < lines_.size() && lines_[i].kind != LineKind::kContext; ++i) {
    if (lines_[i].kind == LineKind::kDeleted) {
      plain = plain && added == 0;
      ++deleted;
    } else {
      ++added;
    }
    plain = plain && !lines_[i].no_newline;
  }
  EnterRun(next_, deleted, added, plain);
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
    index -= entry_of(*block);
    old_number_ = block->old_number;
    new_number_ = block->new_number;
    next_ = block->first;
    if (block->deleted + block->added == 0) {
      // Context lines are an entry each, unless a marker follows one.
      if (block->marked_context == 0) {
        next_ += static_cast<size_t>(index);
        old_number_ += index;
        new_number_ += index;
        return;
      }
    } else {
      EnterRun(
          block->first, block->deleted, block->added,
          block->grouped && block->marked_deleted + block->marked_added == 0);
    }
  }
  while (index > 0) {
    if (marker_next_) {
      marker_next_ = false;
      --index;
      continue;
    }
    if (in_run_) {
      const auto left = static_cast<int64_t>(run_entries_ - run_next_);
      if (index < left) {
        run_next_ += static_cast<size_t>(index);
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
      marker_next_ = lines_[next_].no_newline;
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
    int64_t old_places = 0;
    int64_t new_places = 0;
    for (; end < lines_.size() && lines_[end].kind != LineKind::kContext;
         ++end) {
      const bool is_deleted = lines_[end].kind == LineKind::kDeleted;
      const int64_t places = lines_[end].no_newline ? 2 : 1;
      deleted += is_deleted;
      added += !is_deleted;
      old_places += is_deleted ? places : 0;
      new_places += is_deleted ? 0 : places;
    }
    const int64_t entries =
        split_ ? std::max(old_places, new_places) : old_places + new_places;
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
  if (marker_next_) {
    marker_next_ = false;
    entry.old_marker = entry.new_marker = true;
    return true;
  }
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
      marker_next_ = lines_[next_].no_newline;
      ++next_;
      return true;
    }
    EnterRun();
  }
  const size_t k = run_next_++;
  Slot slot;
  if (split_) {
    if (OldSlot(k, slot)) {
      entry.old_marker = slot.marker;
      if (!slot.marker) {
        entry.old_line = &lines_[slot.line];
        entry.old_number = old_number_ + static_cast<int64_t>(slot.ordinal);
      }
    }
    if (NewSlot(k, slot)) {
      entry.new_marker = slot.marker;
      if (!slot.marker) {
        entry.new_line = &lines_[slot.line];
        entry.new_number = new_number_ + static_cast<int64_t>(slot.ordinal);
      }
    }
    return true;
  }
  slot = JoinedSlot(k);
  const Line& line = lines_[slot.line];
  const bool is_deleted = line.kind == LineKind::kDeleted;
  if (slot.marker) {
    (is_deleted ? entry.old_marker : entry.new_marker) = true;
    return true;
  }
  if (is_deleted) {
    entry.old_line = &line;
    entry.old_number = old_number_ + static_cast<int64_t>(slot.ordinal);
    if (slot.ordinal < run_added_) {
      entry.partner = &lines_[AddedAt(slot.ordinal)];
    }
  } else {
    entry.new_line = &line;
    entry.new_number = new_number_ + static_cast<int64_t>(slot.ordinal);
    if (slot.ordinal < run_deleted_) {
      entry.partner = &lines_[DeletedAt(slot.ordinal)];
    }
  }
  return true;
}

int64_t EntryCount(const Hunk& hunk, bool split) {
  if (split) {
    return SplitRowCount(hunk);
  }
  const auto marked =
      std::count_if(hunk.lines.begin(), hunk.lines.end(),
                    [](const Line& line) { return line.no_newline; });
  return static_cast<int64_t>(hunk.lines.size()) + marked;
}

// Each run of changed lines between context lines takes as many rows as
// its longer side; a marker takes a place on its line's side.
int SplitRowCount(const Hunk& hunk) {
  int rows = 0;
  int run_deleted = 0;
  int run_added = 0;
  // Conditional expressions rather than a switch: faster on kinds that
  // follow no pattern.
  for (const Line& line : hunk.lines) {
    const bool is_context = line.kind == LineKind::kContext;
    const int places = 1 + static_cast<int>(line.no_newline);
    rows += is_context ? std::max(run_deleted, run_added) + places : 0;
    run_deleted =
        is_context ? 0
                   : run_deleted + (line.kind == LineKind::kDeleted) * places;
    run_added =
        is_context ? 0 : run_added + (line.kind == LineKind::kAdded) * places;
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
