#include "diff/render.h"

#include <utility>

#include "diff/cells.h"
#include "diff/lazy_file.h"

namespace plimsy {

using ftxui::Element;
using ftxui::Elements;

Element RenderFile(const File& file,
                   bool split,
                   const std::vector<int>* split_rows) {
  return LazyFile(file, split, split_rows);
}

Element RenderHunkJoined(const Hunk& hunk) {
  Elements old_numbers;
  Elements new_numbers;
  Elements texts;
  int64_t old_line = hunk.old_start;
  int64_t new_line = hunk.new_start;
  for (const Line& line : hunk.lines) {
    switch (line.kind) {
      case LineKind::Context:
        old_numbers.push_back(NumberCell(old_line++));
        new_numbers.push_back(NumberCell(new_line++));
        break;
      case LineKind::Deleted:
        old_numbers.push_back(NumberCell(old_line++));
        new_numbers.push_back(PlaceholderCell());
        break;
      case LineKind::Added:
        old_numbers.push_back(PlaceholderCell());
        new_numbers.push_back(NumberCell(new_line++));
        break;
    }
    texts.push_back(LineCell(line));
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

Element RenderHunkSplit(const Hunk& hunk) {
  Elements old_numbers;
  Elements old_texts;
  Elements new_numbers;
  Elements new_texts;
  int64_t old_line = hunk.old_start;
  int64_t new_line = hunk.new_start;
  for (const Line& line : hunk.lines) {
    switch (line.kind) {
      case LineKind::Context:
        BalanceSides(old_numbers, old_texts, new_numbers, new_texts);
        old_numbers.push_back(NumberCell(old_line++));
        new_numbers.push_back(NumberCell(new_line++));
        old_texts.push_back(LineCell(line));
        new_texts.push_back(LineCell(line));
        break;
      case LineKind::Deleted:
        old_numbers.push_back(NumberCell(old_line++));
        old_texts.push_back(LineCell(line));
        break;
      case LineKind::Added:
        new_numbers.push_back(NumberCell(new_line++));
        new_texts.push_back(LineCell(line));
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

void BalanceSides(Elements& old_numbers,
                  Elements& old_texts,
                  Elements& new_numbers,
                  Elements& new_texts) {
  while (old_texts.size() < new_texts.size()) {
    old_texts.push_back(ftxui::text(""));
    old_numbers.push_back(PlaceholderCell());
  }
  while (new_texts.size() < old_texts.size()) {
    new_texts.push_back(ftxui::text(""));
    new_numbers.push_back(PlaceholderCell());
  }
}

}  // namespace plimsy
