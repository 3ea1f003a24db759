#ifndef PLIMSY_GIT_COMMAND_LINES_H_
#define PLIMSY_GIT_COMMAND_LINES_H_

#include <string>
#include <string_view>
#include <vector>

// Every git command line the program runs, as the arguments that follow
// "git". An object name is always given after "--end-of-options", so that
// one that starts with "-" is never read as an option; the user's own
// arguments go to git as they were typed.
namespace plimsy {

// The options a capturing `git diff` puts right after "diff", before its
// own and the user's arguments: whatever the user's configuration says,
// git then prints its own unified diff (no colour, no external driver, the
// a/ and b/ prefixes, one line per submodule), while an option the user
// gives explicitly still comes later and wins.
const std::vector<std::string>& ForcedDiffOptions();

// The diff screen's `git diff`: `context` lines around each change,
// changes in whitespace left out with `ignore_whitespace`, and the user's
// arguments last.
std::vector<std::string> DiffScreenCommandLine(
    int context,
    bool ignore_whitespace,
    const std::vector<std::string>& user_args);

// `git diff` with the user's arguments only, for a format that git prints
// itself.
std::vector<std::string> FormatFallbackCommandLine(
    const std::vector<std::string>& user_args);

// The diff of commit `hash`, with `context` lines around each change and,
// with `ignore_whitespace`, without changes in whitespace.
std::vector<std::string> CommitDiffCommandLine(const std::string& hash,
                                               int context,
                                               bool ignore_whitespace);

// HEAD's diff as CommitDiffCommandLine gives it, after a first line that
// holds HEAD's full object name, a blank and git's abbreviation of it.
std::vector<std::string> HeadGuessCommandLine(int context);

// git's abbreviation of the name of object `hash`.
std::vector<std::string> ShortNameCommandLine(const std::string& hash);

// The commits that `git log user_args` lists, in the same order, one
// record each as ParseLogRecord reads them; when WalkNamesParents, each
// names the parents that the walk links it to, as its graph joins them.
std::vector<std::string> WalkCommandLine(
    const std::vector<std::string>& user_args);

// Whether the walk for `user_args` names the parents it links each commit
// to: under a path limit, the nearest ancestors it lists. Not in a full
// history, where that would list merges that git log leaves out.
bool WalkNamesParents(const std::vector<std::string>& user_args);

// The records of the commits named by `hashes`, in that order; names git
// does not know are left out.
std::vector<std::string> CommitRecordsCommandLine(
    const std::vector<std::string>& hashes);

// `git <command> user_args` for its plain text; with `without_pager`, git
// starts no pager.
std::vector<std::string> PlainTextCommandLine(
    std::string_view command,
    bool without_pager,
    const std::vector<std::string>& user_args);

// The setting plimsy.background: the terminal's background, "light" or
// "dark", that the diffs' colours are chosen for.
std::vector<std::string> BackgroundSettingCommandLine();

// What plimsy hands to git for a command it does not know: the user's
// arguments, unchanged.
std::vector<std::string> FallbackCommandLine(
    const std::vector<std::string>& user_args);

}  // namespace plimsy

#endif  // PLIMSY_GIT_COMMAND_LINES_H_
