#include "git/arguments.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <span>
#include <string_view>
#include <utility>

#include "git/option_parser.h"
#include "git/option_tables.h"
#include "git/revision_options.h"

namespace plimsy {
namespace {

using Outcome = OptionRead::Outcome;
using Words = std::span<const std::string_view>;

// Diff options that change what git prints, whatever their value.
constexpr std::string_view kFormatOptions[] = {
    "stat",
    "stat-width",
    "stat-name-width",
    "stat-graph-width",
    "stat-count",
    "numstat",
    "shortstat",
    "dirstat",
    "dirstat-by-file",
    "cumulative",
    "summary",
    "compact-summary",
    "patch-with-stat",
    "patch-with-raw",
    "raw",
    "name-only",
    "name-status",
    "check",
    "word-diff-regex",
    "color-words",
    "no-patch",
    "quiet",
    "output",
    "ext-diff",
    "line-prefix",
    "output-indicator-new",
    "output-indicator-old",
    "output-indicator-context",
};

// The options of git log's own and of the diff's that the walk takes.
constexpr std::string_view kWalkOptions[] = {
    "use-mailmap",           "mailmap", "clear-decorations", "decorate-refs",
    "decorate-refs-exclude", "follow",
};

bool Contains(const auto& words, std::string_view word) {
  return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// Where options are read, a word that git reads as one; "-" alone is not.
bool IsOption(std::string_view word) {
  return word.size() > 1 && word.front() == '-';
}

bool AsksForFormat(const OptionUse& use) {
  const std::string_view name = use.entry->long_name;
  if (use.negated) {
    return false;
  }
  if (name.empty()) {
    return use.entry->short_name == 'z';
  }
  if (Contains(kFormatOptions, name)) {
    return true;
  }
  if (name == "word-diff") {
    return use.value != "none";
  }
  if (name == "color") {
    return !use.value || EqualsIgnoringCase(*use.value, "always");
  }
  if (name == "submodule") {
    return !use.value || use.value == "log";
  }
  return false;
}

bool AnyAsksForFormat(const OptionRead& read) {
  return std::ranges::any_of(read.uses, AsksForFormat);
}

// `git diff` in a repository: the revision walk reads its options, then the
// diff's, each by its exact name, up to the first "--", wherever it is. An
// option git does not know fails the command only once all are read.
bool AsksInRepository(Words words) {
  words = words.first(std::ranges::find(words, "--") - words.begin());
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string_view word = words[i];
    if (word == "--end-of-options") {
      break;
    }
    if (!IsOption(word)) {
      continue;
    }
    if (const RevisionRead revision = ReadRevisionWord(words.subspan(i));
        revision.option != nullptr) {
      i += revision.words - 1;
      continue;
    }
    const OptionRead read = ReadOptionWord(DiffOptions(), words.subspan(i),
                                           /*abbreviations=*/false);
    if (read.outcome == Outcome::kFails) {
      return false;
    }
    if (AnyAsksForFormat(read)) {
      return true;
    }
    i += read.words - 1;
  }
  return false;
}

// `git diff --no-index`: the diff options, abbreviated or not, anywhere
// before "--" or "--end-of-options"; git stops at the first one it does not
// know.
bool AsksWithoutIndex(Words words) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string_view word = words[i];
    if (word == "--" || word == "--end-of-options") {
      break;
    }
    if (!IsOption(word)) {
      continue;
    }
    const OptionRead read = ReadOptionWord(NoIndexOptions(), words.subspan(i),
                                           /*abbreviations=*/true);
    if (read.outcome != Outcome::kRead) {
      return false;
    }
    if (AnyAsksForFormat(read)) {
      return true;
    }
    i += read.words - 1;
  }
  return false;
}

// Whether git compares files without the index wherever it runs:
// "--no-index" among the words that start the line with a dash, before
// "--".
bool NamesNoIndex(Words words) {
  for (const std::string_view word : words) {
    if (word == "--" || !word.starts_with('-')) {
      return false;
    }
    if (word == "--no-index") {
      return true;
    }
  }
  return false;
}

// Whether the walk takes every option in `read`.
bool TakenByWalk(const OptionRead& read) {
  return read.outcome == Outcome::kRead &&
         std::ranges::all_of(read.uses, [](const OptionUse& use) {
           return Contains(kWalkOptions, use.entry->long_name);
         });
}

// "-12": at most as many commits.
bool IsCount(std::string_view word) {
  return word.size() > 1 &&
         std::all_of(word.begin() + 1, word.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool AsksForAnotherFormat(const std::vector<std::string>& arguments) {
  const std::vector<std::string_view> words(arguments.begin(), arguments.end());
  // Outside a repository, or given a path outside it, git diff compares
  // files as with --no-index; which one it does depends on where the paths
  // are, so either reading that finds another format decides.
  return AsksWithoutIndex(words) ||
         (!NamesNoIndex(words) && AsksInRepository(words));
}

namespace {

// What git log reads in the user's words: the first that the walk does
// not take (the count of words when it takes them all), and the revision
// options before it.
struct LogReading {
  std::size_t refused = 0;
  std::vector<std::string_view> revision_options;
};

LogReading ReadLogArguments(const std::vector<std::string_view>& words) {
  std::size_t refused = words.size();
  std::vector<std::string_view> revision_options;
  // git log first reads its own options, up to "--" or "--end-of-options",
  // whatever an option of the walk's before them takes as its value.
  std::vector<std::string_view> left;
  std::vector<std::size_t> left_at;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string_view word = words[i];
    if (word == "--" || word == "--end-of-options") {
      for (; i < words.size(); ++i) {
        left.push_back(words[i]);
        left_at.push_back(i);
      }
      break;
    }
    const OptionRead read =
        IsOption(word) ? ReadOptionWord(LogOptions(), Words(words).subspan(i),
                                        /*abbreviations=*/false)
                       : OptionRead();
    if (read.outcome == Outcome::kUnknown) {
      left.push_back(word);
      left_at.push_back(i);
      continue;
    }
    if (!TakenByWalk(read)) {
      refused = i;
      break;
    }
    i += read.words - 1;
  }
  // The walk reads what is left, up to the first "--" left, wherever it is.
  const Words walk(left.data(), std::ranges::find(left, "--") - left.begin());
  for (std::size_t j = 0; j < walk.size() && left_at[j] < refused; ++j) {
    const std::string_view word = walk[j];
    if (word == "--end-of-options") {
      break;
    }
    if (!IsOption(word) || IsCount(word)) {
      continue;
    }
    if (const RevisionRead revision = ReadRevisionWord(walk.subspan(j));
        revision.option != nullptr) {
      if (!revision.option->chooses_commits) {
        refused = left_at[j];
        break;
      }
      revision_options.push_back(revision.option->name);
      j += revision.words - 1;
      continue;
    }
    const OptionRead read = ReadOptionWord(DiffOptions(), walk.subspan(j),
                                           /*abbreviations=*/false);
    if (!TakenByWalk(read)) {
      refused = left_at[j];
      break;
    }
    j += read.words - 1;
  }
  return {refused, std::move(revision_options)};
}

}  // namespace

std::string RefusedArgument(const std::vector<std::string>& args) {
  const std::vector<std::string_view> words(args.begin(), args.end());
  const std::size_t refused = ReadLogArguments(words).refused;
  if (refused == words.size()) {
    return "";
  }
  return "plimsy log: unsupported option '" + std::string(words[refused]) +
         "' (only revisions, paths and options that choose commits are "
         "taken)";
}

bool WalkTakesOption(const std::vector<std::string>& args,
                     std::string_view name) {
  const std::vector<std::string_view> words(args.begin(), args.end());
  return Contains(ReadLogArguments(words).revision_options, name);
}

}  // namespace plimsy
