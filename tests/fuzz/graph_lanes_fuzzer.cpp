#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "log/graph.h"

// Reads arbitrary bytes as a list of commits and their parents (listed
// above, below, twice, or never) and checks the rows of the graph: one
// commit each, and lines that meet their neighbours' across the row and
// between rows.
namespace {

using plimsy::log::GraphCell;
using plimsy::log::GraphLanes;
using plimsy::log::GraphMark;

void Fail(const char* what, std::size_t row) {
  std::fprintf(stderr, "row %zu: %s\n", row, what);
  std::abort();
}

bool Has(const GraphCell& cell, std::uint8_t link) {
  return (cell.links & link) != 0;
}

// The cell at `column`, blank past the row's end.
GraphCell At(std::span<const GraphCell> row, std::size_t column) {
  return column < row.size() ? row[column] : GraphCell();
}

void Check(const GraphLanes& graph, std::size_t rows, bool whole) {
  if (graph.size() != rows) {
    Fail("rows missing", rows);
  }
  for (std::size_t r = 0; r < rows; ++r) {
    const std::span<const GraphCell> row = graph.Row(r);
    if (row.size() >= GraphLanes::kMostCells) {
      continue;
    }
    int commits = 0;
    for (std::size_t i = 0; i < row.size(); ++i) {
      commits += row[i].mark != GraphMark::kNone;
      const GraphCell next = At(row, i + 1);
      if (row[i].mark == GraphMark::kNone && next.mark == GraphMark::kNone &&
          Has(row[i], plimsy::log::kLinkRight) !=
              Has(next, plimsy::log::kLinkLeft)) {
        Fail("a line across the row breaks", r);
      }
    }
    if (commits != 1) {
      Fail("not one commit", r);
    }
    const std::span<const GraphCell> below =
        r + 1 < rows ? graph.Row(r + 1) : std::span<const GraphCell>();
    if (below.size() >= GraphLanes::kMostCells) {
      continue;
    }
    for (std::size_t i = 0; i < std::max(row.size(), below.size()); ++i) {
      const bool down = Has(At(row, i), plimsy::log::kLinkDown);
      if (r + 1 < rows && down != Has(At(below, i), plimsy::log::kLinkUp)) {
        Fail("a lane breaks between rows", r);
      }
      if (r + 1 == rows && whole && down) {
        Fail("a lane goes on past the whole list", r);
      }
    }
  }
  if (rows > 0) {
    for (const GraphCell& cell : graph.Row(0)) {
      if (Has(cell, plimsy::log::kLinkUp)) {
        Fail("a lane comes from above the list", 0);
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  GraphLanes graph;
  std::size_t rows = 0;
  for (std::size_t pos = 0; pos < size;) {
    // A parent count, mostly small, then each parent by its index.
    const std::size_t count =
        data[pos] % 16 < 12 ? data[pos] % 3 : data[pos] % 16;
    ++pos;
    std::vector<std::string> parents;
    for (std::size_t i = 0; i < count && pos < size; ++i, ++pos) {
      parents.push_back("c" + std::to_string(data[pos]));
    }
    graph.Add("c" + std::to_string(rows), parents);
    ++rows;
    if (rows % 64 == 0) {
      Check(graph, rows, false);
    }
  }
  Check(graph, rows, false);
  graph.Finish();
  Check(graph, rows, true);
  return 0;
}
