#ifndef PLIMSY_UI_LIST_H_
#define PLIMSY_UI_LIST_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <ftxui/component/component_base.hpp>
#include <ftxui/dom/elements.hpp>

#include "ui/finder.h"

namespace plimsy {

// What drawing one entry of a list needs besides its index.
struct ListEntryState {
  int index = 0;
  // The list's selected entry.
  bool selected = false;
  // The selected entry while the list has the focus.
  bool focused = false;
};

struct ListOption {
  // The number of entries and the raw text (bytes as git printed them) of
  // entry i. Both are asked anew at every frame and event, so entries that
  // are appended or replaced show at the next frame.
  std::function<int()> size;
  std::function<std::string(int)> label;
  // Draws entry i on one row; when empty, the entry's label is drawn by
  // ListRow.
  std::function<ftxui::Element(const ListEntryState&)> entry;
  // The selected index, owned by the caller; the list keeps it within its
  // entries (0 when there are none).
  int* selected = nullptr;
  // Runs after every change of the selection by a key or the mouse.
  std::function<void()> on_change;
  // Dims the entries that are not selected.
  bool dim = true;
  // A vertical scroll indicator in the last column.
  bool scroll_indicator = true;
  // The term whose matches the entries in view show marked; may be empty,
  // or give null.
  std::function<const Finder*()> highlight;
};

// A menu entry: "> " before the selected entry's label and two blanks
// before the others; the selected entry bold, and inverted while the list
// has the focus; with `dim`, the others dim. The label is raw text and is
// shown through DisplayText.
ftxui::Element ListRow(std::string_view label,
                       const ListEntryState& state,
                       bool dim = true);

// A vertical list of one-row entries that draws only the entries in view,
// so that its cost per frame does not grow with its length. Keys: Up/k,
// Down/j, Page Up, Page Down, Home/g, End/G, which it lists as a
// KeyedWidget; the mouse selects by a click and scrolls the view by the
// wheel. Up at the first entry and Down at the last are taken, so the focus
// does not leave the list through them.
ftxui::Component List(ListOption option);

// A list over the live `entries`, each shown by its label.
ftxui::Component List(const std::vector<std::string>* entries,
                      int* selected,
                      ListOption option = {});

}  // namespace plimsy

#endif  // PLIMSY_UI_LIST_H_
