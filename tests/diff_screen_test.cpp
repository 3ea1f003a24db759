#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/screen.h"
#include "git/command_lines.h"
#include "git/run.h"
#include "support.h"
#include "ui_support.h"

namespace plimsy::diff {
namespace {

using ftxui::Event;
using testing::ScopedCwd;
using testing::TempRepo;

using Runs = std::vector<std::vector<std::string>>;

constexpr int kWidth = 100;
constexpr int kHeight = 30;
// The left pane is 30 columns wide, then comes the divider.
constexpr int kRightPane = 31;
constexpr int kNameRow = 3;

// Lines "<word> <first>" to "<word> <last>".
std::string Numbered(const std::string& word, int first, int last) {
  std::string text;
  for (int i = first; i <= last; ++i) {
    text += word + " " + std::to_string(i) + "\n";
  }
  return text;
}

// A repository whose working tree changes three files, one line each, on
// top of two commits (the second one changes zeta.txt).
class DiffScreenTest : public ::testing::Test {
 protected:
  DiffScreenTest() : cwd_(repo_.path()) {
    RestoreWorkingTree();
    repo_.Write("zeta.txt", "zeta\n");
    repo_.Commit("first");
    repo_.Write("zeta.txt", "zeta 2\n");
    repo_.Commit("second");
    ChangeWorkingTree();
    SetGitObserver([this](const std::vector<std::string>& command_line) {
      runs_.push_back(command_line);
    });
  }
  ~DiffScreenTest() override { SetGitObserver(nullptr); }

  void RestoreWorkingTree() {
    repo_.Write("alpha.txt", Numbered("alpha", 1, 20));
    repo_.Write("src/beta.txt", Numbered("beta", 1, 10));
    repo_.Write("src/gamma.txt", Numbered("gamma", 1, 10));
  }

  void ChangeWorkingTree() {
    repo_.Write("alpha.txt", Numbered("alpha", 1, 9) + "ALPHA 10\n" +
                                 Numbered("alpha", 11, 20));
    repo_.Write("src/beta.txt",
                Numbered("beta", 1, 2) + "BETA 3\n" + Numbered("beta", 4, 10));
    repo_.Write("src/gamma.txt", Numbered("gamma", 1, 6) + "GAMMA 7\n" +
                                     Numbered("gamma", 8, 10));
  }

  // Starts the screen as the command does.
  void Open(const std::vector<std::string>& arguments = {}) {
    state_.arguments = arguments;
    Refresh(state_);
    root_ = BuildScreen(state_, [this] { ++exits_; });
  }

  // Draws a frame and returns its rows, one string per row.
  std::vector<std::string> Frame() {
    screen_.Clear();
    ftxui::Render(screen_, root_->Render());
    std::vector<std::string> rows;
    for (int y = 0; y < kHeight; ++y) {
      rows.push_back(Cells(y, 0, kWidth));
    }
    return rows;
  }

  // The characters of cells [begin, end) of row y, trailing blanks removed.
  std::string Cells(int y, int begin, int end) {
    std::string text;
    for (int x = begin; x < end; ++x) {
      const std::string& character = screen_.PixelAt(x, y).character;
      text += character.empty() ? " " : character;
    }
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }

  // The cell where `word` (ASCII) starts, or {-1, -1}.
  std::pair<int, int> Find(const std::string& word) {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x + static_cast<int>(word.size()) <= kWidth; ++x) {
        bool match = true;
        for (int i = 0; i < static_cast<int>(word.size()) && match; ++i) {
          match = screen_.PixelAt(x + i, y).character == word.substr(i, 1);
        }
        if (match) {
          return {x, y};
        }
      }
    }
    return {-1, -1};
  }

  bool Press(const Event& event) { return root_->OnEvent(event); }

  bool Click(const std::string& label) {
    auto [x, y] = Find(label);
    EXPECT_NE(y, -1) << label;
    return Press(testing::MouseAt(ftxui::Mouse::Left, x, y));
  }

  std::vector<std::string> DiffRun(std::vector<std::string> tail) {
    std::vector<std::string> command_line = {"git", "diff"};
    command_line.insert(command_line.end(), ForcedDiffOptions().begin(),
                        ForcedDiffOptions().end());
    command_line.insert(command_line.end(), tail.begin(), tail.end());
    return command_line;
  }

  TempRepo repo_;
  ScopedCwd cwd_;
  State state_;
  ftxui::Component root_;
  int exits_ = 0;
  Runs runs_;
  ftxui::Screen screen_ =
      ftxui::Screen::Create(ftxui::Dimension::Fixed(kWidth),
                            ftxui::Dimension::Fixed(kHeight));
};

TEST_F(DiffScreenTest, FirstFrameShowsHeaderFileListAndSplitDifference) {
  Open();
  ASSERT_EQ(runs_, Runs{DiffRun({"-U3"})});
  EXPECT_EQ(state_.diff.names,
            (std::vector<std::string>{"M alpha.txt", "M src/beta.txt",
                                      "M src/gamma.txt"}));

  std::vector<std::string> rows = Frame();
  EXPECT_TRUE(rows[0].starts_with("[plimsy diff]")) << rows[0];
  EXPECT_TRUE(rows[0].ends_with("[Q]uit")) << rows[0];
  EXPECT_NE(rows[0].find("▣ [S]plit  ☐ [W]hitespace   Context:[-1]3[+1]"),
            std::string::npos)
      << rows[0];
  for (int x : {0, kWidth / 2, kWidth - 1}) {
    EXPECT_EQ(screen_.PixelAt(x, 0).background_color,
              ftxui::Color(ftxui::Color::White));
    EXPECT_EQ(screen_.PixelAt(x, 0).foreground_color,
              ftxui::Color(ftxui::Color::Black));
  }

  EXPECT_EQ(Cells(1, 0, kRightPane - 1), " Files");
  EXPECT_EQ(Cells(1, kRightPane, kWidth), " Difference");
  EXPECT_EQ(Cells(3, 0, kRightPane - 1), "> M alpha.txt");
  EXPECT_EQ(Cells(4, 0, kRightPane - 1), "  M src/beta.txt");
  EXPECT_EQ(Cells(5, 0, kRightPane - 1), "  M src/gamma.txt");
  EXPECT_EQ(Cells(kNameRow, kRightPane, kWidth), " alpha.txt");

  // Split: the old and the new version of the line share a row.
  auto [old_x, old_y] = Find("alpha 10");
  auto [new_x, new_y] = Find("ALPHA 10");
  ASSERT_NE(old_y, -1);
  EXPECT_EQ(new_y, old_y);
  EXPECT_GT(new_x, old_x);
  EXPECT_EQ(screen_.PixelAt(new_x, new_y).background_color,
            ftxui::Color::RGB(0, 128, 0));
  // The body fills the screen down to the key hint on the last row.
  EXPECT_EQ(Cells(kHeight - 2, kRightPane - 1, kRightPane), "│");
  EXPECT_TRUE(rows[kHeight - 1].starts_with("? help  Tab pane  s split"))
      << rows[kHeight - 1];
  EXPECT_TRUE(screen_.PixelAt(0, kHeight - 1).dim);
}

TEST_F(DiffScreenTest, SplitKeyTogglesTheLayoutWithoutRunningGit) {
  Open();
  runs_.clear();

  EXPECT_TRUE(Press(Event::Character('s')));
  EXPECT_FALSE(state_.split);
  Frame();
  auto [old_x, old_y] = Find("alpha 10");
  auto [new_x, new_y] = Find("ALPHA 10");
  ASSERT_NE(old_y, -1);
  EXPECT_EQ(new_y, old_y + 1);
  EXPECT_EQ(new_x, old_x);

  EXPECT_TRUE(Press(Event::Character('s')));
  EXPECT_TRUE(state_.split);
  Frame();
  EXPECT_EQ(Find("ALPHA 10").second, Find("alpha 10").second);
  EXPECT_TRUE(runs_.empty());
}

struct ContextCase {
  std::string name;
  std::string keys;
  std::vector<std::string> options;
  int context;
};

void PrintTo(const ContextCase& param, std::ostream* out) {
  *out << param.name;
}

class ContextKeysTest : public DiffScreenTest,
                        public ::testing::WithParamInterface<ContextCase> {};

TEST_P(ContextKeysTest, RunGitAgainWithTheNewContext) {
  Open();
  runs_.clear();
  for (char key : GetParam().keys) {
    EXPECT_TRUE(Press(Event::Character(key)));
  }
  Runs expected;
  for (const std::string& option : GetParam().options) {
    expected.push_back(DiffRun({option}));
  }
  EXPECT_EQ(runs_, expected);
  EXPECT_EQ(state_.context, GetParam().context);
  EXPECT_EQ(state_.diff.names.size(), 3u);
  std::string group =
      "Context:[-1]" + std::to_string(GetParam().context) + "[+1]";
  EXPECT_NE(Frame()[0].find(group), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Keys,
    ContextKeysTest,
    ::testing::Values(
        ContextCase{"PlusThreeTimes", "+++", {"-U4", "-U5", "-U6"}, 6},
        ContextCase{"MinusStopsAtZeroButStillRuns",
                    "-----",
                    {"-U2", "-U1", "-U0", "-U0", "-U0"},
                    0},
        ContextCase{"Mixed", "+-+", {"-U4", "-U3", "-U4"}, 4}),
    [](const auto& info) { return info.param.name; });

TEST_F(DiffScreenTest, ButtonsChangeTheContextAndQuit) {
  Open();
  runs_.clear();
  Frame();
  EXPECT_TRUE(Click("[+1]"));
  EXPECT_EQ(state_.context, 4);
  Frame();
  EXPECT_TRUE(Click("[-1]"));
  EXPECT_TRUE(Click("[-1]"));
  EXPECT_EQ(state_.context, 2);
  EXPECT_EQ(runs_,
            (Runs{DiffRun({"-U4"}), DiffRun({"-U3"}), DiffRun({"-U2"})}));
  EXPECT_EQ(exits_, 0);
  Frame();
  EXPECT_TRUE(Click("[Q]uit"));
  EXPECT_EQ(exits_, 1);
}

TEST_F(DiffScreenTest, OtherKeysGoToTheFocusedComponent) {
  Open();
  runs_.clear();
  Frame();
  for (char key : {'x', '='}) {
    EXPECT_FALSE(Press(Event::Character(key))) << key;
  }
  EXPECT_TRUE(state_.split);
  EXPECT_EQ(exits_, 0);
  EXPECT_TRUE(runs_.empty());

  // The file menu has the focus and takes its own keys.
  EXPECT_TRUE(Press(Event::Character('j')));
  EXPECT_EQ(state_.selected_file, 1);
  EXPECT_TRUE(Press(Event::ArrowDown));
  EXPECT_EQ(state_.selected_file, 2);
  Frame();
  EXPECT_EQ(Cells(kNameRow, kRightPane, kWidth), " src/gamma.txt");
  EXPECT_TRUE(runs_.empty());
}

TEST_F(DiffScreenTest, QuitKeysWorkFromTheMenuAndFromTheScroller) {
  for (const Event& quit : {Event::Character('q'), Event::Escape}) {
    for (bool in_scroller : {false, true}) {
      exits_ = 0;
      state_ = State();
      Open();
      Frame();
      if (in_scroller) {
        EXPECT_TRUE(Press(Event::ArrowRight));
        // The scroller, not the menu, now takes "j".
        Press(Event::Character('j'));
        EXPECT_EQ(state_.selected_file, 0);
      }
      EXPECT_TRUE(Press(quit));
      EXPECT_EQ(exits_, 1) << quit.input() << " scroller: " << in_scroller;
    }
  }
}

TEST_F(DiffScreenTest, ShrinkingListMovesTheSelectionToTheNewLastFile) {
  Open();
  Press(Event::ArrowDown);
  Press(Event::ArrowDown);
  ASSERT_EQ(state_.selected_file, 2);
  Frame();

  repo_.Write("src/gamma.txt", Numbered("gamma", 1, 10));
  EXPECT_TRUE(Press(Event::Character('+')));
  EXPECT_EQ(state_.diff.names,
            (std::vector<std::string>{"M alpha.txt", "M src/beta.txt"}));
  EXPECT_EQ(state_.diff.split_rows, testing::SplitRowCountsOf(state_.diff.files));

  Frame();
  EXPECT_EQ(state_.selected_file, 1);
  EXPECT_EQ(Cells(4, 0, kRightPane - 1), "> M src/beta.txt");
  EXPECT_EQ(Cells(kNameRow, kRightPane, kWidth), " src/beta.txt");
  EXPECT_NE(Find("BETA 3").second, -1);
}

TEST_F(DiffScreenTest, ListTallerThanThePaneKeepsTheSelectionInView) {
  for (int i = 0; i < 60; ++i) {
    repo_.Write("many/f" + std::to_string(100 + i) + ".txt", "new\n");
  }
  repo_.Git({"add", "many"});
  Open({"HEAD"});
  ASSERT_EQ(state_.diff.names.size(), 63u);
  for (int i = 0; i < 62; ++i) {
    Press(Event::ArrowDown);
  }
  ASSERT_EQ(state_.selected_file, 62);
  Frame();
  bool shown = false;
  for (int y = 0; y < kHeight; ++y) {
    shown = shown || Cells(y, 0, kRightPane - 1) == "> M src/gamma.txt";
  }
  EXPECT_TRUE(shown);
  EXPECT_EQ(Cells(kNameRow, kRightPane, kWidth), " src/gamma.txt");
}

TEST_F(DiffScreenTest, EmptyListAfterRefreshKeepsTheScreenOpen) {
  Open();
  Press(Event::ArrowDown);
  Frame();
  RestoreWorkingTree();
  EXPECT_TRUE(Press(Event::Character('-')));
  EXPECT_TRUE(state_.diff.files.empty());
  EXPECT_TRUE(state_.diff.names.empty());

  Frame();
  EXPECT_EQ(Cells(kNameRow, kRightPane, kWidth), "");
  EXPECT_EQ(Cells(kNameRow, 0, kRightPane - 1), "");
  EXPECT_EQ(Cells(kNameRow + 2, kRightPane, kWidth).substr(0, 16),
            "No difference...");
  for (const Event& event :
       {Event::ArrowDown, Event::ArrowRight, Event::Character('j'), Event::End,
        Event::PageDown, Event::Character('s')}) {
    Press(event);
    Frame();
  }
  EXPECT_EQ(exits_, 0);

  ChangeWorkingTree();
  EXPECT_TRUE(Press(Event::Character('+')));
  EXPECT_EQ(state_.diff.names.size(), 3u);
  Frame();
  EXPECT_EQ(Cells(kNameRow, kRightPane, kWidth), " alpha.txt");
}

TEST_F(DiffScreenTest, GitThatCannotStartMidSessionIsSaidInThePane) {
  Open();
  Frame();
  const std::string path = std::getenv("PATH");
  setenv("PATH", "/nonexistent", 1);
  bool handled = false;
  EXPECT_NO_THROW(handled = Press(Event::Character('+')));
  setenv("PATH", path.c_str(), 1);
  EXPECT_TRUE(handled);
  EXPECT_EQ(state_.context, 4);
  EXPECT_TRUE(state_.diff.names.empty());
  Frame();
  EXPECT_EQ(Cells(kNameRow + 2, kRightPane, kWidth),
            "cannot run git: No such file or directory");
  EXPECT_EQ(exits_, 0);

  EXPECT_TRUE(Press(Event::Character('-')));
  EXPECT_EQ(state_.diff.names.size(), 3u);
  Frame();
  EXPECT_EQ(Cells(kNameRow, kRightPane, kWidth), " alpha.txt");
}

TEST_F(DiffScreenTest, FailingGitRunInTheScreenShowsGitsError) {
  repo_.Git({"branch", "topic", "HEAD~1"});
  Open({"topic"});
  ASSERT_EQ(state_.diff.names.size(), 4u);
  repo_.Git({"branch", "-q", "-D", "topic"});

  EXPECT_TRUE(Press(Event::Character('+')));
  EXPECT_TRUE(state_.diff.names.empty());
  EXPECT_EQ(state_.git_status, 128);
  Frame();
  EXPECT_EQ(Cells(kNameRow, kRightPane, kWidth), "");
  EXPECT_TRUE(Cells(kNameRow + 2, kRightPane, kWidth)
                  .starts_with("fatal: ambiguous argument 'topic'"))
      << Cells(kNameRow + 2, kRightPane, kWidth);
  EXPECT_EQ(Cells(kNameRow + 3, kRightPane, kWidth),
            "Use '--' to separate paths from revisions, like this:");

  repo_.Git({"branch", "topic", "HEAD~1"});
  EXPECT_TRUE(Press(Event::Character('-')));
  EXPECT_EQ(state_.git_status, 0);
  EXPECT_EQ(state_.diff.names.size(), 4u);
}

TEST_F(DiffScreenTest, WarningsOfASuccessfulRunAreNotShown) {
  repo_.Git({"config", "core.autocrlf", "true"});
  ASSERT_NE(GitCapture({"diff"}).err.find("warning:"), std::string::npos);
  Open();
  EXPECT_EQ(state_.git_status, 0);
  EXPECT_EQ(state_.git_error, "");
  EXPECT_EQ(state_.diff.names.size(), 3u);
  for (const std::string& row : Frame()) {
    EXPECT_EQ(row.find("warning"), std::string::npos) << row;
  }
}

TEST_F(DiffScreenTest, ForcedOptionsComeBeforeTheUsersWhoStillWin) {
  Open({"--no-prefix", "--", "alpha.txt"});
  std::vector<std::string> expected = {"git", "diff"};
  expected.insert(expected.end(), ForcedDiffOptions().begin(),
                  ForcedDiffOptions().end());
  expected.insert(expected.end(), {"-U3", "--no-prefix", "--", "alpha.txt"});
  EXPECT_EQ(runs_, Runs{expected});
  EXPECT_EQ(state_.diff.names, std::vector<std::string>{"M alpha.txt"});
  Frame();
  EXPECT_EQ(Cells(kNameRow, kRightPane, kWidth), " alpha.txt");
}

struct ArgumentsCase {
  std::string name;
  std::vector<std::string> arguments;
  std::vector<std::string> staged;
  std::vector<std::string> file_names;
};

void PrintTo(const ArgumentsCase& param, std::ostream* out) {
  *out << param.name;
}

class UserArgumentsTest : public DiffScreenTest,
                          public ::testing::WithParamInterface<ArgumentsCase> {
};

TEST_P(UserArgumentsTest, FollowTheContextOptionInOrderAtEveryRefresh) {
  const ArgumentsCase& param = GetParam();
  for (const std::string& path : param.staged) {
    repo_.Git({"add", path});
  }
  Open(param.arguments);
  EXPECT_EQ(state_.diff.names, param.file_names);
  Press(Event::Character('+'));
  Press(Event::Character('-'));
  Press(Event::Character('-'));

  Runs expected;
  for (const std::string option : {"-U3", "-U4", "-U3", "-U2"}) {
    std::vector<std::string> tail = {option};
    tail.insert(tail.end(), param.arguments.begin(), param.arguments.end());
    expected.push_back(DiffRun(tail));
  }
  EXPECT_EQ(runs_, expected);
  EXPECT_EQ(state_.diff.names, param.file_names);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments,
    UserArgumentsTest,
    ::testing::Values(
        ArgumentsCase{"Cached",
                      {"--cached"},
                      {"src/beta.txt"},
                      {"M src/beta.txt"}},
        ArgumentsCase{"RevisionAndPath",
                      {"HEAD~1", "--", "src"},
                      {},
                      {"M src/beta.txt", "M src/gamma.txt"}},
        ArgumentsCase{
            "Revision",
            {"HEAD~1"},
            {},
            {"M alpha.txt", "M src/beta.txt", "M src/gamma.txt", "M zeta.txt"}},
        ArgumentsCase{"PathThatMatchesNothing", {"--", "nowhere"}, {}, {}}),
    [](const auto& info) { return info.param.name; });

TEST_F(DiffScreenTest, NamesAreDrawnAsSafeTextButKeptAsGitPrintedThem) {
  repo_.Git({"config", "core.quotePath", "false"});
  repo_.Write("b\xff.txt", "one\n");
  repo_.Commit("odd name");
  repo_.Write("b\xff.txt", "two\n");
  Open({"--", "b\xff.txt"});
  ASSERT_EQ(state_.diff.names, std::vector<std::string>{"M b\xff.txt"});
  Frame();
  EXPECT_EQ(Cells(3, 0, kRightPane - 1), "> M b\uFFFD.txt");
  EXPECT_EQ(Cells(kNameRow, kRightPane, kWidth), " b\uFFFD.txt");
}

}  // namespace
}  // namespace plimsy::diff
