#ifndef PLIMSY_SYS_TERMINAL_H_
#define PLIMSY_SYS_TERMINAL_H_

#include <functional>
#include <string>
#include <string_view>

#include <ftxui/component/component_base.hpp>

namespace plimsy {

// Where a screen reads the user's keys from.
enum class KeySource {
  kStandardInput,
  // /dev/tty, for a screen whose standard input carries its data.
  kControllingTerminal,
};

enum class ScreenSupport {
  kAvailable,
  // Standard output cannot show a screen: it is no terminal, or one that
  // cannot move its cursor (TERM=dumb, or TERM unset).
  kNoDisplay,
  // Standard output can show a screen, but keys cannot be read.
  kNoKeys,
};

struct ScreenCheck {
  ScreenSupport support = ScreenSupport::kAvailable;
  // Why a screen cannot open, for a message; empty when it can.
  std::string reason;
};

// The exit status when a screen cannot open for want of a terminal.
inline constexpr int kNoTerminalStatus = 2;

// Where a screen that reads nothing from standard input takes its keys:
// standard input when it is a terminal, else the controlling terminal, so
// that a pipe left on standard input neither blocks nor stops it.
KeySource KeysForScreen();

// Whether a screen may open on standard output with keys from `keys`.
ScreenCheck CheckScreen(KeySource keys);

// Whether terminal type `term` (the value of TERM) can show a screen.
bool CanDrawOn(std::string_view term);

// Prints "plimsy: <command> needs a terminal: <reason>" and `hint`, if any,
// on standard error.
void ReportNoScreen(std::string_view command,
                    const ScreenCheck& check,
                    std::string_view hint = {});

// Builds a screen's component tree; `exit` leaves the screen.
using ScreenBuilder =
    std::function<ftxui::Component(std::function<void()> exit)>;

// Runs a full-screen loop over what `build` returns until it is left, and
// returns 0. When no screen can open, reports why and returns
// kNoTerminalStatus instead. With kControllingTerminal, standard input is
// replaced by the terminal, so its data must be read before or from a
// duplicate of the descriptor. While
// the screen is open, SIGHUP, SIGINT, SIGQUIT, SIGTERM and SIGPIPE, or the
// terminal going away, restore the terminal, end any tracked git child and
// end the program with 128 + the signal's number.
int RunScreen(std::string_view command,
              const ScreenBuilder& build,
              KeySource keys = KeySource::kStandardInput);

// Hands `task` to the loop of the screen that RunScreen runs, from any
// thread: it runs on the loop's thread after the events and tasks queued
// before it, and the screen is drawn after it. Tasks handed over before the
// screen opens wait for it; those handed over once it closes are dropped.
void PostToScreen(std::function<void()> task);

}  // namespace plimsy

#endif  // PLIMSY_SYS_TERMINAL_H_
