#include "git/arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures.h"
#include "support.h"

namespace plimsy {
namespace {

using testing::PlimsyBinary;
using testing::RunIn;
using testing::RunResult;
using testing::TempRepo;

TEST(FormatOptionsTest, TellsOtherFormatsFromPatchOptions) {
  const struct {
    std::vector<std::string> arguments;
    bool another_format;
  } cases[] = {
      {{}, false},
      {{"HEAD~1", "--", "src"}, false},
      {{"--cached", "-w", "--stat-graph"}, false},
      {{"--stat"}, true},
      {{"--stat=80,20"}, true},
      {{"--stat-width", "20"}, true},
      {{"--numstat"}, true},
      {{"--shortstat"}, true},
      {{"--dirstat=files"}, true},
      {{"-X"}, true},
      {{"-Xfiles,10"}, true},
      {{"--dirstat-by-file"}, true},
      {{"--cumulative"}, true},
      {{"--summary"}, true},
      {{"--compact-summary"}, true},
      {{"--patch-with-stat"}, true},
      {{"--patch-with-raw"}, true},
      {{"--raw"}, true},
      {{"--name-only"}, true},
      {{"--name-status"}, true},
      {{"--check"}, true},
      {{"--word-diff"}, true},
      {{"--word-diff=plain"}, true},
      {{"--word-diff=none"}, false},
      {{"--word-diff-regex=."}, true},
      {{"--color-words"}, true},
      {{"--color-words=."}, true},
      {{"-z"}, true},
      {{"-pz"}, true},
      {{"-s"}, true},
      {{"--no-patch"}, true},
      {{"--quiet"}, true},
      {{"--exit-code"}, false},
      {{"--output=diff.txt"}, true},
      {{"--output", "diff.txt"}, true},
      {{"--ext-diff"}, true},
      {{"--line-prefix=> "}, true},
      {{"--output-indicator-new=>"}, true},
      {{"--color"}, true},
      {{"--color=always"}, true},
      {{"--color=never"}, false},
      {{"--color=auto"}, false},
      {{"--submodule"}, true},
      {{"--submodule=log"}, true},
      {{"--submodule=diff"}, false},
      {{"--no-color", "-U5", "-M50%", "-C", "-B20/60", "-R"}, false},
      // Paths and revisions, never options.
      {{"--", "--stat"}, false},
      {{"--end-of-options", "--stat"}, false},
      {{"HEAD", "--", "-z"}, false},
      // The values of options that take one.
      {{"-S", "--stat"}, false},
      {{"-G", "-z"}, false},
      {{"-O", "--raw"}, false},
      {{"-I", "--check"}, false},
      {{"-l", "-s"}, false},
      {{"--src-prefix", "--stat"}, false},
      {{"--diff-filter", "-z"}, false},
      {{"--anchored", "--quiet"}, false},
      {{"-S--stat"}, false},
      {{"-pS", "-z"}, false},
      {{"-Sz"}, false},
      {{"-U1z"}, false},
      {{"-S", "x", "--stat"}, true},
      {{"--src-prefix=x/", "--stat"}, true},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const std::string& argument : c.arguments) {
      line += " " + argument;
    }
    EXPECT_EQ(AsksForAnotherFormat(c.arguments), c.another_format) << line;
  }
}

TEST(RefusedArgumentTest, OptionsThatChangeWhatGitPrints) {
  const std::vector<std::string> refused = {
      "-p",
      "-u",
      "--patch",
      "--stat",
      "--numstat",
      "--raw",
      "--name-only",
      "--name-status",
      "--format=%H",
      "--pretty",
      "--pretty=oneline",
      "--oneline",
      "--graph",
      "-z",
      "--decorate",
      "--no-decorate",
      "--notes",
      "--source",
      "--parents",
      "--children",
      "--boundary",
      "--left-right",
      "--cherry-mark",
      "--abbrev-commit",
      "-g",
      "-L1,2:f",
      "--output=leak",
      "--show-signature",
      "--stdin",
      "--date=relative",
      "--unknown",
      "-S",
  };
  for (const std::string& option : refused) {
    SCOPED_TRACE(option);
    const std::string message = RefusedArgument({"main", option, "--", "a"});
    EXPECT_EQ(message, "plimsy log: unsupported option '" + option +
                           "' (only revisions, paths and options that choose "
                           "commits are taken)");
  }
  // Values and paths are not options, whatever they look like.
  EXPECT_EQ(RefusedArgument({"--grep", "-p", "--author", "--stat"}), "");
  EXPECT_EQ(RefusedArgument({"--", "--stat", "-p"}), "");
  EXPECT_EQ(RefusedArgument({"--end-of-options", "--stat"}), "");
  EXPECT_EQ(RefusedArgument({"-", "-12", "-n", "3", "HEAD~2"}), "");
}

// A history of every kind of change, with a line of the working tree
// changed to end in a blank, which --check reports.
class FormatOptionsThroughTheBinaryTest : public ::testing::Test {
 protected:
  FormatOptionsThroughTheBinaryTest()
      : commits_(testing::CommitEveryKindOfChange(repo_)) {
    repo_.Write("keep.txt", "keep 1\nKEEP 2 \nkeep 3\n");
  }

  TempRepo repo_;
  testing::ChangeFixture commits_;
};

// plimsy prints exactly what git prints, with git's exit status.
TEST_F(FormatOptionsThroughTheBinaryTest, PrintWhatGitPrints) {
  const std::vector<std::vector<std::string>> cases = {
      {"--stat"},
      {"--numstat", commits_.before, commits_.after},
      {"--name-status", "-z", commits_.before},
      {"--summary", commits_.before, commits_.after},
      {"--check"},
      {"--word-diff"},
      {"--color-words"},
      {"--quiet"},
      {"--raw", "--", "keep.txt"},
  };
  for (const std::vector<std::string>& arguments : cases) {
    std::vector<std::string> git = {"git", "diff"};
    std::vector<std::string> plimsy = {PlimsyBinary(), "diff"};
    git.insert(git.end(), arguments.begin(), arguments.end());
    plimsy.insert(plimsy.end(), arguments.begin(), arguments.end());
    const RunResult expected = RunIn(repo_.path(), git);
    const RunResult result = RunIn(repo_.path(), plimsy);
    EXPECT_EQ(expected.out.empty(), arguments[0] == "--quiet") << arguments[0];
    EXPECT_EQ(result.out, expected.out) << arguments[0];
    EXPECT_EQ(result.err, expected.err) << arguments[0];
    EXPECT_EQ(result.status, expected.status) << arguments[0];
  }
}

}  // namespace
}  // namespace plimsy
