#include "log/panels.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/component_options.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/diff.h"
#include "diff/pairing.h"
#include "diff/render.h"
#include "diff/render_cache.h"
#include "log/commit.h"
#include "log/commit_records.h"
#include "log/rows.h"
#include "log/walk.h"
#include "support.h"
#include "terminal_safety.h"
#include "ui/display_text.h"
#include "ui/list.h"
#include "ui/scroller.h"

namespace plimsy::log {
namespace {

using ftxui::Color;
using ftxui::Component;
using ftxui::Element;
using ftxui::Screen;
using testing::ScopedCwd;
using testing::TempRepo;

const std::string kAuthor = "A U Thor <author@example.com> 1700000000 +0100";
const std::string kCommitter =
    "C O Mitter <committer@example.com> 1700000100 -0530";

Screen Draw(const Element& element, int width, int height) {
  Screen screen = Screen::Create(ftxui::Dimension::Fixed(width),
                                 ftxui::Dimension::Fixed(height));
  ftxui::Render(screen, element);
  return screen;
}

std::vector<std::string> Rows(const Screen& screen) {
  std::vector<std::string> rows;
  for (int y = 0; y < screen.dimy(); ++y) {
    std::string row;
    for (int x = 0; x < screen.dimx(); ++x) {
      const std::string& character = screen.PixelAt(x, y).character;
      row += character.empty() ? " " : character;
    }
    row.erase(row.find_last_not_of(' ') + 1);
    rows.push_back(row);
  }
  while (!rows.empty() && rows.back().empty()) {
    rows.pop_back();
  }
  return rows;
}

std::string Repeat(const std::string& piece, int count) {
  std::string result;
  for (int i = 0; i < count; ++i) {
    result += piece;
  }
  return result;
}

std::string Rev(TempRepo& repo, const std::string& revision) {
  std::string hash = repo.Git({"rev-parse", revision});
  hash.pop_back();
  return hash;
}

// A root commit, a side commit and a merge of both, written with fixed
// identities so that every header value is known.
class CommitDetailsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    repo_ = new TempRepo;
    auto commit = [](const std::string& ref, int mark,
                     const std::string& message, const std::string& parents) {
      return "commit " + ref + "\nmark :" + std::to_string(mark) + "\nauthor " +
             kAuthor + "\ncommitter " + kCommitter + "\ndata " +
             std::to_string(message.size()) + "\n" + message + parents +
             "M 100644 inline f" + std::to_string(mark) + "\ndata 2\nx\n\n";
    };
    repo_->Git({"fast-import", "--quiet"},
               commit("refs/heads/main", 1, "root title\n", "") +
                   commit("refs/heads/side", 2, "side title\n", "from :1\n") +
                   commit("refs/heads/main", 3,
                          "merge title\nsecond line is dropped\nbody "
                          "one\n\nbody three\n",
                          "from :1\nmerge :2\n"));
  }
  static void TearDownTestSuite() { delete repo_; }

  static TempRepo* repo_;
};

TempRepo* CommitDetailsTest::repo_ = nullptr;

// The kept record of `revision`, read as the log reads it.
const Commit& Record(TempRepo& repo, const std::string& revision) {
  const std::string hash = Rev(repo, revision);
  std::set<std::string> missing;
  ReadCommits({hash}, missing);
  const Commit* commit = CachedCommit(hash);
  EXPECT_NE(commit, nullptr) << revision;
  static const Commit none;
  return commit ? *commit : none;
}

std::string Show(TempRepo& repo,
                 const std::string& format,
                 const std::string& revision) {
  std::string shown = repo.Git({"log", "-1", "--format=" + format, revision});
  shown.pop_back();
  return shown;
}

TEST_F(CommitDetailsTest, RowsInOrder) {
  ScopedCwd cwd(repo_->path());
  const int width = 80;
  struct Case {
    std::string name;
    std::string revision;
    std::vector<RefLabel> labels;
    std::vector<std::string> rows_after_hash;
  };
  Record(*repo_, "main^1");
  Record(*repo_, "main^2");
  const std::vector<Case> cases = {
      {"merge",
       "main",
       {{RefKind::kHead, "HEAD -> main"}, {RefKind::kTag, "tag: v1"}},
       {"   parent:" + Show(*repo_, "%h root title", "main^1"),
        "   parent:" + Show(*repo_, "%h side title", "main^2"),
        "     refs:HEAD -> main, tag: v1",
        "     tree:" + Rev(*repo_, "main^{tree}"), "    title:merge title",
        Repeat("─", width), "body one", "", "body three"}},
      {"root",
       "main^1",
       {},
       {"     tree:" + Rev(*repo_, "main^1^{tree}"), "    title:root title",
        Repeat("─", width)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string hash = Rev(*repo_, c.revision);
    // The dates as git prints them by default, in the signature's own zone.
    std::vector<std::string> expected = {
        "committer:C O Mitter <committer@example.com>",
        "     date:" + Show(*repo_, "%cd", hash),
        "   author:A U Thor <author@example.com>",
        "     date:" + Show(*repo_, "%ad", hash), "     hash:" + hash};
    EXPECT_EQ(expected[1], "     date:Tue Nov 14 16:45:00 2023 -0530");
    EXPECT_EQ(expected[3], "     date:Tue Nov 14 23:13:20 2023 +0100");
    expected.insert(expected.end(), c.rows_after_hash.begin(),
                    c.rows_after_hash.end());
    // Trailing empty rows are not told apart from the screen's blank rest.
    while (expected.back().empty()) {
      expected.pop_back();
    }
    EXPECT_EQ(
        Rows(Draw(CommitDetails(Record(*repo_, c.revision), c.labels, 7, {}),
                  width, 20)),
        expected);
  }
}

TEST_F(CommitDetailsTest, LabelsAreBoldGreenTitleRed) {
  ScopedCwd cwd(repo_->path());
  Screen screen =
      Draw(CommitDetails(Record(*repo_, "main"), {}, 7, {}), 80, 20);
  const int title_row = 8;
  ASSERT_EQ(Rows(screen)[title_row], "    title:merge title");
  for (int y = 0; y <= title_row; ++y) {
    SCOPED_TRACE("row " + std::to_string(y));
    const Color label = y == title_row ? Color::Red : Color::Green;
    for (int x = 0; x < 10; ++x) {
      EXPECT_EQ(screen.PixelAt(x, y).foreground_color, Color(label));
      EXPECT_TRUE(screen.PixelAt(x, y).bold);
    }
    EXPECT_FALSE(screen.PixelAt(10, y).bold);
  }
  EXPECT_EQ(screen.PixelAt(10, 0).foreground_color, Color(Color::Default));
  // A parent's short name is coloured as in the list.
  EXPECT_EQ(screen.PixelAt(10, 5).foreground_color, Color(Color::Yellow));
  EXPECT_EQ(screen.PixelAt(0, 10).foreground_color, Color(Color::Default));
}

TEST(CommitDetailsRecordTest, EveryListIsShownInFullInItsPlace) {
  const std::string p1(40, '1');
  const std::string p2(40, '2');
  const std::string p3(40, '3');
  Commit commit;
  commit.hash = std::string(40, 'a');
  commit.committers = {"c1", "c2 <c@example.com> 1 +0000"};
  commit.authors = {"a1", "a2 <a@example.com> 86400 -0100"};
  commit.parents = {p1, p2, p3};
  commit.tree = "t";
  commit.title = "";
  commit.description = {"", "d"};
  Commit second;
  second.hash = p2;
  second.title = "second parent";
  KeepCommit(second);
  EXPECT_EQ(
      Rows(Draw(CommitDetails(commit, {}, 4, {p3}), 60, 20)),
      (std::vector<std::string>{
          "committer:c1", "committer:c2 <c@example.com>",
          "     date:Thu Jan 1 00:00:01 1970 +0000", "   author:a1",
          "   author:a2 <a@example.com>",
          "     date:Thu Jan 1 23:00:00 1970 -0100", "     hash:" + commit.hash,
          "   parent:1111", "   parent:2222 second parent",
          "   parent:3333 (not in this repository)", "     tree:t",
          "    title:", Repeat("─", 60), "", "d"}));

  Commit empty;
  EXPECT_EQ(Rows(Draw(CommitDetails(empty, {}, 7, {}), 12, 20)),
            (std::vector<std::string>{
                "     hash:", "     tree:", "    title:", Repeat("─", 12)}));
}

TEST(CommitDetailsRecordTest, FullHashWrapsInANarrowPane) {
  Commit commit;
  commit.hash = "0123456789abcdef0123456789abcdef01234567";
  std::vector<std::string> rows =
      Rows(Draw(CommitDetails(commit, {}, 7, {}), 30, 20));
  ASSERT_GE(rows.size(), 3u);
  EXPECT_EQ(rows[0], "     hash:0123456789abcdef0123");
  EXPECT_EQ(rows[1], "          456789abcdef01234567");
  EXPECT_EQ(rows[2], "     tree:");
}

TEST(CommitDetailsRecordTest, HostileMessageIsDrawnSafely) {
  Commit commit;
  commit.hash = "h";
  commit.title =
      "t\xE0\x1B]0;pwned\x07itle\xC2\x9B"
      "2J";
  commit.committers = {"x\xE0\x1B[2Jy"};
  commit.description = {
      "\xC2\x9B"
      "31mred",
      "\x1B[1;1Hhome"};
  Screen screen = Draw(
      CommitDetails(commit, {{RefKind::kBranch, "b\x1B[2J"}}, 7, {}), 40, 10);
  EXPECT_EQ(testing::TerminalHazard(screen.ToString()), "");
  std::vector<std::string> rows = Rows(screen);
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows[0], "committer:" + DisplayText(commit.committers[0]));
  EXPECT_EQ(rows[4], "    title:" + DisplayText(commit.title));
  EXPECT_EQ(rows[6], DisplayText(commit.description[0]));
  EXPECT_EQ(rows[7], DisplayText(commit.description[1]));
}

TEST(ContentRendererTest, DescriptionEntryOrFileDiff) {
  Commit commit;
  commit.hash = "selected";
  Commit other;
  other.hash = "other";
  State state;
  state.commits = {&other, &commit};
  state.selected_commit = 1;
  std::vector<File>& files = state.diff.files;
  files = ParseDiff(
      "diff --git a/f b/f\n--- a/f\n+++ b/f\n@@ -1,2 +1,2 @@\n same\n-old\n"
      "+new\n");
  state.diff.split_rows = {SplitRowCounts(files[0])};
  state.diff.render_caches.resize(1);
  int& selected_file = state.selected_file;
  bool& split = state.split;
  std::vector<CommitRow>& rows = state.rows;
  rows.resize(2);
  rows[1].labels = {{RefKind::kBranch, "main"}};
  state.abbrev = 7;
  const std::set<std::string>& missing = state.missing;
  std::string& diff_error = state.diff_error;
  auto content = ContentRenderer(state);
  auto draw = [&](const Element& element) {
    return Rows(Draw(element, 40, 8));
  };
  struct Case {
    int selected_file;
    bool split;
    Element expected;
  };
  const std::vector<Case> cases = {
      {0, true, CommitDetails(commit, rows[1].labels, 7, missing)},
      {1, true, RenderFile(files[0], true)},
      {1, false, RenderFile(files[0], false)},
      {2, false, CommitDetails(commit, rows[1].labels, 7, missing)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("file " + std::to_string(c.selected_file) +
                 (c.split ? " split" : " joined"));
    selected_file = c.selected_file;
    split = c.split;
    EXPECT_EQ(draw(content()), draw(c.expected));
  }
  // git's error text comes first, in red, over the details.
  diff_error = "fatal: unable to read tree\nsecond line\n";
  selected_file = 0;
  std::vector<std::string> shown = draw(content());
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown[0], "fatal: unable to read tree");
  EXPECT_EQ(shown[1], "second line");
  EXPECT_EQ(shown[2], "     hash:selected");
  Screen screen = Draw(content(), 40, 8);
  EXPECT_EQ(screen.PixelAt(0, 0).foreground_color, Color(Color::Red));
}

// A line that git marked as ending without a newline has the marker in a
// dim row under it, on the line's side.
TEST(ContentRendererTest, GitsNoNewlineMarkerUnderItsLine) {
  Commit commit;
  State state;
  state.commits = {&commit};
  state.rows.resize(1);
  state.diff.files = ParseDiff(
      "diff --git a/f b/f\n--- a/f\n+++ b/f\n@@ -1 +1 @@\n-}\n+}\n"
      "\\ No newline at end of file\n");
  state.diff.split_rows = {SplitRowCounts(state.diff.files[0])};
  state.diff.render_caches.resize(1);
  state.selected_file = 1;
  const std::string blank(26, ' ');
  const struct {
    bool split;
    std::vector<std::string> rows;
  } cases[] = {
      {false,
       {"@@ -1 +1 @@", "1│~│-}", "~│1│+}", " │ │\\ No newline at end of file"}},
      // 27 cells for each text.
      {true,
       {"@@ -1 +1 @@", "1│-}" + blank + "│1│+}",
        "~│ " + blank + " │ │\\ No newline at end of file"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.split ? "split" : "joined");
    state.split = c.split;
    const Screen screen = Draw(ContentRenderer(state)(), 60, 6);
    EXPECT_EQ(Rows(screen), c.rows);
    EXPECT_TRUE(screen.PixelAt(c.split ? 33 : 4, c.split ? 2 : 3).dim);
  }
}

TEST(PaneRenderersTest, TitledPanesAndScrollingLists) {
  std::vector<std::string> entries;
  for (int i = 0; i < 50; ++i) {
    entries.push_back("entry " + std::to_string(i));
  }
  int selected = 40;
  Component menu = List(&entries, &selected);
  Component content = ftxui::Scroller(ftxui::Renderer([] {
    return ftxui::vbox({ftxui::text("first"), ftxui::text("second")});
  }));
  struct Case {
    std::string title;
    std::function<Element()> pane;
    std::string shown;
  };
  const std::string no_note;
  const std::string no_failure;
  const bool loading = false;
  const State no_file;
  const std::vector<Case> cases = {
      {"Commit", CommitPaneRenderer(menu, no_failure), "entry 40"},
      {"Files", FilesPaneRenderer(menu, no_note, loading), "entry 40"},
      {"Content", ContentPaneRenderer(content, no_file), "first"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    Screen screen = Draw(c.pane(), 20, 10);
    std::vector<std::string> rows = Rows(screen);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0], c.title);
    EXPECT_EQ(rows[1], Repeat("─", 20));
    bool shown = false;
    for (size_t y = 2; y < rows.size(); ++y) {
      shown = shown || rows[y].find(c.shown) != std::string::npos;
    }
    EXPECT_TRUE(shown);
  }
  // The list is cut to the pane with the indicator in the last column.
  Screen screen = Draw(CommitPaneRenderer(menu, no_failure)(), 20, 10);
  std::string indicator;
  for (int y = 2; y < 10; ++y) {
    indicator += screen.PixelAt(19, y).character;
  }
  EXPECT_NE(indicator.find_first_not_of(' '), std::string::npos);

  // A note stands between the title and the list.
  const std::string note = "diff against first parent 1234567";
  std::vector<std::string> rows =
      Rows(Draw(FilesPaneRenderer(menu, note, loading)(), 40, 10));
  ASSERT_GE(rows.size(), 4u);
  EXPECT_EQ(rows[0], "Files");
  EXPECT_EQ(rows[2], note);
  EXPECT_NE(rows[3].find("entry "), std::string::npos);
}

}  // namespace
}  // namespace plimsy::log
