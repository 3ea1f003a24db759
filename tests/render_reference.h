#ifndef PLIMSY_TESTS_RENDER_REFERENCE_H_
#define PLIMSY_TESTS_RENDER_REFERENCE_H_

#include <cstdint>
#include <string>
#include <utility>

#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/color.hpp>

#include "diff/diff.h"
#include "ui/display_text.h"

// The straightforward rendering of a file: every line of every hunk built
// as elements, the whole tree laid out and drawn, the frame only clipping.
// RenderFile must draw exactly the same cells; tests and benchmarks compare
// against this.
namespace plimsy::reference {

inline ftxui::Element Number(int32_t number) {
  return ftxui::text(std::to_string(number));
}

inline ftxui::Element Placeholder() {
  return ftxui::text("~") | ftxui::dim;
}

inline ftxui::Element Plain(const Line& line) {
  return ftxui::text(DisplayText(line.text));
}

inline ftxui::Element Deleted(const Line& line) {
  return ftxui::text(DisplayText(line.text)) |
         ftxui::color(ftxui::Color::RGB(255, 200, 200)) |
         ftxui::bgcolor(ftxui::Color::RGB(128, 0, 0));
}

inline ftxui::Element Added(const Line& line) {
  return ftxui::text(DisplayText(line.text)) |
         ftxui::color(ftxui::Color::RGB(200, 255, 200)) |
         ftxui::bgcolor(ftxui::Color::RGB(0, 128, 0));
}

inline ftxui::Element TextColumn(ftxui::Elements cells) {
  return ftxui::vbox(std::move(cells)) |
         ftxui::size(ftxui::WIDTH, ftxui::EQUAL, 800) | ftxui::xflex;
}

inline void BalanceSides(ftxui::Elements& old_numbers,
                         ftxui::Elements& old_texts,
                         ftxui::Elements& new_numbers,
                         ftxui::Elements& new_texts) {
  while (old_texts.size() < new_texts.size()) {
    old_texts.push_back(ftxui::text(""));
    old_numbers.push_back(Placeholder());
  }
  while (new_texts.size() < old_texts.size()) {
    new_texts.push_back(ftxui::text(""));
    new_numbers.push_back(Placeholder());
  }
}

inline ftxui::Element RenderHunkJoined(const Hunk& hunk) {
  ftxui::Elements old_numbers;
  ftxui::Elements new_numbers;
  ftxui::Elements texts;
  int32_t old_line = hunk.old_start;
  int32_t new_line = hunk.new_start;
  for (const Line& line : hunk.lines) {
    switch (line.kind) {
      case LineKind::Context:
        old_numbers.push_back(Number(old_line++));
        new_numbers.push_back(Number(new_line++));
        texts.push_back(Plain(line));
        break;
      case LineKind::Deleted:
        old_numbers.push_back(Number(old_line++));
        new_numbers.push_back(Placeholder());
        texts.push_back(Deleted(line));
        break;
      case LineKind::Added:
        old_numbers.push_back(Placeholder());
        new_numbers.push_back(Number(new_line++));
        texts.push_back(Added(line));
        break;
    }
  }
  return ftxui::hbox({
             ftxui::vbox(std::move(old_numbers)),
             ftxui::separator(),
             ftxui::vbox(std::move(new_numbers)),
             ftxui::separator(),
             TextColumn(std::move(texts)),
         }) |
         ftxui::xflex;
}

inline ftxui::Element RenderHunkSplit(const Hunk& hunk) {
  ftxui::Elements old_numbers;
  ftxui::Elements old_texts;
  ftxui::Elements new_numbers;
  ftxui::Elements new_texts;
  int32_t old_line = hunk.old_start;
  int32_t new_line = hunk.new_start;
  for (const Line& line : hunk.lines) {
    switch (line.kind) {
      case LineKind::Context:
        BalanceSides(old_numbers, old_texts, new_numbers, new_texts);
        old_numbers.push_back(Number(old_line++));
        new_numbers.push_back(Number(new_line++));
        old_texts.push_back(Plain(line));
        new_texts.push_back(Plain(line));
        break;
      case LineKind::Deleted:
        old_numbers.push_back(Number(old_line++));
        old_texts.push_back(Deleted(line));
        break;
      case LineKind::Added:
        new_numbers.push_back(Number(new_line++));
        new_texts.push_back(Added(line));
        break;
    }
  }
  BalanceSides(old_numbers, old_texts, new_numbers, new_texts);
  return ftxui::hbox({
             ftxui::vbox(std::move(old_numbers)),
             ftxui::separator(),
             TextColumn(std::move(old_texts)),
             ftxui::separator(),
             ftxui::vbox(std::move(new_numbers)),
             ftxui::separator(),
             TextColumn(std::move(new_texts)),
         }) |
         ftxui::xflex;
}

inline ftxui::Element RenderFile(const File& file, bool split) {
  ftxui::Elements hunks;
  for (const Hunk& hunk : file.hunks) {
    if (!hunks.empty()) {
      hunks.push_back(ftxui::separator());
    }
    hunks.push_back(split ? reference::RenderHunkSplit(hunk)
                          : reference::RenderHunkJoined(hunk));
  }
  return ftxui::vbox(std::move(hunks));
}

}  // namespace plimsy::reference

#endif  // PLIMSY_TESTS_RENDER_REFERENCE_H_
