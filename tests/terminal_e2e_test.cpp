#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support.h"

namespace plimsy::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;

// How long a start without a usable terminal may take before it counts as a
// hang. Generous for sanitizer builds on a busy machine.
constexpr seconds kPrompt(5);

std::string Quote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

// Polls until `path` exists with a complete last line; returns its content
// without the line feed, or "timeout".
std::string WaitForLine(const std::string& path, milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    std::string content = ReadFile(path);
    if (!content.empty() && content.back() == '\n') {
      content.pop_back();
      return content;
    }
    std::this_thread::sleep_for(milliseconds(10));
  }
  return "timeout";
}

// The number of characters of a UTF-8 line, each one column wide here.
size_t Columns(const std::string& line) {
  size_t count = 0;
  for (char c : line) {
    count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }
  return count;
}

// The state each DEC private mode is left in by `output`: the last
// "ESC [ ? n h" (set) or "ESC [ ? n l" (reset) for it.
std::map<int, bool> FinalModes(const std::string& output) {
  std::map<int, bool> modes;
  for (size_t at = output.find("\x1b[?"); at != std::string::npos;
       at = output.find("\x1b[?", at + 1)) {
    size_t end = output.find_first_not_of("0123456789;", at + 3);
    if (end == std::string::npos ||
        (output[end] != 'h' && output[end] != 'l')) {
      continue;
    }
    std::stringstream numbers(output.substr(at + 3, end - at - 3));
    std::string number;
    while (std::getline(numbers, number, ';')) {
      if (!number.empty()) {
        modes[std::stoi(number)] = output[end] == 'h';
      }
    }
  }
  return modes;
}

// The process ids of running git commands whose arguments start with
// `args` and whose working directory is `dir`.
// The git processes running in `dir` whose command line holds each of
// `args` as a whole argument.
std::vector<pid_t> GitProcesses(const std::string& dir,
                                const std::vector<std::string>& args) {
  std::vector<pid_t> found;
  std::error_code error;
  for (const fs::directory_entry& entry :
       fs::directory_iterator("/proc", error)) {
    std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    std::string cmdline = ReadFile(entry.path() / "cmdline");
    std::string stat = ReadFile(entry.path() / "stat");
    size_t state = stat.rfind(") ");
    bool zombie = state != std::string::npos && stat[state + 2] == 'Z';
    const std::string words = '\0' + cmdline;
    bool all = cmdline.starts_with(std::string("git") + '\0');
    for (const std::string& arg : args) {
      all = all && words.find('\0' + arg + '\0') != std::string::npos;
    }
    if (!zombie && all &&
        fs::read_symlink(entry.path() / "cwd", error) == fs::path(dir)) {
      found.push_back(std::stoi(name));
    }
  }
  return found;
}

class TerminalEndToEndTest : public ::testing::Test {
 protected:
  TerminalEndToEndTest() {
    // Large enough that git is still writing when a reader of its first
    // bytes goes away.
    std::string old_text;
    std::string new_text;
    for (int i = 0; i < 4000; ++i) {
      std::string line = "line " + std::to_string(i) + " of the big file\n";
      old_text += line;
      new_text += "changed " + line;
    }
    repo_.Write("big.txt", old_text);
    repo_.Write("small.txt", "a\nb\nc\n");
    repo_.Commit("first");
    repo_.Write("big.txt", new_text);
    repo_.Write("small.txt", "a\nB\nc\n");
  }

  std::string File(const std::string& name) const {
    return scratch_.path() + "/" + name;
  }

  std::string Plimsy() const { return Quote(PlimsyBinary()); }

  TempRepo repo_;
  TempDir scratch_;
};

TEST_F(TerminalEndToEndTest, WithoutATerminalNothingIsDrawnAndNothingWaits) {
  const std::string git_diff = repo_.Git({"diff"});
  const std::string git_log = repo_.Git({"log"});
  const std::string message =
      "needs a terminal: there is no controlling terminal to read keys from";

  // Plain processes: standard output is a file or a pipe.
  struct PlainCase {
    std::string name;
    std::string script;
    std::string expected;
  };
  const std::string out = Quote(File("out.txt"));
  const std::vector<PlainCase> plain_cases = {
      {"diff, /dev/null in, file out",
       "timeout 5 " + Plimsy() + " diff </dev/null >" + out, git_diff},
      {"log, /dev/null in, file out",
       "timeout 5 " + Plimsy() + " log </dev/null >" + out, git_log},
      {"diff into a pipe",
       "timeout 5 " + Plimsy() + " diff </dev/null | cat >" + out, git_diff},
      {"diff without a controlling terminal",
       "setsid -w timeout 5 " + Plimsy() + " diff </dev/null >" + out,
       git_diff},
  };
  for (const PlainCase& c : plain_cases) {
    fs::remove(File("out.txt"));
    RunResult result = RunIn(repo_.path(), {"/bin/sh", "-c", c.script});
    EXPECT_EQ(result.status, 0) << c.name << "\n" << result.err;
    EXPECT_EQ(result.err, "") << c.name;
    EXPECT_TRUE(ReadFile(File("out.txt")) == c.expected) << c.name;
  }

  // A pager that leaves a mark; a terminal without cursor addressing must
  // not start one.
  const std::string pager = Quote("touch " + File("paged") + "; cat");
  // In a terminal: keys cannot be read, or the output cannot show a screen.
  // "{dir}" in a command stands for the case's own directory.
  struct TerminalCase {
    std::string name;
    std::string command;
    int status;
    // Expected on the pane; its raw output must hold no escape sequence.
    std::string shown;
    // Expected in {dir}/out.txt, when not empty.
    std::string out_file;
  };
  const std::vector<TerminalCase> terminal_cases = {
      {"diff without a controlling terminal",
       "setsid -w " + Plimsy() + " diff </dev/null", 2,
       "plimsy: diff " + message + "; use \"git diff\" for plain output", ""},
      {"log without a controlling terminal",
       "setsid -w " + Plimsy() + " log </dev/null", 2,
       "plimsy: log " + message + "; use \"git log\" for plain output", ""},
      {"a diff on standard input without a controlling terminal",
       "git diff | setsid -w " + Plimsy(), 2,
       "plimsy: a diff on standard input " + message, ""},
      {"diff into a file", Plimsy() + " diff >{dir}/out.txt", 0, "", git_diff},
      {"log into a file", Plimsy() + " log >{dir}/out.txt", 0, "", git_log},
      {"TERM=dumb", "TERM=dumb GIT_PAGER=cat " + Plimsy() + " diff", 0,
       "+changed line 3999 of the big file", ""},
      {"TERM unset", "unset TERM; GIT_PAGER=cat " + Plimsy() + " diff", 0,
       "+changed line 3999 of the big file", ""},
      {"TERM=dumb with a pager set",
       "TERM=dumb GIT_PAGER=" + pager + " " + Plimsy() + " diff", 0,
       "+changed line 3999 of the big file", ""},
  };
  std::vector<std::unique_ptr<TmuxPane>> panes;
  std::vector<std::string> dirs;
  for (size_t i = 0; i < terminal_cases.size(); ++i) {
    std::string dir = File("case" + std::to_string(i));
    fs::create_directories(dir);
    std::string command = terminal_cases[i].command;
    if (size_t at = command.find("{dir}"); at != std::string::npos) {
      command.replace(at, 5, Quote(dir));
    }
    std::string script = "while [ ! -e " + Quote(dir + "/go") +
                         " ]; do sleep 0.01; done; stty -g >" +
                         Quote(dir + "/before") + "; " + command +
                         "; echo $? >" + Quote(dir + "/status") +
                         "; stty -g >" + Quote(dir + "/after");
    panes.push_back(std::make_unique<TmuxPane>(
        repo_.path(), std::vector<std::string>{"/bin/sh", "-c", script}, 200,
        50));
    panes.back()->RecordOutput(dir + "/raw");
    dirs.push_back(dir);
  }
  for (const std::string& dir : dirs) {
    std::ofstream(dir + "/go");
  }
  for (size_t i = 0; i < terminal_cases.size(); ++i) {
    const TerminalCase& c = terminal_cases[i];
    const std::string& dir = dirs[i];
    EXPECT_EQ(WaitForLine(dir + "/status", kPrompt), std::to_string(c.status))
        << c.name;
    WaitForLine(dir + "/after", kPrompt);
    EXPECT_EQ(ReadFile(dir + "/before"), ReadFile(dir + "/after")) << c.name;
    if (!c.shown.empty()) {
      panes[i]->WaitFor(c.shown, kPrompt);
    }
    std::string raw = ReadFile(dir + "/raw");
    EXPECT_EQ(raw.find('\x1b'), std::string::npos) << c.name << "\n" << raw;
    if (!c.out_file.empty()) {
      EXPECT_TRUE(ReadFile(dir + "/out.txt") == c.out_file) << c.name;
    }
  }
  EXPECT_FALSE(fs::exists(File("paged")));
}

TEST_F(TerminalEndToEndTest, APipeClosedEarlyUnderDashLeavesTheTerminalAlone) {
  auto file = [this](const std::string& name) { return Quote(File(name)); };
  std::string script =
      "stty -g >" + file("before") + "; { " + Plimsy() + " diff; echo $? >" +
      file("plimsy_status") + "; } | head -c 100 >/dev/null; { git diff; " +
      "echo $? >" + file("git_status") + "; } | head -c 100 >/dev/null; " +
      "stty -g >" + file("after") + "; echo done >" + file("finished");
  TmuxPane pane(repo_.path(),
                {"/bin/sh", "-c",
                 "while [ ! -e " + file("go") +
                     " ]; do sleep 0.01; done; exec dash -c " + Quote(script)},
                100, 30);
  pane.RecordOutput(File("raw"));
  std::ofstream(File("go"));
  ASSERT_EQ(WaitForLine(File("finished"), kPrompt), "done");
  EXPECT_EQ(ReadFile(File("before")), ReadFile(File("after")));
  EXPECT_EQ(ReadFile(File("raw")), "");
  // git is cut off by the closed pipe as it would be on its own.
  EXPECT_EQ(ReadFile(File("plimsy_status")), "141\n");
  EXPECT_EQ(ReadFile(File("plimsy_status")), ReadFile(File("git_status")));
}

// Starts a screen in a pane whose shell records the terminal's settings
// before and after, the screen's process id and its exit status.
class ScreenInPane {
 public:
  ScreenInPane(const std::string& repo,
               const std::string& command,
               const std::string& dir)
      : dir_(dir) {
    fs::create_directories(dir);
    std::string script = "while [ ! -e " + Quote(File("go")) +
                         " ]; do sleep 0.01; done; stty -g >" +
                         Quote(File("before")) + "; sh -c \"echo \\$\\$ >'" +
                         File("pid") + "'; exec " + command + "\"; echo $? >" +
                         Quote(File("status")) + "; stty -g >" +
                         Quote(File("after"));
    pane_ = std::make_unique<TmuxPane>(
        repo, std::vector<std::string>{"/bin/sh", "-c", script}, 100, 30);
    pane_->RecordOutput(File("raw"));
    std::ofstream(File("go"));
  }

  TmuxPane& pane() { return *pane_; }
  std::string File(const std::string& name) const { return dir_ + "/" + name; }

  // Waits until the screen shows `title` in the alternate screen with the
  // mouse reported.
  bool WaitUntilOpen(const std::string& title) {
    pane_->WaitFor(title);
    auto deadline = std::chrono::steady_clock::now() + seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
      if (pane_->Format("#{alternate_on}#{mouse_any_flag}") == "11") {
        return true;
      }
      std::this_thread::sleep_for(milliseconds(10));
    }
    return false;
  }

  pid_t Pid() const { return std::stoi(WaitForLine(File("pid"), kPrompt)); }

 private:
  std::string dir_;
  std::unique_ptr<TmuxPane> pane_;
};

// What the terminal shows about its modes: alternate screen, the mouse
// reports, the cursor and line wrapping.
constexpr char kModes[] =
    "alternate=#{alternate_on} any=#{mouse_any_flag} "
    "button=#{mouse_button_flag} standard=#{mouse_standard_flag} "
    "sgr=#{mouse_sgr_flag} utf8=#{mouse_utf8_flag} cursor=#{cursor_flag} "
    "wrap=#{wrap_flag}";
constexpr char kRestoredModes[] =
    "alternate=0 any=0 button=0 standard=0 sgr=0 utf8=0 cursor=1 wrap=1";

TEST_F(TerminalEndToEndTest, SignalsRestoreTheTerminalAndEndWithTheirStatus) {
  struct Case {
    std::string command;
    std::string title;
    int signal;
  };
  const std::vector<Case> cases = {
      {"diff", "[plimsy diff]", SIGHUP},  {"diff", "[plimsy diff]", SIGINT},
      {"diff", "[plimsy diff]", SIGQUIT}, {"diff", "[plimsy diff]", SIGTERM},
      {"diff", "[plimsy diff]", SIGPIPE}, {"log", "[plimsy log]", SIGTERM},
  };
  std::vector<std::unique_ptr<ScreenInPane>> screens;
  for (size_t i = 0; i < cases.size(); ++i) {
    screens.push_back(std::make_unique<ScreenInPane>(
        repo_.path(), Plimsy() + " " + cases[i].command,
        File("case" + std::to_string(i))));
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    ScreenInPane& screen = *screens[i];
    std::string name = c.command + " " + strsignal(c.signal);
    ASSERT_TRUE(screen.WaitUntilOpen(c.title)) << name;
    kill(screen.Pid(), c.signal);
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    ScreenInPane& screen = *screens[i];
    std::string name = c.command + " " + strsignal(c.signal);
    EXPECT_EQ(WaitForLine(screen.File("status"), kPrompt),
              std::to_string(128 + c.signal))
        << name;
    WaitForLine(screen.File("after"), kPrompt);
    EXPECT_EQ(ReadFile(screen.File("before")), ReadFile(screen.File("after")))
        << name;
    EXPECT_EQ(screen.pane().Format(kModes), kRestoredModes) << name;
    std::map<int, bool> modes = FinalModes(ReadFile(screen.File("raw")));
    for (int mode : {1049, 1000, 1002, 1003, 1006, 1015}) {
      EXPECT_FALSE(modes[mode]) << name << ": mode " << mode;
    }
    EXPECT_TRUE(modes[25]) << name << ": the cursor is hidden";
    EXPECT_TRUE(modes[7]) << name << ": line wrapping is off";
  }
}

TEST_F(TerminalEndToEndTest, ASignalEndsTheGitCommandTheScreenWaitsFor) {
  // A text conversion that blocks while the marker file exists, so that the
  // screen's second git run is still going when the signal comes.
  std::string marker = File("slow");
  std::string started = File("started");
  repo_.Write(".gitattributes", "small.txt diff=slow\n");
  repo_.Git({"config", "diff.slow.textconv",
             "sh -c 'if [ -e " + marker + " ]; then touch " + started +
                 "; while [ -e " + marker +
                 " ]; do sleep 0.05; done; fi; cat \"$0\"'"});
  ScreenInPane screen(repo_.path(), Plimsy() + " diff", File("pane"));
  ASSERT_TRUE(screen.WaitUntilOpen("[plimsy diff]"));
  // The first run has read the last file: the screen opens while git still
  // writes.
  screen.pane().WaitFor("M small.txt");
  std::ofstream(marker).put('\n');
  screen.pane().SendKeys({"+"});
  auto deadline = std::chrono::steady_clock::now() + seconds(15);
  while (!fs::exists(started) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(milliseconds(10));
  }
  std::vector<pid_t> git = GitProcesses(repo_.path(), {"diff", "-U4"});
  ASSERT_EQ(git.size(), 1u);

  kill(screen.Pid(), SIGTERM);
  EXPECT_EQ(WaitForLine(screen.File("status"), kPrompt), "143");
  EXPECT_TRUE(GitProcesses(repo_.path(), {"diff", "-U4"}).empty());
  EXPECT_NE(kill(git[0], 0), 0) << "git is still running";
  EXPECT_FALSE(fs::exists(repo_.path() + "/.git/index.lock"));
  WaitForLine(screen.File("after"), kPrompt);
  EXPECT_EQ(screen.pane().Format(kModes), kRestoredModes);
  EXPECT_EQ(ReadFile(screen.File("before")), ReadFile(screen.File("after")));
  fs::remove(marker);
}

TEST_F(TerminalEndToEndTest, AHangUpEndsTheScreenEvenWhenSIGHUPIsIgnored) {
  struct Case {
    std::string name;
    std::string command;
  };
  // The shell ignores SIGHUP so that it outlives the terminal to record
  // the status; plimsy inherits that, or has it reset to the default.
  const std::vector<Case> cases = {
      {"SIGHUP ignored", Plimsy() + " diff"},
      {"SIGHUP at its default",
       "env --default-signal=HUP " + Plimsy() + " diff"},
  };
  for (const Case& c : cases) {
    std::string status = File("status");
    fs::remove(status);
    TmuxPane pane(repo_.path(),
                  {"/bin/sh", "-c",
                   "trap '' HUP; " + c.command + "; echo $? >" + Quote(status)},
                  100, 30);
    pane.WaitFor("[plimsy diff]");
    pane.Command({"kill-server"});
    EXPECT_EQ(WaitForLine(status, kPrompt), "129") << c.name;
  }
}

TEST_F(TerminalEndToEndTest, SuspendResumeAndResizeKeepWorking) {
  TmuxPane pane(repo_.path(), {"bash", "--norc", "--noprofile", "-i"}, 100, 30,
                {"PS1=$ ", "HISTFILE=/dev/null"});
  pane.WaitFor("$");
  pane.SendLiteral(PlimsyBinary() + " diff");
  pane.SendKeys({"Enter"});
  pane.WaitFor("[plimsy diff]");

  pane.SendKeys({"C-z"});
  pane.WaitFor("Stopped");
  EXPECT_EQ(pane.Format(kModes), kRestoredModes);
  pane.SendLiteral("fg");
  pane.SendKeys({"Enter"});
  pane.WaitFor("[plimsy diff]");
  EXPECT_EQ(pane.Format("#{alternate_on}#{mouse_any_flag}"), "11");

  pane.Command({"resize-window", "-t", "0", "-x", "70", "-y", "20"});
  auto deadline = std::chrono::steady_clock::now() + seconds(15);
  std::string header;
  while (std::chrono::steady_clock::now() < deadline) {
    std::string screen = pane.Capture();
    header = screen.substr(0, screen.find('\n'));
    if (Columns(header) == 70 && header.ends_with("[Q]uit")) {
      break;
    }
    std::this_thread::sleep_for(milliseconds(20));
  }
  EXPECT_EQ(Columns(header), 70u) << header;
  EXPECT_TRUE(header.ends_with("[Q]uit")) << header;

  pane.SendKeys({"q"});
  pane.WaitFor("$");
  pane.SendLiteral("echo status=$?");
  pane.SendKeys({"Enter"});
  pane.WaitFor("status=0");
  EXPECT_EQ(pane.Format(kModes), kRestoredModes);
}

}  // namespace
}  // namespace plimsy::testing
