#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "log_history.h"
#include "support.h"

namespace plimsy::testing {
namespace {

// 150 commits "walk 1" … "walk 150", one file each; the newest also adds a
// 120-line file.
void WriteHistory(TempRepo& repo) {
  std::string stream;
  for (int i = 1; i <= 150; ++i) {
    const std::string n = std::to_string(i);
    const std::string message = "walk " + n + "\n";
    stream += "commit refs/heads/main\nmark :" + n +
              "\ncommitter T <t@example.com> 1700000000 +0000\ndata " +
              std::to_string(message.size()) + "\n" + message +
              (i > 1 ? "from :" + std::to_string(i - 1) + "\n" : "") +
              "M 100644 inline file" + n + ".txt\ndata " +
              std::to_string(n.size() + 1) + "\n" + n + "\n";
    if (i == 150) {
      std::string big;
      for (int line = 1; line <= 120; ++line) {
        big += "big line " + std::to_string(line) + "\n";
      }
      stream += "M 100644 inline big.txt\ndata " + std::to_string(big.size()) +
                "\n" + big;
    }
    stream += "\n";
  }
  repo.Git({"fast-import", "--quiet"}, stream);
}

// The number in the title row of the commit details, or -1.
int ShownWalk(const std::string& screen) {
  const std::string label = "    title:walk ";
  size_t at = screen.find(label);
  return at == std::string::npos ? -1
                                 : std::stoi(screen.substr(at + label.size()));
}

TEST(LogScreenEndToEndTest, BrowseHistoryAndDiff) {
  TempRepo repo;
  WriteHistory(repo);
  TmuxPane pane(repo.path(), {PlimsyBinary(), "log"}, 100, 30);

  // The committer's date lies below the rows checked: a frame is written
  // from the top down.
  std::string screen = pane.WaitFor("     date:");
  EXPECT_NE(screen.find("(HEAD -> main) walk 150"), std::string::npos)
      << screen;
  EXPECT_NE(screen.find("[plimsy log]"), std::string::npos) << screen;
  EXPECT_NE(screen.find("committer:T <t@example.com>"), std::string::npos)
      << screen;
  // The pane cuts the rest of the date.
  EXPECT_NE(screen.find("     date:Tue Nov 14 22:13:20 20"), std::string::npos)
      << screen;

  // Down to the last of the first 80 entries, then a page further: every
  // key tops the list up before the menu moves.
  pane.SendKeys(std::vector<std::string>(79, "Down"));
  pane.WaitFor("    title:walk 71\n");
  pane.SendKeys({"PageDown"});
  int shown = 71;
  for (int tries = 0; tries < 500 && shown == 71; ++tries) {
    shown = ShownWalk(pane.Capture());
  }
  ASSERT_GT(shown, 0);
  EXPECT_LT(shown, 70);
  // Exact key counts: a list key that moves nothing goes on to the
  // containers, which would move the focus. Home and End are left out as
  // tmux sends sequences for them that the terminal library does not read.
  pane.SendKeys(std::vector<std::string>(shown - 1, "Down"));
  pane.WaitFor("    title:walk 1\n");
  pane.SendKeys(std::vector<std::string>(149, "Up"));
  pane.WaitFor("    title:walk 150\n");
  // Its files, once its diff has been read.
  pane.WaitFor("A big.txt");

  pane.SendKeys({"Right", "Down"});
  screen = pane.WaitFor("big line 1");
  EXPECT_EQ(screen.find("big line 120"), std::string::npos) << screen;
  // Joined, the narrow pane has room for the whole line.
  pane.SendKeys({"Right", "s"});
  pane.SendKeys(std::vector<std::string>(5, "PageDown"));
  pane.WaitFor("big line 120");
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

// The first row of the commit list that starts with `start` after the
// selection mark, up to its scroll indicator.
std::string ListRow(const std::string& screen, const std::string& start) {
  size_t at = 0;
  while (at < screen.size()) {
    size_t end = screen.find('\n', at);
    std::string line = screen.substr(at, end - at);
    at = end == std::string::npos ? screen.size() : end + 1;
    if (line.size() < 2 || line.compare(2, start.size(), start) != 0) {
      continue;
    }
    line = line.substr(0, line.find("│"));
    for (const std::string indicator : {"┃", "╹", "╻"}) {
      if (line.ends_with(indicator)) {
        line.erase(line.size() - indicator.size());
      }
    }
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
  }
  return "";
}

// The loop reads the walk on for a search and for End, past the part read
// ahead of the selection.
TEST(LogScreenEndToEndTest, SearchAndEndReadOnThroughTheWalk) {
  TempRepo repo;
  WriteHistory(repo);
  TmuxPane pane(repo.path(), {PlimsyBinary(), "log"}, 100, 30);
  pane.WaitFor("     date:");
  pane.SendKeys({"/", "w", "a", "l", "k", " ", "5", "0", "Enter"});
  std::string screen = pane.WaitUntil(
      "walk 50 shown",
      [](const std::string& shown) { return ShownWalk(shown) == 50; });
  EXPECT_NE(screen.find("Commit 101 of"), std::string::npos) << screen;
  pane.SendKeys({"G"});
  screen = pane.WaitFor("Commit 150 of 150 ");
  pane.WaitUntil("walk 1 shown", [](const std::string& shown) {
    return ShownWalk(shown) == 1;
  });
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

TEST(LogScreenEndToEndTest, RowsLabelsAndColours) {
  TempRepo repo;
  auto hashes = Import(repo, PullRequestHistory(), {{"v1", "merge30"}});
  repo.Git({"update-ref", "refs/remotes/origin/main", hashes["merge30"]});
  TmuxPane pane(repo.path(), {PlimsyBinary(), "log"}, 139, 40);

  pane.WaitFor("Merge pull request #30");
  // The columns without the graph, which has tests of its own.
  pane.SendKeys({"t"});
  pane.WaitFor("Test User (HEAD -> main)");
  // The rows come as git's walk prints them: wait for the lowest checked.
  std::string screen = pane.WaitFor("FIX: notes for 30");
  auto short_of = [&](const std::string& label) {
    return hashes[label].substr(0, 7);
  };
  // Hash, day, author, labels and title, in columns; the pane cuts the
  // title.
  EXPECT_EQ(
      ListRow(screen, short_of("head")),
      "> " + short_of("head") + " 2023-11-14 Test User (HEAD -> main) head");
  EXPECT_EQ(ListRow(screen, short_of("merge30")),
            "  " + short_of("merge30") +
                " 2023-11-14 Alice     (tag: v1, origin/main) Merge pul");
  EXPECT_EQ(ListRow(screen, short_of("pr30.3")),
            "  " + short_of("pr30.3") + " 2023-11-14 Bob       (pr-30) pr30.3");
  EXPECT_EQ(
      ListRow(screen, short_of("fix30")),
      "  " + short_of("fix30") + " 2023-11-14 Bob       FIX: notes for 30");

  // Colours as git log's: a yellow hash, a bold cyan HEAD, a bold green
  // branch, a bold red remote branch.
  const std::string colours = pane.Capture(true);
  EXPECT_NE(colours.find("33m" + short_of("merge30")), std::string::npos);
  EXPECT_NE(colours.find("36mHEAD -> main"), std::string::npos);
  EXPECT_NE(colours.find("32mpr-30"), std::string::npos);
  EXPECT_NE(colours.find("31morigin/main"), std::string::npos);

  // The merge: its parents by short hash and title, its labels, and what
  // its files are diffed against.
  pane.SendKeys({"Down"});
  pane.WaitFor("    title:Merge pull request #30");
  // The files follow once the merge's diff has been read.
  screen = pane.WaitFor("src/pr30/part1.txt");
  EXPECT_NE(
      screen.find("   parent:" + short_of("fix30") + " FIX: notes for 30"),
      std::string::npos)
      << screen;
  EXPECT_NE(screen.find("   parent:" + short_of("pr30.3") + " pr30.3"),
            std::string::npos)
      << screen;
  EXPECT_NE(screen.find("     refs:tag: v1, origin/main"), std::string::npos)
      << screen;
  EXPECT_NE(screen.find("diff against first parent"), std::string::npos)
      << screen;
  EXPECT_NE(screen.find("src/pr30/part1.txt"), std::string::npos) << screen;
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

// The panes are fitted to the window again when it is resized: a title
// of 60 characters is whole at 200 columns, beside the graph, the hash,
// the date and the author; at 100 the list keeps the start of every title.
TEST(LogScreenEndToEndTest, TheLayoutFollowsTheWindow) {
  TempRepo repo;
  Import(repo, PullRequestHistory());
  const std::string title =
      "A title of sixty characters that a wide log shows whole: 60!";
  repo.Write("long.txt", "long\n");
  const std::string hash = repo.Commit(title).substr(0, 7);
  repo.Write("head.txt", "head\n");
  repo.Commit("head");
  const std::string day =
      repo.Git({"log", "-1", "--format=%ad", "--date=short", hash});
  const std::string start = "  " + hash + " " + day.substr(0, 10) + " ";
  TmuxPane pane(repo.path(), {PlimsyBinary(), "log"}, 200, 50);
  const auto row_is = [&](const std::string& what, bool whole) {
    return pane.WaitUntil(what, [&](const std::string& screen) {
      const std::string row = ListRow(screen, hash);
      return row.starts_with(whole ? start : "  " + hash + " ") &&
             (whole ? row.ends_with(title)
                    : row.find(title.substr(0, 16)) != std::string::npos &&
                          row.find(title) == std::string::npos);
    });
  };
  std::string row = ListRow(row_is("the whole title at 200", true), hash);
  // The author, then the graph's lane before the title.
  const std::string author = start + "Test User ";
  ASSERT_TRUE(row.starts_with(author)) << row;
  EXPECT_NE(row.substr(author.size(), row.size() - author.size() - title.size())
                .find_first_not_of(' '),
            std::string::npos)
      << row;
  pane.Command({"resize-window", "-t", "0", "-x", "100", "-y", "30"});
  row_is("the start of the title at 100", false);
  pane.Command({"resize-window", "-t", "0", "-x", "200", "-y", "50"});
  row_is("the whole title at 200 again", true);
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

TEST(LogScreenEndToEndTest, PathsAndRangesChooseTheCommits) {
  TempRepo repo;
  Import(repo, PullRequestHistory());
  TmuxPane pane(repo.path(),
                {PlimsyBinary(), "log", "--", "src/pr3", "src/topic.txt"}, 120,
                20);
  // git's simplified history: the branch's commits, not the merge that
  // brought them, nor the topic, which main does not reach.
  std::string screen = pane.WaitFor("pr3.1");
  for (const char* title : {"pr3.3\n", "pr3.2", "pr3.1"}) {
    EXPECT_NE(screen.find(title), std::string::npos) << screen;
  }
  EXPECT_EQ(screen.find("pr4."), std::string::npos) << screen;
  EXPECT_EQ(screen.find("Merge pull request"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("topic"), std::string::npos) << screen;
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

TEST(LogScreenEndToEndTest, EmptyRepositoryExitsWithGitsMessage) {
  TempRepo repo;
  TmuxPane pane(repo.path(), {PlimsyBinary(), "log"}, 100, 10);
  EXPECT_EQ(pane.WaitForExit(), 128);
  EXPECT_NE(pane.Capture().find(
                "fatal: your current branch 'main' does not have any commits "
                "yet"),
            std::string::npos)
      << pane.Capture();
}

TEST(LogScreenEndToEndTest, RefusalsDoNotOpenTheScreen) {
  TempRepo repo;
  Import(repo, LinearHistory(3));
  TempDir outside;
  struct Case {
    std::string dir;
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  };
  const std::vector<Case> cases = {
      {repo.path(),
       {"HEAD~9999"},
       128,
       "",
       "fatal: ambiguous argument 'HEAD~9999': unknown revision or path not "
       "in the working tree.\nUse '--' to separate paths from revisions, like "
       "this:\n'git <command> [<revision>...] -- [<file>...]'\n"},
      {outside.path(),
       {},
       128,
       "",
       "fatal: not a git repository (or any of the parent directories): "
       ".git\n"},
      {repo.path(),
       {"--oneline"},
       129,
       "",
       "plimsy log: unsupported option '--oneline' (only revisions, paths and "
       "options that choose commits are taken)\n"},
      {repo.path(), {"--grep=nothing"}, 0, "No commit to show.\n", ""},
  };
  // On a terminal, where the screen would open; what a pipe gets is what
  // git log prints into it.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "outside" : c.args.front());
    std::vector<std::string> command = {PlimsyBinary(), "log"};
    command.insert(command.end(), c.args.begin(), c.args.end());
    TmuxPane pane(c.dir, command, 200, 10, {"GIT_CEILING_DIRECTORIES=/"});
    EXPECT_EQ(pane.WaitForExit(), c.status);
    std::string shown = pane.Capture();
    shown.erase(shown.find_last_not_of('\n') + 1);
    const std::string expected = c.out + c.err;
    EXPECT_EQ(shown, expected.substr(0, expected.find_last_not_of('\n') + 1));
  }
}

// A commit that carries "parent_--output=leak" after its committer: were it
// read as a parent, a diff against it would write the working tree's
// changes into a file.
TEST(LogScreenEndToEndTest, CraftedHeaderNeverReachesGit) {
  TempRepo repo;
  repo.Write("a.txt", "a\n");
  const std::string parent = repo.Commit("first");
  std::string tree = repo.Git({"rev-parse", "HEAD^{tree}"});
  tree.pop_back();
  std::string crafted =
      repo.Git({"hash-object", "-t", "commit", "-w", "--stdin"},
               "tree " + tree + "\nparent " + parent +
                   "\nauthor A <a@example.com> 1700000000 +0000\n"
                   "committer A <a@example.com> 1700000000 +0000\n"
                   "parent_--output=leak\n\ncrafted\n");
  crafted.pop_back();
  repo.Git({"update-ref", "refs/heads/main", crafted});
  repo.Write("a.txt", "uncommitted\n");

  TmuxPane pane(repo.path(), {PlimsyBinary(), "log"}, 160, 20);
  std::string screen = pane.WaitFor("    title:crafted");
  EXPECT_NE(screen.find("   parent:" + parent.substr(0, 7) + " first"),
            std::string::npos)
      << screen;
  EXPECT_EQ(screen.find("leak"), std::string::npos) << screen;
  pane.SendKeys({"Down"});
  pane.WaitFor("    title:first");
  pane.SendKeys({"Up", "+", "-"});
  pane.WaitFor("    title:crafted");
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
  EXPECT_EQ(repo.Git({"status", "--porcelain", "--untracked-files=all"}),
            " M a.txt\n");
  for (const auto& entry : std::filesystem::directory_iterator(repo.path())) {
    EXPECT_EQ(entry.path().filename().string().find("leak"), std::string::npos);
  }
}

}  // namespace
}  // namespace plimsy::testing
