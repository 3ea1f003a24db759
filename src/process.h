#ifndef PLIMSY_PROCESS_H_
#define PLIMSY_PROCESS_H_

#include <stdexcept>
#include <string>
#include <vector>

// A small child-process runner: start a program with an argument vector,
// wire each standard stream, wait for it and collect what it printed.
namespace subprocess {

enum class PipeOption : int {
  inherit = 0,  // the child uses this process's own stream
  pipe = 4,     // output is captured; input is an empty pipe
  close = 5,    // input reads end-of-file at once; output is discarded
};

struct RunOptions {
  PipeOption cin = PipeOption::inherit;
  PipeOption cout = PipeOption::inherit;
  PipeOption cerr = PipeOption::inherit;
  // When not empty, the child's whole environment ("NAME=value" entries);
  // otherwise the child inherits this process's environment.
  std::vector<std::string> env;
};

struct CompletedProcess {
  // The exit status, or 128 + the signal number for a child killed by one.
  int returncode = 0;
  std::string cout;
  std::string cerr;
};

// The program could not be started at all (not found, not executable).
class SpawnError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs the program named by args[0], searched on PATH, and waits for it.
// Throws SpawnError when it cannot be started.
CompletedProcess run(const std::vector<std::string>& args,
                     const RunOptions& options = {});

}  // namespace subprocess

#endif  // PLIMSY_PROCESS_H_
