#include "git/revision_options.h"

namespace plimsy {
namespace {

using enum RevisionForm;

constexpr RevisionOption kRevisionOptions[] = {
    {"--all"},
    {"--branches", kOptionalValue},
    {"--tags", kOptionalValue},
    {"--remotes", kOptionalValue},
    {"--glob", kValue},
    {"--exclude", kValue},
    {"--exclude-hidden", kValue},
    {"--reflog"},
    {"--alternate-refs"},
    {"--single-worktree"},
    {"--not"},
    {"--bisect"},
    {"-n", kNextWord},
    {"--max-count", kValue},
    {"--skip", kValue},
    {"--since", kValue},
    {"--after", kValue},
    {"--since-as-filter", kValue},
    {"--until", kValue},
    {"--before", kValue},
    {"--author", kValue},
    {"--committer", kValue},
    {"--grep", kValue},
    {"--all-match"},
    {"--invert-grep"},
    {"-i"},
    {"--regexp-ignore-case"},
    {"--basic-regexp"},
    {"-E"},
    {"--extended-regexp"},
    {"-F"},
    {"--fixed-strings"},
    {"-P"},
    {"--perl-regexp"},
    {"--merges"},
    {"--no-merges"},
    {"--min-parents", kAttachedValue},
    {"--max-parents", kAttachedValue},
    {"--no-min-parents"},
    {"--no-max-parents"},
    {"--first-parent"},
    {"--exclude-first-parent-only"},
    {"--remove-empty"},
    {"--cherry-pick"},
    {"--left-only"},
    {"--right-only"},
    {"--merge"},
    {"--ignore-missing"},
    {"--full-history"},
    {"--dense"},
    {"--sparse"},
    {"--simplify-merges"},
    {"--ancestry-path", kOptionalValue},
    {"--show-pulls"},
    {"--simplify-by-decoration"},
    {"--topo-order"},
    {"--date-order"},
    {"--author-date-order"},
    {"--reverse"},
    {"--do-walk"},
    {"--no-walk", kOptionalValue},
    // Options the walk does not take, which can still take the next word
    // as their value.
    {"--max-age", kValue, false},
    {"--min-age", kValue, false},
    {"--grep-reflog", kValue, false},
    {"--encoding", kValue, false},
    {"--date", kValue, false},
    {"--diff-merges", kValue, false},
    {"--default", kNextWord, false},
};

}  // namespace

std::span<const RevisionOption> RevisionOptions() {
  return kRevisionOptions;
}

RevisionRead ReadRevisionWord(std::span<const std::string_view> words) {
  const std::string_view word = words[0];
  for (const RevisionOption& option : kRevisionOptions) {
    const std::string_view name = option.name;
    if (!word.starts_with(name)) {
      continue;
    }
    const std::string_view rest = word.substr(name.size());
    const bool bare = rest.empty();
    const bool attached = rest.starts_with('=');
    switch (option.form) {
      case kFlag:
        if (bare) {
          return {&option, 1};
        }
        break;
      case kValue:
        if (bare || attached) {
          return {&option, bare ? 2u : 1u};
        }
        break;
      case kAttachedValue:
        if (attached) {
          return {&option, 1};
        }
        break;
      case kOptionalValue:
        if (bare || attached) {
          return {&option, 1};
        }
        break;
      case kNextWord:
        if (bare) {
          return {&option, 2};
        }
        if (name == "-n") {
          return {&option, 1};
        }
        break;
    }
  }
  return {};
}

}  // namespace plimsy
