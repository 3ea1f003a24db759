#include "log/panels.h"

#include <algorithm>
#include <memory>
#include <span>
#include <string_view>
#include <utility>

#include <ftxui/screen/string.hpp>

#include "diff/file_labels.h"
#include "log/graph_row.h"
#include "ui/display_text.h"
#include "ui/fit_width.h"
#include "ui/layout.h"

namespace plimsy::log {
namespace {

using ftxui::Color;
using ftxui::Component;
using ftxui::Element;
using ftxui::Elements;

Element Label(const char* label, Color label_color = Color::Green) {
  return ftxui::text(label) | ftxui::bold | ftxui::color(label_color);
}

Element Row(const char* label, Color label_color, const std::string& value) {
  return ftxui::hbox({
      Label(label, label_color),
      ftxui::text(DisplayText(value)) | ftxui::xflex,
  });
}

// A name and address row, then the date as git prints it.
void AddSignatureRows(Elements& rows,
                      const char* label,
                      const std::vector<std::string>& values) {
  for (const std::string& value : values) {
    Signature signature = ParseSignature(value);
    if (!signature.dated) {
      rows.push_back(Row(label, Color::Green, value));
      continue;
    }
    rows.push_back(Row(label, Color::Green, signature.person));
    rows.push_back(Row("     date:", Color::Green, GitDate(signature)));
  }
}

// A value that wraps at any character when the pane is narrower: an object
// name is never cut.
Element Wrapping(const std::string& value) {
  Elements glyphs;
  for (std::string& glyph : ftxui::Utf8ToGlyphs(DisplayText(value))) {
    glyphs.push_back(ftxui::text(std::move(glyph)));
  }
  return ftxui::flexbox(std::move(glyphs));
}

Element ParentRow(const std::string& parent,
                  std::size_t abbrev,
                  const std::set<std::string>& missing) {
  Elements cells = {Label("   parent:"), ftxui::text(parent.substr(0, abbrev)) |
                                             ftxui::color(Color::Yellow)};
  if (const Commit* record = CachedCommit(parent)) {
    cells.push_back(ftxui::text(" " + DisplayText(record->title)) |
                    ftxui::xflex);
  } else if (missing.contains(parent)) {
    cells.push_back(ftxui::text(" (not in this repository)") | ftxui::dim |
                    ftxui::xflex);
  }
  return ftxui::hbox(std::move(cells));
}

// git's error text, one red row per line.
Elements ErrorRows(const std::string& error) {
  Elements rows;
  std::string_view rest = error;
  while (!rest.empty()) {
    std::size_t end = rest.find('\n');
    rows.push_back(ftxui::text(DisplayText(rest.substr(0, end))) |
                   ftxui::color(Color::Red));
    rest = end == std::string_view::npos ? std::string_view()
                                         : rest.substr(end + 1);
  }
  return rows;
}

// A titled pane whose list scrolls inside it with an indicator.
Element ListPane(const std::string& title, const Component& list) {
  return ftxui::vbox({
      PaneTitle(title, list->Focused()),
      ftxui::separator(),
      list->Render(),
  });
}

}  // namespace

Element CommitDetails(const Commit& commit,
                      const std::vector<RefLabel>& labels,
                      std::size_t abbrev,
                      const std::set<std::string>& missing) {
  Elements rows;
  AddSignatureRows(rows, "committer:", commit.committers);
  AddSignatureRows(rows, "   author:", commit.authors);
  rows.push_back(ftxui::hbox({Label("     hash:"), Wrapping(commit.hash)}));
  for (const std::string& parent : commit.parents) {
    rows.push_back(ParentRow(parent, abbrev, missing));
  }
  if (!labels.empty()) {
    // Every label, wrapping between labels in a narrow pane.
    Elements items;
    for (std::size_t i = 0; i < labels.size(); ++i) {
      items.push_back(ftxui::hbox({
          ftxui::text(DisplayText(labels[i].name)) | ftxui::bold |
              ftxui::color(LabelColor(labels[i].kind)),
          ftxui::text(i + 1 < labels.size() ? ", " : ""),
      }));
    }
    rows.push_back(
        ftxui::hbox({Label("     refs:"), ftxui::flexbox(std::move(items))}));
  }
  rows.push_back(Row("     tree:", Color::Green, commit.tree));
  rows.push_back(Row("    title:", Color::Red, commit.title));
  rows.push_back(ftxui::separator());
  for (const std::string& line : commit.description) {
    rows.push_back(ftxui::text(DisplayText(line)));
  }
  return ftxui::vbox(std::move(rows));
}

std::function<Element()> ContentRenderer(State& state) {
  return [&state] {
    LoadedDiff& diff = state.diff;
    const int index = state.selected_file - 1;
    if (FileAt(diff, index) != nullptr) {
      return RenderDifference(
          diff.files[index], state.split,
          {&diff.split_rows[index], &diff.render_caches[index], &diff.view});
    }
    if ((state.selected_file != 0 && diff.loading) ||
        static_cast<std::size_t>(state.selected_commit) >=
            state.commits.size()) {
      // No commit has come yet, or its files are being read.
      return ftxui::text("loading\u2026") | ftxui::dim;
    }
    Elements content = ErrorRows(state.diff_error);
    content.push_back(CommitDetails(*state.commits[state.selected_commit],
                                    state.rows[state.selected_commit].labels,
                                    state.abbrev, state.missing));
    return ftxui::vbox(std::move(content));
  };
}

std::function<Element(const ListEntryState&)> CommitEntry(const State& state) {
  return [&state](const ListEntryState& entry) {
    // One cell of the pane is the list's scroll indicator.
    const int width = state.commits_width - 1;
    CommitColumns columns =
        FitColumns(width, static_cast<int>(state.abbrev), state.author_width);
    Element graph;
    const auto index = static_cast<std::size_t>(entry.index);
    if (ShowsGraph(state.graph_shown, state.commits_width) &&
        index < state.graph.size()) {
      // Lanes past a third of the row give way to the title.
      const std::span<const GraphCell> cells = state.graph.Row(index);
      const int graph_width =
          std::min(static_cast<int>(cells.size()), std::max(width / 3, 1));
      graph = DrawGraphRow(cells, graph_width);
      columns.labels = std::max(columns.labels - graph_width - 1, 0);
    }
    return DrawCommitRow(state.rows[entry.index], columns, entry.selected,
                         entry.focused, std::move(graph));
  };
}

std::function<Element(const ListEntryState&)> FileEntry(const State& state) {
  return [&state](const ListEntryState& entry) {
    const std::string name = DisplayText(state.diff.names[entry.index]);
    return AtSize([name, entry](int width, int) {
      // The selection mark takes two cells.
      return ListRow(FitWidth(name, width - 2), entry);
    });
  };
}

std::function<Element()> CommitPaneRenderer(
    Component commit_menu,
    const std::string& stopped,
    std::function<std::string()> position) {
  return [commit_menu, &stopped, position] {
    Element pane = ListPane(
        position ? "Commit " + position() : std::string("Commit"), commit_menu);
    if (stopped.empty()) {
      return pane;
    }
    return ftxui::vbox({pane | ftxui::yflex,
                        ftxui::paragraph(stopped) | ftxui::color(Color::Red)});
  };
}

std::function<Element()> FilesPaneRenderer(Component file_menu,
                                           const std::string& note,
                                           const bool& loading) {
  return [file_menu, &note, &loading] {
    Elements rows = {PaneTitle("Files", file_menu->Focused()),
                     ftxui::separator()};
    if (!note.empty()) {
      rows.push_back(ftxui::paragraph(note) | ftxui::dim);
    }
    rows.push_back(file_menu->Render() | ftxui::vscroll_indicator |
                   ftxui::yframe | ftxui::yflex);
    if (loading) {
      rows.push_back(ftxui::text("  loading\u2026") | ftxui::dim);
    }
    return ftxui::vbox(std::move(rows));
  };
}

std::function<Element()> ContentPaneRenderer(Component content_scroller,
                                             const State& state) {
  return [content_scroller, &state] {
    Elements rows = {PaneTitle("Content", content_scroller->Focused()),
                     ftxui::separator()};
    // The file list names a file by its new name alone, and may cut it; a
    // file without lines is described by the content instead.
    const File* file = FileAt(state.diff, state.selected_file - 1);
    if (file != nullptr && !file->hunks.empty()) {
      rows.push_back(NameRowElement(*file));
      rows.push_back(ftxui::separator());
    }
    rows.push_back(content_scroller->Render() | ftxui::flex);
    return ftxui::vbox(std::move(rows));
  };
}

}  // namespace plimsy::log
