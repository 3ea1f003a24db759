#include "terminal.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <optional>

#include <ftxui/component/screen_interactive.hpp>

#include "terminal_guard.h"
#include "terminfo.h"

namespace plimsy {
namespace {

// TERM as it may be shown in a message: it comes from the environment.
std::string Printable(std::string_view term) {
  bool plain = term.size() <= 64 &&
               std::all_of(term.begin(), term.end(),
                           [](char c) { return c > ' ' && c < 0x7f; });
  return plain ? "TERM=" + std::string(term) : std::string("TERM");
}

int OpenControllingTerminal() {
  return open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
}

}  // namespace

bool CanDrawOn(std::string_view term) {
  if (term.empty() || term == "dumb") {
    return false;
  }
  // A type the terminal library does not know may still be a capable
  // terminal, as the screen sends the common sequences regardless.
  return TerminfoCursorAddressing(term, TerminfoDirectories()).value_or(true);
}

ScreenCheck CheckScreen(KeySource keys) {
  if (!isatty(STDOUT_FILENO)) {
    return {ScreenSupport::kNoDisplay, "standard output is not a terminal"};
  }
  const char* term = std::getenv("TERM");
  if (term == nullptr || *term == '\0') {
    return {ScreenSupport::kNoDisplay, "TERM is not set"};
  }
  if (!CanDrawOn(term)) {
    return {ScreenSupport::kNoDisplay,
            Printable(term) + " cannot move the cursor"};
  }
  switch (keys) {
    case KeySource::kStandardInput:
      if (!isatty(STDIN_FILENO)) {
        return {ScreenSupport::kNoKeys, "standard input is not a terminal"};
      }
      break;
    case KeySource::kControllingTerminal: {
      int fd = OpenControllingTerminal();
      if (fd < 0) {
        return {ScreenSupport::kNoKeys,
                "there is no controlling terminal to read keys from"};
      }
      close(fd);
      break;
    }
  }
  return {};
}

void ReportNoScreen(std::string_view command,
                    const ScreenCheck& check,
                    std::string_view hint) {
  std::cout.flush();
  std::cerr << "plimsy: " << command << " needs a terminal: " << check.reason;
  if (!hint.empty()) {
    std::cerr << "; " << hint;
  }
  std::cerr << std::endl;
}

int RunScreen(std::string_view command,
              const ScreenBuilder& build,
              KeySource keys) {
  ScreenCheck check = CheckScreen(keys);
  if (check.support != ScreenSupport::kAvailable) {
    ReportNoScreen(command, check);
    return kNoTerminalStatus;
  }
  if (keys == KeySource::kControllingTerminal) {
    // The UI library reads its keys from standard input.
    int fd = OpenControllingTerminal();
    bool moved = fd == STDIN_FILENO ? fcntl(fd, F_SETFD, 0) == 0
                                    : fd >= 0 && dup2(fd, STDIN_FILENO) >= 0;
    if (fd > STDIN_FILENO) {
      close(fd);
    }
    if (!moved) {
      ReportNoScreen(command, {ScreenSupport::kNoKeys,
                               "the controlling terminal cannot be opened"});
      return kNoTerminalStatus;
    }
  }
  auto screen = ftxui::ScreenInteractive::Fullscreen();
  ftxui::Component root = build(screen.ExitLoopClosure());
  TerminalGuard guard(STDIN_FILENO);
  guard.SetScreenOpen(true);
  screen.Loop(root);
  guard.SetScreenOpen(false);
  return 0;
}

}  // namespace plimsy
