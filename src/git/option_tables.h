#ifndef PLIMSY_GIT_OPTION_TABLES_H_
#define PLIMSY_GIT_OPTION_TABLES_H_

#include <span>

#include "git/option_parser.h"

// The tables that git's option parser reads for the commands plimsy runs
// with the user's arguments, as git 2.39 has them.
namespace plimsy {

// The diff options, which `git diff` and `git log` both take.
std::span<const OptionEntry> DiffOptions();

// What `git diff --no-index` reads: the diff options and "--no-index".
std::span<const OptionEntry> NoIndexOptions();

// The options `git log` reads itself, over the whole command line, before
// its revision walk reads what is left.
std::span<const OptionEntry> LogOptions();

}  // namespace plimsy

#endif  // PLIMSY_GIT_OPTION_TABLES_H_
