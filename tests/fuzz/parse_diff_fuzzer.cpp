#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ftxui/dom/elements.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/screen.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "../terminal_safety.h"
#include "diff/diff.h"
#include "diff/file_labels.h"
#include "diff/strip_colour.h"
#include "ui/display_text.h"
#include "ui/text_view.h"

// Parses arbitrary bytes as diff text and draws every file's list entry,
// name row and difference in both layouts, cut or wrapped; whatever the
// input, the parser must not fail and the drawn screen must not carry
// anything but text and colours to the terminal.
namespace {

bool Same(const plimsy::File& a, const plimsy::File& b) {
  if (a.old_name != b.old_name || a.new_name != b.new_name ||
      a.status != b.status || a.similarity != b.similarity ||
      a.old_mode != b.old_mode || a.new_mode != b.new_mode ||
      a.binary != b.binary || a.hunks.size() != b.hunks.size()) {
    return false;
  }
  for (size_t i = 0; i < a.hunks.size(); ++i) {
    const plimsy::Hunk& x = a.hunks[i];
    const plimsy::Hunk& y = b.hunks[i];
    if (x.old_start != y.old_start || x.new_start != y.new_start ||
        x.header != y.header || x.lines.size() != y.lines.size()) {
      return false;
    }
    for (size_t j = 0; j < x.lines.size(); ++j) {
      if (x.lines[j].kind != y.lines[j].kind ||
          x.lines[j].text != y.lines[j].text) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<plimsy::File> files = plimsy::ParseDiff(std::string(text));
  // Read in pieces cut where the input's own bytes say: the same files as
  // the whole parse; and a pager's mixed, coloured text must not fail.
  for (const bool mixed : {false, true}) {
    plimsy::DiffReader reader({.mixed_text = mixed});
    plimsy::ColourStripper stripper;
    std::vector<plimsy::File> read;
    std::vector<plimsy::FilePart> parts;
    // The file being read is taken in parts too, as a screen takes a
    // long one, and joined again.
    auto take = [&reader, &read, &parts](bool current) {
      reader.TakeParts(parts);
      if (current) {
        reader.TakeCurrentPart(parts);
      }
      for (plimsy::FilePart& part : parts) {
        if (part.joins) {
          plimsy::JoinPart(read.back(), std::move(part));
        } else {
          read.push_back(std::move(part.file));
        }
      }
      parts.clear();
    };
    for (size_t pos = 0, n = 0; pos < size; pos += n) {
      n = 1 + data[pos] % 64;
      std::string piece(text.substr(pos, n));
      if (mixed) {
        std::string plain;
        stripper.Strip(piece, plain);
        piece.swap(plain);
      }
      reader.Read(piece);
      take(data[pos] % 3 == 0);
    }
    reader.Finish();
    take(false);
    if (!mixed && !std::equal(read.begin(), read.end(), files.begin(),
                              files.end(), Same)) {
      std::fprintf(stderr, "reading in pieces gave other files\n");
      std::abort();
    }
  }
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
