#include "git/command_lines.h"

#include "git/arguments.h"

namespace plimsy {
namespace {

// How each commit record is printed, whatever the user's configuration
// says: the raw object (re-encoded to UTF-8, as git log shows it), full
// names, full reference names, and nothing else between the records.
constexpr const char* kRecordOptions[] = {
    "--pretty=raw",    "-z",
    "--decorate=full", "--no-abbrev-commit",
    "--no-notes",      "--no-show-signature",
    "--no-color",      "--encoding=UTF-8",
};

void Append(std::vector<std::string>& args,
            const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
}

}  // namespace

// diff.relative and textconv drivers are left to the user: they choose
// which files and what text git diffs, as `git diff` shows them, and git
// still prints its own unified diff of that.
const std::vector<std::string>& ForcedDiffOptions() {
  static const std::vector<std::string> options = {
      "--no-color",      "--no-ext-diff",     "--src-prefix=a/",
      "--dst-prefix=b/", "--submodule=short",
  };
  return options;
}

std::vector<std::string> DiffScreenCommandLine(
    int context,
    bool ignore_whitespace,
    const std::vector<std::string>& user_args) {
  std::vector<std::string> args = {"diff"};
  Append(args, ForcedDiffOptions());
  args.push_back("-U" + std::to_string(context));
  if (ignore_whitespace) {
    args.push_back("-w");
  }
  Append(args, user_args);
  return args;
}

std::vector<std::string> FormatFallbackCommandLine(
    const std::vector<std::string>& user_args) {
  std::vector<std::string> args = {"diff"};
  Append(args, user_args);
  return args;
}

// A merge against its first parent, a commit without parents (or whose
// parents a shallow clone cut off) against the empty tree. The plumbing
// command reads none of the settings that change how a diff is printed.
std::vector<std::string> CommitDiffCommandLine(const std::string& hash,
                                               int context,
                                               bool ignore_whitespace) {
  std::vector<std::string> args = {"diff-tree",
                                   "-p",
                                   "--no-commit-id",
                                   "--root",
                                   "--diff-merges=first-parent",
                                   "-M",
                                   "-U" + std::to_string(context)};
  if (ignore_whitespace) {
    args.push_back("-w");
  }
  args.insert(args.end(), {"--end-of-options", hash});
  return args;
}

std::vector<std::string> HeadGuessCommandLine(int context) {
  return {"diff-tree",
          "-p",
          "--root",
          "--diff-merges=first-parent",
          "-M",
          "-U" + std::to_string(context),
          "--always",
          "--abbrev",
          "--format=%H %h",
          "--end-of-options",
          "HEAD"};
}

std::vector<std::string> ShortNameCommandLine(const std::string& hash) {
  return {"rev-parse", "--short", "--end-of-options", hash};
}

std::vector<std::string> WalkCommandLine(
    const std::vector<std::string>& user_args) {
  std::vector<std::string> args = {"log"};
  args.insert(args.end(), std::begin(kRecordOptions), std::end(kRecordOptions));
  if (WalkNamesParents(user_args)) {
    args.push_back("--parents");
  }
  Append(args, user_args);
  return args;
}

bool WalkNamesParents(const std::vector<std::string>& user_args) {
  return !WalkTakesOption(user_args, "--full-history");
}

std::vector<std::string> CommitRecordsCommandLine(
    const std::vector<std::string>& hashes) {
  std::vector<std::string> args = {"log", "--no-walk=unsorted",
                                   "--ignore-missing"};
  args.insert(args.end(), std::begin(kRecordOptions), std::end(kRecordOptions));
  args.push_back("--end-of-options");
  Append(args, hashes);
  return args;
}

std::vector<std::string> PlainTextCommandLine(
    std::string_view command,
    bool without_pager,
    const std::vector<std::string>& user_args) {
  std::vector<std::string> args;
  if (without_pager) {
    args.push_back("--no-pager");
  }
  args.emplace_back(command);
  Append(args, user_args);
  return args;
}

std::vector<std::string> BackgroundSettingCommandLine() {
  return {"config", "--get", "plimsy.background"};
}

std::vector<std::string> FallbackCommandLine(
    const std::vector<std::string>& user_args) {
  return user_args;
}

}  // namespace plimsy
