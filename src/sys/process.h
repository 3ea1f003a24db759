#ifndef PLIMSY_SYS_PROCESS_H_
#define PLIMSY_SYS_PROCESS_H_

#include <sys/types.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "sys/fd.h"

// A small child-process runner: start a program with an argument vector,
// wire each standard stream, wait for it and collect what it printed.
namespace plimsy {

enum class PipeOption {
  kInherit,  // the child uses this process's own stream
  kPipe,     // output is captured; input is an empty pipe
  kClose,    // input reads end-of-file at once; output is discarded
};

struct RunOptions {
  PipeOption in = PipeOption::kInherit;
  PipeOption out = PipeOption::kInherit;
  PipeOption err = PipeOption::kInherit;
  // When not negative, the child's standard input in place of `in`; the
  // descriptor stays this process's to close.
  int in_fd = -1;
  // When not empty, the child's whole environment ("NAME=value" entries);
  // otherwise the child inherits this process's environment.
  std::vector<std::string> env;
};

struct CompletedProcess {
  // The exit status, or 128 + the signal number for a child killed by one.
  int status = 0;
  std::string out;
  std::string err;
};

// The program could not be started at all (not found, not executable).
class SpawnError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs the program named by args[0], searched on PATH, and waits for it.
// Throws SpawnError when it cannot be started.
CompletedProcess Run(const std::vector<std::string>& args,
                     const RunOptions& options = {});

// Starts the program as Run does, without waiting for it: the caller
// waits with WaitForChild. An output stream piped here has no reader, so
// the child's writes to it fail. Throws SpawnError when it cannot be
// started.
pid_t StartChild(const std::vector<std::string>& args,
                 const RunOptions& options = {});

// Waits for a child that StartChild started, and returns its status as Run
// reports it.
int WaitForChild(pid_t pid);

// A child whose standard output is read a piece at a time while it runs.
// Its standard error, when piped, is collected whenever the output is read,
// so the child never blocks on it. Destroying the object ends the child if
// it still runs and reaps it.
class Stream {
 public:
  // Starts the program as Run does; standard output is always piped.
  // Throws SpawnError when it cannot be started.
  Stream(const std::vector<std::string>& args, const RunOptions& options);
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  ~Stream();

  // Blocks until the child prints more, and appends that to `out`. Returns
  // false, appending nothing, once its output has ended.
  bool Read(std::string& out);

  // Read, waiting at most `timeout_ms` (no limit when negative), and
  // returning kStopped, without reading, as soon as `stop_fd` (when not
  // negative) is readable.
  ReadResult ReadSome(std::string& out, int stop_fd, int timeout_ms);

  // Once the output has ended: collects the rest of the standard error,
  // waits for the child and returns its status as Run reports it. Ends
  // the child first if its output has not ended.
  int Wait();

  // Ends the child if it still runs (its pipes closed, SIGTERM, SIGKILL
  // when it lingers), reaps it and returns its status. Later calls return
  // the same status.
  int Close();

  // The child's standard error so far (its first 64 KiB).
  const std::string& error() const { return error_; }
  pid_t pid() const { return pid_; }
  bool reaped() const { return reaped_; }

 private:
  void CloseOutput();
  void DrainError(bool until_end);
  int Reap(bool end_first);

  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  bool reaped_ = false;
  int status_ = -1;
  std::string error_;
};

}  // namespace plimsy

#endif  // PLIMSY_SYS_PROCESS_H_
