#ifndef PLIMSY_GIT_ARGUMENTS_H_
#define PLIMSY_GIT_ARGUMENTS_H_

#include <string>
#include <string_view>
#include <vector>

// The user's arguments are read as git itself reads them: each option
// with its value attached, taken from the next word, optional, or none;
// abbreviations only where git takes them; words after "--" or
// "--end-of-options" as paths and revisions. A word git takes for an
// option is never skipped as a value, nor the other way round.
namespace plimsy {

// True when the arguments of `git diff` ask for output that is not a plain
// patch the viewer can show: statistics, names only, a word diff, colours,
// other line signs, a file or an external program as the destination, or
// no output at all. Such a command line is git's to print.
bool AsksForAnotherFormat(const std::vector<std::string>& arguments);

// The one-line message that refuses `args` as arguments of `plimsy log`,
// naming the first word git would take for an option the walk does not
// take, or an empty string when the walk takes them: revisions, paths and
// the options that choose commits. Options that change what git prints
// would turn its output into something else than commit records.
std::string RefusedArgument(const std::vector<std::string>& args);

// Whether the walk reads the revision option `name`, such as
// "--full-history", among `args`, arguments that it takes.
bool WalkTakesOption(const std::vector<std::string>& args,
                     std::string_view name);

}  // namespace plimsy

#endif  // PLIMSY_GIT_ARGUMENTS_H_
