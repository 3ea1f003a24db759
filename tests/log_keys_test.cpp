#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/screen.hpp>

#include "git/run.h"
#include "log/screen.h"
#include "support.h"
#include "ui_support.h"

namespace plimsy::log {
namespace {

using ftxui::Event;
using testing::NumberedRows;
using testing::ScopedCwd;
using testing::TempRepo;

std::vector<Event> Type(const std::string& text) {
  std::vector<Event> events;
  for (char c : text) {
    events.push_back(Event::Character(c));
  }
  return events;
}

std::vector<Event> Join(std::vector<std::vector<Event>> parts) {
  std::vector<Event> events;
  for (auto& part : parts) {
    events.insert(events.end(), part.begin(), part.end());
  }
  return events;
}

std::vector<Event> Search(const std::string& term) {
  return Join({Type("/" + term), {Event::Return}});
}

// History, newest first: "spaces" changes only the whitespace of
// space.txt, "hunks" changes long.txt in six places, "root title" adds
// both.
class LogKeysTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    repo_ = new TempRepo;
    repo_->Write("long.txt", NumberedRows({}));
    repo_->Write("space.txt", "int main() {\n  return 0;\n}\n");
    repo_->Commit("root title");
    repo_->Write("long.txt", NumberedRows({{20, "ROW 20"},
                                           {60, "ROW 60"},
                                           {100, "ROW 100"},
                                           {150, "ROW 150 axxb"},
                                           {220, "ROW 220 a.*b"},
                                           {280, "ROW 280"}}));
    repo_->Commit("hunks");
    repo_->Write("space.txt", "int  main() {\n\treturn 0;\n}\n");
    repo_->Commit("spaces");
  }
  static void TearDownTestSuite() { delete repo_; }

  void Open(int width = 120, int height = 30) {
    screen_ = ftxui::Screen::Create(ftxui::Dimension::Fixed(width),
                                    ftxui::Dimension::Fixed(height));
    state_ = State();
    exits_ = 0;
    std::optional<Refusal> refusal = Start(state_, {});
    ASSERT_FALSE(refusal);
    root_ = BuildScreen(state_, [this] { ++exits_; });
    Draw();
  }

  // The window is now `width` cells wide: the screen draws again.
  void Resize(int width, int height = 30) {
    screen_ = ftxui::Screen::Create(ftxui::Dimension::Fixed(width),
                                    ftxui::Dimension::Fixed(height));
    Draw();
  }

  void Draw() {
    screen_.Clear();
    ftxui::Render(screen_, root_->Render());
  }

  void Send(const std::vector<Event>& events) {
    for (const Event& event : events) {
      root_->OnEvent(event);
      Draw();
    }
  }

  std::string Row(int y) const {
    std::string row;
    for (int x = 0; x < screen_.dimx(); ++x) {
      const std::string& character = screen_.PixelAt(x, y).character;
      row += character.empty() ? " " : character;
    }
    return row.substr(0, row.find_last_not_of(' ') + 1);
  }

  std::string Last() const { return Row(screen_.dimy() - 1); }

  int RowOf(const std::string& text) const {
    for (int y = 0; y < screen_.dimy(); ++y) {
      if (Row(y).find(text) != std::string::npos) {
        return y;
      }
    }
    return -1;
  }

  // The cell where the ASCII `text` starts on row `y`, or -1.
  int ColumnOf(const std::string& text, int y) const {
    for (int x = 0; x + static_cast<int>(text.size()) <= screen_.dimx(); ++x) {
      bool match = true;
      for (size_t i = 0; i < text.size() && match; ++i) {
        match = screen_.PixelAt(x + static_cast<int>(i), y).character ==
                text.substr(i, 1);
      }
      if (match) {
        return x;
      }
    }
    return -1;
  }

  // The name of the pane whose title is highlighted.
  std::string Focused() const {
    std::string focused;
    for (const char* title : {"Commit", "Files", "Content"}) {
      const int x = ColumnOf(title, 1);
      if (x >= 0 && screen_.PixelAt(x, 1).inverted) {
        focused += title;
      }
    }
    return focused;
  }

  // Shows long.txt of "hunks" with the content pane focused.
  std::vector<Event> ToLongFile() const {
    return {Event::Character('}'), Event::Tab, Event::Character('j'),
            Event::Tab};
  }

  static TempRepo* repo_;
  ScopedCwd cwd_{repo_->path()};
  State state_;
  ftxui::Screen screen_ = ftxui::Screen::Create(ftxui::Dimension::Fixed(1),
                                                ftxui::Dimension::Fixed(1));
  ftxui::Component root_;
  int exits_ = 0;
};

TempRepo* LogKeysTest::repo_ = nullptr;

TEST_F(LogKeysTest, Keys) {
  struct Case {
    std::string name;
    std::vector<Event> events;
    // Texts on screen, and texts that are not.
    std::vector<std::string> shown;
    std::vector<std::string> hidden;
    std::string last;
    int commit;
    std::string focused;
  };
  const std::string hint = "? help  Tab pane  s split";
  const std::vector<Case> cases = {
      {"Tab", {Event::Tab}, {}, {}, hint, 0, "Files"},
      {"Tab twice", {Event::Tab, Event::Tab}, {}, {}, hint, 0, "Content"},
      {"Tab round",
       {Event::Tab, Event::Tab, Event::Tab},
       {},
       {},
       hint,
       0,
       "Commit"},
      {"Shift-Tab", {Event::TabReverse}, {}, {}, hint, 0, "Content"},
      {"} from the content pane",
       {Event::Tab, Event::Tab, Event::Character('}')},
       {"    title:hunks"},
       {},
       hint,
       1,
       "Content"},
      {"} at the last commit",
       Type("}}}"),
       {"title:root title"},
       {},
       "Last commit",
       2,
       "Commit"},
      {"{ at the first commit",
       Type("{"),
       {"title:spaces"},
       {},
       "First commit",
       0,
       "Commit"},
      {"] goes to the next hunk",
       Join({ToLongFile(), Type("]")}),
       {"@@ -57,7 +57,7 @@"},
       {"@@ -17,7 +17,7 @@"},
       hint,
       1,
       "Content"},
      {"] twice then [",
       Join({ToLongFile(), Type("]][")}),
       {"@@ -57,7 +57,7 @@"},
       {"@@ -17,7 +17,7 @@"},
       hint,
       1,
       "Content"},
      {"] at the last hunk",
       Join({ToLongFile(), Type("]]]]]]")}),
       {"@@ -277,7 +277,7 @@"},
       {},
       "No hunk below",
       1,
       "Content"},
      {"[ at the first hunk",
       Join({ToLongFile(), Type("[")}),
       {"@@ -17,7 +17,7 @@"},
       {},
       "No hunk above",
       1,
       "Content"},
      {"] on the description",
       Type("]"),
       {},
       {},
       "No hunk here: choose a file",
       0,
       "Commit"},
      {"search the commits",
       Search("root"),
       {"title:root title"},
       {},
       hint,
       2,
       "Commit"},
      {"search without a match",
       Search("nowhere"),
       {"title:spaces"},
       {},
       "Not found: nowhere",
       0,
       "Commit"},
      {"search wraps round",
       Search("spaces"),
       {"title:spaces"},
       {},
       "Search went past the end, on from the top",
       0,
       "Commit"},
      {"search the content, literally",
       Join({ToLongFile(), Search("a.*b")}),
       {"ROW 220 a.*b"},
       {"@@ -17,7"},
       hint,
       1,
       "Content"},
      {"search the content without a match",
       Join({ToLongFile(), Search("a+b")}),
       {"@@ -17,7 +17,7 @@"},
       {},
       "Not found: a+b",
       1,
       "Content"},
      {"G and g in the content",
       Join({ToLongFile(), Type("Gg")}),
       {"@@ -17,7 +17,7 @@"},
       {},
       hint,
       1,
       "Content"},
      {"End in the content",
       Join({ToLongFile(), {Event::End}}),
       {"ROW 280"},
       {"@@ -17,7 +17,7 @@"},
       hint,
       1,
       "Content"},
      {"ESC[4~ in the commits",
       {Event::Special("\x1B[4~")},
       {"title:root title"},
       {},
       hint,
       2,
       "Commit"},
      {"ESC O F then ESC[7~ in the commits",
       {Event::Special("\x1BOF"), Event::Special("\x1B[7~")},
       {"title:spaces"},
       {},
       hint,
       0,
       "Commit"},
      {"Up at the first row keeps the focus in the content",
       Join({ToLongFile(), {Event::ArrowUp, Event::ArrowUp}}),
       {"@@ -17,7 +17,7 @@"},
       {},
       hint,
       1,
       "Content"},
      {"z zooms the focused pane",
       Type("z"),
       {"root title"},
       {"Files", "Content", "title:spaces"},
       hint,
       0,
       "Commit"},
      {"z again shows every pane",
       Type("zz"),
       {"Files", "Content", "title:spaces"},
       {},
       hint,
       0,
       "Commit"},
      {"z zooms the content",
       Join({ToLongFile(), Type("z")}),
       {"@@ -17,7 +17,7 @@"},
       {"Commit", "Files"},
       hint,
       1,
       "Content"},
      {"Tab while zoomed shows the next pane",
       {Event::Character('z'), Event::Tab},
       {"description"},
       {"Commit", "Content"},
       hint,
       0,
       "Files"},
      {"< while zoomed",
       Type("z<"),
       {},
       {"Files"},
       "Zoomed: z shows every pane",
       0,
       "Commit"},
      {"the prompt takes q and s",
       Join({Type("/qs"), {Event::Escape}}),
       {"▣ [S]plit"},
       {},
       hint,
       0,
       "Commit"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    Send(c.events);
    for (const std::string& text : c.shown) {
      EXPECT_NE(RowOf(text), -1) << text;
    }
    for (const std::string& text : c.hidden) {
      EXPECT_EQ(RowOf(text), -1) << text;
    }
    EXPECT_TRUE(Last().starts_with(c.last)) << Last();
    EXPECT_EQ(state_.selected_commit, c.commit);
    EXPECT_EQ(Focused(), c.focused);
    EXPECT_EQ(exits_, 0);
  }
}

// Files of the history, newest first: "spaces" space.txt; "hunks"
// long.txt; "root title" long.txt and space.txt. File 0 is the description.
TEST_F(LogKeysTest, EnterAndStepsReadTheCommitsThroughByFile) {
  struct Case {
    std::string name;
    std::vector<Event> events;
    int commit;
    int file;
    std::string focused;
    std::string last;
  };
  const std::string hint = "? help";
  const std::vector<Case> cases = {
      {"Enter shows the commit's first file",
       {Event::Return},
       0,
       1,
       "Content",
       hint},
      {"Enter in the file list shows its file",
       {Event::Tab, Event::Character('j'), Event::Return},
       0,
       1,
       "Content",
       hint},
      {"} past the last file: the next commit's first",
       Join({{Event::Return}, Type("}")}), 1, 1, "Content", hint},
      {"} within a commit", Join({{Event::Return}, Type("}}}")}), 2, 2,
       "Content", hint},
      {"} at the last file of the last commit",
       Join({{Event::Return}, Type("}}}}")}), 2, 2, "Content", "Last commit"},
      {"{ within a commit", Join({Type("}}"), {Event::Return}, Type("}{")}), 2,
       1, "Content", hint},
      {"{ before the first file: the previous commit's last",
       Join({Type("}}"), {Event::Return}, Type("{{")}), 0, 1, "Content", hint},
      {"{ at the first file of the first commit",
       Join({{Event::Return}, Type("{")}), 0, 1, "Content", "First commit"},
      {"} in the commit list still steps by commit",
       Join({{Event::Return},
             {Event::TabReverse, Event::TabReverse},
             Type("}")}),
       1, 0, "Commit", hint},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    Send(c.events);
    EXPECT_EQ(state_.selected_commit, c.commit);
    EXPECT_EQ(state_.selected_file, c.file);
    EXPECT_EQ(Focused(), c.focused);
    EXPECT_TRUE(Last().starts_with(c.last)) << Last();
  }
}

TEST_F(LogKeysTest, TheContentNamesEveryFileAndTheListCutsLongNames) {
  TempRepo repo;
  repo.Write("a-file-name-longer-than-its-list.txt", "long\n");
  repo.Commit("long name");
  ScopedCwd cwd(repo.path());
  Open();
  Send({Event::Return});
  // The name row, right of the file list.
  EXPECT_NE(RowOf("\u2502 a-file-name-longer-than-its-list.txt"), -1);
  const int y = RowOf("\u2502> A a-file-");
  ASSERT_NE(y, -1);
  const std::string row = Row(y);
  const std::size_t name = row.find("> A a-file-");
  const std::string entry = row.substr(name, row.find("\u2502", name) - name);
  EXPECT_NE(entry.find("\u2026"), std::string::npos) << row;
}

TEST_F(LogKeysTest, HunkJumpPutsTheHunkAtTheTopOfTheContent) {
  Open();
  Send(ToLongFile());
  const int top = RowOf("@@ -17,7 +17,7 @@");
  ASSERT_NE(top, -1);
  Send(Type("]"));
  EXPECT_EQ(RowOf("@@ -57,7 +57,7 @@"), top);
  Send(Type("]"));
  EXPECT_EQ(RowOf("@@ -97,7 +97,7 @@"), top);
  // The search's match is marked where it is drawn.
  Send(Search("a.*b"));
  const int y = RowOf("ROW 220 a.*b");
  ASSERT_NE(y, -1);
  EXPECT_TRUE(screen_.PixelAt(ColumnOf("a.*b", y), y).inverted);
}

// The content pane's search goes on into the other files of the commit,
// from its details too, and the file list follows.
TEST_F(LogKeysTest, ContentSearchCrossesTheCommitsFiles) {
  struct Case {
    std::string name;
    std::vector<Event> events;
    std::string shown;
    std::string last;
    int file;
  };
  // "root title" adds long.txt, then space.txt.
  const std::vector<Event> to_root = {Event::Character('}'),
                                      Event::Character('}'), Event::Tab};
  const std::vector<Case> cases = {
      {"from the details", Join({to_root, {Event::Tab}, Search("return")}),
       "return 0;", "? help", 2},
      {"from a file to the next",
       Join({to_root, {Event::Character('j'), Event::Tab}, Search("return")}),
       "return 0;", "? help", 2},
      {"round to the file shown",
       Join({to_root, {Event::Tab}, Search("return"), Type("n")}), "return 0;",
       "Search went past the end, on from the top", 2},
      {"on past the last file to the first",
       Join({to_root, {Event::Tab}, Search("return"), Search("row 299")}),
       "row 299", "Search went past the end, on from the top", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    Send(c.events);
    EXPECT_NE(RowOf(c.shown), -1) << c.shown;
    EXPECT_TRUE(Last().starts_with(c.last)) << Last();
    EXPECT_EQ(state_.selected_commit, 2);
    EXPECT_EQ(state_.selected_file, c.file);
  }
}

TEST_F(LogKeysTest, TheWheelScrollsTheContentUnderThePointer) {
  Open();
  Send(ToLongFile());
  const int top = RowOf("@@ -17,7 +17,7 @@");
  const int x = ColumnOf("@@ -17", top) + 10;
  Send({testing::MouseAt(ftxui::Mouse::WheelDown, x, top + 1)});
  EXPECT_EQ(RowOf("row 19"), top);
  Send({testing::MouseAt(ftxui::Mouse::WheelUp, x, top + 1)});
  EXPECT_EQ(RowOf("@@ -17,7 +17,7 @@"), top);
  // Over the commit list the wheel moves the list's view, and the content
  // stays as it was.
  Send({testing::MouseAt(ftxui::Mouse::WheelDown, 2, 4)});
  EXPECT_EQ(RowOf("@@ -17,7 +17,7 @@"), top);
}

TEST_F(LogKeysTest, HelpListsTheLogsKeysAndAnyKeyClosesIt) {
  Open();
  Send(Type("?"));
  ASSERT_NE(RowOf("Keys of plimsy log"), -1);
  EXPECT_NE(RowOf("next / previous commit"), -1);
  EXPECT_NE(RowOf("next / previous hunk"), -1);
  EXPECT_EQ(RowOf("next / previous file"), -1);
  Send({Event::Escape});
  EXPECT_EQ(RowOf("Keys of plimsy log"), -1);
  EXPECT_EQ(exits_, 0);
}

TEST_F(LogKeysTest, WhitespaceKeyDropsAWhitespaceOnlyChange) {
  Open();
  std::vector<std::vector<std::string>> runs;
  SetGitObserver([&runs](const std::vector<std::string>& command_line) {
    runs.push_back(command_line);
  });
  Send({Event::Tab, Event::Character('j')});
  EXPECT_NE(RowOf("-  return 0;"), -1);
  runs.clear();
  Send(Type("W"));
  SetGitObserver(nullptr);
  EXPECT_TRUE(state_.ignore_whitespace);
  ASSERT_FALSE(runs.empty());
  EXPECT_NE(std::find(runs.back().begin(), runs.back().end(), "-w"),
            runs.back().end());
  EXPECT_EQ(RowOf("-  return 0;"), -1);
  EXPECT_NE(Row(0).find("▣ [W]hitespace"), std::string::npos) << Row(0);
  // Kept across a context change.
  Send(Type("+"));
  EXPECT_TRUE(state_.ignore_whitespace);
  EXPECT_EQ(RowOf("-  return 0;"), -1);
}

TEST_F(LogKeysTest, NarrowScreens) {
  for (auto [width, height] : std::vector<std::pair<int, int>>{
           {200, 50}, {99, 30}, {79, 24}, {40, 12}, {1, 1}}) {
    SCOPED_TRACE(width);
    Open(width, height);
    const std::string header = Row(0);
    EXPECT_EQ(std::count(header.begin(), header.end(), '['),
              std::count(header.begin(), header.end(), ']'))
        << header;
    if (width >= 40) {
      // The content keeps a third of the width at least.
      const int content = ColumnOf("Content", 1);
      EXPECT_GE(content, 0) << Row(1);
      EXPECT_LE(content, width - width / 3) << Row(1);
    }
    Send(Join({ToLongFile(), Type("]s?x/row\nw"), {Event::End}}));
  }
}

// The panes' widths follow the window's on every frame; a width set by
// the keys stays the same share of the window. The panes start where
// their titles do.
TEST_F(LogKeysTest, PaneWidthsFollowTheWindow) {
  const struct {
    int width;
    std::vector<Event> keys;
    int files;
    int content;
  } steps[] = {
      {200, {}, 108, 134},
      {120, {}, 52, 76},
      {100, {}, 38, 60},
      {80, {}, 24, 44},
      {40, {}, 19, 27},
      {200, {}, 108, 134},
      // Ten cells wider: 117 of 200, which a resize scales.
      {200, Type(">"), 118, 144},
      {120, {}, 71, 89},
      {200, {}, 118, 144},
      {200, {Event::Tab, Event::Character('>')}, 118, 148},
      // The content widens as the file list beside it narrows, down to
      // its least.
      {200, {Event::Tab, Event::Character('>')}, 118, 144},
      {200, {Event::TabReverse, Event::Character('<')}, 118, 144},
      {200, {Event::TabReverse, Event::Character('<')}, 108, 137},
  };
  Open(steps[0].width);
  for (const auto& step : steps) {
    SCOPED_TRACE(step.width);
    Resize(step.width);
    Send(step.keys);
    EXPECT_EQ(ColumnOf("Files", 1), step.files) << Row(1);
    EXPECT_EQ(ColumnOf("Content", 1), step.content) << Row(1);
    // Every commit keeps its title.
    for (const auto& [y, title] :
         {std::pair{3, "spaces"}, {4, "hunks"}, {5, "root"}}) {
      const int x = ColumnOf(title, y);
      EXPECT_GE(x, 0) << Row(y);
      EXPECT_LT(x, step.files) << Row(y);
    }
  }
}

}  // namespace
}  // namespace plimsy::log
