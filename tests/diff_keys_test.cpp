#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/screen.h"
#include "git/run.h"
#include "support.h"
#include "ui_support.h"

namespace plimsy::diff {
namespace {

using ftxui::Event;
using testing::NumberedRows;
using testing::ScopedCwd;
using testing::TempRepo;

// The file list is 30 columns wide; the difference pane starts after the
// divider, its rows below the title, the name and two rules.
constexpr int kPane = 31;
constexpr int kTop = 5;

// A working tree with a long file of six hunks, a file whose only change
// is whitespace, and a short one.
class DiffKeysTest : public ::testing::Test {
 protected:
  DiffKeysTest() : cwd_(repo_.path()) {
    repo_.Write("long.txt", NumberedRows({}));
    repo_.Write("space.txt", "int main() {\n  return 0;\n}\n");
    repo_.Write("zz.txt", "one\n");
    repo_.Commit("first");
    repo_.Write("long.txt",
                NumberedRows({{20, "ROW 20 " + std::string(200, 'x')},
                              {60, "ROW 60"},
                              {100, "ROW 100"},
                              {150, "ROW 150 axxb"},
                              {220, "ROW 220 a.*b"},
                              {280, "ROW 280"}}));
    repo_.Write("space.txt", "int  main() {\n\treturn 0;\n}\n");
    repo_.Write("zz.txt", "two\n");
    SetGitObserver([this](const std::vector<std::string>& command_line) {
      runs_.push_back(command_line);
    });
  }
  ~DiffKeysTest() override { SetGitObserver(nullptr); }

  void Open(int width = 100, int height = 30) {
    screen_ = ftxui::Screen::Create(ftxui::Dimension::Fixed(width),
                                    ftxui::Dimension::Fixed(height));
    Refresh(state_);
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

  // Sends the events, drawing after each as the loop does.
  void Send(const std::vector<Event>& events) {
    for (const Event& event : events) {
      root_->OnEvent(event);
      Draw();
    }
  }

  // The left button pressed at column `from` and let go at `to`.
  static std::vector<Event> Drag(int from, int to) {
    Event press = testing::MouseAt(ftxui::Mouse::Left, from, 5);
    Event move = testing::MouseAt(ftxui::Mouse::Left, to, 5);
    move.mouse().motion = ftxui::Mouse::Moved;
    Event release = move;
    release.mouse().motion = ftxui::Mouse::Released;
    return {press, move, release};
  }

  std::vector<Event> Type(const std::string& text) {
    std::vector<Event> events;
    for (char c : text) {
      events.push_back(Event::Character(c));
    }
    return events;
  }

  std::string Row(int y, int from = 0) const {
    std::string row;
    for (int x = from; x < screen_.dimx(); ++x) {
      const std::string& character = screen_.PixelAt(x, y).character;
      row += character.empty() ? " " : character;
    }
    return row.substr(0, row.find_last_not_of(' ') + 1);
  }

  std::string Top() const { return Row(kTop, kPane); }
  std::string Last() const { return Row(screen_.dimy() - 1); }

  // The row showing `text`, or -1.
  int RowOf(const std::string& text) const {
    for (int y = 0; y < screen_.dimy(); ++y) {
      if (Row(y).find(text) != std::string::npos) {
        return y;
      }
    }
    return -1;
  }

  // Whether the title of the pane starting at column `x` is highlighted.
  bool Highlighted(int x) const { return screen_.PixelAt(x + 1, 1).inverted; }

  TempRepo repo_;
  ScopedCwd cwd_;
  State state_;
  ftxui::Screen screen_ = ftxui::Screen::Create(ftxui::Dimension::Fixed(1),
                                                ftxui::Dimension::Fixed(1));
  ftxui::Component root_;
  int exits_ = 0;
  std::vector<std::vector<std::string>> runs_;
};

TEST_F(DiffKeysTest, Keys) {
  const Event tab = Event::Tab;
  struct Case {
    std::string name;
    std::vector<Event> events;
    // A text the top row of the difference pane starts with.
    std::string top;
    // The bottom row.
    std::string last;
    int selected_file = 0;
    // Handed on to git diff: a path limits the diff to one file.
    std::vector<std::string> arguments = {};
  };
  auto search = [this](const std::string& term) {
    std::vector<Event> events = Type("/" + term);
    events.push_back(Event::Return);
    return events;
  };
  auto join = [](std::vector<std::vector<Event>> parts) {
    std::vector<Event> events;
    for (auto& part : parts) {
      events.insert(events.end(), part.begin(), part.end());
    }
    return events;
  };
  const std::string hint = "? help  Tab pane  s split";
  const std::vector<Case> cases = {
      {"] goes to the next hunk's header",
       {tab, Event::Character(']')},
       "@@ -57,7 +57,7 @@",
       hint},
      {"] twice",
       {tab, Event::Character(']'), Event::Character(']')},
       "@@ -97,7 +97,7 @@",
       hint},
      {"[ back", join({{tab}, Type("]]["), {}}), "@@ -57,7 +57,7 @@", hint},
      {"[ at the first hunk",
       {tab, Event::Character('[')},
       "@@ -17,7 +17,7 @@",
       "No hunk above"},
      {"] at the last hunk",
       join({{tab}, Type("]]]]]]")}),
       "",
       "No hunk below",
       0,
       {"--", "long.txt"}},
      {"} from the difference pane",
       {tab, Event::Character('}')},
       "@@ -1,3 +1,3 @@",
       hint,
       1},
      {"} at the last file", Type("}}}"), "@@ -1 +1 @@", "Last file", 2},
      {"{ at the first file", Type("{"), "@@ -17,7 +17,7 @@", "First file"},
      {"search in the difference", join({{tab}, search("ROW 150")}), "", hint},
      {"search without a match moves nothing", join({{tab}, search("nowhere")}),
       "@@ -17,7 +17,7 @@", "Not found: nowhere"},
      {"a search term is literal", join({{tab}, search("a.*b")}), "", hint},
      {"n wraps round with a notice",
       join({{tab}, search("ROW 2"), Type("nnn")}), "",
       "Search went past the end, on from the top"},
      {"N goes back round", join({{tab}, search("ROW 2"), Type("N")}), "",
       "Search went past the top, on from the end"},
      {"n before any search", join({{tab}, Type("n")}), "@@ -17,7 +17,7 @@",
       "No search yet: / searches"},
      {"the file list searches names", search("zz"), "@@ -1 +1 @@", hint, 2},
      {"G and g", join({{tab}, Type("G")}), "", hint},
      {"g after G", join({{tab}, Type("Gg")}), "@@ -17,7 +17,7 @@", hint},
      {"End in the file list", {Event::End}, "@@ -1 +1 @@", hint, 2},
      {"ESC[4~ in the file list",
       {Event::Special("\x1B[4~")},
       "@@ -1 +1 @@",
       hint,
       2},
      {"ESC O F then ESC[1~",
       {Event::Special("\x1BOF"), Event::Special("\x1B[1~")},
       "@@ -17,7 +17,7 @@",
       hint,
       0},
      {"ESC[8~ then ESC[7~ in the difference",
       {tab, Event::Special("\x1B[8~"), Event::Special("\x1B[7~")},
       "@@ -17,7 +17,7 @@",
       hint},
      {"ESC O F in the difference", {tab, Event::Special("\x1BOF")}, "", hint},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    state_ = State();
    state_.arguments = c.arguments;
    exits_ = 0;
    Open();
    Send(c.events);
    EXPECT_TRUE(Top().starts_with(c.top)) << Top();
    EXPECT_TRUE(Last().starts_with(c.last)) << Last();
    EXPECT_EQ(state_.selected_file, c.selected_file);
    EXPECT_EQ(exits_, 0);
  }
}

TEST_F(DiffKeysTest, JumpsAndSearchesShowWhatTheyFound) {
  state_.arguments = {"--", "long.txt"};
  Open();
  Send({Event::Tab, Event::Character(']')});
  EXPECT_EQ(RowOf("ROW 60"), kTop + 4);

  // Matches are marked in the text: the literal term, not a pattern.
  Send(Type("/a.*b"));
  EXPECT_EQ(Last(), "/a.*b");
  Send({Event::Return});
  const int found = RowOf("ROW 220 a.*b");
  ASSERT_NE(found, -1);
  const int x = static_cast<int>(Row(found).find("a.*b"));
  EXPECT_TRUE(screen_.PixelAt(x - 1, found).inverted ||
              screen_.PixelAt(x, found).inverted);
  EXPECT_FALSE(screen_.PixelAt(0, found).inverted);

  // The last hunk cannot reach the top of the view: it is shown whole.
  Send({Event::Character(']'), Event::Character(']')});
  EXPECT_NE(RowOf("@@ -277,7 +277,7 @@"), -1);
  EXPECT_NE(RowOf("ROW 280"), -1);
  EXPECT_TRUE(Last().starts_with("No hunk below")) << Last();
}

// Hunk jumps and searches in the difference go on into the other files, in
// the list's order, and the list follows.
TEST_F(DiffKeysTest, JumpsAndSearchesCrossFiles) {
  const Event tab = Event::Tab;
  auto search = [this](const std::string& term) {
    std::vector<Event> events = Type("/" + term);
    events.push_back(Event::Return);
    return events;
  };
  const auto join = [](std::vector<std::vector<Event>> parts) {
    std::vector<Event> events;
    for (auto& part : parts) {
      events.insert(events.end(), part.begin(), part.end());
    }
    return events;
  };
  const std::string hint = "? help  Tab pane  s split";
  struct Case {
    std::string name;
    std::vector<Event> events;
    // Shown in the difference pane.
    std::string shown;
    std::string last;
    int selected_file;
  };
  const std::vector<Case> cases = {
      {"] past the last hunk to the next file's first",
       join({{tab}, Type("]]]]]]")}), "int  main() {", hint, 1},
      {"] past the last hunk of the last file",
       join({Type("}}"), {tab}, Type("]")}), "two", "No hunk below", 2},
      {"[ before the first hunk to the previous file's last",
       join({Type("}"), {tab}, Type("[")}), "ROW 280", hint, 0},
      {"[ before the first hunk of the first file", join({{tab}, Type("[")}),
       "ROW 20", "No hunk above", 0},
      {"search on into the next files", join({{tab}, search("two")}), "+two",
       hint, 2},
      {"search round to the file shown",
       join({{tab}, search("two"), Type("n")}), "+two",
       "Search went past the end, on from the top", 2},
      {"search round from the last file",
       join({Type("}}"), {tab}, search("ROW 150")}), "ROW 150",
       "Search went past the end, on from the top", 0},
      {"search back round", join({{tab}, search("return"), Type("N")}),
       "return 0;", "Search went past the top, on from the end", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    state_ = State();
    Open();
    Send(c.events);
    EXPECT_NE(RowOf(c.shown), -1) << c.shown;
    EXPECT_TRUE(Last().starts_with(c.last)) << Last();
    EXPECT_EQ(state_.selected_file, c.selected_file);
  }
}

// A match that lies past the pane's right edge scrolls the text across.
TEST_F(DiffKeysTest, SearchScrollsAcrossToTheMatch) {
  repo_.Write("zz.txt", std::string(150, '=') + "far\n");
  for (const bool split : {true, false}) {
    SCOPED_TRACE(split);
    state_ = State();
    state_.split = split;
    Open();
    EXPECT_EQ(RowOf("far"), -1);
    Send({Event::Tab});
    Send(Type("/far"));
    Send({Event::Return});
    EXPECT_EQ(state_.selected_file, 2);
    EXPECT_GT(state_.diff.view.column, 0);
    EXPECT_NE(RowOf("far"), -1);
  }
}

// The file that ends without a newline shows git's marker under its line.
TEST_F(DiffKeysTest, TheNoNewlineMarkerShowsUnderItsLine) {
  repo_.Write("zz.txt", "two");
  for (const bool split : {true, false}) {
    SCOPED_TRACE(split);
    state_ = State();
    state_.split = split;
    Open();
    Send(Type("}}"));
    const int y = RowOf("+two");
    ASSERT_NE(y, -1);
    EXPECT_EQ(RowOf("\\ No newline at end of file"), y + 1);
    // In the column of the line's sign; the rows hold as many rules
    // before it.
    const int x = static_cast<int>(Row(y).find("+two"));
    EXPECT_EQ(Row(y + 1).find("\\ No newline"), static_cast<size_t>(x));
  }
}

// Keys read at once are handled before the next frame: a jump right after
// wrapping is toggled lands where the wrapped rows put the hunk.
TEST_F(DiffKeysTest, KeysReadTogetherBeforeAFrame) {
  for (bool split : {true, false}) {
    SCOPED_TRACE(split);
    state_ = State();
    state_.split_chosen = split;
    Open();
    Send({Event::Tab});
    root_->OnEvent(Event::Character('w'));
    root_->OnEvent(Event::Character(']'));
    Draw();
    EXPECT_TRUE(Top().starts_with("@@ -57,7 +57,7 @@")) << Top();
    root_->OnEvent(Event::Character('w'));
    root_->OnEvent(Event::Character('['));
    root_->OnEvent(Event::Character(']'));
    Draw();
    EXPECT_TRUE(Top().starts_with("@@ -57,7 +57,7 @@")) << Top();
  }
}

TEST_F(DiffKeysTest, ThePromptTakesEveryKeyAndEscapeOnlyClosesIt) {
  Open();
  Send(Type("/sq-+W?"));
  EXPECT_EQ(Last(), "/sq-+W?");
  EXPECT_TRUE(state_.split);
  EXPECT_FALSE(state_.ignore_whitespace);
  EXPECT_EQ(state_.context, 3);
  EXPECT_EQ(RowOf("Keys of plimsy diff"), -1);
  Send({Event::Backspace, Event::Backspace});
  EXPECT_EQ(Last(), "/sq-+");
  Send({Event::Escape});
  EXPECT_EQ(exits_, 0);
  EXPECT_TRUE(Last().starts_with("? help")) << Last();
  Send({Event::Escape});
  EXPECT_EQ(exits_, 1);
}

TEST_F(DiffKeysTest, TabCyclesRoundThePanesAndTheTitleShowsWhichHasFocus) {
  Open();
  EXPECT_TRUE(Highlighted(0));
  EXPECT_FALSE(Highlighted(kPane));
  Send({Event::Tab});
  EXPECT_FALSE(Highlighted(0));
  EXPECT_TRUE(Highlighted(kPane));
  Send({Event::Tab});
  EXPECT_TRUE(Highlighted(0));
  Send({Event::TabReverse});
  EXPECT_TRUE(Highlighted(kPane));
  Send({Event::TabReverse});
  EXPECT_TRUE(Highlighted(0));
  // Tab does not move the selection in the list.
  EXPECT_EQ(state_.selected_file, 0);
}

TEST_F(DiffKeysTest, UpAtTheFirstRowKeepsTheFocusInThePane) {
  Open();
  runs_.clear();
  Send({Event::Tab, Event::ArrowUp, Event::Character('k'), Event::ArrowUp,
        Event::Return});
  EXPECT_TRUE(Highlighted(kPane));
  EXPECT_TRUE(state_.split);
  EXPECT_EQ(exits_, 0);
  EXPECT_TRUE(runs_.empty());
  // The same from the top of the file list.
  Send({Event::Tab, Event::ArrowUp, Event::Return});
  EXPECT_TRUE(Highlighted(0));
  EXPECT_TRUE(state_.split);
  EXPECT_EQ(exits_, 0);
}

TEST_F(DiffKeysTest, HelpIsDrawnOverTheScreenAndAnyKeyClosesIt) {
  for (const Event& open : {Event::Character('?'), Event::F1}) {
    state_ = State();
    Open();
    Send({open});
    const int title = RowOf("Keys of plimsy diff");
    ASSERT_NE(title, -1);
    for (const char* line :
         {"? F1", "Tab", "W", "] [", "} {", "n N", "q Esc"}) {
      EXPECT_NE(RowOf(line), -1) << line;
    }
    // The key that closes it does nothing else.
    Send({Event::Character('q')});
    EXPECT_EQ(RowOf("Keys of plimsy diff"), -1);
    EXPECT_EQ(exits_, 0);
    Send({Event::Character('s')});
    EXPECT_FALSE(state_.split);
  }
}

TEST_F(DiffKeysTest, TheWheelScrollsTheViewUnderThePointerByThreeRows) {
  Open();
  const auto wheel = [](ftxui::Mouse::Button button) {
    return testing::MouseAt(button, kPane + 10, kTop + 2);
  };
  ASSERT_TRUE(Top().starts_with("@@ -17,7 +17,7 @@")) << Top();
  Send({wheel(ftxui::Mouse::WheelDown)});
  EXPECT_EQ(RowOf("row 19"), kTop);
  Send({wheel(ftxui::Mouse::WheelDown), wheel(ftxui::Mouse::WheelDown)});
  EXPECT_EQ(RowOf("row 57"), kTop);
  EXPECT_EQ(state_.selected_file, 0);
  Send({wheel(ftxui::Mouse::WheelUp)});
  EXPECT_EQ(RowOf("row 22"), kTop);
  // The keys go on from a selection that stayed in view.
  Send({Event::Tab, Event::Character(']')});
  EXPECT_TRUE(Top().starts_with("@@ -97,7 +97,7 @@")) << Top();

  // Over the file list the wheel scrolls the list, not the difference.
  Send({testing::MouseAt(ftxui::Mouse::WheelDown, 5, kTop)});
  EXPECT_TRUE(Top().starts_with("@@ -97,7 +97,7 @@")) << Top();
}

TEST_F(DiffKeysTest, WhitespaceKeyRunsGitWithoutWhitespaceChanges) {
  Open();
  ASSERT_EQ(state_.diff.names.size(), 3u);
  runs_.clear();
  Send({Event::Character('W')});
  EXPECT_TRUE(state_.ignore_whitespace);
  ASSERT_EQ(runs_.size(), 1u);
  EXPECT_NE(std::find(runs_[0].begin(), runs_[0].end(), "-w"), runs_[0].end());
  EXPECT_EQ(state_.diff.names,
            (std::vector<std::string>{"M long.txt", "M zz.txt"}));
  EXPECT_NE(Row(0).find("▣ [W]hitespace"), std::string::npos) << Row(0);

  // A context change keeps it.
  Send({Event::Character('+')});
  ASSERT_EQ(runs_.size(), 2u);
  EXPECT_NE(std::find(runs_[1].begin(), runs_[1].end(), "-w"), runs_[1].end());
  EXPECT_NE(std::find(runs_[1].begin(), runs_[1].end(), "-U4"), runs_[1].end());

  Send({Event::Character('W')});
  EXPECT_FALSE(state_.ignore_whitespace);
  EXPECT_EQ(state_.diff.names.size(), 3u);
  EXPECT_NE(Row(0).find("☐ [W]hitespace"), std::string::npos) << Row(0);
}

// Every bracket the header opens is closed on the same row: no label is
// cut in half.
bool LabelsWhole(const std::string& row) {
  return std::count(row.begin(), row.end(), '[') ==
         std::count(row.begin(), row.end(), ']');
}

TEST_F(DiffKeysTest, NarrowScreens) {
  struct Size {
    int width;
    int height;
    std::vector<std::string> header;
  };
  const std::vector<Size> sizes = {
      {200,
       50,
       {"[plimsy diff]", "[S]plit", "[W]hitespace", "Context:", "[Q]uit"}},
      {99, 30, {"[plimsy diff]", "[S]plit", "[W]hitespace", "Context:"}},
      {79, 24, {"[plimsy diff]", "[S]plit", "[W]hitespace", "Context:"}},
      {40, 12, {"plimsy", "[S]", "[W]", "C:", "[-1]3[+1]", "[Q]"}},
      {25, 12, {"[S]", "[W]", "[-1]3[+1]", "[Q]"}},
      {20, 12, {"[Q]"}},
      {1, 1, {}},
  };
  for (const Size& size : sizes) {
    SCOPED_TRACE(size.width);
    state_ = State();
    Open(size.width, size.height);
    for (const std::string& word : size.header) {
      EXPECT_NE(Row(0).find(word), std::string::npos) << word << ": " << Row(0);
    }
    EXPECT_TRUE(LabelsWhole(Row(0))) << Row(0);
    // Keys that change the layout and open overlays draw without harm.
    Send({Event::Tab, Event::Character(']'), Event::Character('s'),
          Event::Character('?')});
    Send({Event::Character('x'), Event::Character('/'), Event::Character('r'),
          Event::Return, Event::Character('w'), Event::End});
    EXPECT_TRUE(LabelsWhole(Row(0))) << Row(0);
  }
}

// The header's title names what the screen shows, as the user gave it,
// cut to the room the rest of the header leaves.
TEST_F(DiffKeysTest, TheHeaderNamesWhatIsShown) {
  const struct {
    std::vector<std::string> arguments;
    bool from_input;
    int width;
    std::string title;
  } cases[] = {
      {{}, false, 100, "[plimsy diff]"},
      {{"--cached"}, false, 100, "[plimsy diff --cached]"},
      {{"HEAD", "--", "*.txt"}, false, 100, "[plimsy diff HEAD -- *.txt]"},
      {{"--", "a file.txt", "it's"},
       false,
       100,
       "[plimsy diff -- 'a file.txt' 'it'\\''s']"},
      {{"HEAD", "--", "long.txt", "space.txt", "zz.txt"},
       false,
       80,
       "[plimsy diff HEAD -- lon…]"},
      // A diff read from standard input keeps its own title.
      {{"--cached"}, true, 100, "[plimsy diff]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    state_ = State();
    state_.arguments = c.arguments;
    state_.from_input = c.from_input;
    Open(c.width);
    EXPECT_TRUE(Row(0).starts_with(c.title + " ")) << Row(0);
    EXPECT_TRUE(Row(0).ends_with("[Q]uit")) << Row(0);
    EXPECT_TRUE(LabelsWhole(Row(0))) << Row(0);
  }
}

// What cannot change a diff read from standard input is offered nowhere:
// not in the header, the hint line or the help.
TEST_F(DiffKeysTest, StandardInputOffersNoWhitespaceOrContext) {
  const std::string offers[] = {
      "[W]hitespace", "Context:",          "W whitespace",
      "-/+ context",  "ignore whitespace", "context line"};
  for (const bool from_input : {false, true}) {
    SCOPED_TRACE(from_input ? "standard input" : "git");
    state_ = State();
    state_.from_input = from_input;
    Open(200, 40);
    std::string shown = Row(0) + "\n" + Last() + "\n";
    Send({Event::Character('?')});
    for (int y = 0; y < screen_.dimy(); ++y) {
      shown += Row(y) + "\n";
    }
    for (const std::string& offer : offers) {
      EXPECT_EQ(shown.find(offer) == std::string::npos, from_input)
          << offer << "\n"
          << shown;
    }
    Send({Event::Escape, Event::Character('+')});
    EXPECT_EQ(state_.context, from_input ? 3 : 4);
  }
}

TEST_F(DiffKeysTest, TheSidePaneLeavesANarrowScreenToTheDifference) {
  Open(40, 12);
  // The file list takes at most a third of the width.
  EXPECT_EQ(screen_.PixelAt(13, 2).character, "┼");
  EXPECT_NE(RowOf("row 17"), -1);
}

// The layout and the file list's width follow the window's on every
// frame: below 100 columns the diff is joined unless the user chose split.
TEST_F(DiffKeysTest, TheLayoutFollowsTheWindow) {
  const struct {
    int width;
    std::vector<Event> keys;
    bool split;
    // The divider's column; -1 when there is none.
    int files;
  } steps[] = {
      {100, {}, true, 30},
      {99, {}, false, 30},
      {80, {}, false, 26},
      {200, {}, true, 50},
      {80, Type("s"), true, 26},
      {200, {}, true, 50},
      {200, Type("s"), false, 50},
      // Ten cells wider: 30% of the window.
      {200, Type(">"), false, 60},
      {100, {}, false, 30},
      {100, Drag(30, 40), false, 40},
      {200, {}, false, 80},
      // Zoomed, the focused pane takes the whole width.
      {200, Type("z"), false, -1},
      {200, Type("z"), false, 80},
  };
  Open(steps[0].width);
  for (const auto& step : steps) {
    SCOPED_TRACE(step.width);
    Resize(step.width);
    Send(step.keys);
    EXPECT_EQ(state_.split, step.split);
    // The header's box shows it in the same frame.
    EXPECT_EQ(Row(0).find("▣") != std::string::npos, step.split) << Row(0);
    int divider = -1;
    for (int x = 0; x < screen_.dimx() && divider < 0; ++x) {
      if (screen_.PixelAt(x, 2).character == "┼") {
        divider = x;
      }
    }
    EXPECT_EQ(divider, step.files) << Row(2);
  }
}

TEST_F(DiffKeysTest, WithoutColourTheHeaderIsDrawnInverse) {
  const char* saved = std::getenv("NO_COLOR");
  const std::string kept = saved == nullptr ? "" : saved;
  setenv("NO_COLOR", "1", 1);
  Open();
  if (saved == nullptr) {
    unsetenv("NO_COLOR");
  } else {
    setenv("NO_COLOR", kept.c_str(), 1);
  }
  for (int x : {0, 50, 99}) {
    EXPECT_TRUE(screen_.PixelAt(x, 0).inverted) << x;
    EXPECT_EQ(screen_.PixelAt(x, 0).background_color, ftxui::Color());
  }
}

}  // namespace
}  // namespace plimsy::diff
