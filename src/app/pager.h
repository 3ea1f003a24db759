#ifndef PLIMSY_APP_PAGER_H_
#define PLIMSY_APP_PAGER_H_

#include <string>

#include "app/input_sniffer.h"

// plimsy as a pager: `git diff | plimsy`, or `core.pager` set to plimsy.
namespace plimsy {

// The start of an input: what it holds, or the error (an errno value)
// that stopped its reading.
struct InputHead {
  InputKind kind = InputKind::kEmpty;
  int error = 0;
};

// Reads `fd` until it can tell what it holds: up to a line that starts a
// file's diff (colour sequences aside), its end, 256 KiB, or a second
// without more text once some has come. `head` gets what was read.
InputHead ReadInputHead(int fd, std::string& head);

// `plimsy` without arguments: the usage text when standard input is a
// terminal or empty, the diff screen over a diff that arrives there, and
// any other text shown as a pager shows it: by `less -R` when standard
// output is a terminal and less is installed, else written out unchanged.
// Standard input that cannot be read is an error, with status 1.
int ReadStandardInput();

}  // namespace plimsy

#endif  // PLIMSY_APP_PAGER_H_
