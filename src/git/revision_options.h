#ifndef PLIMSY_GIT_REVISION_OPTIONS_H_
#define PLIMSY_GIT_REVISION_OPTIONS_H_

#include <cstddef>
#include <span>
#include <string_view>

// The options that git's revision walk reads itself, before the diff
// options, in `git log` and in `git diff`. It finds each by its exact
// name, never by an abbreviation.
namespace plimsy {

// How a revision option is written.
enum class RevisionForm {
  // "--all"
  kFlag,
  // "--author=text" or "--author text"
  kValue,
  // "--min-parents=2" only; the bare name is no option of git's.
  kAttachedValue,
  // "--branches" or "--branches=pattern"
  kOptionalValue,
  // "--default name" only
  kNextWord,
};

// The options that choose commits, and every other one that can take the
// next word as its value.
struct RevisionOption {
  std::string_view name;
  RevisionForm form = RevisionForm::kFlag;
  // Taken by `plimsy log`.
  bool chooses_commits = true;
};

std::span<const RevisionOption> RevisionOptions();

// The revision option that starts `words`, and the words it takes (two
// when its value is the next word, whether or not there is one), or null.
// "-n" takes the next word, and any other word that starts with "-n" is
// the count on its own.
struct RevisionRead {
  const RevisionOption* option = nullptr;
  std::size_t words = 1;
};
RevisionRead ReadRevisionWord(std::span<const std::string_view> words);

}  // namespace plimsy

#endif  // PLIMSY_GIT_REVISION_OPTIONS_H_
