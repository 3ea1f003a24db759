// The diff screen while git still writes, and plimsy as git's pager.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support.h"

namespace plimsy::testing {
namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

std::string Numbered(const std::string& word, int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    text += word + " " + std::to_string(i) + "\n";
  }
  return text;
}

// Uncommitted changes: a long new file listed first, then thirty short
// changes.
class LoadingEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 10; i < 40; ++i) {
      repo_.Write("f" + std::to_string(i) + ".txt", Numbered("line", 5));
    }
    repo_.Commit("first");
    for (int i = 10; i < 40; ++i) {
      repo_.Write("f" + std::to_string(i) + ".txt", Numbered("changed", 5));
    }
    repo_.Write("a-long.txt", Numbered("new", 2000));
    repo_.Git({"add", "-N", "a-long.txt"});
  }

  TempRepo repo_;
};

std::string RealGit() {
  std::string path = RunIn(".", {"sh", "-c", "command -v git"}).out;
  return path.substr(0, path.find('\n'));
}

// A git first on PATH that writes its diff up to the file f25.txt, waits
// until the test lets it go on, then writes the rest.
TEST_F(LoadingEndToEndTest, FirstFileShowsWhileGitStillWrites) {
  TempDir bin;
  const std::string release = bin.path() + "/release";
  const std::string wrapper = bin.path() + "/git";
  {
    const std::string git = Quote(RealGit());
    std::ofstream script(wrapper);
    script << "#!/bin/sh\n"
              "for word; do [ \"$word\" = diff ] && break; done\n"
              "[ \"$word\" = diff ] || exec "
           << git << " \"$@\"\n"
           << git << " \"$@\" >" << Quote(bin.path() + "/out") << "\n"
           << "status=$?\n"
              "awk '/^diff --git a\\/f25/ { exit } { print }' "
           << Quote(bin.path() + "/out") << "\n"
           << "while [ ! -e " << Quote(release)
           << " ]; do sleep 0.02; done\n"
              "awk '/^diff --git a\\/f25/ { p = 1 } p { print }' "
           << Quote(bin.path() + "/out") << "\n"
           << "exit $status\n";
  }
  fs::permissions(wrapper, fs::perms::owner_all);
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, 100, 50,
                {"PATH=" + bin.path() + ":" + std::getenv("PATH")});
  std::string screen = pane.WaitFor("loading\u2026");
  // f24.txt has not ended yet, but what git printed of it shows while git
  // pauses.
  screen = pane.WaitFor("f24.txt");
  EXPECT_TRUE(Shows(screen, "> A a-long.txt")) << screen;
  EXPECT_TRUE(Shows(screen, "+new 1")) << screen;
  EXPECT_TRUE(Shows(screen, "loading\u2026")) << screen;
  EXPECT_FALSE(Shows(screen, "f25.txt")) << screen;
  // Keys work meanwhile.
  pane.SendKeys({"Down"});
  screen = pane.WaitFor("│ f10.txt");
  EXPECT_TRUE(Shows(screen, "loading\u2026")) << screen;

  std::ofstream(release).put('\n');
  screen = pane.WaitFor("f39.txt");
  for (int i = 0; i < 50 && Shows(screen, "loading\u2026"); ++i) {
    screen = pane.WaitFor("f39.txt");
  }
  EXPECT_FALSE(Shows(screen, "loading\u2026")) << screen;
  EXPECT_TRUE(Shows(screen, "│ f10.txt")) << screen;
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

// plimsy with a diff on a pipe: keys from the terminal, no context keys.
TEST_F(LoadingEndToEndTest, DiffOnStandardInputOpensTheScreen) {
  repo_.Commit("second");
  const std::string commit =
      repo_.Git({"rev-parse", "--short=7", "HEAD"}).substr(0, 7) + " second";
  struct Case {
    std::string name;
    std::string command;
    // The entry selected first, a row of what it shows, and the name row
    // of the entry after it.
    std::string first_entry;
    std::string first_row;
    std::string next_name;
  };
  const std::string plimsy = Quote(PlimsyBinary());
  // A commit's header and message come first, its files under them.
  const std::vector<Case> cases = {
      {"git diff", "git diff HEAD~1 | " + plimsy, "> A a-long.txt", "+new 1",
       "\u2502 f10.txt"},
      {"coloured git show", "git -c color.ui=always show --stat -p | " + plimsy,
       "> " + commit, "Author: ", "\u2502 a-long.txt"},
      {"format-patch", "git format-patch --stdout -1 | " + plimsy,
       "> " + commit, "Subject: [PATCH] second", "\u2502 a-long.txt"},
      {"git's pager", "git -c core.pager=" + plimsy + " diff HEAD~1",
       "> A a-long.txt", "+new 1", "\u2502 f10.txt"},
      {"git's coloured pager",
       "git -c color.ui=always -c pager.diff=" + plimsy + " diff HEAD~1",
       "> A a-long.txt", "+new 1", "\u2502 f10.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TmuxPane pane(repo_.path(), {"sh", "-c", c.command}, 100, 50);
    // The last entry; a commit's description names the files before.
    std::string screen = pane.WaitFor("M f39.txt");
    EXPECT_TRUE(Shows(screen, c.first_entry)) << screen;
    EXPECT_TRUE(Shows(screen, c.first_row)) << screen;
    EXPECT_TRUE(Shows(screen, "the context cannot change")) << screen;
    // Nor can git be asked again without whitespace changes.
    EXPECT_FALSE(Shows(screen, "W whitespace")) << screen;
    EXPECT_FALSE(Shows(screen, "[W]")) << screen;
    EXPECT_FALSE(Shows(screen, "loading\u2026")) << screen;
    // No colour sequence's remains.
    EXPECT_FALSE(Shows(screen, "[m")) << screen;
    EXPECT_FALSE(Shows(screen, "[32m")) << screen;
    // Keys come from the terminal; no context control is offered.
    pane.SendKeys({"Down", "+"});
    screen = pane.WaitFor(c.next_name);
    EXPECT_FALSE(Shows(screen, "[-1]")) << screen;
    pane.SendKeys({"q"});
    EXPECT_EQ(pane.WaitForExit(), 0);
  }
}

// `git log -p` through a pager: each commit's entry, with its header and
// message, and its files set in under it; } and { step by commit.
TEST(PagerCommitsEndToEndTest, FilesAreGroupedUnderTheirCommits) {
  TempRepo repo;
  for (const std::string name : {"one", "two", "three"}) {
    repo.Write(name + ".txt", name + "\n");
    repo.Commit("add " + name);
  }
  TmuxPane pane(repo.path(),
                {"sh", "-c", "git log -p | \"$0\"", PlimsyBinary()}, 100, 30);
  std::string screen = pane.WaitFor("add one");
  for (const std::string row :
       {" add three", "    A three.txt", " add two", "    A two.txt"}) {
    EXPECT_TRUE(Shows(screen, row)) << row << "\n" << screen;
  }
  EXPECT_TRUE(Shows(screen, "Author: ")) << screen;
  pane.SendKeys({"}"});
  screen = pane.WaitFor("    add two");
  EXPECT_TRUE(Shows(
      screen, "> " +
                  repo.Git({"rev-parse", "--short=7", "HEAD~1"}).substr(0, 7) +
                  " add two"))
      << screen;
  pane.SendKeys({"}", "}"});
  pane.WaitFor("Last commit");
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

// Text without a file's diff is shown as a pager would show it, and an
// empty input is a request for the usage.
TEST_F(LoadingEndToEndTest, OtherInputIsShownUnchanged) {
  const std::string log = repo_.Git({"log"});
  const std::string plimsy = Quote(PlimsyBinary());
  // Through less, as git runs its pager: LESS=FRX quits on a short text.
  TmuxPane pane(
      repo_.path(),
      {"sh", "-c", "git -c core.pager=" + plimsy + " log; echo \"status $?\""},
      100, 50);
  std::string screen = pane.WaitFor("status 0");
  EXPECT_TRUE(Shows(screen, log.substr(0, log.find('\n')))) << screen;
  EXPECT_TRUE(Shows(screen, "    first")) << screen;

  // Into a file or a pipe: written out unchanged.
  const std::string coloured =
      repo_.Git({"-c", "color.ui=always", "log", "--decorate"});
  RunResult out = RunIn(repo_.path(), {PlimsyBinary()}, coloured);
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.out, coloured);

  const std::string usage = RunIn(repo_.path(), {PlimsyBinary(), "help"}).out;
  ASSERT_FALSE(usage.empty());
  out = RunIn(repo_.path(), {PlimsyBinary()}, "");
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.out, usage);
}

// `plimsy diff` runs git itself: a pipe that never ends does not hold it.
TEST_F(LoadingEndToEndTest, DiffCommandNeverReadsStandardInput) {
  TmuxPane pane(repo_.path(),
                {"sh", "-c",
                 "sleep 60 | { " + Quote(PlimsyBinary()) +
                     " diff; echo \"status $?\"; }"},
                100, 50);
  std::string screen = pane.WaitFor("f39.txt");
  EXPECT_TRUE(Shows(screen, "Context:[-1]3[+1]")) << screen;
  EXPECT_FALSE(Shows(screen, "the context cannot change")) << screen;
  pane.SendKeys({"q"});
  pane.WaitFor("status 0");
}

}  // namespace
}  // namespace plimsy::testing
