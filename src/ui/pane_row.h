#ifndef PLIMSY_UI_PANE_ROW_H_
#define PLIMSY_UI_PANE_ROW_H_

#include <vector>

#include <ftxui/component/component_base.hpp>

#include "ui/key_binding.h"
#include "ui/side_width.h"

namespace plimsy {

// A pane of a PaneRow.
struct RowPane {
  // The pane, drawn with its title.
  ftxui::Component component;
  // How wide the pane is; the last pane takes what the others leave.
  WidthRule rule = {};
  // Told the width the pane is drawn with before it is drawn; may be null.
  int* drawn_width = nullptr;
};

// Panes side by side, a divider between each two that the mouse drags.
// Their widths are fitted to the row's again on every frame; one pane can
// be zoomed to the whole row.
struct PaneRowParts {
  ftxui::Component component;
  // The keys that widen and narrow the focused pane and zoom it.
  std::vector<KeyBinding> keys;
};

PaneRowParts PaneRow(std::vector<RowPane> panes);

}  // namespace plimsy

#endif  // PLIMSY_UI_PANE_ROW_H_
