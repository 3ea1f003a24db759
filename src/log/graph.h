#ifndef PLIMSY_LOG_GRAPH_H_
#define PLIMSY_LOG_GRAPH_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// The lanes of the commit list's graph, one cell per lane: each commit on
// its lane, the lanes of the commits still to come passing by, a merge
// reaching out to its other parents' lanes, and the lanes of a commit's
// other children ending in it.
namespace plimsy::log {

// The sides of a cell that its line reaches.
enum GraphLink : std::uint8_t {
  kLinkUp = 1,
  kLinkDown = 2,
  kLinkLeft = 4,
  kLinkRight = 8,
};

enum class GraphMark : std::uint8_t { kNone, kCommit, kMerge };

struct GraphCell {
  std::uint8_t links = 0;  // GraphLink bits
  GraphMark mark = GraphMark::kNone;
  // A lane keeps its colour from the commit that opened it down its first
  // parents; the drawing maps it to a palette.
  std::uint8_t colour = 0;
};

// What a cell shows: "●" a commit, "○" a merge, "│" a lane passing by,
// "╮" a lane that starts below, "┤" a lane joined from the side, …; a
// blank for an empty cell.
std::string_view GraphGlyph(const GraphCell& cell);

// The glyphs of a row, as one string.
std::string GraphText(std::span<const GraphCell> cells);

// The rows of the graph, worked out as the commits come in the order the
// list shows them. Each row keeps only its cells; a row costs its width,
// not the history's length.
class GraphLanes {
 public:
  // Rows wider than this keep only their first cells.
  static constexpr std::size_t kMostCells = 128;

  // The next commit of the list with the parents the walk names for it.
  // Parents listed above it, or never listed, end its lane.
  void Add(std::string_view hash, const std::vector<std::string>& parents);

  // The list is whole: the lanes still waiting for a parent wait for one
  // outside it, and the rows are worked out again with those lanes ending
  // at their children.
  void Finish();

  std::size_t size() const { return row_starts_.size(); }
  // The cells of `row`, which must be below size().
  std::span<const GraphCell> Row(std::size_t row) const;

 private:
  // A lane below the last row: the commit it waits for.
  struct Lane {
    std::uint64_t awaited = 0;
    std::uint8_t colour = 0;
    bool open = false;
  };

  void Place(std::uint64_t key, std::span<const std::uint64_t> parents);

  std::vector<Lane> lanes_;
  std::uint8_t next_colour_ = 0;
  // The commits placed, and the parents known to be outside the list.
  std::unordered_set<std::uint64_t> listed_;
  std::unordered_set<std::uint64_t> outside_;
  // Every row's cells, one after the other.
  std::vector<GraphCell> cells_;
  std::vector<std::uint32_t> row_starts_;
  // What each row was made from, to make them again.
  std::vector<std::uint64_t> keys_;
  std::vector<std::uint64_t> parent_keys_;
  std::vector<std::uint32_t> parent_starts_;
};

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_GRAPH_H_
