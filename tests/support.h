#ifndef PLIMSY_TESTS_SUPPORT_H_
#define PLIMSY_TESTS_SUPPORT_H_

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace plimsy::testing {

// The plimsy binary built with the tests.
std::string PlimsyBinary();

// A directory under the system's temporary directory, removed with all its
// contents when the object goes.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `args` in directory `dir` with `input` on standard input. `env`
// entries ("NAME=value") are added to the environment; a bare "NAME"
// removes that variable.
RunResult RunIn(const std::string& dir,
                const std::vector<std::string>& args,
                const std::string& input = "",
                const std::vector<std::string>& env = {});

// A fresh git repository with an identity configured, on branch main.
class TempRepo {
 public:
  TempRepo();
  const std::string& path() const { return dir_.path(); }
  // Runs git in the repository; fails the current test when git fails.
  std::string Git(const std::vector<std::string>& args,
                  const std::string& input = "");
  // Writes a file (parent directories are made) relative to the root.
  void Write(const std::string& relative, const std::string& content);
  // Stages everything and commits it; returns the new commit's hash.
  std::string Commit(const std::string& message);

 private:
  TempDir dir_;
};

// Makes `dir` the current directory for the life of the object, for code
// that runs git in the current directory.
class ScopedCwd {
 public:
  explicit ScopedCwd(const std::string& dir);
  ScopedCwd(const ScopedCwd&) = delete;
  ScopedCwd& operator=(const ScopedCwd&) = delete;
  ~ScopedCwd();

 private:
  std::string previous_;
};

// "row 1" to "row 300", a line each, with the lines numbered in `changed`
// replaced by their texts.
std::string NumberedRows(
    const std::vector<std::pair<int, std::string>>& changed);

// Whether a captured `screen` holds `text`.
bool Shows(const std::string& screen, const std::string& text);

// A command running in a detached tmux session of a fixed size, on a tmux
// server of its own.
class TmuxPane {
 public:
  TmuxPane(const std::string& dir,
           const std::vector<std::string>& command,
           int width,
           int height,
           const std::vector<std::string>& env = {});
  TmuxPane(const TmuxPane&) = delete;
  TmuxPane& operator=(const TmuxPane&) = delete;
  ~TmuxPane();

  // tmux key names ("Down", "PageDown", "Escape", "j").
  void SendKeys(const std::vector<std::string>& keys);
  // Bytes typed as they are (escape sequences such as mouse reports).
  void SendLiteral(const std::string& bytes);
  // The visible screen; with `escapes`, including colour sequences.
  std::string Capture(bool escapes = false);
  // Polls the screen until it contains `text`; returns the last capture.
  // Fails the current test when the text does not show in time.
  std::string WaitFor(
      const std::string& text,
      std::chrono::milliseconds timeout = std::chrono::seconds(15));
  // Polls the screen until `done` holds for it; returns the last capture.
  // Fails the current test, saying that `what` never happened, when it
  // does not in time.
  std::string WaitUntil(
      const std::string& what,
      const std::function<bool(const std::string&)>& done,
      std::chrono::milliseconds timeout = std::chrono::seconds(15));
  // Waits for the command to end and returns its exit status, or -1.
  int WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(15));
  // The value of a tmux format for the pane, such as "#{alternate_on}".
  std::string Format(const std::string& format);
  // From now on, appends every byte the pane's program writes to `path`.
  void RecordOutput(const std::string& path);
  // Runs any other tmux command on this pane's server.
  std::string Command(const std::vector<std::string>& args);

 private:
  std::string Tmux(const std::vector<std::string>& args);
  TempDir work_;
  std::string socket_;
  std::string status_file_;
};

}  // namespace plimsy::testing

#endif  // PLIMSY_TESTS_SUPPORT_H_
