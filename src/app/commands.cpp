#include "app/commands.h"

#include <unistd.h>

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/manual.h"
#include "app/pager.h"
#include "diff/screen.h"
#include "git/command_lines.h"
#include "git/run.h"
#include "log/screen.h"
#include "sys/process.h"
#include "sys/terminal.h"
#include "version.h"

namespace plimsy {
namespace {

// "--help" among a screen's arguments, before any "--" that ends the options.
bool AsksForHelp(int argc, const char** argv) {
  for (int i = 0; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--") {
      return false;
    }
    if (arg == "--help") {
      return true;
    }
  }
  return false;
}

// Runs git with `args` on this process's own streams; its exit status.
int HandToGit(const std::vector<std::string>& args) {
  try {
    return GitInherited(args);
  } catch (const SpawnError& error) {
    return ReportGitNotStarted(error);
  }
}

// The command word `word` ("diff" or "log"): its screen on a terminal. When
// standard output cannot show one, what git prints for the same command
// line into a file, as a pager passes text on when its output is not a
// terminal.
int ScreenOrPlainText(std::string_view word,
                      int (*screen)(int, const char**),
                      int argc,
                      const char** argv) {
  if (AsksForHelp(argc, argv)) {
    return ShowManual();
  }
  ScreenCheck check = CheckScreen(KeysForScreen());
  switch (check.support) {
    case ScreenSupport::kAvailable:
      return screen(argc, argv);
    case ScreenSupport::kNoDisplay:
      // A terminal that cannot move its cursor cannot run a pager either;
      // it gets the same text as a file would.
      return HandToGit(PlainTextCommandLine(word, isatty(STDOUT_FILENO),
                                            {argv, argv + argc}));
    case ScreenSupport::kNoKeys:
      ReportNoScreen(word, check,
                     "use \"git " + std::string(word) + "\" for plain output");
      return kNoTerminalStatus;
  }
  return kNoTerminalStatus;
}

}  // namespace

int PrintHelp(int, const char**) {
  std::cout << "\n"
               "plimsy is a terminal user interface for git.\n"
               "\n"
               "Usage:\n"
               "  - plimsy <command> [args]*\n"
               "\n"
               "Available TUI commands:\n"
               "  - diff\n"
               "  - log\n"
               "\n"
               "Fallback to git:\n"
               "  - git \n"
               "  - ... (fallback to git)\n"
               "\n"
               "Other commands:\n"
               "  - version\n"
               "  - help\n"
               "\n"
            << std::endl;
  return 0;
}

int PrintVersion(int, const char**) {
  std::cout << PLIMSY_VERSION << std::endl;
  return 0;
}

int GitFallback(int argc, const char** argv) {
  return HandToGit(FallbackCommandLine({argv, argv + argc}));
}

int Dispatch(int argc, const char** argv) {
  if (argc <= 1) {
    return ReadStandardInput();
  }
  const std::string word = argv[1];
  if (word == "-v" || word == "version" || word == "--version") {
    return PrintVersion(argc - 2, argv + 2);
  }
  if (word == "log") {
    return ScreenOrPlainText(word, log::Main, argc - 2, argv + 2);
  }
  if (word == "diff") {
    return ScreenOrPlainText(word, diff::Main, argc - 2, argv + 2);
  }
  if (word == "help" || word == "--help" || word == "-h") {
    return PrintHelp(argc - 2, argv + 2);
  }
  if (word == "git") {
    return GitFallback(argc - 2, argv + 2);
  }
  return GitFallback(argc - 1, argv + 1);
}

}  // namespace plimsy
