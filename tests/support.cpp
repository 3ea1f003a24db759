#include "support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "sys/process.h"

namespace plimsy::testing {
namespace {

namespace fs = std::filesystem;

std::string ShellQuote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string ShellCommand(const std::vector<std::string>& args) {
  std::string command;
  for (const std::string& arg : args) {
    command += (command.empty() ? "" : " ") + ShellQuote(arg);
  }
  return command;
}

void WriteFile(const std::string& path, const std::string& content) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

}  // namespace

std::string PlimsyBinary() {
  return PLIMSY_BINARY;
}

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "plimsy-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "mkdtemp failed";
  }
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

RunResult RunIn(const std::string& dir,
                const std::vector<std::string>& args,
                const std::string& input,
                const std::vector<std::string>& env) {
  TempDir scratch;
  std::string input_file = scratch.path() + "/input";
  WriteFile(input_file, input);
  std::string script = "cd " + ShellQuote(dir) + " || exit 126; ";
  for (const std::string& entry : env) {
    script += entry.find('=') == std::string::npos
                  ? "unset " + entry + "; "
                  : "export " + ShellQuote(entry) + "; ";
  }
  script += "exec " + ShellCommand(args) + " < " + ShellQuote(input_file);
  RunOptions options;
  options.out = PipeOption::kPipe;
  options.err = PipeOption::kPipe;
  CompletedProcess done = Run({"/bin/sh", "-c", script}, options);
  return {done.status, done.out, done.err};
}

TempRepo::TempRepo() {
  Git({"init", "-q", "-b", "main"});
  Git({"config", "user.name", "Test User"});
  Git({"config", "user.email", "test@example.com"});
  Git({"config", "commit.gpgsign", "false"});
}

std::string TempRepo::Git(const std::vector<std::string>& args,
                          const std::string& input) {
  std::vector<std::string> command = {"git"};
  command.insert(command.end(), args.begin(), args.end());
  RunResult result =
      RunIn(path(), command, input,
            {"GIT_CONFIG_NOSYSTEM=1", "GIT_CONFIG_GLOBAL=/dev/null"});
  EXPECT_EQ(result.status, 0) << ShellCommand(command) << "\n" << result.err;
  return result.out;
}

void TempRepo::Write(const std::string& relative, const std::string& content) {
  WriteFile(path() + "/" + relative, content);
}

std::string TempRepo::Commit(const std::string& message) {
  Git({"add", "-A"});
  Git({"commit", "-q", "--allow-empty", "-m", message});
  std::string hash = Git({"rev-parse", "HEAD"});
  while (!hash.empty() && hash.back() == '\n') {
    hash.pop_back();
  }
  return hash;
}

ScopedCwd::ScopedCwd(const std::string& dir)
    : previous_(fs::current_path().string()) {
  fs::current_path(dir);
}

ScopedCwd::~ScopedCwd() {
  fs::current_path(previous_);
}

TmuxPane::TmuxPane(const std::string& dir,
                   const std::vector<std::string>& command,
                   int width,
                   int height,
                   const std::vector<std::string>& env) {
  socket_ = work_.path() + "/tmux.sock";
  status_file_ = work_.path() + "/status";
  std::string script;
  for (const std::string& entry : env) {
    script += "export " + ShellQuote(entry) + "; ";
  }
  script += ShellCommand(command) + "; echo $? > " + ShellQuote(status_file_) +
            ".tmp; mv " + ShellQuote(status_file_) + ".tmp " +
            ShellQuote(status_file_) + "; sleep 600";
  Tmux({"-f", "/dev/null", "new-session", "-d", "-x", std::to_string(width),
        "-y", std::to_string(height), "-c", dir, "/bin/sh", "-c", script});
}

TmuxPane::~TmuxPane() {
  Tmux({"kill-server"});
}

std::string TmuxPane::Tmux(const std::vector<std::string>& args) {
  std::vector<std::string> command = {"tmux", "-S", socket_};
  command.insert(command.end(), args.begin(), args.end());
  RunOptions options;
  options.in = PipeOption::kClose;
  options.out = PipeOption::kPipe;
  options.err = PipeOption::kPipe;
  // The pane reports colours as a modern terminal does.
  options.env = {"TERM=xterm-256color", "COLORTERM=truecolor",
                 "PATH=" + std::string(std::getenv("PATH")),
                 "HOME=" + work_.path()};
  return Run(command, options).out;
}

void TmuxPane::SendKeys(const std::vector<std::string>& keys) {
  std::vector<std::string> args = {"send-keys", "-t", "0"};
  args.insert(args.end(), keys.begin(), keys.end());
  Tmux(args);
}

void TmuxPane::SendLiteral(const std::string& bytes) {
  Tmux({"send-keys", "-t", "0", "-l", bytes});
}

std::string TmuxPane::Capture(bool escapes) {
  std::vector<std::string> args = {"capture-pane", "-p", "-t", "0"};
  if (escapes) {
    args.push_back("-e");
  }
  return Tmux(args);
}

std::string TmuxPane::WaitFor(const std::string& text,
                              std::chrono::milliseconds timeout) {
  return WaitUntil(
      "\"" + text + "\" showing",
      [&text](const std::string& screen) { return Shows(screen, text); },
      timeout);
}

std::string TmuxPane::WaitUntil(
    const std::string& what,
    const std::function<bool(const std::string&)>& done,
    std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  std::string screen;
  while (std::chrono::steady_clock::now() < deadline) {
    screen = Capture();
    if (done(screen)) {
      return screen;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ADD_FAILURE() << what << " never happened; the screen was:\n" << screen;
  return screen;
}

std::string NumberedRows(
    const std::vector<std::pair<int, std::string>>& changed) {
  std::string text;
  for (int i = 1; i <= 300; ++i) {
    auto it = std::find_if(changed.begin(), changed.end(),
                           [i](const auto& line) { return line.first == i; });
    text +=
        (it == changed.end() ? "row " + std::to_string(i) : it->second) + "\n";
  }
  return text;
}

bool Shows(const std::string& screen, const std::string& text) {
  return screen.find(text) != std::string::npos;
}

int TmuxPane::WaitForExit(std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    std::ifstream file(status_file_);
    int status = -1;
    if (file >> status) {
      return status;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

std::string TmuxPane::Format(const std::string& format) {
  std::string value = Tmux({"display-message", "-p", "-t", "0", format});
  while (!value.empty() && value.back() == '\n') {
    value.pop_back();
  }
  return value;
}

void TmuxPane::RecordOutput(const std::string& path) {
  Tmux({"pipe-pane", "-t", "0", "-o", "cat >> " + ShellQuote(path)});
}

std::string TmuxPane::Command(const std::vector<std::string>& args) {
  return Tmux(args);
}

}  // namespace plimsy::testing
