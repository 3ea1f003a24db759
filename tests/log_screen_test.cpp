#include "log/screen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/screen.hpp>

#include "git.h"
#include "support.h"
#include "terminal_safety.h"
#include "ui_support.h"

namespace plimsy::log {
namespace {

using ftxui::Event;
using ftxui::Screen;
using testing::ScopedCwd;
using testing::TempDir;
using testing::TempRepo;

// Twenty lines "line 1" … "line 20", with some numbers replaced by words.
std::string Lines(const std::map<int, std::string>& words) {
  std::string text;
  for (int i = 1; i <= 20; ++i) {
    auto word = words.find(i);
    text += "line " + (word != words.end() ? word->second : std::to_string(i)) +
            "\n";
  }
  return text;
}

// The screen over the repository in the current directory, drawn into a
// fixed-size screen after every event as the loop does.
class Harness {
 public:
  explicit Harness(int width = 120, int height = 30)
      : screen_(Screen::Create(ftxui::Dimension::Fixed(width),
                               ftxui::Dimension::Fixed(height))) {
    Start(state);
    root_ = BuildScreen(state, [this] { ++exits; });
    Draw();
  }

  void Draw() {
    screen_.Clear();
    ftxui::Render(screen_, root_->Render());
  }

  bool Send(const Event& event) {
    bool handled = root_->OnEvent(event);
    Draw();
    return handled;
  }

  void Send(const std::vector<Event>& events) {
    for (const Event& event : events) {
      Send(event);
    }
  }

  // Presses the left button on the first cell of `label`.
  bool Click(const std::string& label) {
    int x = 0;
    int y = 0;
    EXPECT_TRUE(Find(label, &x, &y)) << label;
    return Send(testing::MouseAt(ftxui::Mouse::Left, x, y));
  }

  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int y = 0; y < screen_.dimy(); ++y) {
      rows.push_back(Row(y));
    }
    return rows;
  }

  std::string Row(int y) const {
    std::string row;
    for (int x = 0; x < screen_.dimx(); ++x) {
      const std::string& character = screen_.PixelAt(x, y).character;
      row += character.empty() ? " " : character;
    }
    row.erase(row.find_last_not_of(' ') + 1);
    return row;
  }

  bool Shows(const std::string& text) const {
    int x = 0;
    int y = 0;
    return Find(text, &x, &y);
  }

  // Whether a row holds `text`, which may be any UTF-8.
  bool RowShows(const std::string& text) const {
    for (const std::string& row : Rows()) {
      if (row.find(text) != std::string::npos) {
        return true;
      }
    }
    return false;
  }

  // The cell where the ASCII `text` starts.
  bool Find(const std::string& text, int* x, int* y) const {
    for (*y = 0; *y < screen_.dimy(); ++*y) {
      for (*x = 0; *x + static_cast<int>(text.size()) <= screen_.dimx(); ++*x) {
        bool match = true;
        for (size_t i = 0; i < text.size() && match; ++i) {
          const std::string& character =
              screen_.PixelAt(*x + static_cast<int>(i), *y).character;
          match = character == std::string(1, text[i]) ||
                  (character.empty() && text[i] == ' ');
        }
        if (match) {
          return true;
        }
      }
    }
    return false;
  }

  const Screen& screen() const { return screen_; }

  State state;
  int exits = 0;

 private:
  Screen screen_;
  ftxui::Component root_;
};

// Records the git diff runs while it lives.
class DiffRuns {
 public:
  DiffRuns() {
    SetGitObserver([this](const std::vector<std::string>& args) {
      if (args.size() > 1 && args[1] == "diff") {
        runs.push_back(args);
      }
    });
  }
  DiffRuns(const DiffRuns&) = delete;
  DiffRuns& operator=(const DiffRuns&) = delete;
  ~DiffRuns() { SetGitObserver(nullptr); }

  std::vector<std::vector<std::string>> runs;
};

// History, newest first: "merge side" (first parent "main work", second
// "side work"), "main work", "side work", "second title", "root title".
class LogScreenTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    repo_ = new TempRepo;
    repo_->Write("a.txt", Lines({}));
    repo_->Write("b.txt", "b\n");
    repo_->Commit("root title");
    repo_->Write("a.txt", Lines({{10, "ten"}}));
    repo_->Write("b.txt", "b changed\n");
    repo_->Commit("second title\n\nbody one\n\nbody three");
    repo_->Git({"checkout", "-q", "-b", "side"});
    repo_->Write("c.txt", "side\n");
    repo_->Commit("side work");
    repo_->Git({"checkout", "-q", "main"});
    repo_->Write("a.txt", Lines({{10, "ten"}, {15, "fifteen"}}));
    repo_->Commit("main work");
    repo_->Git({"merge", "-q", "--no-ff", "side", "-m", "merge side"});
  }
  static void TearDownTestSuite() { delete repo_; }

  static std::string Rev(const std::string& revision) {
    std::string hash = repo_->Git({"rev-parse", revision});
    hash.pop_back();
    return hash;
  }

  static TempRepo* repo_;
  ScopedCwd cwd_{repo_->path()};
};

TempRepo* LogScreenTest::repo_ = nullptr;

TEST_F(LogScreenTest, FirstFrame) {
  Harness screen;
  std::vector<std::string> rows = screen.Rows();
  EXPECT_TRUE(rows[0].starts_with("[plimsy log]")) << rows[0];
  EXPECT_NE(rows[0].find("[S]plit   Context:[-1]3[+1]"), std::string::npos)
      << rows[0];
  EXPECT_TRUE(rows[0].ends_with("[Q]uit")) << rows[0];

  int x = 0;
  int y = 0;
  ASSERT_TRUE(screen.Find("Commit", &x, &y));
  EXPECT_EQ(y, 1);
  EXPECT_TRUE(screen.Find("Files", &x, &y));
  EXPECT_EQ(y, 1);
  EXPECT_TRUE(screen.Find("Content", &x, &y));
  EXPECT_EQ(y, 1);
  const int content_x = x;

  // Breadth-first: both parents of the merge, then the shared history once
  // per path.
  const std::vector<std::string> titles = {
      "merge side",   "main work",  "side work", "second title",
      "second title", "root title", "root title"};
  EXPECT_EQ(screen.state.titles, titles);
  for (size_t i = 0; i < titles.size(); ++i) {
    EXPECT_NE(rows[3 + i].find(titles[i]), std::string::npos) << rows[3 + i];
  }
  EXPECT_EQ(screen.state.file_names,
            (std::vector<std::string>{"description", "A c.txt"}));
  EXPECT_NE(rows[3].find("description"), std::string::npos);
  EXPECT_NE(rows[4].find("c.txt"), std::string::npos);

  const std::vector<std::string> labels = {"committer:",
                                           "   author:",
                                           "     hash:" + Rev("HEAD"),
                                           "   parent:" + Rev("HEAD^1"),
                                           "   parent:" + Rev("HEAD^2"),
                                           "     tree:" + Rev("HEAD^{tree}"),
                                           "    title:merge side"};
  for (size_t i = 0; i < labels.size(); ++i) {
    EXPECT_TRUE(screen.Find(labels[i], &x, &y)) << labels[i];
    EXPECT_EQ(x, content_x) << labels[i];
    EXPECT_EQ(y, static_cast<int>(3 + i)) << labels[i];
  }
  ASSERT_TRUE(screen.Find("    title:", &x, &y));
  EXPECT_EQ(screen.screen().PixelAt(x + 9, y).foreground_color,
            ftxui::Color(ftxui::Color::Red));
  EXPECT_EQ(screen.screen().PixelAt(x + 9, y - 1).foreground_color,
            ftxui::Color(ftxui::Color::Green));
}

TEST_F(LogScreenTest, FileEntryShowsItsDiffInBothLayouts) {
  Harness screen;
  screen.Send({Event::ArrowDown, Event::ArrowRight, Event::ArrowDown});
  ASSERT_EQ(screen.state.selected_commit, 1);
  ASSERT_EQ(screen.state.selected_file, 1);
  EXPECT_EQ(screen.state.file_names,
            (std::vector<std::string>{"description", "M a.txt"}));
  EXPECT_FALSE(screen.Shows("    title:"));

  auto row_with = [&](const std::string& text) {
    int x = 0;
    int y = -1;
    screen.Find(text, &x, &y);
    return y;
  };
  // Split: the old and the new line face each other on one row.
  ASSERT_NE(row_with("line 15"), screen.screen().dimy());
  EXPECT_EQ(row_with("line 15"), row_with("line fifteen"));
  // Line 11 shows only in the hunk's header, as git's function context.
  EXPECT_TRUE(screen.RowShows("│ line 12"));
  EXPECT_FALSE(screen.RowShows("│ line 11"));

  EXPECT_TRUE(screen.Send(Event::Character('s')));
  EXPECT_FALSE(screen.state.split);
  EXPECT_EQ(row_with("line 15") + 1, row_with("line fifteen"));
}

TEST_F(LogScreenTest, MovingTheCommitSelectionShowsTheDescription) {
  Harness screen;
  screen.Send({Event::ArrowRight, Event::ArrowDown});
  ASSERT_EQ(screen.state.selected_file, 1);
  ASSERT_FALSE(screen.Shows("    title:"));

  DiffRuns diffs;
  screen.Send({Event::ArrowLeft, Event::ArrowDown, Event::ArrowDown});
  EXPECT_EQ(screen.state.selected_commit, 2);
  EXPECT_EQ(screen.state.selected_file, 0);
  EXPECT_EQ(diffs.runs.size(), 2u);
  EXPECT_EQ(screen.state.file_names,
            (std::vector<std::string>{"description", "A c.txt"}));
  EXPECT_EQ(screen.state.split_rows,
            testing::SplitRowCountsOf(screen.state.files));
  EXPECT_TRUE(screen.Shows("    title:side work"));
}

TEST_F(LogScreenTest, ContextChangeKeepsTheFile) {
  Harness screen;
  screen.Send({Event::ArrowDown, Event::ArrowRight, Event::ArrowDown});
  ASSERT_FALSE(screen.RowShows("│ line 11"));
  screen.Send(Event::Character('+'));
  EXPECT_EQ(screen.state.context, 4);
  EXPECT_EQ(screen.state.selected_file, 1);
  EXPECT_EQ(screen.state.split_rows,
            testing::SplitRowCountsOf(screen.state.files));
  EXPECT_TRUE(screen.RowShows("│ line 11"));
  EXPECT_NE(screen.Row(0).find("Context:[-1]4[+1]"), std::string::npos);
}

TEST_F(LogScreenTest, MergeShowsItsFirstParentDiffAndRootOnlyDescription) {
  Harness screen;
  EXPECT_EQ(screen.state.file_names,
            (std::vector<std::string>{"description", "A c.txt"}));
  screen.Send(Event::End);
  EXPECT_EQ(screen.state.selected_commit, 6);
  EXPECT_EQ(screen.state.file_names, (std::vector<std::string>{"description"}));
  EXPECT_TRUE(screen.Shows("    title:root title"));
  EXPECT_FALSE(screen.Shows("   parent:"));
}

TEST_F(LogScreenTest, Keys) {
  const std::string head = Rev("HEAD");
  struct Case {
    std::string name;
    Event event;
    int context_before;
    bool handled;
    bool split;
    int context;
    int exits;
    bool runs_git;
  };
  const std::vector<Case> cases = {
      {"s", Event::Character('s'), 3, true, false, 3, 0, false},
      {"-", Event::Character('-'), 3, true, true, 2, 0, true},
      {"- at 0", Event::Character('-'), 0, true, true, 0, 0, true},
      {"+", Event::Character('+'), 3, true, true, 4, 0, true},
      {"q", Event::Character('q'), 3, true, true, 3, 1, false},
      {"Escape", Event::Escape, 3, true, true, 3, 1, false},
      {"S", Event::Character('S'), 3, false, true, 3, 0, false},
      {"Q", Event::Character('Q'), 3, false, true, 3, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness screen;
    screen.state.context = c.context_before;
    DiffRuns diffs;
    EXPECT_EQ(screen.Send(c.event), c.handled);
    EXPECT_EQ(screen.state.split, c.split);
    EXPECT_EQ(screen.state.context, c.context);
    EXPECT_EQ(screen.exits, c.exits);
    if (c.runs_git) {
      EXPECT_EQ(diffs.runs,
                (std::vector<std::vector<std::string>>{
                    {"git", "diff", "-U" + std::to_string(c.context),
                     head + "~..." + head}}));
    } else {
      EXPECT_TRUE(diffs.runs.empty());
    }
  }
}

TEST_F(LogScreenTest, Controls) {
  struct Case {
    std::string label;
    bool split;
    int context;
    int exits;
  };
  const std::vector<Case> cases = {
      {"[S]plit", false, 3, 0},
      {"[-1]", true, 2, 0},
      {"[+1]", true, 4, 0},
      {"[Q]uit", true, 3, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Harness screen;
    EXPECT_TRUE(screen.Click(c.label));
    EXPECT_EQ(screen.state.split, c.split);
    EXPECT_EQ(screen.state.context, c.context);
    EXPECT_EQ(screen.exits, c.exits);
  }
}

TEST_F(LogScreenTest, QuitKeysWorkFromEveryPane) {
  for (const Event& key : {Event::Character('q'), Event::Escape}) {
    Harness screen;
    screen.Send({Event::ArrowRight, Event::ArrowRight});
    EXPECT_TRUE(screen.Send(key));
    EXPECT_EQ(screen.exits, 1);
  }
}

TEST_F(LogScreenTest, GitThatCannotStartReadsAsEmptyOutput) {
  Harness screen;
  const std::string path = std::getenv("PATH");
  setenv("PATH", "/nonexistent", 1);
  bool handled = screen.Send(Event::Character('+'));
  setenv("PATH", path.c_str(), 1);
  EXPECT_TRUE(handled);
  EXPECT_EQ(screen.state.context, 4);
  EXPECT_TRUE(screen.state.files.empty());
  EXPECT_EQ(screen.state.file_names, std::vector<std::string>{"description"});
  EXPECT_TRUE(screen.Shows("    title:merge side"));
}

TEST(LogScreenWalkTest, EveryEventTopsUpTheList) {
  TempRepo repo;
  std::string stream;
  for (int i = 1; i <= 200; ++i) {
    const std::string message = "walk " + std::to_string(i) + "\n";
    stream += "commit refs/heads/main\nmark :" + std::to_string(i) +
              "\ncommitter T <t@example.com> 1700000000 +0000\ndata " +
              std::to_string(message.size()) + "\n" + message +
              (i > 1 ? "from :" + std::to_string(i - 1) + "\n" : "") + "\n";
  }
  repo.Git({"fast-import", "--quiet"}, stream);
  ScopedCwd cwd(repo.path());

  Harness screen;
  EXPECT_EQ(screen.state.commits.size(), 80u);
  screen.Send(Event::End);
  ASSERT_EQ(screen.state.selected_commit, 79);
  EXPECT_TRUE(screen.Shows("walk 121"));
  EXPECT_FALSE(screen.Send(Event::Character('x')));
  EXPECT_GE(screen.state.commits.size(), 159u);
  EXPECT_EQ(screen.state.titles.size(), screen.state.commits.size());
  screen.Send(Event::End);
  EXPECT_TRUE(screen.Shows("walk 42"));
  screen.Send({Event::End, Event::End});
  EXPECT_EQ(screen.state.commits.size(), 200u);
  EXPECT_EQ(screen.state.selected_commit, 199);
  EXPECT_TRUE(screen.Shows("> walk 1 "));
}

TEST(LogScreenHostileTest, EscapeBytesAreDrawnSafely) {
  // Written by fast-import, which keeps the bytes as they are.
  TempRepo repo;
  const std::string message =
      "ti\xE0\x1B]0;pwned\x07tle\xC2\x9B"
      "2J\n\n\xE0\x1B[1;1Hbody\n";
  const std::string content = "b\xE0\x1B]0;pwned\x07\n";
  repo.Git({"fast-import", "--quiet"},
           "commit refs/heads/main\ncommitter T <t@example.com> 1700000000 "
           "+0000\ndata 6\nfirst\n\ncommit refs/heads/main\ncommitter T "
           "<t@example.com> 1700000000 +0000\ndata " +
               std::to_string(message.size()) + "\n" + message +
               "M 100644 inline f.txt\ndata " + std::to_string(content.size()) +
               "\n" + content + "M 100644 inline g\xC2\x9B.txt\ndata 2\nx\n\n");
  ScopedCwd cwd(repo.path());

  Harness screen;
  EXPECT_TRUE(screen.Shows("pwned"));
  EXPECT_EQ(testing::TerminalHazard(screen.screen().ToString()), "");
  screen.Send({Event::ArrowRight, Event::ArrowDown});
  EXPECT_EQ(testing::TerminalHazard(screen.screen().ToString()), "");
  screen.Send(Event::ArrowDown);
  EXPECT_EQ(testing::TerminalHazard(screen.screen().ToString()), "");
}

TEST(LogScreenOutsideTest, OpensWithOneEmptyCommit) {
  TempDir dir;
  ScopedCwd cwd(dir.path());
  Harness screen;
  EXPECT_EQ(screen.state.titles, std::vector<std::string>{""});
  EXPECT_EQ(screen.state.file_names, std::vector<std::string>{"description"});
  EXPECT_TRUE(screen.Shows("     hash:"));
  EXPECT_TRUE(screen.Shows("    title:"));
}

}  // namespace
}  // namespace plimsy::log
