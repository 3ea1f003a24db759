#include "app/pager.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <optional>
#include <string_view>
#include <utility>

#include "app/commands.h"
#include "diff/screen.h"
#include "sys/fd.h"
#include "sys/process.h"
#include "sys/terminal.h"

namespace plimsy {
namespace {

// Text that stops coming for this long is shown as it is: a slow git log
// must not wait for more before its first commits show.
constexpr int kQuietMs = 1000;

// Says why standard input cannot be read; the status that follows.
int ReportUnreadable(int error) {
  std::cerr << "plimsy: cannot read standard input: " << std::strerror(error)
            << std::endl;
  return 1;
}

// Writes `head`, then the rest of `in`, to `out`, until either ends. The
// errno of a read of `in` that failed, or 0: an output that is closed
// early, as by a pager that quits, is no error.
int Copy(const std::string& head, int in, int out) {
  if (!WriteAll(out, head)) {
    return 0;
  }
  char buffer[65536];
  while (true) {
    const ssize_t n = read(in, buffer, sizeof(buffer));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      return errno;
    }
    if (n == 0 || !WriteAll(out, std::string_view(buffer, n))) {
      return 0;
    }
  }
}

// Starts `less -R` reading `input`; -1 when it cannot be started.
pid_t StartLess(int input) {
  RunOptions options;
  options.in_fd = input;
  try {
    return StartChild({"less", "-R"}, options);
  } catch (const SpawnError&) {
    return -1;
  }
}

// Shows text that holds no diff as a pager would.
int ShowText(const std::string& head, int in) {
  int fds[2];
  if (!isatty(STDOUT_FILENO) || pipe2(fds, O_CLOEXEC) != 0) {
    const int error = Copy(head, in, STDOUT_FILENO);
    return error != 0 ? ReportUnreadable(error) : 0;
  }
  // Keys such as Ctrl-C belong to less while it runs; a less that quits
  // early ends the copying.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction old_int {
  }, old_quit{}, old_pipe{};
  sigaction(SIGINT, &ignore, &old_int);
  sigaction(SIGQUIT, &ignore, &old_quit);
  sigaction(SIGPIPE, &ignore, &old_pipe);
  const pid_t less = StartLess(fds[0]);
  close(fds[0]);
  int status = 0;
  int error = 0;
  if (less < 0) {
    close(fds[1]);
    error = Copy(head, in, STDOUT_FILENO);
  } else {
    error = Copy(head, in, fds[1]);
    close(fds[1]);
    // A less that a signal ended is no failure of the text's: its own
    // statuses are small numbers.
    status = WaitForChild(less);
    if (status > 128) {
      status = 0;
    }
  }
  sigaction(SIGINT, &old_int, nullptr);
  sigaction(SIGQUIT, &old_quit, nullptr);
  sigaction(SIGPIPE, &old_pipe, nullptr);
  return error != 0 ? ReportUnreadable(error) : status;
}

}  // namespace

InputHead ReadInputHead(int fd, std::string& head) {
  InputSniffer sniffer;
  char buffer[65536];
  while (true) {
    pollfd ready = {fd, POLLIN, 0};
    const int polled = poll(&ready, 1, head.empty() ? -1 : kQuietMs);
    if (polled < 0 && errno == EINTR) {
      continue;
    }
    if (polled == 0) {
      return {InputKind::kText};
    }
    const ssize_t n = read(fd, buffer, sizeof(buffer));
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
      continue;
    }
    if (n < 0) {
      return {.error = errno};
    }
    if (n == 0) {
      return {sniffer.Finish()};
    }
    head.append(buffer, static_cast<std::size_t>(n));
    if (const std::optional<InputKind> kind =
            sniffer.Read(std::string_view(buffer, n))) {
      return {*kind};
    }
  }
}

int ReadStandardInput() {
  if (isatty(STDIN_FILENO)) {
    return PrintHelp(0, nullptr);
  }
  std::string head;
  const InputHead input = ReadInputHead(STDIN_FILENO, head);
  if (input.error != 0) {
    return ReportUnreadable(input.error);
  }
  switch (input.kind) {
    case InputKind::kEmpty:
      return PrintHelp(0, nullptr);
    case InputKind::kText:
      return ShowText(head, STDIN_FILENO);
    case InputKind::kDiff:
      break;
  }
  const ScreenCheck check = CheckScreen(KeySource::kControllingTerminal);
  if (check.support != ScreenSupport::kAvailable) {
    ReportNoScreen("a diff on standard input", check);
    return kNoTerminalStatus;
  }
  // The screen takes the terminal's place on standard input; the diff is
  // read from a copy of the descriptor.
  const int fd = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
  if (fd < 0) {
    return ReportUnreadable(errno);
  }
  return diff::MainOnInput(std::move(head), fd);
}

}  // namespace plimsy
