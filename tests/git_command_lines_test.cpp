#include "git/command_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plimsy {
namespace {

using Args = std::vector<std::string>;

const Args kRecordOptions = {
    "--pretty=raw",    "-z",
    "--decorate=full", "--no-abbrev-commit",
    "--no-notes",      "--no-show-signature",
    "--no-color",      "--encoding=UTF-8",
};

Args Join(const std::vector<Args>& parts) {
  Args joined;
  for (const Args& part : parts) {
    joined.insert(joined.end(), part.begin(), part.end());
  }
  return joined;
}

// Object names and the user's data as they might come: an option's look,
// nothing at all, blanks.
TEST(GitCommandLinesTest, EachCommandLineAsGitGetsIt) {
  const Args forced = {"--no-color", "--no-ext-diff", "--src-prefix=a/",
                       "--dst-prefix=b/", "--submodule=short"};
  const Args hostile = {"--output=x",    "-",  "",
                        "-- not a path", "--", "a file.txt"};
  const struct {
    const char* name;
    Args command_line;
    Args expected;
  } cases[] = {
      {"diff screen", DiffScreenCommandLine(3, false, {}),
       Join({{"diff"}, forced, {"-U3"}})},
      {"diff screen without whitespace, the user's arguments last",
       DiffScreenCommandLine(0, true, {"--cached", "--", "a file.txt"}),
       Join({{"diff"}, forced, {"-U0", "-w", "--cached", "--", "a file.txt"}})},
      {"diff screen, hostile arguments",
       DiffScreenCommandLine(12, false, hostile),
       Join({{"diff"}, forced, {"-U12"}, hostile})},
      {"another format",
       FormatFallbackCommandLine({"--stat", "HEAD"}),
       {"diff", "--stat", "HEAD"}},
      {"another format, hostile arguments", FormatFallbackCommandLine(hostile),
       Join({{"diff"}, hostile})},
      {"commit diff",
       CommitDiffCommandLine("0123abcd", 3, false),
       {"diff-tree", "-p", "--no-commit-id", "--root",
        "--diff-merges=first-parent", "-M", "-U3", "--end-of-options",
        "0123abcd"}},
      {"commit diff without whitespace, a name like an option",
       CommitDiffCommandLine("--output=x", 0, true),
       {"diff-tree", "-p", "--no-commit-id", "--root",
        "--diff-merges=first-parent", "-M", "-U0", "-w", "--end-of-options",
        "--output=x"}},
      {"commit diff, an empty name",
       CommitDiffCommandLine("", 5, false),
       {"diff-tree", "-p", "--no-commit-id", "--root",
        "--diff-merges=first-parent", "-M", "-U5", "--end-of-options", ""}},
      {"head guess",
       HeadGuessCommandLine(3),
       {"diff-tree", "-p", "--root", "--diff-merges=first-parent", "-M", "-U3",
        "--always", "--abbrev", "--format=%H %h", "--end-of-options", "HEAD"}},
      {"head guess without context",
       HeadGuessCommandLine(0),
       {"diff-tree", "-p", "--root", "--diff-merges=first-parent", "-M", "-U0",
        "--always", "--abbrev", "--format=%H %h", "--end-of-options", "HEAD"}},
      {"short name",
       ShortNameCommandLine("0123abcd"),
       {"rev-parse", "--short", "--end-of-options", "0123abcd"}},
      {"short name, a name like an option",
       ShortNameCommandLine("-x"),
       {"rev-parse", "--short", "--end-of-options", "-x"}},
      {"short name, an empty name",
       ShortNameCommandLine(""),
       {"rev-parse", "--short", "--end-of-options", ""}},
      {"walk", WalkCommandLine({}),
       Join({{"log"}, kRecordOptions, {"--parents"}})},
      {"walk, the user's arguments last",
       WalkCommandLine({"main", "--", "a file.txt"}),
       Join({{"log"},
             kRecordOptions,
             {"--parents", "main", "--", "a file.txt"}})},
      {"walk, a full history, whose merges --parents would add",
       WalkCommandLine({"--full-history", "--", "docs"}),
       Join({{"log"}, kRecordOptions, {"--full-history", "--", "docs"}})},
      {"walk, --full-history as a path and as a value",
       WalkCommandLine({"--grep", "--full-history", "--", "--full-history"}),
       Join({{"log"},
             kRecordOptions,
             {"--parents", "--grep", "--full-history", "--",
              "--full-history"}})},
      {"walk, hostile arguments", WalkCommandLine(hostile),
       Join({{"log"}, kRecordOptions, {"--parents"}, hostile})},
      {"commit records", CommitRecordsCommandLine({"0123abcd", "4567ef01"}),
       Join({{"log", "--no-walk=unsorted", "--ignore-missing"},
             kRecordOptions,
             {"--end-of-options", "0123abcd", "4567ef01"}})},
      {"commit records, names like options",
       CommitRecordsCommandLine({"--output=x", "-", ""}),
       Join({{"log", "--no-walk=unsorted", "--ignore-missing"},
             kRecordOptions,
             {"--end-of-options", "--output=x", "-", ""}})},
      {"plain text",
       PlainTextCommandLine("diff", false, {"HEAD"}),
       {"diff", "HEAD"}},
      {"plain text without a pager", PlainTextCommandLine("log", true, hostile),
       Join({{"--no-pager", "log"}, hostile})},
      {"background setting",
       BackgroundSettingCommandLine(),
       {"config", "--get", "plimsy.background"}},
      {"fallback",
       FallbackCommandLine({"status", "--short"}),
       {"status", "--short"}},
      {"fallback, hostile arguments", FallbackCommandLine(hostile), hostile},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.command_line, c.expected) << c.name;
  }
}

}  // namespace
}  // namespace plimsy
