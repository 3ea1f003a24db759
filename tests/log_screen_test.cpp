#include "log/screen.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <ftxui/component/component_base.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/screen.hpp>

#include "git/run.h"
#include "log_history.h"
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
// The titles of the commits listed, as git printed them.
std::vector<std::string> Titles(const State& state) {
  std::vector<std::string> titles;
  for (const Commit* commit : state.commits) {
    titles.push_back(commit->title);
  }
  return titles;
}

class Harness {
 public:
  explicit Harness(int width = 120,
                   int height = 30,
                   const std::vector<std::string>& args = {})
      : screen_(Screen::Create(ftxui::Dimension::Fixed(width),
                               ftxui::Dimension::Fixed(height))) {
    std::optional<Refusal> refusal = Start(state, args);
    EXPECT_FALSE(refusal) << refusal->message;
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

  // `width` cells of row `y` from column `x`, without trailing blanks.
  std::string RowFrom(int x, int y, int width) const {
    std::string row;
    for (int i = x; i < std::min(x + width, screen_.dimx()); ++i) {
      const std::string& character = screen_.PixelAt(i, y).character;
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

// Records the git runs while it lives; `runs` holds the diffs.
class DiffRuns {
 public:
  DiffRuns() {
    SetGitObserver([this](const std::vector<std::string>& args) {
      ++all;
      if (args.size() > 1 && args[1] == "diff-tree") {
        runs.push_back(args);
      }
    });
  }
  DiffRuns(const DiffRuns&) = delete;
  DiffRuns& operator=(const DiffRuns&) = delete;
  ~DiffRuns() { SetGitObserver(nullptr); }

  std::vector<std::vector<std::string>> runs;
  int all = 0;
};

std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == '\n') {
    text.pop_back();
  }
  return text;
}

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

  static std::string Git(const std::vector<std::string>& args) {
    return Trimmed(repo_->Git(args));
  }

  static TempRepo* repo_;
  ScopedCwd cwd_{repo_->path()};
};

TempRepo* LogScreenTest::repo_ = nullptr;

TEST_F(LogScreenTest, FirstFrame) {
  Harness screen(160, 30);
  // The columns without the graph; it has a test of its own.
  screen.state.graph_shown = false;
  screen.Draw();
  std::vector<std::string> rows = screen.Rows();
  EXPECT_TRUE(rows[0].starts_with("[plimsy log]")) << rows[0];
  EXPECT_NE(rows[0].find("▣ [S]plit  ☐ [W]hitespace   Context:[-1]3[+1]"),
            std::string::npos)
      << rows[0];
  EXPECT_TRUE(rows[0].ends_with("[Q]uit")) << rows[0];

  int x = 0;
  int y = 0;
  ASSERT_TRUE(screen.Find("Commit", &x, &y));
  EXPECT_EQ(y, 1);
  EXPECT_TRUE(screen.Find("Files", &x, &y));
  EXPECT_EQ(y, 1);
  const int files_x = x;
  EXPECT_TRUE(screen.Find("Content", &x, &y));
  EXPECT_EQ(y, 1);
  const int content_x = x;

  // git's own order, each commit once; each row its short hash, the
  // author's day, name, labels and title.
  const std::vector<std::string> hashes =
      testing::OutputLines(repo_->Git({"log", "--format=%h"}));
  const std::vector<std::string> titles =
      testing::OutputLines(repo_->Git({"log", "--format=%s"}));
  ASSERT_EQ(titles.size(), 5u);
  EXPECT_EQ(Titles(screen.state), titles);
  const std::string day = Git({"log", "-1", "--format=%ad", "--date=short"});
  for (size_t i = 0; i < titles.size(); ++i) {
    const std::string labels = i == 0   ? "(HEAD -> main) "
                               : i == 2 ? "(side) "
                                        : "";
    std::string row = rows[3 + i].substr(0, rows[3 + i].find("│"));
    row.erase(row.find_last_not_of(' ') + 1);
    EXPECT_EQ(row, (i == 0 ? "> " : "  ") + hashes[i] + " " + day +
                       " Test User " + labels + titles[i])
        << rows[3 + i];
  }
  EXPECT_EQ(screen.state.diff.names,
            (std::vector<std::string>{"description", "A c.txt"}));
  // The note over the file list wraps in its narrow pane.
  EXPECT_EQ(screen.RowFrom(files_x, 3, 25), "diff against first parent");
  EXPECT_EQ(screen.RowFrom(files_x, 4, 25),
            Git({"rev-parse", "--short", "HEAD^1"}));
  EXPECT_TRUE(screen.Find("description", &x, &y));
  EXPECT_EQ(x, files_x + 2);
  EXPECT_EQ(y, 5);

  const std::vector<std::string> details = {
      "committer:Test User <test@example.com>",
      "     date:" + Git({"log", "-1", "--format=%cd"}),
      "   author:Test User <test@example.com>",
      "     date:" + Git({"log", "-1", "--format=%ad"}),
      "     hash:" + Git({"rev-parse", "HEAD"}),
      "   parent:" + Git({"log", "-1", "--format=%h %s", "HEAD^1"}),
      "   parent:" + Git({"log", "-1", "--format=%h %s", "HEAD^2"}),
      "     refs:HEAD -> main",
      "     tree:" + Git({"rev-parse", "HEAD^{tree}"}),
      "    title:merge side"};
  for (size_t i = 0; i < details.size(); ++i) {
    EXPECT_EQ(screen.RowFrom(content_x, static_cast<int>(3 + i), 200),
              details[i]);
  }
  ASSERT_TRUE(screen.Find("    title:", &x, &y));
  EXPECT_EQ(screen.screen().PixelAt(x + 9, y).foreground_color,
            ftxui::Color(ftxui::Color::Red));
  EXPECT_EQ(screen.screen().PixelAt(x + 9, y - 1).foreground_color,
            ftxui::Color(ftxui::Color::Green));
}

TEST_F(LogScreenTest, RowColours) {
  Harness screen(160, 30);
  using ftxui::Color;
  auto colour_at = [&](const std::string& text) {
    int x = 0;
    int y = 0;
    EXPECT_TRUE(screen.Find(text, &x, &y)) << text;
    return screen.screen().PixelAt(x, y).foreground_color;
  };
  screen.Send(Event::ArrowDown);
  const std::string day = Git({"log", "-1", "--format=%ad", "--date=short"});
  EXPECT_EQ(colour_at("  " + Git({"rev-parse", "--short", "HEAD"})),
            Color(Color::Default));
  EXPECT_EQ(colour_at(Git({"rev-parse", "--short", "HEAD"})),
            Color(Color::Yellow));
  EXPECT_EQ(colour_at(day), Color(Color::Blue));
  EXPECT_EQ(colour_at("Test User"), Color(Color::Green));
  EXPECT_EQ(colour_at("HEAD -> main"), Color(Color::Cyan));
  EXPECT_EQ(colour_at("side)"), Color(Color::Green));
}

// The graph shows before the labels in a wide list, and t hides it; a
// narrow list shows it on t.
TEST_F(LogScreenTest, GraphColumnAndItsKey) {
  const std::vector<std::string> graph = {"○╮", "●│", "├●", "●", "●"};
  for (const int width : {160, 120}) {
    SCOPED_TRACE(width);
    Harness screen(width, 30);
    ASSERT_EQ(Titles(screen.state).size(), graph.size());
    for (const bool shown : {width >= 150, width < 150}) {
      for (size_t i = 0; i < graph.size(); ++i) {
        const std::string row = screen.Row(3 + static_cast<int>(i));
        EXPECT_EQ(row.find(" " + graph[i] + " ") != std::string::npos, shown)
            << row;
      }
      screen.Send(Event::Character('t'));
    }
  }
}

// The list's title tells where the selection is among the commits listed,
// marking a total that grows while git still walks.
TEST(LogScreenPositionTest, TitleCountsTheCommits) {
  TempRepo repo;
  testing::Import(repo, testing::LinearHistory(1000));
  ScopedCwd cwd(repo.path());
  Harness screen;
  EXPECT_EQ(screen.Row(1).substr(0, screen.Row(1).find("  ")),
            "Commit 1 of 80+");
  screen.Send({Event::End, Event::Character('x')});
  EXPECT_TRUE(screen.Row(1).starts_with("Commit 80 of 159+")) << screen.Row(1);
  for (int i = 0; i < 100 && !screen.state.walk_ended; ++i) {
    screen.Send(Event::End);
  }
  screen.Send(Event::End);
  EXPECT_TRUE(screen.Row(1).starts_with("Commit 1 000 of 1 000 "))
      << screen.Row(1);
}

TEST_F(LogScreenTest, FileEntryShowsItsDiffInBothLayouts) {
  Harness screen;
  screen.Send({Event::ArrowDown, Event::ArrowRight, Event::ArrowDown});
  ASSERT_EQ(screen.state.selected_commit, 1);
  ASSERT_EQ(Titles(screen.state)[1], "main work");
  ASSERT_EQ(screen.state.selected_file, 1);
  EXPECT_EQ(screen.state.diff.names,
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
  // One git run per step: each parent is listed already.
  EXPECT_EQ(diffs.runs.size(), 2u);
  EXPECT_EQ(diffs.all, 2);
  EXPECT_EQ(screen.state.diff.names,
            (std::vector<std::string>{"description", "A c.txt"}));
  EXPECT_EQ(screen.state.diff.split_rows,
            testing::SplitRowCountsOf(screen.state.diff.files));
  EXPECT_TRUE(screen.Shows("    title:side work"));
  EXPECT_EQ(screen.state.diff_note, "");
}

TEST_F(LogScreenTest, ContextChangeKeepsTheFile) {
  Harness screen;
  screen.Send({Event::ArrowDown, Event::ArrowRight, Event::ArrowDown});
  ASSERT_FALSE(screen.RowShows("│ line 11"));
  screen.Send(Event::Character('+'));
  EXPECT_EQ(screen.state.context, 4);
  EXPECT_EQ(screen.state.selected_file, 1);
  EXPECT_EQ(screen.state.diff.split_rows,
            testing::SplitRowCountsOf(screen.state.diff.files));
  EXPECT_TRUE(screen.RowShows("│ line 11"));
  EXPECT_NE(screen.Row(0).find("Context:[-1]4[+1]"), std::string::npos);
}

TEST_F(LogScreenTest, MergeAgainstItsFirstParentRootAgainstNothing) {
  Harness screen;
  EXPECT_EQ(screen.state.diff.names,
            (std::vector<std::string>{"description", "A c.txt"}));
  EXPECT_EQ(
      screen.state.diff_note,
      "diff against first parent " + Git({"rev-parse", "--short", "HEAD^1"}));
  screen.Send(Event::End);
  EXPECT_EQ(screen.state.selected_commit, 4);
  // A root commit shows every file it added.
  EXPECT_EQ(screen.state.diff.names,
            (std::vector<std::string>{"description", "A a.txt", "A b.txt"}));
  EXPECT_EQ(screen.state.diff_note, "");
  EXPECT_TRUE(screen.Shows("    title:root title"));
  EXPECT_FALSE(screen.Shows("   parent:"));
  screen.Send({Event::ArrowRight, Event::ArrowDown});
  EXPECT_TRUE(screen.Shows("line 20"));
}

TEST_F(LogScreenTest, Keys) {
  const std::string head = Git({"rev-parse", "HEAD"});
  struct Case {
    std::string name;
    Event event;
    int context_before;
    bool handled;
    bool split;
    int context;
    int exits;
    bool runs_git;
    bool ignore_whitespace = false;
  };
  const std::vector<Case> cases = {
      {"s", Event::Character('s'), 3, true, false, 3, 0, false},
      {"-", Event::Character('-'), 3, true, true, 2, 0, true},
      {"- at 0", Event::Character('-'), 0, true, true, 0, 0, true},
      {"+", Event::Character('+'), 3, true, true, 4, 0, true},
      {"q", Event::Character('q'), 3, true, true, 3, 1, false},
      {"Escape", Event::Escape, 3, true, true, 3, 1, false},
      {"S", Event::Character('S'), 3, true, false, 3, 0, false},
      {"Q", Event::Character('Q'), 3, true, true, 3, 1, false},
      {"W", Event::Character('W'), 3, true, true, 3, 0, true, true},
      {"x", Event::Character('x'), 3, false, true, 3, 0, false},
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
    EXPECT_EQ(screen.state.ignore_whitespace, c.ignore_whitespace);
    if (c.runs_git) {
      std::vector<std::string> run = {
          "git",    "diff-tree",
          "-p",     "--no-commit-id",
          "--root", "--diff-merges=first-parent",
          "-M",     "-U" + std::to_string(c.context)};
      if (c.ignore_whitespace) {
        run.push_back("-w");
      }
      run.insert(run.end(), {"--end-of-options", head});
      EXPECT_EQ(diffs.runs, (std::vector<std::vector<std::string>>{run}));
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
  EXPECT_TRUE(screen.state.diff.files.empty());
  EXPECT_EQ(screen.state.diff.names, std::vector<std::string>{"description"});
  EXPECT_TRUE(screen.Shows("    title:merge side"));
}

TEST_F(LogScreenTest, ArgumentsChooseTheCommits) {
  DiffRuns runs;
  Harness screen(120, 30, {"--", "c.txt"});
  EXPECT_EQ(Titles(screen.state), std::vector<std::string>{"side work"});
  EXPECT_EQ(screen.state.diff.names,
            (std::vector<std::string>{"description", "A c.txt"}));
  EXPECT_EQ(screen.state.abbrev, Git({"rev-parse", "--short", "HEAD"}).size());
  // The diff of HEAD, run beside the walk, was not the one needed.
  EXPECT_EQ(runs.runs.size(), 2u);
  Harness range(120, 30, {"side..main", "--no-merges"});
  EXPECT_EQ(Titles(range.state), std::vector<std::string>{"main work"});
  EXPECT_EQ(range.state.diff.names,
            (std::vector<std::string>{"description", "M a.txt"}));
}

TEST_F(LogScreenTest, TwoGitRunsForTheFirstFrameOneForAStep) {
  DiffRuns runs;
  Harness screen;
  EXPECT_EQ(runs.all, 2);
  EXPECT_EQ(screen.state.abbrev, Git({"rev-parse", "--short", "HEAD"}).size());
  EXPECT_EQ(screen.state.diff.names,
            (std::vector<std::string>{"description", "A c.txt"}));
  screen.Send(Event::ArrowDown);
  EXPECT_EQ(runs.all, 3);
}

// The loop's queue of tasks, which loads post to from their own threads.
class TaskQueue {
 public:
  std::function<void(std::function<void()>)> Poster() {
    return [this](std::function<void()> task) {
      std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(task));
    };
  }
  // Runs the tasks queued so far, and those they queue, until `done`.
  template <typename Done>
  void RunUntil(Done done) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
      std::vector<std::function<void()>> tasks;
      {
        std::lock_guard lock(mutex_);
        tasks.swap(tasks_);
      }
      for (std::function<void()>& task : tasks) {
        task();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(done());
  }

 private:
  std::mutex mutex_;
  std::vector<std::function<void()>> tasks_;
};

// A screen whose loads post to a loop that runs only when the test runs it,
// with the diff runs made after it opened.
struct QueuedScreen {
  QueuedScreen() {
    screen.state.post = loop.Poster();
    runs.runs.clear();
  }
  // Runs the loop until the selected commit's diff is read.
  void RunUntilLoaded() {
    loop.RunUntil([this] { return !screen.state.diff.loading; });
  }

  DiffRuns runs;
  Harness screen;
  TaskQueue loop;
};

TEST_F(LogScreenTest, QueuedStepsLoadOnlyWhereTheSelectionRests) {
  QueuedScreen queued;
  DiffRuns& runs = queued.runs;
  Harness& screen = queued.screen;
  // The keys arrive before any task the first of them posts.
  screen.Send({Event::ArrowDown, Event::ArrowDown, Event::ArrowDown});
  EXPECT_TRUE(runs.runs.empty());
  // The previous commit's files are gone at once; the panes say why.
  EXPECT_EQ(screen.state.diff.names, std::vector<std::string>{"description"});
  EXPECT_TRUE(screen.RowShows("loading\u2026"));
  EXPECT_TRUE(screen.Shows("second title"));

  queued.RunUntilLoaded();
  screen.Draw();
  ASSERT_EQ(runs.runs.size(), 1u);
  const std::string& hash =
      screen.state.commits[screen.state.selected_commit]->hash;
  EXPECT_NE(std::find(runs.runs[0].begin(), runs.runs[0].end(), hash),
            runs.runs[0].end());
  EXPECT_EQ(screen.state.diff.names,
            (std::vector<std::string>{"description", "M a.txt", "M b.txt"}));
  EXPECT_FALSE(screen.RowShows("loading\u2026"));

  // A step back and forth before the loop runs again: one more run.
  screen.Send({Event::ArrowUp, Event::ArrowDown});
  queued.RunUntilLoaded();
  EXPECT_EQ(runs.runs.size(), 2u);
  EXPECT_EQ(screen.state.diff.names.size(), 3u);
}

TEST_F(LogScreenTest, KeysTypedAheadIntoTheFileListFindItsFiles) {
  QueuedScreen queued;
  DiffRuns& runs = queued.runs;
  Harness& screen = queued.screen;
  // Steps to a commit, then into its file list and down to its second file,
  // all before the loop runs the steps' task.
  screen.Send({Event::ArrowDown, Event::ArrowDown, Event::ArrowDown, Event::Tab,
               Event::ArrowDown, Event::ArrowDown});
  EXPECT_EQ(runs.runs.size(), 1u);
  EXPECT_EQ(screen.state.diff.names,
            (std::vector<std::string>{"description", "M a.txt", "M b.txt"}));
  EXPECT_EQ(screen.state.selected_file, 2);
  EXPECT_TRUE(screen.Shows("b changed"));

  queued.RunUntilLoaded();
  screen.Draw();
  EXPECT_EQ(runs.runs.size(), 1u);
  EXPECT_EQ(screen.state.selected_file, 2);
  EXPECT_TRUE(screen.Shows("b changed"));
}

TEST(LogScreenUnbornTest, WalkElsewhereWhileHeadNamesNoCommit) {
  TempRepo repo;
  repo.Write("a.txt", "a\n");
  repo.Commit("on main");
  repo.Git({"checkout", "-q", "--orphan", "fresh"});
  ScopedCwd cwd(repo.path());
  State state;
  std::optional<Refusal> refusal = Start(state, {});
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->status, 128);
  EXPECT_NE(refusal->message.find("fresh"), std::string::npos)
      << refusal->message;

  Harness screen(120, 30, {"main"});
  EXPECT_EQ(Titles(screen.state), std::vector<std::string>{"on main"});
  EXPECT_EQ(screen.state.diff.names,
            (std::vector<std::string>{"description", "A a.txt"}));
  EXPECT_EQ(screen.state.abbrev,
            Trimmed(repo.Git({"rev-parse", "--short", "main"})).size());
}

TEST_F(LogScreenTest, RefusedWithoutOpening) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"--stat"},
       129,
       "plimsy log: unsupported option '--stat' (only revisions, paths and "
       "options that choose commits are taken)\n"},
      {{"no-such-revision"},
       128,
       "fatal: ambiguous argument 'no-such-revision': unknown revision or "
       "path not in the working tree.\n"},
      {{"--author=nobody"}, 0, "No commit to show.\n"},
      {{"main..main"}, 0, "No commit to show.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    State state;
    std::optional<Refusal> refusal = Start(state, c.args);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->status, c.status);
    EXPECT_TRUE(refusal->message.starts_with(c.message)) << refusal->message;
    EXPECT_TRUE(state.commits.empty());
  }
}

bool Reaped(pid_t pid) {
  return kill(pid, 0) != 0 && errno == ESRCH;
}

TEST(LogScreenWalkTest, EveryEventTopsUpTheListAndClosingReapsGit) {
  TempRepo repo;
  testing::Import(repo, testing::LinearHistory(1000));
  ScopedCwd cwd(repo.path());

  pid_t git = -1;
  {
    Harness screen;
    git = screen.state.walk->pid();
    EXPECT_EQ(screen.state.commits.size(), 80u);
    EXPECT_EQ(Titles(screen.state).front(), "c999");
    screen.Send(Event::End);
    ASSERT_EQ(screen.state.selected_commit, 79);
    EXPECT_TRUE(screen.Shows("c920"));
    EXPECT_FALSE(screen.Send(Event::Character('x')));
    EXPECT_EQ(screen.state.commits.size(), 159u);
    EXPECT_EQ(Titles(screen.state).size(), screen.state.commits.size());
    EXPECT_EQ(screen.state.rows.size(), screen.state.commits.size());
    screen.Send(Event::End);
    EXPECT_TRUE(screen.Shows("c841"));
    // Deep in the list, every row in view is drawn.
    while (screen.state.selected_commit < 600) {
      screen.Send(Event::PageDown);
    }
    const int selected = screen.state.selected_commit;
    EXPECT_TRUE(screen.Shows("c" + std::to_string(999 - selected) + " "));
    for (int y = 3; y < 30; ++y) {
      EXPECT_NE(screen.RowFrom(0, y, 10), "") << y;
    }
    // git still runs, held by the full pipe, until the screen goes.
    EXPECT_FALSE(screen.state.walk->ended());
    EXPECT_EQ(kill(git, 0), 0);
  }
  EXPECT_TRUE(Reaped(git));
}

TEST(LogScreenWalkTest, ShortHistoryEndsTheWalk) {
  TempRepo repo;
  testing::Import(repo, testing::LinearHistory(5));
  ScopedCwd cwd(repo.path());
  Harness screen;
  EXPECT_EQ(Titles(screen.state),
            (std::vector<std::string>{"c4", "c3", "c2", "c1", "c0"}));
  EXPECT_TRUE(screen.state.walk->ended());
  EXPECT_EQ(screen.state.walk->status(), 0);
  EXPECT_TRUE(Reaped(screen.state.walk->pid()));
  screen.Send({Event::End, Event::End});
  EXPECT_EQ(screen.state.selected_commit, 4);
  EXPECT_EQ(screen.state.commits.size(), 5u);
}

TEST(LogScreenHostileTest, EscapeBytesAreDrawnSafely) {
  // Written by fast-import, which keeps the bytes as they are.
  TempRepo repo;
  const std::string message =
      "ti\xE0\x1B]0;pwned\x07tle\xC2\x9B"
      "2J\n\n\xE0\x1B[1;1Hbody\n";
  const std::string content = "b\xE0\x1B]0;pwned\x07\n";
  repo.Git({"fast-import", "--quiet"},
           "commit refs/heads/main\ncommitter T\x1B[2J <t@example.com> "
           "1700000000 +0000\ndata 6\nfirst\n\ncommit refs/heads/main\n"
           "committer T <t@example.com> 1700000000 +0000\ndata " +
               std::to_string(message.size()) + "\n" + message +
               "M 100644 inline f.txt\ndata " + std::to_string(content.size()) +
               "\n" + content + "M 100644 inline g\xC2\x9B.txt\ndata 2\nx\n\n");
  repo.Git({"branch", "b\xC2\x9B"});
  ScopedCwd cwd(repo.path());

  Harness screen(160, 30);
  EXPECT_TRUE(screen.Shows("pwned"));
  EXPECT_EQ(testing::TerminalHazard(screen.screen().ToString()), "");
  screen.Send({Event::ArrowRight, Event::ArrowDown});
  EXPECT_EQ(testing::TerminalHazard(screen.screen().ToString()), "");
  screen.Send(Event::ArrowDown);
  EXPECT_EQ(testing::TerminalHazard(screen.screen().ToString()), "");
  screen.Send({Event::ArrowLeft, Event::ArrowDown});
  EXPECT_EQ(testing::TerminalHazard(screen.screen().ToString()), "");
}

TEST(LogScreenFailureTest, DiffThatFailsShowsGitsError) {
  TempRepo repo;
  repo.Write("a.txt", "a\n");
  repo.Commit("first");
  repo.Write("a.txt", "b\n");
  const std::string hash = repo.Commit("second");
  // The commit object stays; its tree does not.
  const std::string tree = Trimmed(repo.Git({"rev-parse", hash + "^{tree}"}));
  std::filesystem::remove(repo.path() + "/.git/objects/" + tree.substr(0, 2) +
                          "/" + tree.substr(2));
  ScopedCwd cwd(repo.path());

  Harness screen;
  EXPECT_EQ(Titles(screen.state),
            (std::vector<std::string>{"second", "first"}));
  EXPECT_NE(screen.state.diff_error.find(tree), std::string::npos)
      << screen.state.diff_error;
  EXPECT_TRUE(screen.state.diff_error.starts_with("fatal: "))
      << screen.state.diff_error;
  EXPECT_TRUE(screen.Shows("fatal: "));
  EXPECT_TRUE(screen.Shows("    title:second"));
  screen.Send(Event::ArrowDown);
  EXPECT_EQ(screen.state.diff_error, "");
  EXPECT_FALSE(screen.Shows("fatal: "));
}

TEST(LogScreenShallowTest, BoundaryCommitShowsWhatGitCan) {
  TempRepo origin;
  // Commits of their own: records read by other tests stay kept.
  testing::Import(origin, testing::LinearHistory(5, 1600000000));
  TempDir clone;
  testing::RunResult cloned =
      testing::RunIn(clone.path(), {"git", "clone", "-q", "--depth", "2",
                                    "file://" + origin.path(), "shallow"});
  ASSERT_EQ(cloned.status, 0) << cloned.err;
  ScopedCwd cwd(clone.path() + "/shallow");

  Harness screen(160, 30);
  EXPECT_EQ(Titles(screen.state), (std::vector<std::string>{"c4", "c3"}));
  screen.Send(Event::ArrowDown);
  ASSERT_EQ(screen.state.selected_commit, 1);
  // git sees no parent: the boundary shows its whole tree as added.
  EXPECT_EQ(screen.state.diff.names,
            (std::vector<std::string>{"description", "A f0.txt", "A f1.txt",
                                      "A f2.txt", "A f3.txt"}));
  EXPECT_EQ(screen.state.diff_error, "");
  const std::string parent = screen.state.commits[1]->parents.at(0);
  EXPECT_TRUE(screen.state.missing.contains(parent));
  EXPECT_EQ(screen.state.diff_note, "parent " +
                                        parent.substr(0, screen.state.abbrev) +
                                        " not in this repository");
  EXPECT_TRUE(
      screen.Shows("   parent:" + parent.substr(0, screen.state.abbrev) +
                   " (not in this repository)"));
  EXPECT_TRUE(screen.Shows("grafted"));
}

TEST(LogScreenSha256Test, LongNamesAndARootCommit) {
  TempRepo repo;
  testing::RunResult made = testing::RunIn(
      repo.path(), {"git", "init", "-q", "--object-format=sha256", "sha256"});
  ASSERT_EQ(made.status, 0) << made.err;
  const std::string dir = repo.path() + "/sha256";
  auto git = [&](const std::vector<std::string>& args) {
    std::vector<std::string> command = {"git", "-c", "user.name=T", "-c",
                                        "user.email=t@example.com"};
    command.insert(command.end(), args.begin(), args.end());
    testing::RunResult result = testing::RunIn(dir, command);
    EXPECT_EQ(result.status, 0) << result.err;
    return Trimmed(result.out);
  };
  repo.Write("sha256/a.txt", "a\n");
  repo.Write("sha256/b.txt", "b\n");
  git({"add", "-A"});
  git({"commit", "-q", "-m", "root"});
  repo.Write("sha256/a.txt", "changed\n");
  git({"commit", "-q", "-am", "second"});
  ScopedCwd cwd(dir);

  Harness screen(200, 30);
  ASSERT_EQ(Titles(screen.state), (std::vector<std::string>{"second", "root"}));
  EXPECT_EQ(screen.state.commits[0]->hash, git({"rev-parse", "HEAD"}));
  EXPECT_EQ(screen.state.commits[0]->hash.size(), 64u);
  EXPECT_EQ(screen.state.commits[0]->parents,
            std::vector<std::string>{git({"rev-parse", "HEAD~"})});
  EXPECT_EQ(screen.state.abbrev, git({"rev-parse", "--short", "HEAD"}).size());
  EXPECT_EQ(screen.state.diff.names,
            (std::vector<std::string>{"description", "M a.txt"}));
  screen.Send(Event::ArrowDown);
  EXPECT_EQ(screen.state.diff.names,
            (std::vector<std::string>{"description", "A a.txt", "A b.txt"}));
  EXPECT_EQ(screen.state.diff_error, "");
}

TEST(LogScreenEncodingTest, MessageAndNamesAsGitLogShowsThem) {
  TempRepo repo;
  const std::string object =
      "tree 4b825dc642cb6eb9a060e54bf8d69288fbee4904\n"
      "author J\xf6rg <j@example.com> 1700000000 +0200\n"
      "committer J\xf6rg <j@example.com> 1700000000 +0200\n"
      "encoding ISO-8859-1\n\nCaf\xe9\n\n\xfc"
      "ber\n";
  const std::string hash = Trimmed(
      repo.Git({"hash-object", "-t", "commit", "-w", "--stdin"}, object));
  repo.Git({"update-ref", "refs/heads/main", hash});
  ScopedCwd cwd(repo.path());

  Harness screen(160, 30);
  // The columns without the graph.
  screen.state.graph_shown = false;
  screen.Draw();
  EXPECT_EQ(Titles(screen.state), std::vector<std::string>{"Caf\u00e9"});
  EXPECT_TRUE(screen.Shows("   author:J"));
  std::string shown;
  for (const std::string& row : screen.Rows()) {
    shown += row + "\n";
  }
  EXPECT_NE(shown.find("J\u00f6rg <j@example.com>"), std::string::npos);
  EXPECT_NE(shown.find("2023-11-15 J\u00f6rg (HEAD -> main) Caf\u00e9"),
            std::string::npos);
  EXPECT_NE(shown.find("\u00fcber"), std::string::npos);
  EXPECT_NE(shown.find("date:Wed Nov 15 00:13:20 2023 +0200"),
            std::string::npos);
}

TEST(LogScreenCraftedTest, HeaderThatIsNoParentIsNotListedAsOne) {
  TempRepo repo;
  repo.Write("a.txt", "a\n");
  const std::string parent = repo.Commit("first");
  const std::string tree = Trimmed(repo.Git({"rev-parse", "HEAD^{tree}"}));
  const std::string object = "tree " + tree + "\nparent " + parent +
                             "\nauthor A <a@example.com> 1700000000 +0000\n"
                             "committer A <a@example.com> 1700000000 +0000\n"
                             "parent_--output=leak\n\ncrafted\n";
  const std::string hash = Trimmed(
      repo.Git({"hash-object", "-t", "commit", "-w", "--stdin"}, object));
  repo.Git({"update-ref", "refs/heads/main", hash});
  ScopedCwd cwd(repo.path());

  Harness screen;
  ASSERT_EQ(Titles(screen.state),
            (std::vector<std::string>{"crafted", "first"}));
  EXPECT_EQ(screen.state.commits[0]->parents, std::vector<std::string>{parent});
  EXPECT_EQ(testing::OutputLines(repo.Git({"ls-files", "--others"})),
            std::vector<std::string>{});
}

}  // namespace
}  // namespace plimsy::log
