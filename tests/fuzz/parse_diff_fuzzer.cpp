#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ftxui/dom/elements.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/screen.hpp>
#include <string>
#include <vector>

#include "../terminal_safety.h"
#include "diff/diff.h"
#include "diff/file_labels.h"
#include "read_diff.h"
#include "ui/display_text.h"
#include "ui/text_view.h"

// Parses arbitrary bytes as diff text, whole and in pieces, and draws every
// file's list entry, name row and difference in both layouts, cut or
// wrapped; whatever the input, the parser must not fail and the drawn
// screen must not carry anything but text and colours to the terminal.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<plimsy::File> files =
      plimsy::fuzz::ParseEveryWay(data, size);
  for (const plimsy::File& file : files) {
    for (const bool split : {false, true}) {
      // As the screens draw it: from its first column, scrolled across, and
      // wrapped.
      plimsy::TextView view;
      const size_t look = size % 3;
      view.column = look == 1 ? 8 : 0;
      view.wrap = look == 2;
      auto screen = ftxui::Screen::Create(ftxui::Dimension::Fixed(80),
                                          ftxui::Dimension::Fixed(24));
      ftxui::Render(
          screen,
          ftxui::vbox({
              ftxui::text(plimsy::DisplayText(plimsy::FileEntry(file))),
              ftxui::text(plimsy::DisplayText(plimsy::NameRow(file))),
              plimsy::RenderDifference(file, split, {nullptr, nullptr, &view}),
          }));
      const std::string hazard =
          plimsy::testing::TerminalHazard(screen.ToString());
      if (!hazard.empty()) {
        std::fprintf(stderr, "unsafe terminal output: %s\n", hazard.c_str());
        std::abort();
      }
    }
  }
  return 0;
}
