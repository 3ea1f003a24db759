#include "log/panels.h"

#include <utility>

#include "diff/file_labels.h"
#include "ui/display_text.h"

namespace plimsy::log {
namespace {

using ftxui::Color;
using ftxui::Component;
using ftxui::Element;
using ftxui::Elements;

Element Row(const char* label, Color label_color, const std::string& value) {
  return ftxui::hbox({
      ftxui::text(label) | ftxui::bold | ftxui::color(label_color),
      ftxui::text(DisplayText(value)) | ftxui::xflex,
  });
}

void AddRows(Elements& rows,
             const char* label,
             const std::vector<std::string>& values) {
  for (const std::string& value : values) {
    rows.push_back(Row(label, Color::Green, value));
  }
}

// A titled pane whose list scrolls inside it with an indicator.
Element ListPane(const char* title, const Component& list) {
  return ftxui::vbox({
      ftxui::text(title),
      ftxui::separator(),
      list->Render(),
  });
}

}  // namespace

Element CommitDetails(const Commit& commit) {
  Elements rows;
  AddRows(rows, "committer:", commit.committers);
  AddRows(rows, "   author:", commit.authors);
  rows.push_back(Row("     hash:", Color::Green, commit.hash));
  AddRows(rows, "   parent:", commit.parents);
  rows.push_back(Row("     tree:", Color::Green, commit.tree));
  rows.push_back(Row("    title:", Color::Red, commit.title));
  rows.push_back(ftxui::separator());
  for (const std::string& line : commit.description) {
    rows.push_back(ftxui::text(DisplayText(line)));
  }
  return ftxui::vbox(std::move(rows));
}

std::function<Element()> ContentRenderer(
    const int& selected_file,
    const std::vector<File>& files,
    const std::vector<std::vector<int>>& split_rows,
    std::vector<RenderCache>& render_caches,
    TextView& view,
    const bool& split,
    const std::vector<const Commit*>& commits,
    const int& selected_commit) {
  return [&] {
    if (selected_file != 0 &&
        static_cast<size_t>(selected_file) <= files.size()) {
      return RenderDifference(files[selected_file - 1], split,
                              {&split_rows[selected_file - 1],
                               &render_caches[selected_file - 1], &view});
    }
    return CommitDetails(*commits[selected_commit]);
  };
}

std::function<Element()> HeaderRenderer(Component split_checkbox,
                                        Component minus_button,
                                        const int& context,
                                        Component plus_button,
                                        Component quit_button) {
  return [=, &context] {
    return ftxui::hbox({
               ftxui::text("[plimsy log]"),
               ftxui::filler(),
               split_checkbox->Render(),
               ftxui::text("   Context:"),
               minus_button->Render(),
               ftxui::text(std::to_string(context)),
               plus_button->Render(),
               ftxui::filler(),
               quit_button->Render(),
           }) |
           ftxui::bgcolor(Color::White) | ftxui::color(Color::Black);
  };
}

std::function<Element()> CommitPaneRenderer(Component commit_menu) {
  return [commit_menu] { return ListPane("Commit", commit_menu); };
}

std::function<Element()> FilesPaneRenderer(Component file_menu) {
  return [file_menu] { return ListPane("Files", file_menu); };
}

std::function<Element()> ContentPaneRenderer(Component content_scroller) {
  return [content_scroller] {
    return ftxui::vbox({
        ftxui::text("Content"),
        ftxui::separator(),
        content_scroller->Render() | ftxui::flex,
    });
  };
}

std::function<Element()> BodyRenderer(Component panes) {
  return [panes] { return panes->Render() | ftxui::flex; };
}

}  // namespace plimsy::log
