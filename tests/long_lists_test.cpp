// The screens' lists keep the selection in view however long they are: the
// library's own layout overflowed from some 46 000 entries (a sanitizer
// build aborted, a release build left the list at its top).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/screen.h"
#include "log/commit.h"
#include "log/screen.h"
#include "support.h"
#include "ui_support.h"

namespace plimsy {
namespace {

using ftxui::Event;

constexpr int kWidth = 100;
constexpr int kHeight = 30;

// The rows of a frame of `root`, each cut to the first `width` cells.
std::vector<std::string> Frame(const ftxui::Component& root, int width) {
  ftxui::Screen screen = ftxui::Screen::Create(
      ftxui::Dimension::Fixed(kWidth), ftxui::Dimension::Fixed(kHeight));
  ftxui::Render(screen, root->Render());
  std::vector<std::string> rows;
  for (int y = 0; y < kHeight; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      const std::string& character = screen.PixelAt(x, y).character;
      row += character.empty() ? " " : character;
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(LongListsTest, DiffScreenWithFiftyThousandFiles) {
  constexpr int kFiles = 50'000;
  diff::State state;
  for (int i = 0; i < kFiles; ++i) {
    const std::string name = "f" + std::to_string(i);
    state.diff.files.push_back(
        {"a/" + name, name, {testing::MakeHunk(1, 1, {"-x", "+" + name})}});
    state.diff.names.push_back(name);
  }
  state.diff.split_rows = testing::SplitRowCountsOf(state.diff.files);
  state.diff.render_caches.resize(state.diff.files.size());

  for (const bool to_end : {false, true}) {
    SCOPED_TRACE(to_end ? "End" : "40 Downs");
    state.selected_file = 0;
    ftxui::Component root = diff::BuildScreen(state, [] {});
    Frame(root, kWidth);
    if (to_end) {
      EXPECT_TRUE(root->OnEvent(Event::End));
    } else {
      for (int i = 0; i < 40; ++i) {
        EXPECT_TRUE(root->OnEvent(Event::ArrowDown));
      }
    }
    const int shown = to_end ? kFiles - 1 : 40;
    EXPECT_EQ(state.selected_file, shown);
    const std::vector<std::string> rows = Frame(root, kWidth);
    // The view moved no further than it had to: the selection is on the
    // last row of the list, above the key hint.
    EXPECT_TRUE(
        rows[rows.size() - 2].starts_with("> f" + std::to_string(shown) + " "));
  }
}

TEST(LongListsTest, LogScreenWithAMillionCommits) {
  constexpr int kCommits = 1'000'000;
  // Outside a repository: the diff of a commit reads as empty.
  testing::TempDir dir;
  testing::ScopedCwd cwd(dir.path());
  Commit commit;
  commit.hash = "0123456789abcdef0123456789abcdef01234567";
  log::State state;
  state.commits.assign(kCommits, &commit);
  state.rows.reserve(kCommits);
  for (int i = 0; i < kCommits; ++i) {
    log::CommitRow& row = state.rows.emplace_back();
    row.hash = "0123456";
    row.title = "commit " + std::to_string(i);
  }
  state.diff.names = {"description"};

  for (const bool to_end : {false, true}) {
    SCOPED_TRACE(to_end ? "End" : "40 Downs");
    state.selected_commit = 0;
    ftxui::Component root = log::BuildScreen(state, [] {});
    Frame(root, kWidth);
    if (to_end) {
      EXPECT_TRUE(root->OnEvent(Event::End));
    } else {
      for (int i = 0; i < 40; ++i) {
        EXPECT_TRUE(root->OnEvent(Event::ArrowDown));
      }
    }
    const int shown = to_end ? kCommits - 1 : 40;
    EXPECT_EQ(state.selected_commit, shown);
    // The commit list is the left pane, 25 columns wide.
    const std::vector<std::string> rows = Frame(root, 25);
    EXPECT_TRUE(rows[rows.size() - 2].starts_with("> 0123456 commit " +
                                                  std::to_string(shown) + " "))
        << rows[rows.size() - 2];
  }
}

}  // namespace
}  // namespace plimsy
