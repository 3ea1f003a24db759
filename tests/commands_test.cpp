#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.h"

namespace plimsy::testing {
namespace {

const char kHelp[] =
    "\nplimsy is a terminal user interface for git.\n\nUsage:\n  - plimsy "
    "<command> [args]*\n\nAvailable TUI commands:\n  - diff\n  - log\n\n"
    "Fallback to git:\n  - git \n  - ... (fallback to git)\n\nOther "
    "commands:\n  - version\n  - help\n\n\n";

class CommandsTest : public ::testing::Test {
 protected:
  RunResult Plimsy(const std::vector<std::string>& args,
                   const std::string& input = "",
                   const std::vector<std::string>& env = {}) {
    std::vector<std::string> command = {PlimsyBinary()};
    command.insert(command.end(), args.begin(), args.end());
    return RunIn(repo_.path(), command, input, env);
  }
  RunResult Git(const std::vector<std::string>& args) {
    std::vector<std::string> command = {"git"};
    command.insert(command.end(), args.begin(), args.end());
    return RunIn(repo_.path(), command);
  }

  TempRepo repo_;
};

TEST_F(CommandsTest, OwnCommandWordsPrintTheirTexts) {
  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  const std::vector<Case> cases = {
      {{}, kHelp},
      {{"help"}, kHelp},
      {{"--help"}, kHelp},
      {{"-h"}, kHelp},
      {{"help", "extra", "words"}, kHelp},
      {{"version"}, "1.3.0\n"},
      {{"--version"}, "1.3.0\n"},
      {{"-v"}, "1.3.0\n"},
      {{"-v", "foo"}, "1.3.0\n"},
  };
  for (const Case& c : cases) {
    RunResult result = Plimsy(c.args);
    std::string words = ::testing::PrintToString(c.args);
    EXPECT_EQ(result.status, 0) << words;
    EXPECT_EQ(result.out, c.out) << words;
    EXPECT_EQ(result.err, "") << words;
  }
}

TEST_F(CommandsTest, EverythingElseIsWhatGitDoes) {
  repo_.Write("tracked.txt", "one\n");
  repo_.Commit("first");
  repo_.Write("tracked.txt", "two\n");
  repo_.Write("new.txt", "new\n");
  struct Case {
    std::vector<std::string> plimsy;
    std::vector<std::string> git;
  };
  const std::vector<Case> cases = {
      {{"status", "-s"}, {"status", "-s"}},
      {{"git", "status", "-s"}, {"status", "-s"}},
      {{"git", "log", "--format=%s"}, {"log", "--format=%s"}},
      {{"git"}, {}},
      {{"git", "git", "status"}, {"git", "status"}},
      {{"Diff"}, {"Diff"}},
      {{"diffs"}, {"diffs"}},
      {{"-version"}, {"-version"}},
      {{"--Version"}, {"--Version"}},
      {{"-V"}, {"-V"}},
      {{""}, {""}},
      {{"rev-parse", "--abbrev-ref", "HEAD"},
       {"rev-parse", "--abbrev-ref", "HEAD"}},
      // Without a terminal the screens' words print what git prints.
      {{"diff"}, {"diff"}},
      {{"diff", "--stat", "--", "tracked.txt"},
       {"diff", "--stat", "--", "tracked.txt"}},
      {{"diff", "--cached", "--", "nothing"},
       {"diff", "--cached", "--", "nothing"}},
      {{"diff", "no-such-revision"}, {"diff", "no-such-revision"}},
      {{"log", "--format=%s"}, {"log", "--format=%s"}},
      {{"log", "-1", "--stat"}, {"log", "-1", "--stat"}},
  };
  for (const Case& c : cases) {
    RunResult ours = Plimsy(c.plimsy);
    RunResult theirs = Git(c.git);
    std::string words = ::testing::PrintToString(c.plimsy);
    EXPECT_EQ(ours.status, theirs.status) << words;
    EXPECT_EQ(ours.out, theirs.out) << words;
    EXPECT_EQ(ours.err, theirs.err) << words;
  }
}

TEST_F(CommandsTest, GitFailureStatusIsPassedOn) {
  repo_.Write("a.txt", "a\n");
  repo_.Commit("first");
  RunResult ours = Plimsy({"commit", "-m", "nothing to commit"});
  RunResult theirs = Git({"commit", "-m", "nothing to commit"});
  EXPECT_NE(ours.status, 0);
  EXPECT_EQ(ours.status, theirs.status);
  EXPECT_EQ(ours.out, theirs.out);
}

TEST_F(CommandsTest, StandardInputReachesGit) {
  const std::string input = "content read from standard input\n";
  RunResult ours = Plimsy({"hash-object", "--stdin"}, input);
  RunResult theirs =
      RunIn(repo_.path(), {"git", "hash-object", "--stdin"}, input);
  EXPECT_EQ(ours.status, 0);
  EXPECT_EQ(ours.out.size(), 41u);
  EXPECT_EQ(ours.out, theirs.out);
}

// Without arguments plimsy reads standard input; one that cannot be read
// is no empty input.
TEST_F(CommandsTest, UnreadableStandardInputIsReported) {
  struct Case {
    std::string redirection;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"< /", "Is a directory"},
      {"<&-", "Bad file descriptor"},
  };
  for (const Case& c : cases) {
    RunResult result =
        RunIn(repo_.path(),
              {"sh", "-c", "exec \"$0\" " + c.redirection, PlimsyBinary()});
    EXPECT_EQ(result.status, 1) << c.redirection;
    EXPECT_EQ(result.out, "") << c.redirection;
    EXPECT_EQ(result.err,
              "plimsy: cannot read standard input: " + c.reason + "\n")
        << c.redirection;
  }
}

TEST_F(CommandsTest, MissingGitIsReported) {
  const std::vector<std::vector<std::string>> cases = {
      {"status"}, {"git", "status"}, {"diff"}, {"log"}};
  for (const auto& args : cases) {
    RunResult result = Plimsy(args, "", {"PATH=/nonexistent"});
    std::string words = ::testing::PrintToString(args);
    EXPECT_EQ(result.status, 127) << words;
    EXPECT_EQ(result.out, "") << words;
    EXPECT_EQ(result.err, "plimsy: cannot run git: No such file or directory\n")
        << words;
  }
}

}  // namespace
}  // namespace plimsy::testing
