#ifndef PLIMSY_LOG_GRAPH_ROW_H_
#define PLIMSY_LOG_GRAPH_ROW_H_

#include <optional>
#include <span>

#include <ftxui/dom/elements.hpp>

#include "log/graph.h"
#include "ui/key_binding.h"

// The graph column of the commit list: whether it shows, its key, and the
// drawing of one row.
namespace plimsy::log {

// Whether a commit list `list_width` cells wide shows the graph: as the
// user chose, and before any choice when the list is wide enough.
bool ShowsGraph(const std::optional<bool>& choice, int list_width);

// The key that shows and hides the graph, recorded in `choice`.
KeyBinding GraphKey(std::optional<bool>& choice, const int& list_width);

// The first `width` cells of a row, each in its lane's colour; "…" in the
// last when the row is wider.
ftxui::Element DrawGraphRow(std::span<const GraphCell> cells, int width);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_GRAPH_ROW_H_
