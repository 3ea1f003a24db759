#include "git/arguments.h"

#include <gtest/gtest.h>

#include <filesystem>
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
using testing::TmuxPane;

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

// Each option of the walk as git reads it: with its value attached, with
// a word after it, and abbreviated. A word after a flag is read on its
// own, here "-p", which the walk does not take; the word after an option
// that takes one is its value, whatever it looks like. git takes no
// abbreviation of these options, except of a negated one.
TEST(RefusedArgumentTest, ReadsEachOptionAsGitDoes) {
  const struct {
    std::vector<std::string> args;
    // The word refused, or empty when the walk takes them all.
    std::string refused;
  } cases[] = {
      // Flags: no value, attached or not.
      {{"--all=x"}, "--all=x"},
      {{"--all", "-p"}, "-p"},
      {{"--reflog=x"}, "--reflog=x"},
      {{"--reflog", "-p"}, "-p"},
      {{"--alternate-refs=x"}, "--alternate-refs=x"},
      {{"--alternate-refs", "-p"}, "-p"},
      {{"--single-worktree=x"}, "--single-worktree=x"},
      {{"--single-worktree", "-p"}, "-p"},
      {{"--not=x"}, "--not=x"},
      {{"--not", "-p"}, "-p"},
      {{"--bisect=x"}, "--bisect=x"},
      {{"--bisect", "-p"}, "-p"},
      {{"--merges=x"}, "--merges=x"},
      {{"--merges", "-p"}, "-p"},
      {{"--no-merges=x"}, "--no-merges=x"},
      {{"--no-merges", "-p"}, "-p"},
      {{"--no-min-parents=x"}, "--no-min-parents=x"},
      {{"--no-min-parents", "-p"}, "-p"},
      {{"--no-max-parents=x"}, "--no-max-parents=x"},
      {{"--no-max-parents", "-p"}, "-p"},
      {{"--first-parent=x"}, "--first-parent=x"},
      {{"--first-parent", "-p"}, "-p"},
      {{"--exclude-first-parent-only=x"}, "--exclude-first-parent-only=x"},
      {{"--exclude-first-parent-only", "-p"}, "-p"},
      {{"--all-match=x"}, "--all-match=x"},
      {{"--all-match", "-p"}, "-p"},
      {{"--invert-grep=x"}, "--invert-grep=x"},
      {{"--invert-grep", "-p"}, "-p"},
      {{"-i=x"}, "-i=x"},
      {{"-i", "-p"}, "-p"},
      {{"-iE"}, "-iE"},
      {{"--regexp-ignore-case=x"}, "--regexp-ignore-case=x"},
      {{"--regexp-ignore-case", "-p"}, "-p"},
      {{"--basic-regexp=x"}, "--basic-regexp=x"},
      {{"--basic-regexp", "-p"}, "-p"},
      {{"-E=x"}, "-E=x"},
      {{"-E", "-p"}, "-p"},
      {{"--extended-regexp=x"}, "--extended-regexp=x"},
      {{"--extended-regexp", "-p"}, "-p"},
      {{"-F=x"}, "-F=x"},
      {{"-F", "-p"}, "-p"},
      {{"--fixed-strings=x"}, "--fixed-strings=x"},
      {{"--fixed-strings", "-p"}, "-p"},
      {{"-P=x"}, "-P=x"},
      {{"-P", "-p"}, "-p"},
      {{"--perl-regexp=x"}, "--perl-regexp=x"},
      {{"--perl-regexp", "-p"}, "-p"},
      {{"--remove-empty=x"}, "--remove-empty=x"},
      {{"--remove-empty", "-p"}, "-p"},
      {{"--cherry-pick=x"}, "--cherry-pick=x"},
      {{"--cherry-pick", "-p"}, "-p"},
      {{"--left-only=x"}, "--left-only=x"},
      {{"--left-only", "-p"}, "-p"},
      {{"--right-only=x"}, "--right-only=x"},
      {{"--right-only", "-p"}, "-p"},
      {{"--merge=x"}, "--merge=x"},
      {{"--merge", "-p"}, "-p"},
      {{"--ignore-missing=x"}, "--ignore-missing=x"},
      {{"--ignore-missing", "-p"}, "-p"},
      {{"--follow=x"}, "--follow=x"},
      {{"--follow", "-p"}, "-p"},
      {{"--full-history=x"}, "--full-history=x"},
      {{"--full-history", "-p"}, "-p"},
      {{"--dense=x"}, "--dense=x"},
      {{"--dense", "-p"}, "-p"},
      {{"--sparse=x"}, "--sparse=x"},
      {{"--sparse", "-p"}, "-p"},
      {{"--simplify-merges=x"}, "--simplify-merges=x"},
      {{"--simplify-merges", "-p"}, "-p"},
      {{"--show-pulls=x"}, "--show-pulls=x"},
      {{"--show-pulls", "-p"}, "-p"},
      {{"--simplify-by-decoration=x"}, "--simplify-by-decoration=x"},
      {{"--simplify-by-decoration", "-p"}, "-p"},
      {{"--topo-order=x"}, "--topo-order=x"},
      {{"--topo-order", "-p"}, "-p"},
      {{"--date-order=x"}, "--date-order=x"},
      {{"--date-order", "-p"}, "-p"},
      {{"--author-date-order=x"}, "--author-date-order=x"},
      {{"--author-date-order", "-p"}, "-p"},
      {{"--reverse=x"}, "--reverse=x"},
      {{"--reverse", "-p"}, "-p"},
      {{"--do-walk=x"}, "--do-walk=x"},
      {{"--do-walk", "-p"}, "-p"},
      {{"--use-mailmap=x"}, "--use-mailmap=x"},
      {{"--use-mailmap", "-p"}, "-p"},
      {{"--mailmap=x"}, "--mailmap=x"},
      {{"--mailmap", "-p"}, "-p"},
      {{"--clear-decorations=x"}, "--clear-decorations=x"},
      {{"--clear-decorations", "-p"}, "-p"},
      // A value that can only be attached; the word after the bare name is
      // the next option.
      {{"--branches=m*", "-p"}, "-p"},
      {{"--branches", "-p"}, "-p"},
      {{"--tags=v*", "-p"}, "-p"},
      {{"--tags", "-p"}, "-p"},
      {{"--remotes=o/*", "-p"}, "-p"},
      {{"--remotes", "-p"}, "-p"},
      {{"--ancestry-path=HEAD~1", "-p"}, "-p"},
      {{"--ancestry-path", "-p"}, "-p"},
      {{"--no-walk=unsorted", "-p"}, "-p"},
      {{"--no-walk", "-p"}, "-p"},
      {{"--min-parents=2", "-p"}, "-p"},
      {{"--min-parents", "--output=leak"}, "--min-parents"},
      {{"--max-parents=1", "-p"}, "-p"},
      {{"--max-parents", "--output=leak"}, "--max-parents"},
      // A value attached or in the next word.
      {{"--max-count=1", "-p"}, "-p"},
      {{"--max-count", "-p"}, ""},
      {{"--skip=1", "-p"}, "-p"},
      {{"--skip", "-p"}, ""},
      {{"--since=1.day", "-p"}, "-p"},
      {{"--since", "-p"}, ""},
      {{"--after=1.day", "-p"}, "-p"},
      {{"--after", "-p"}, ""},
      {{"--since-as-filter=1.day", "-p"}, "-p"},
      {{"--since-as-filter", "-p"}, ""},
      {{"--until=1.day", "-p"}, "-p"},
      {{"--until", "-p"}, ""},
      {{"--before=1.day", "-p"}, "-p"},
      {{"--before", "-p"}, ""},
      {{"--author=a", "-p"}, "-p"},
      {{"--author", "-p"}, ""},
      {{"--committer=c", "-p"}, "-p"},
      {{"--committer", "-p"}, ""},
      {{"--grep=x", "-p"}, "-p"},
      {{"--grep", "-p"}, ""},
      {{"--exclude=x", "-p"}, "-p"},
      {{"--exclude", "-p"}, ""},
      {{"--glob=x", "-p"}, "-p"},
      {{"--glob", "-p"}, ""},
      {{"--exclude-hidden=receive", "-p"}, "-p"},
      {{"--exclude-hidden", "-p"}, ""},
      {{"--decorate-refs=x", "-p"}, "-p"},
      {{"--decorate-refs", "-p"}, ""},
      {{"--decorate-refs-exclude=x", "-p"}, "-p"},
      {{"--decorate-refs-exclude", "-p"}, ""},
      {{"--no-decorate-refs", "-p"}, "-p"},
      {{"--no-decorate-refs=x"}, "--no-decorate-refs=x"},
      {{"-n", "-p"}, ""},
      {{"-n3", "-p"}, "-p"},
      {{"-n=3", "-p"}, "-p"},
      {{"-12", "-p"}, "-p"},
      {{"-1x"}, "-1x"},
      // Options the walk does not take, whatever their form.
      {{"--date=relative"}, "--date=relative"},
      {{"--date", "relative"}, "--date"},
      {{"--encoding", "UTF-8"}, "--encoding"},
      {{"--default", "HEAD"}, "--default"},
      // Abbreviations: none but of a negated option of git log's own or of
      // the diff's, when it names one option only.
      {{"--min-par=2"}, "--min-par=2"},
      {{"--max-c=1"}, "--max-c=1"},
      {{"--auth=a"}, "--auth=a"},
      {{"--gre", "x"}, "--gre"},
      {{"--al"}, "--al"},
      {{"--use-mail"}, "--use-mail"},
      {{"--no-use"}, ""},
      {{"--no-mail"}, ""},
      {{"--no-decorate-refs-e"}, ""},
      {{"--no-fol"}, ""},
      {{"--no-sou"}, "--no-sou"},
      {{"--no-deco"}, "--no-deco"},
      {{"--no"}, "--no"},
      // git log reads its own options before the walk reads the rest, even
      // where the walk takes them for a value.
      {{"--grep", "--source"}, "--source"},
      {{"--author", "-q"}, "-q"},
      {{"--grep", "-L1,2:a"}, "-L1,2:a"},
      {{"--grep", "--decorate-refs", "x", "-p"}, ""},
      {{"-n", "--use-mailmap", "1"}, ""},
      // "--" ends the walk's options even as a value; git log's own take it
      // as one.
      {{"--grep", "--", "-p"}, ""},
      {{"--decorate-refs", "--", "--source"}, "--source"},
      {{"--grep", "--end-of-options", "-p"}, "-p"},
      {{"--end-of-options", "--source", "-p"}, ""},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) {
      line += " " + arg;
    }
    EXPECT_EQ(RefusedArgument(c.args),
              c.refused.empty()
                  ? ""
                  : "plimsy log: unsupported option '" + c.refused +
                        "' (only revisions, paths and options that choose "
                        "commits are taken)")
        << line;
  }
}

// The diff options as git reads them, in a repository and with
// --no-index, where it takes abbreviations; a line is git's to print when
// either reading finds another format.
TEST(FormatOptionsTest, ReadsEachOptionAsGitDoes) {
  const struct {
    std::vector<std::string> arguments;
    bool another_format;
  } cases[] = {
      // A value attached or in the next word.
      {{"--stat-width", "3"}, true},
      {{"--stat-name-width=3"}, true},
      {{"--stat-name-width", "3"}, true},
      {{"--stat-graph-width=3"}, true},
      {{"--stat-graph-width", "3"}, true},
      {{"--stat-count=3"}, true},
      {{"--stat-count", "3"}, true},
      {{"--word-diff-regex", "."}, true},
      {{"--line-prefix", ">"}, true},
      {{"--output-indicator-old", ">"}, true},
      {{"--output-indicator-context=>"}, true},
      {{"--output-indicator-context", ">"}, true},
      {{"--dst-prefix", "--stat"}, false},
      {{"--dst-prefix=x", "--stat"}, true},
      {{"--inter-hunk-context", "--stat"}, false},
      {{"--diff-algorithm", "--stat"}, false},
      {{"--color-moved-ws", "--stat"}, false},
      {{"--skip-to", "--stat"}, false},
      {{"--rotate-to", "--stat"}, false},
      {{"--find-object", "--stat"}, false},
      {{"--ignore-matching-lines", "--stat"}, false},
      {{"--ws-error-highlight", "--stat"}, false},
      {{"--ws-error-highlight=new", "--stat"}, true},
      // An optional value, attached only.
      {{"--stat", "80"}, true},
      {{"--dirstat", "files"}, true},
      {{"--dirstat-by-file=10"}, true},
      {{"--color", "never"}, true},
      {{"--color=ALWAYS"}, true},
      {{"--word-diff", "none"}, true},
      {{"--submodule", "diff"}, true},
      {{"--relative", "--stat"}, true},
      {{"--relative=src"}, false},
      {{"-U", "--stat"}, true},
      {{"--unified", "5"}, false},
      {{"--unified=5", "--stat"}, true},
      // No value: given one, git fails before printing anything.
      {{"--numstat=1"}, false},
      {{"--quiet=yes"}, false},
      // Negated options.
      {{"--no-color"}, false},
      {{"--no-ext-diff"}, false},
      {{"--no-quiet"}, false},
      {{"--no-stat"}, false},
      // Revision options that take the next word as their value, in git
      // diff too.
      {{"--author", "--stat"}, false},
      {{"--grep", "-z"}, false},
      {{"--since", "--raw"}, false},
      {{"-n", "--quiet"}, false},
      {{"--default", "--check"}, false},
      {{"--glob", "--name-only"}, false},
      {{"--min-parents", "--stat"}, true},
      // A word git does not know is dropped, and the options after it are
      // read.
      {{"-iO", "--output=x"}, true},
      {{"--src-p", "--stat"}, true},
      // The first "--" ends the options in a repository, not when it is a
      // value for --no-index.
      {{"--src-prefix", "--", "--stat"}, true},
      {{"--author", "--", "--stat"}, false},
      // Abbreviations, which only --no-index takes; in a repository git
      // refuses them whichever way.
      {{"--no-index", "--stat-w=3", "a", "b"}, true},
      {{"--no-index", "--stat-w", "3", "a", "b"}, true},
      {{"--nums"}, true},
      {{"--name-o"}, true},
      {{"--word-diff-r", "."}, true},
      {{"--no-index", "--src-p", "--stat", "a", "b"}, false},
      {{"--no-index", "--ignore-a", "a", "b"}, false},
      {{"--no-index", "--no-col", "a", "b"}, false},
      {{"--no-index", "--wo", "a", "b"}, false},
      {{"--no-index", "--ou=x", "a", "b"}, false},
      {{"--no-index", "--no-ext", "a", "b"}, false},
      // With --no-index first, git stops at an option of the revision walk;
      // after another word it may not be --no-index's.
      {{"--no-index", "-n", "3", "--stat", "a", "b"}, false},
      {{"a", "--no-index", "-n", "3", "--stat"}, true},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const std::string& argument : c.arguments) {
      line += " " + argument;
    }
    EXPECT_EQ(AsksForAnotherFormat(c.arguments), c.another_format) << line;
  }
}

// Lines that would have git write a file when a word before an option is
// taken for its value: on a terminal, where the screen would open, each is
// refused or has git read that word as a value, and no file is written.
TEST(RefusedArgumentTest, HostileLinesWriteNothing) {
  TempRepo repo;
  repo.Write("a.txt", "a\n");
  repo.Commit("first");
  const std::string refusal =
      "' (only revisions, paths and options that choose commits are taken)";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string shown;
  } cases[] = {
      {{"--min-parents", "--output=leak"},
       129,
       "plimsy log: unsupported option '--min-parents" + refusal},
      {{"--max-parents", "--output=leak"},
       129,
       "plimsy log: unsupported option '--max-parents" + refusal},
      {{"--min-par=2", "--output=leak"},
       129,
       "plimsy log: unsupported option '--min-par=2" + refusal},
      {{"--branches", "--output=leak"},
       129,
       "plimsy log: unsupported option '--output=leak" + refusal},
      {{"-iO", "--output=leak"},
       129,
       "plimsy log: unsupported option '-iO" + refusal},
      {{"--grep", "--end-of-options", "--output=leak"},
       129,
       "plimsy log: unsupported option '--output=leak" + refusal},
      {{"--grep", "--output=leak"}, 0, "No commit to show."},
      {{"-n", "--output=leak"}, 0, "No commit to show."},
      {{"--grep=none", "--decorate-refs", "--output=leak"},
       0,
       "No commit to show."},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) {
      line += " " + arg;
    }
    std::vector<std::string> command = {PlimsyBinary(), "log"};
    command.insert(command.end(), c.args.begin(), c.args.end());
    TmuxPane pane(repo.path(), command, 200, 10);
    EXPECT_EQ(pane.WaitForExit(), c.status) << line;
    std::string shown = pane.Capture();
    shown.erase(shown.find_last_not_of('\n') + 1);
    EXPECT_EQ(shown, c.shown) << line;
    EXPECT_FALSE(std::filesystem::remove(repo.path() + "/leak")) << line;
  }
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
