#include "git.h"

#include <charconv>
#include <cstring>
#include <iostream>
#include <string_view>
#include <utility>

#include "process.h"

extern char** environ;

namespace plimsy {
namespace {

// Settings of the user's configuration that change the text the parsers
// read. Arguments on the command line still override them.
constexpr std::pair<const char*, const char*> kForcedConfig[] = {
    {"color.ui", "never"},
    {"color.diff", "never"},
    {"diff.noprefix", "false"},
    {"diff.mnemonicPrefix", "false"},
    {"diff.suppressBlankEmpty", "false"},
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

// This process's environment, less an external diff driver, with the
// forced settings appended after any configuration entries already given
// through the environment.
std::vector<std::string> CapturingEnvironment() {
  std::vector<std::string> env;
  int count = 0;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string_view text = *entry;
    if (HasName(text, "GIT_EXTERNAL_DIFF")) {
      continue;
    }
    if (HasName(text, "GIT_CONFIG_COUNT")) {
      std::string_view value = text.substr(std::strlen("GIT_CONFIG_COUNT="));
      auto [end, error] =
          std::from_chars(value.data(), value.data() + value.size(), count);
      if (error != std::errc() || end != value.data() + value.size() ||
          count < 0) {
        count = 0;
      }
      continue;
    }
    env.emplace_back(text);
  }
  for (const auto& [key, value] : kForcedConfig) {
    std::string index = std::to_string(count++);
    env.push_back("GIT_CONFIG_KEY_" + index + "=" + key);
    env.push_back("GIT_CONFIG_VALUE_" + index + "=" + value);
  }
  env.push_back("GIT_CONFIG_COUNT=" + std::to_string(count));
  return env;
}

GitResult GitCapture(const std::vector<std::string>& args) {
  std::vector<std::string> command_line = GitCommandLine(args);
  if (Observer()) {
    Observer()(command_line);
  }
  subprocess::RunOptions options;
  options.cin = subprocess::PipeOption::close;
  options.cout = subprocess::PipeOption::pipe;
  options.cerr = subprocess::PipeOption::pipe;
  options.env = CapturingEnvironment();
  subprocess::CompletedProcess done = subprocess::run(command_line, options);
  return {done.returncode, std::move(done.cout), std::move(done.cerr)};
}

subprocess::Stream GitStream(const std::vector<std::string>& args) {
  std::vector<std::string> command_line = GitCommandLine(args);
  if (Observer()) {
    Observer()(command_line);
  }
  subprocess::RunOptions options;
  options.cin = subprocess::PipeOption::close;
  options.cerr = subprocess::PipeOption::pipe;
  options.env = CapturingEnvironment();
  return subprocess::Stream(command_line, options);
}

std::string GitOutput(const std::vector<std::string>& args) {
  return GitCapture(args).out;
}

int GitInherited(const std::vector<std::string>& args) {
  return subprocess::run(GitCommandLine(args)).returncode;
}

void SetGitObserver(
    std::function<void(const std::vector<std::string>&)> observer) {
  Observer() = std::move(observer);
}

void SkipIfGitCannotStart(const std::function<void()>& step) {
  try {
    step();
  } catch (const subprocess::SpawnError&) {
  }
}

int ReportGitNotStarted(const std::exception& error) {
  std::cerr << "plimsy: cannot run git: " << error.what() << std::endl;
  return 127;
}

}  // namespace plimsy
