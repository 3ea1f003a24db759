#include "sys/terminal.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/loop.hpp>
#include <ftxui/component/screen_interactive.hpp>

#include "sys/terminal_guard.h"
#include "sys/terminfo.h"

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

// The screen that other threads post to. The library's own posting races
// with its loop taking its queue down (when the screen closes or stops for
// a suspension), so posts go through here and stop before that happens.
struct ScreenPoster {
  std::mutex mutex;
  ftxui::ScreenInteractive* screen = nullptr;
  bool closed = false;
  std::vector<std::function<void()>> waiting;
};

ScreenPoster& Poster() {
  static ScreenPoster poster;
  return poster;
}

void PostLocked(ftxui::ScreenInteractive& screen, std::function<void()> task) {
  screen.Post(std::move(task));
  screen.PostEvent(ftxui::Event::Custom);
}

void OpenPoster(ftxui::ScreenInteractive& screen) {
  ScreenPoster& poster = Poster();
  std::lock_guard lock(poster.mutex);
  poster.screen = &screen;
  poster.closed = false;
  for (std::function<void()>& task : poster.waiting) {
    PostLocked(screen, std::move(task));
  }
  poster.waiting.clear();
}

// Posts wait (`closed` false) or are dropped (true) from now on.
void HoldPoster(bool closed) {
  ScreenPoster& poster = Poster();
  std::lock_guard lock(poster.mutex);
  poster.screen = nullptr;
  poster.closed = closed;
  if (closed) {
    poster.waiting.clear();
  }
}

}  // namespace

void PostToScreen(std::function<void()> task) {
  ScreenPoster& poster = Poster();
  std::lock_guard lock(poster.mutex);
  if (poster.screen != nullptr) {
    PostLocked(*poster.screen, std::move(task));
  } else if (!poster.closed) {
    poster.waiting.push_back(std::move(task));
  }
}

bool CanDrawOn(std::string_view term) {
  if (term.empty() || term == "dumb") {
    return false;
  }
  // A type the terminal library does not know may still be a capable
  // terminal, as the screen sends the common sequences regardless.
  return TerminfoCursorAddressing(term, TerminfoDirectories()).value_or(true);
}

KeySource KeysForScreen() {
  return isatty(STDIN_FILENO) ? KeySource::kStandardInput
                              : KeySource::kControllingTerminal;
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
  ftxui::Component root = build([&screen] {
    HoldPoster(true);
    screen.Exit();
  });
  root = ftxui::CatchEvent(root, [&screen](const ftxui::Event& event) {
    if (event == ftxui::Event::CtrlC) {
      // The library leaves the loop after it.
      HoldPoster(true);
    } else if (event == ftxui::Event::CtrlZ) {
      // The library suspends the screen in a task it posts after this
      // event; posts wait until the task after that one.
      HoldPoster(false);
      screen.Post(
          [&screen] { screen.Post([&screen] { OpenPoster(screen); }); });
    }
    return false;
  });
  TerminalGuard guard(STDIN_FILENO);
  guard.SetScreenOpen(true);
  {
    ftxui::Loop loop(&screen, root);
    OpenPoster(screen);
    loop.Run();
    HoldPoster(true);
  }
  guard.SetScreenOpen(false);
  return 0;
}

}  // namespace plimsy
