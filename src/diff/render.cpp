#include "diff/render.h"

#include <string>
#include <utility>

#include "ui/display_text.h"

namespace plimsy {

namespace {

using ftxui::Color;
using ftxui::Element;
using ftxui::Elements;

Element Number(int32_t number) {
  return ftxui::text(std::to_string(number));
}

Element Placeholder() {
  return ftxui::text("~") | ftxui::dim;
}

Element Plain(const Line& line) {
  return ftxui::text(DisplayText(line.text));
}

Element Deleted(const Line& line) {
  return ftxui::text(DisplayText(line.text)) |
         ftxui::color(Color::RGB(255, 200, 200)) |
         ftxui::bgcolor(Color::RGB(128, 0, 0));
}

Element Added(const Line& line) {
  return ftxui::text(DisplayText(line.text)) |
         ftxui::color(Color::RGB(200, 255, 200)) |
         ftxui::bgcolor(Color::RGB(0, 128, 0));
}

// A fixed request of 800 cells that xflex then lets grow or shrink, so the
// text columns share whatever width the number columns leave.
Element TextColumn(Elements cells) {
  return ftxui::vbox(std::move(cells)) |
         ftxui::size(ftxui::WIDTH, ftxui::EQUAL, 800) | ftxui::xflex;
}

}  // namespace

Element RenderFile(const File& file, bool split) {
  Elements hunks;
  for (const Hunk& hunk : file.hunks) {
    if (!hunks.empty()) {
      hunks.push_back(ftxui::separator());
    }
    hunks.push_back(split ? RenderHunkSplit(hunk) : RenderHunkJoined(hunk));
  }
  return ftxui::vbox(std::move(hunks));
}

Element RenderHunkJoined(const Hunk& hunk) {
  Elements old_numbers;
  Elements new_numbers;
  Elements texts;
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

Element RenderHunkSplit(const Hunk& hunk) {
  Elements old_numbers;
  Elements old_texts;
  Elements new_numbers;
  Elements new_texts;
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

void BalanceSides(Elements& old_numbers,
                  Elements& old_texts,
                  Elements& new_numbers,
                  Elements& new_texts) {
  while (old_texts.size() < new_texts.size()) {
    old_texts.push_back(ftxui::text(""));
    old_numbers.push_back(Placeholder());
  }
  while (new_texts.size() < old_texts.size()) {
    new_texts.push_back(ftxui::text(""));
    new_numbers.push_back(Placeholder());
  }
}

}  // namespace plimsy
