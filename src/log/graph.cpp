#include "log/graph.h"

#include <algorithm>
#include <functional>

namespace plimsy::log {
namespace {

// The line of a cell by the sides it reaches, indexed by the GraphLink
// bits.
constexpr std::string_view kLineGlyphs[16] = {
    " ", "╵", "╷", "│", "╴", "╯", "╮", "┤",
    "╶", "╰", "╭", "├", "─", "┴", "┬", "┼",
};

std::uint64_t KeyOf(std::string_view hash) {
  return std::hash<std::string_view>{}(hash);
}

// The side of a cell at `column` that faces the commit at `commit`.
std::uint8_t Toward(std::size_t column, std::size_t commit) {
  return column > commit ? kLinkLeft : kLinkRight;
}

}  // namespace

std::string_view GraphGlyph(const GraphCell& cell) {
  switch (cell.mark) {
    case GraphMark::kCommit:
      return "●";
    case GraphMark::kMerge:
      return "○";
    case GraphMark::kNone:
      break;
  }
  return kLineGlyphs[cell.links & 15];
}

std::string GraphText(std::span<const GraphCell> cells) {
  std::string text;
  for (const GraphCell& cell : cells) {
    text += GraphGlyph(cell);
  }
  return text;
}

void GraphLanes::Add(std::string_view hash,
                     const std::vector<std::string>& parents) {
  keys_.push_back(KeyOf(hash));
  parent_starts_.push_back(static_cast<std::uint32_t>(parent_keys_.size()));
  for (const std::string& parent : parents) {
    parent_keys_.push_back(KeyOf(parent));
  }
  Place(keys_.back(), std::span(parent_keys_).subspan(parent_starts_.back()));
}

void GraphLanes::Place(std::uint64_t key,
                       std::span<const std::uint64_t> parents) {
  std::vector<GraphCell> row(lanes_.size());
  std::vector<std::size_t> waiting;
  for (std::size_t i = 0; i < lanes_.size(); ++i) {
    if (lanes_[i].open) {
      row[i] = {kLinkUp | kLinkDown, GraphMark::kNone, lanes_[i].colour};
      if (lanes_[i].awaited == key) {
        waiting.push_back(i);
      }
    }
  }
  auto free_slot = [this](auto taken) {
    std::size_t slot = 0;
    while (slot < lanes_.size() && (lanes_[slot].open || taken(slot))) {
      ++slot;
    }
    if (slot == lanes_.size()) {
      lanes_.emplace_back();
    }
    return slot;
  };

  // The commit's lane: the leftmost that waits for it, else a new one.
  const std::size_t commit = waiting.empty()
                                 ? free_slot([](std::size_t) { return false; })
                                 : waiting.front();
  if (waiting.empty()) {
    lanes_[commit].colour = next_colour_++;
  }
  const std::uint8_t colour = lanes_[commit].colour;
  lanes_[commit].open = false;
  row.resize(std::max(row.size(), lanes_.size()));
  row[commit] = {static_cast<std::uint8_t>(waiting.empty() ? 0 : kLinkUp),
                 parents.size() > 1 ? GraphMark::kMerge : GraphMark::kCommit,
                 colour};

  // The cells the commit's line reaches across the row: the colour of the
  // branch the line draws, and of the lane there.
  struct Reach {
    std::size_t column;
    std::uint8_t line;
    std::uint8_t cell;
  };
  std::vector<Reach> reaches;

  // The lanes of its other children end in it, and stay empty for the
  // rest of the row so that no lane seems to go on through them.
  for (std::size_t i = 1; i < waiting.size(); ++i) {
    const std::size_t lane = waiting[i];
    lanes_[lane].open = false;
    row[lane].links = kLinkUp | Toward(lane, commit);
    reaches.push_back({lane, lanes_[lane].colour, lanes_[lane].colour});
  }
  auto ended_here = [&waiting](std::size_t slot) {
    return std::find(waiting.begin(), waiting.end(), slot) != waiting.end();
  };

  bool continued = false;
  for (std::size_t i = 0; i < parents.size(); ++i) {
    const std::uint64_t parent = parents[i];
    if (std::find(parents.begin(), parents.begin() + i, parent) !=
            parents.begin() + i ||
        listed_.contains(parent) || outside_.contains(parent)) {
      continue;
    }
    auto lane = std::find_if(
        lanes_.begin(), lanes_.end(),
        [parent](const Lane& l) { return l.open && l.awaited == parent; });
    if (lane != lanes_.end()) {
      // Another child has a lane to it already: the line joins it, in the
      // commit's colour where it ends the commit's branch.
      const auto joined = static_cast<std::size_t>(lane - lanes_.begin());
      row[joined].links |= Toward(joined, commit);
      reaches.push_back(
          {joined, continued ? lane->colour : colour, lane->colour});
    } else if (!continued) {
      lanes_[commit] = {parent, colour, true};
      row[commit].links |= kLinkDown;
      continued = true;
    } else {
      const std::size_t slot = free_slot(
          [&](std::size_t s) { return s == commit || ended_here(s); });
      lanes_[slot] = {parent, next_colour_++, true};
      row.resize(std::max(row.size(), lanes_.size()));
      row[slot] = {static_cast<std::uint8_t>(kLinkDown | Toward(slot, commit)),
                   GraphMark::kNone, lanes_[slot].colour};
      reaches.push_back({slot, lanes_[slot].colour, lanes_[slot].colour});
    }
  }

  // The line runs from the commit to each cell it reaches, in the colour
  // of the nearest's branch.
  auto distance = [commit](const Reach& reach) {
    return reach.column > commit ? reach.column - commit
                                 : commit - reach.column;
  };
  std::sort(reaches.begin(), reaches.end(),
            [&](const Reach& a, const Reach& b) {
              return distance(a) > distance(b);
            });
  for (const Reach& reach : reaches) {
    const std::size_t from = std::min(reach.column, commit) + 1;
    const std::size_t to = std::max(reach.column, commit);
    for (std::size_t i = from; i < to; ++i) {
      row[i].links |= kLinkLeft | kLinkRight;
      row[i].colour = reach.line;
    }
  }
  for (const Reach& reach : reaches) {
    row[reach.column].colour = reach.cell;
  }

  listed_.insert(key);
  while (!lanes_.empty() && !lanes_.back().open) {
    lanes_.pop_back();
  }
  while (!row.empty() && row.back().links == 0 &&
         row.back().mark == GraphMark::kNone) {
    row.pop_back();
  }
  row.resize(std::min(row.size(), kMostCells));
  row_starts_.push_back(static_cast<std::uint32_t>(cells_.size()));
  cells_.insert(cells_.end(), row.begin(), row.end());
}

void GraphLanes::Finish() {
  bool waiting = false;
  for (const Lane& lane : lanes_) {
    if (lane.open) {
      outside_.insert(lane.awaited);
      waiting = true;
    }
  }
  if (!waiting) {
    return;
  }
  lanes_.clear();
  listed_.clear();
  cells_.clear();
  row_starts_.clear();
  next_colour_ = 0;
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    const std::size_t end =
        i + 1 < keys_.size() ? parent_starts_[i + 1] : parent_keys_.size();
    Place(keys_[i], std::span(parent_keys_)
                        .subspan(parent_starts_[i], end - parent_starts_[i]));
  }
}

std::span<const GraphCell> GraphLanes::Row(std::size_t row) const {
  const std::size_t end =
      row + 1 < row_starts_.size() ? row_starts_[row + 1] : cells_.size();
  return std::span(cells_).subspan(row_starts_[row], end - row_starts_[row]);
}

}  // namespace plimsy::log
