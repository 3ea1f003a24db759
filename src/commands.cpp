#include "commands.h"

#include <iostream>
#include <string>
#include <vector>

#include "diff/screen.h"
#include "git.h"
#include "log/screen.h"
#include "process.h"

namespace plimsy {

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
  std::cout << "1.3.0" << std::endl;
  return 0;
}

int GitFallback(int argc, const char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  try {
    return GitInherited(args);
  } catch (const subprocess::SpawnError& error) {
    return ReportGitNotStarted(error);
  }
}

int Dispatch(int argc, const char** argv) {
  if (argc <= 1) {
    return PrintHelp(0, argv + argc);
  }
  const std::string word = argv[1];
  if (word == "-v" || word == "version" || word == "--version") {
    return PrintVersion(argc - 2, argv + 2);
  }
  if (word == "log") {
    return log::main(argc - 2, argv + 2);
  }
  if (word == "diff") {
    return diff::main(argc - 2, argv + 2);
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
