// The screens while git pauses or fails halfway: what has come shows at
// once, keys work, q ends git, and a failure is told.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support.h"

namespace plimsy::testing {
namespace {

namespace fs = std::filesystem;

std::string RealGit() {
  std::string path = RunIn(".", {"sh", "-c", "command -v git"}).out;
  return path.substr(0, path.find('\n'));
}

// A git first on PATH that, for the command `word` (and not when `pass` is
// among the arguments), prints what the real git prints with `extra`
// arguments added, and then waits for good.
class PausingGit {
 public:
  // With `then`, a shell command run instead of the wait.
  PausingGit(const std::string& word,
             const std::string& extra,
             const std::string& pass = "--no-such-word",
             const std::string& then = "") {
    const std::string git = RealGit();
    std::ofstream script(wrapper());
    script << "#!/bin/sh\n"
           << "for word; do [ \"$word\" = '" << pass << "' ] && exec '" << git
           << "' \"$@\"; done\n"
           << "for word; do [ \"$word\" = " << word << " ] && break; done\n"
           << "[ \"$word\" = " << word << " ] || exec '" << git << "' \"$@\"\n"
           << "'" << git << "' \"$@\" " << extra << "\n"
           << (then.empty() ? "exec '" + pause() + "' 30" : then) << "\n";
    script.close();
    fs::permissions(wrapper(), fs::perms::owner_all);
    const std::string sleep = RunIn(".", {"sh", "-c", "command -v sleep"}).out;
    fs::create_symlink(sleep.substr(0, sleep.find('\n')), pause());
  }
  std::string Path() const {
    return "PATH=" + bin_.path() + ":" + std::getenv("PATH");
  }
  // Whether the paused git still runs.
  bool Running() const {
    return RunIn(".", {"pgrep", "-f", pause()}).status == 0;
  }

 private:
  std::string wrapper() const { return bin_.path() + "/git"; }
  std::string pause() const { return bin_.path() + "/pause"; }
  TempDir bin_;
};

std::string Numbered(const std::string& word, int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    text += word + " " + std::to_string(i) + "\n";
  }
  return text;
}

// Changes to `names`, each committed as five lines and changed in all five.
void ChangeFiles(TempRepo& repo, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    repo.Write(name, Numbered("line", 5));
  }
  repo.Commit("first");
  for (const std::string& name : names) {
    repo.Write(name, Numbered("changed", 5));
  }
}

// Commits c0, c1, … of one file; returns their hashes.
std::vector<std::string> Commits(TempRepo& repo, int count) {
  std::vector<std::string> hashes;
  for (int i = 0; i < count; ++i) {
    repo.Write("f.txt", Numbered("c" + std::to_string(i), 3));
    hashes.push_back(repo.Commit("c" + std::to_string(i)));
  }
  return hashes;
}

// q ends the screen at once, whatever git is doing.
void QuitAtOnce(TmuxPane& pane) {
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(std::chrono::seconds(5)), 0);
}

TEST(SlowGitEndToEndTest, DiffShowsTheFilesThatCameWhileGitPauses) {
  TempRepo repo;
  ChangeFiles(repo, {"a.txt", "b.txt", "c.txt"});
  PausingGit git("diff", "-- a.txt b.txt");
  TmuxPane pane(repo.path(), {PlimsyBinary(), "diff"}, 100, 30, {git.Path()});
  pane.WaitFor("M b.txt");
  // A frame is written from the top down: wait for the lowest row checked.
  std::string screen = pane.WaitFor("+changed 1");
  EXPECT_TRUE(Shows(screen, "M a.txt")) << screen;
  EXPECT_TRUE(Shows(screen, "M b.txt")) << screen;
  EXPECT_TRUE(Shows(screen, "loading\u2026")) << screen;
  pane.SendKeys({"Down"});
  pane.WaitFor("│ b.txt");
  EXPECT_TRUE(git.Running());
  QuitAtOnce(pane);
  EXPECT_FALSE(git.Running());
}

// A walk whose git has printed 100 commits and thinks on: a search that
// reads on for a term in none, or End, waits for its end; Escape stops it
// and leaves the selection, and then quits as before.
TEST(SlowGitEndToEndTest, EscapeStopsReadingTheWalkOn) {
  TempRepo repo;
  std::string stream;
  for (int i = 1; i <= 100; ++i) {
    const std::string n = std::to_string(i);
    stream +=
        "commit refs/heads/main\ncommitter T <t@example.com> "
        "1700000000 +0000\ndata <<END\nslow " +
        n + "\nEND\n\n";
  }
  repo.Git({"fast-import", "--quiet"}, stream);
  repo.Git({"reset", "-q", "main"});
  PausingGit git("--parents", "", "--no-walk=unsorted");
  TmuxPane pane(repo.path(), {PlimsyBinary(), "log"}, 100, 30, {git.Path()});
  pane.WaitFor("Commit 1 of");
  for (const std::vector<std::string>& keys :
       std::vector<std::vector<std::string>>{
           {"/", "n", "o", "w", "h", "e", "r", "e", "Enter"}, {"G"}}) {
    pane.SendKeys(keys);
    std::string screen = pane.WaitFor("100 commits; Esc stops");
    pane.SendKeys({"Escape"});
    screen = pane.WaitFor("Stopped reading");
    EXPECT_TRUE(Shows(screen, "Commit 1 of 100+")) << screen;
    EXPECT_TRUE(git.Running());
  }
  QuitAtOnce(pane);
  EXPECT_FALSE(git.Running());
}

TEST(SlowGitEndToEndTest, DiffTellsAGitThatFailsHalfway) {
  TempRepo repo;
  ChangeFiles(repo, {"a.txt", "b.txt"});
  PausingGit git("diff", "-- a.txt", "--no-such-word",
                 "echo 'fatal: unable to read b.txt' >&2; exit 128");
  TmuxPane pane(repo.path(), {PlimsyBinary(), "diff"}, 100, 30, {git.Path()});
  pane.WaitFor("git stopped: fatal: unable to read b.txt");
  // The header is written first; the list below it after.
  std::string screen = pane.WaitFor("M a.txt");
  EXPECT_TRUE(Shows(screen, "git stopped: fatal: unable to read b.txt"))
      << screen;
  EXPECT_FALSE(Shows(screen, "loading\u2026")) << screen;
  QuitAtOnce(pane);
}

// The screen opens while git thinks; a diff that ends empty leaves it for
// the message, or git's error, as if it had never opened.
TEST(SlowGitEndToEndTest, SlowEmptyDiffEndsWithTheMessage) {
  TempRepo repo;
  repo.Write("a.txt", "a\n");
  repo.Commit("first");
  PausingGit git("diff", "", "--no-such-word", "sleep 0.3");
  TmuxPane pane(repo.path(), {PlimsyBinary(), "diff"}, 100, 30, {git.Path()});
  EXPECT_EQ(pane.WaitForExit(), 0);
  const std::string screen = pane.Capture();
  EXPECT_TRUE(screen.starts_with("No difference...\n")) << screen;

  PausingGit failing("diff", "", "--no-such-word",
                     "sleep 0.3; echo 'fatal: bad object' >&2; exit 128");
  TmuxPane failed(repo.path(), {PlimsyBinary(), "diff"}, 100, 30,
                  {failing.Path()});
  EXPECT_EQ(failed.WaitForExit(), 128);
  EXPECT_TRUE(Shows(failed.Capture(), "fatal: bad object"));
}

TEST(SlowGitEndToEndTest, LogShowsTheCommitsThatCameWhileGitWalks) {
  TempRepo repo;
  Commits(repo, 10);
  // The walk pauses after three commits, all three shown; the parents'
  // records come.
  PausingGit git("log", "--max-count=3", "--no-walk=unsorted");
  TmuxPane pane(repo.path(), {PlimsyBinary(), "log"}, 100, 30, {git.Path()});
  std::string screen = pane.WaitFor(" c7");
  EXPECT_TRUE(Shows(screen, " c9")) << screen;
  EXPECT_TRUE(Shows(screen, " c8")) << screen;
  EXPECT_FALSE(Shows(screen, " c6")) << screen;
  EXPECT_TRUE(Shows(screen, "loading\u2026")) << screen;
  pane.SendKeys({"Down"});
  pane.WaitFor("    title:c8");
  EXPECT_TRUE(git.Running());
  QuitAtOnce(pane);
  EXPECT_FALSE(git.Running());
}

// A walk that is slow to list its first commit: the screen opens at once,
// "loading…" until the commit comes; a walk that then lists nothing, or
// fails, leaves it for the message and status it would have ended with.
TEST(SlowGitEndToEndTest, LogOpensBeforeTheFirstCommit) {
  TempRepo repo;
  Commits(repo, 10);
  PausingGit git("log", "--author=nobody-at-all", "--no-such-word",
                 "sleep 0.5; exec '" + RealGit() + "' \"$@\"");
  TmuxPane pane(repo.path(), {PlimsyBinary(), "log"}, 100, 30, {git.Path()});
  std::string screen = pane.WaitFor("loading\u2026");
  EXPECT_FALSE(Shows(screen, " c9")) << screen;
  pane.WaitFor("    title:c9");
  QuitAtOnce(pane);

  PausingGit empty("log", "--author=nobody-at-all", "--no-such-word",
                   "sleep 0.5");
  TmuxPane none(repo.path(), {PlimsyBinary(), "log"}, 100, 30, {empty.Path()});
  none.WaitFor("loading\u2026");
  EXPECT_EQ(none.WaitForExit(), 0);
  screen = none.Capture();
  EXPECT_TRUE(screen.starts_with("No commit to show.\n")) << screen;

  PausingGit failing("log", "--author=nobody-at-all", "--no-such-word",
                     "sleep 0.5; echo 'fatal: bad revision' >&2; exit 128");
  TmuxPane failed(repo.path(), {PlimsyBinary(), "log"}, 100, 30,
                  {failing.Path()});
  EXPECT_EQ(failed.WaitForExit(), 128);
  EXPECT_TRUE(Shows(failed.Capture(), "fatal: bad revision"));
}

// The records of parents outside the list, whose titles the details show,
// are read beside the screen: a git that is slow to give them holds up no
// key.
TEST(SlowGitEndToEndTest, LogMovesWhileTheParentsAreRead) {
  TempRepo repo;
  const std::vector<std::string> hashes = Commits(repo, 10);
  PausingGit git("--no-walk=unsorted", "");
  TmuxPane pane(repo.path(), {PlimsyBinary(), "log", "-3"}, 100, 30,
                {git.Path()});
  pane.WaitFor("    title:c9");
  pane.SendKeys({"Down", "Down"});
  pane.WaitFor("    title:c7");
  // c6 is not listed: its title comes from its record, which git printed
  // before it paused.
  pane.WaitFor("   parent:" + hashes[6].substr(0, 7) + " c6");
  EXPECT_TRUE(git.Running());
  pane.SendKeys({"Up"});
  pane.WaitFor("    title:c8");
  QuitAtOnce(pane);
  EXPECT_FALSE(git.Running());
}

TEST(SlowGitEndToEndTest, LogTellsAWalkThatFailsHalfway) {
  TempRepo repo;
  const std::vector<std::string> hashes = Commits(repo, 6);
  // The object of c2 is lost: git lists the newer commits, then fails.
  const std::string lost = hashes[2];
  fs::remove(repo.path() + "/.git/objects/" + lost.substr(0, 2) + "/" +
             lost.substr(2));
  TmuxPane pane(repo.path(), {PlimsyBinary(), "log"}, 100, 30);
  std::string screen = pane.WaitFor("git stopped: ");
  EXPECT_TRUE(Shows(screen, " c5")) << screen;
  EXPECT_FALSE(Shows(screen, "loading\u2026")) << screen;
  QuitAtOnce(pane);
}

TEST(SlowGitEndToEndTest, PagerShowsTheFilesThatCameWhileInputPauses) {
  TempRepo repo;
  ChangeFiles(repo, {"a.txt", "b.txt"});
  const std::string diff = repo.Git({"diff"});
  TempDir dir;
  const std::string fifo = dir.path() + "/input";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // Held open for writing: the input goes on without an end.
  const int writer = open(fifo.c_str(), O_RDWR);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(write(writer, diff.data(), diff.size()),
            static_cast<ssize_t>(diff.size()));
  TmuxPane pane(repo.path(),
                {"sh", "-c", "exec \"$0\" < \"$1\"", PlimsyBinary(), fifo}, 100,
                30);
  std::string screen = pane.WaitFor("M b.txt");
  EXPECT_TRUE(Shows(screen, "M a.txt")) << screen;
  EXPECT_TRUE(Shows(screen, "loading\u2026")) << screen;
  QuitAtOnce(pane);
  close(writer);
}

}  // namespace
}  // namespace plimsy::testing
