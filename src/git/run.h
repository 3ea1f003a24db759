#ifndef PLIMSY_GIT_RUN_H_
#define PLIMSY_GIT_RUN_H_

#include <functional>
#include <string>
#include <vector>

#include "sys/process.h"

namespace plimsy {

// What a capturing git run printed, and how it ended.
struct GitResult {
  int status = 0;
  std::string out;
  std::string err;
};

// Runs git with the given arguments (without the leading "git") as
// GitOutput does, and returns its status and both captured streams.
// Throws SpawnError when git cannot be started.
GitResult GitCapture(const std::vector<std::string>& args);

// Starts git with the given arguments (without the leading "git") as
// GitCapture does, its standard output to be read as it comes. Throws
// SpawnError when git cannot be started.
Stream GitStream(const std::vector<std::string>& args);

// The environment of every capturing git run: this process's own, with
// the settings that would change the text git prints overridden, and
// without git's prompts on the terminal.
std::vector<std::string> CapturingEnvironment();

// Runs git with the given arguments (without the leading "git"): standard
// input closed, standard error dropped, standard output returned. The exit
// status is not looked at. Configuration that would change the text git
// prints (colours, prefixes, an external diff driver) is switched off for
// the child. Throws SpawnError when git cannot be started.
std::string GitOutput(const std::vector<std::string>& args);

// Runs git with the given arguments on this process's own streams and
// returns its exit status. Throws SpawnError when git cannot be
// started.
int GitInherited(const std::vector<std::string>& args);

// Called with the full argument vector of every capturing git run; lets
// tests count and inspect the runs. Empty by default.
void SetGitObserver(std::function<void(const std::vector<std::string>&)>);

// Runs a step of a screen that is already open. A git that can no longer
// be started ends the step where it stood; each step leaves its state as
// an empty git output would before it runs git.
void SkipIfGitCannotStart(const std::function<void()>& step);

// Prints "plimsy: cannot run git: <reason>" on standard error and returns
// the exit status for that case, 127.
int ReportGitNotStarted(const std::exception& error);

}  // namespace plimsy

#endif  // PLIMSY_GIT_RUN_H_
