#include "git/run.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string_view>
#include <utility>

#include "sys/process.h"

extern char** environ;

namespace plimsy {
namespace {

// Settings of the user's configuration that change the text the parsers
// read and that no command-line option of every command overrides. They
// go last into GIT_CONFIG_PARAMETERS, the source git reads last, so that
// neither the user's files nor their `git -c` (which reaches an alias that
// runs plimsy through that variable) nor GIT_CONFIG_COUNT beats them.
constexpr std::pair<const char*, const char*> kForcedConfig[] = {
    {"color.ui", "never"},
    {"color.diff", "never"},
    {"diff.noprefix", "false"},
    {"diff.mnemonicPrefix", "false"},
    {"diff.suppressBlankEmpty", "false"},
    {"diff.submodule", "short"},
};

// Variables a capturing run does not inherit: an external diff driver,
// GIT_DIFF_OPTS (whose context width beats even the command line's -U),
// and the two that CapturingEnvironment sets itself.
constexpr const char* kDroppedVariables[] = {
    "GIT_EXTERNAL_DIFF",
    "GIT_DIFF_OPTS",
    "GIT_TERMINAL_PROMPT",
    "GIT_CONFIG_PARAMETERS",
};

std::function<void(const std::vector<std::string>&)>& Observer() {
  static std::function<void(const std::vector<std::string>&)> observer;
  return observer;
}

bool HasName(std::string_view entry, std::string_view name) {
  return entry.size() > name.size() && entry.starts_with(name) &&
         entry[name.size()] == '=';
}

std::vector<std::string> GitCommandLine(const std::vector<std::string>& args) {
  std::vector<std::string> command_line = {"git"};
  command_line.insert(command_line.end(), args.begin(), args.end());
  return command_line;
}

}  // namespace

// This process's environment without the dropped variables, with the
// forced settings after the user's own `git -c` entries, and with git's
// terminal prompts (for the credentials of a remote that a partial clone
// fetches from) switched off, as nobody could answer them behind a screen.
std::vector<std::string> CapturingEnvironment() {
  std::vector<std::string> env;
  std::string parameters;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string_view text = *entry;
    if (HasName(text, "GIT_CONFIG_PARAMETERS")) {
      parameters = text.substr(std::strlen("GIT_CONFIG_PARAMETERS="));
    }
    if (std::any_of(std::begin(kDroppedVariables), std::end(kDroppedVariables),
                    [text](const char* name) { return HasName(text, name); })) {
      continue;
    }
    env.emplace_back(text);
  }
  for (const auto& [key, value] : kForcedConfig) {
    if (!parameters.empty()) {
      parameters += ' ';
    }
    parameters += std::string("'") + key + "=" + value + "'";
  }
  env.push_back("GIT_CONFIG_PARAMETERS=" + parameters);
  env.push_back("GIT_TERMINAL_PROMPT=0");
  return env;
}

GitResult GitCapture(const std::vector<std::string>& args) {
  std::vector<std::string> command_line = GitCommandLine(args);
  if (Observer()) {
    Observer()(command_line);
  }
  RunOptions options;
  options.in = PipeOption::kClose;
  options.out = PipeOption::kPipe;
  options.err = PipeOption::kPipe;
  options.env = CapturingEnvironment();
  CompletedProcess done = Run(command_line, options);
  return {done.status, std::move(done.out), std::move(done.err)};
}

Stream GitStream(const std::vector<std::string>& args) {
  std::vector<std::string> command_line = GitCommandLine(args);
  if (Observer()) {
    Observer()(command_line);
  }
  RunOptions options;
  options.in = PipeOption::kClose;
  options.err = PipeOption::kPipe;
  options.env = CapturingEnvironment();
  return Stream(command_line, options);
}

std::string GitOutput(const std::vector<std::string>& args) {
  return GitCapture(args).out;
}

int GitInherited(const std::vector<std::string>& args) {
  return Run(GitCommandLine(args)).status;
}

void SetGitObserver(
    std::function<void(const std::vector<std::string>&)> observer) {
  Observer() = std::move(observer);
}

void SkipIfGitCannotStart(const std::function<void()>& step) {
  try {
    step();
  } catch (const SpawnError&) {
  }
}

int ReportGitNotStarted(const std::exception& error) {
  std::cerr << "plimsy: cannot run git: " << error.what() << std::endl;
  return 127;
}

}  // namespace plimsy
