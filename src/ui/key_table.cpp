#include "ui/key_table.h"

#include <algorithm>
#include <utility>

#include <ftxui/screen/string.hpp>

#include "ui/layout.h"

namespace plimsy {
namespace {

using ftxui::Element;
using ftxui::Elements;

constexpr const char* kHelpMouse =
    "Mouse: a click selects or focuses, the wheel scrolls the pane under the "
    "pointer, a divider drags.";

}  // namespace

Element HintLine(const std::vector<KeyBinding>& keys) {
  std::vector<std::string> hints;
  for (const KeyBinding& key : keys) {
    if (!key.hint.empty()) {
      hints.push_back(key.hint);
    }
  }
  Elements choices;
  for (size_t count = hints.size(); count > 0; --count) {
    std::string line;
    for (size_t i = 0; i < count; ++i) {
      line += (i == 0 ? "" : "  ") + hints[i];
    }
    choices.push_back(ftxui::text(line));
  }
  return FirstThatFits(std::move(choices)) | ftxui::dim;
}

Element KeyHelp(const std::vector<KeyBinding>& keys,
                const std::string& name,
                int width,
                int height) {
  std::vector<std::string> groups;
  int label_width = 0;
  int description_width = 0;
  for (const KeyBinding& key : keys) {
    if (std::find(groups.begin(), groups.end(), key.group) == groups.end()) {
      groups.push_back(key.group);
    }
    label_width = std::max(label_width, ftxui::string_width(key.label));
    description_width =
        std::max(description_width, ftxui::string_width(key.description));
  }
  std::vector<Elements> sections;
  int rows = 0;
  for (const std::string& group : groups) {
    Elements section = {ftxui::text(group) | ftxui::bold};
    for (const KeyBinding& key : keys) {
      if (key.group == group) {
        section.push_back(ftxui::hbox({
            ftxui::text(key.label) |
                ftxui::size(ftxui::WIDTH, ftxui::EQUAL, label_width + 2),
            // Cut first, so that the keys stay in one column.
            ftxui::text(key.description) | ftxui::xflex_shrink,
        }));
      }
    }
    rows += static_cast<int>(section.size()) + 1;
    sections.push_back(std::move(section));
  }
  const int column_width = label_width + 2 + description_width;
  // Borders, the gap between the columns, the mouse row and the title.
  const bool two_columns = width >= 2 * column_width + 4 && rows + 2 > height;
  std::vector<Elements> columns(two_columns ? 2 : 1);
  int filled = 0;
  for (Elements& section : sections) {
    Elements& column = columns[two_columns && filled >= rows / 2 ? 1 : 0];
    filled += static_cast<int>(section.size()) + 1;
    if (!column.empty()) {
      column.push_back(ftxui::text(""));
    }
    for (Element& row : section) {
      column.push_back(std::move(row));
    }
  }
  Elements across;
  for (Elements& column : columns) {
    if (!across.empty()) {
      across.push_back(ftxui::text("  "));
    }
    across.push_back(ftxui::vbox(std::move(column)));
  }
  return ftxui::window(ftxui::text(" Keys of plimsy " + name + " "),
                       ftxui::vbox({
                           ftxui::hbox(std::move(across)),
                           ftxui::text(""),
                           ftxui::paragraph(kHelpMouse) | ftxui::dim,
                       })) |
         ftxui::size(ftxui::WIDTH, ftxui::LESS_THAN, width) |
         ftxui::clear_under | ftxui::center;
}

}  // namespace plimsy
