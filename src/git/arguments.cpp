#include "git/arguments.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace plimsy {
namespace {

// Long options that change what git prints, whatever their value.
constexpr std::string_view kFormatOptions[] = {
    "--stat",
    "--stat-width",
    "--stat-name-width",
    "--stat-graph-width",
    "--stat-count",
    "--numstat",
    "--shortstat",
    "--dirstat",
    "--dirstat-by-file",
    "--cumulative",
    "--summary",
    "--compact-summary",
    "--patch-with-stat",
    "--patch-with-raw",
    "--raw",
    "--name-only",
    "--name-status",
    "--check",
    "--word-diff-regex",
    "--color-words",
    "--no-patch",
    "--quiet",
    "--output",
    "--ext-diff",
    "--line-prefix",
    "--output-indicator-new",
    "--output-indicator-old",
    "--output-indicator-context",
};

// Long options whose value may be the next argument.
constexpr std::string_view kValueOptions[] = {
    "--stat-width",
    "--stat-name-width",
    "--stat-graph-width",
    "--stat-count",
    "--word-diff-regex",
    "--output",
    "--line-prefix",
    "--output-indicator-new",
    "--output-indicator-old",
    "--output-indicator-context",
    "--src-prefix",
    "--dst-prefix",
    "--inter-hunk-context",
    "--diff-algorithm",
    "--anchored",
    "--color-moved-ws",
    "--skip-to",
    "--rotate-to",
    "--find-object",
    "--diff-filter",
    "--ignore-matching-lines",
    "--ws-error-highlight",
};

bool Contains(const auto& words, std::string_view word) {
  return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

// Whether a long option, written as `name` and `value` (after a "=", or
// none), asks for another format.
bool LongOptionAsks(std::string_view name,
                    std::string_view value,
                    bool has_value) {
  if (Contains(kFormatOptions, name)) {
    return true;
  }
  if (name == "--word-diff") {
    return value != "none";
  }
  if (name == "--color") {
    return !has_value || value == "always";
  }
  if (name == "--submodule") {
    return !has_value || value == "log";
  }
  return false;
}

// Reads a bundle of short options such as "-pz" or "-S<text>". Sets
// `takes_next` when the last option's value is the next argument.
bool ShortOptionsAsk(std::string_view bundle, bool& takes_next) {
  for (size_t i = 1; i < bundle.size(); ++i) {
    switch (bundle[i]) {
      case 'z':
      case 's':
        return true;
      // The directory statistics, with the rest of the bundle as their
      // parameters.
      case 'X':
        return true;
      case 'S':
      case 'G':
      case 'O':
      case 'I':
      case 'l':
        takes_next = i + 1 == bundle.size();
        return false;
      // Their value, if any, is the rest of the bundle.
      case 'U':
      case 'B':
      case 'M':
      case 'C':
        return false;
      default:
        break;
    }
  }
  return false;
}

}  // namespace

bool AsksForAnotherFormat(const std::vector<std::string>& arguments) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--" || argument == "--end-of-options") {
      return false;
    }
    if (argument.size() < 2 || argument[0] != '-') {
      continue;
    }
    bool takes_next = false;
    if (argument[1] != '-') {
      if (ShortOptionsAsk(argument, takes_next)) {
        return true;
      }
    } else {
      const size_t equals = argument.find('=');
      const std::string_view name = argument.substr(0, equals);
      const bool has_value = equals != std::string_view::npos;
      const std::string_view value =
          has_value ? argument.substr(equals + 1) : std::string_view();
      if (LongOptionAsks(name, value, has_value)) {
        return true;
      }
      takes_next = !has_value && Contains(kValueOptions, name);
    }
    if (takes_next) {
      ++i;
    }
  }
  return false;
}

namespace {

// Options that choose commits and print nothing of their own.
constexpr std::string_view kWalkFlags[] = {
    "--all",
    "--branches",
    "--tags",
    "--remotes",
    "--reflog",
    "--alternate-refs",
    "--single-worktree",
    "--not",
    "--bisect",
    "--merges",
    "--no-merges",
    "--no-min-parents",
    "--no-max-parents",
    "--first-parent",
    "--exclude-first-parent-only",
    "--all-match",
    "--invert-grep",
    "-i",
    "--regexp-ignore-case",
    "--basic-regexp",
    "-E",
    "--extended-regexp",
    "-F",
    "--fixed-strings",
    "-P",
    "--perl-regexp",
    "--remove-empty",
    "--cherry-pick",
    "--left-only",
    "--right-only",
    "--merge",
    "--ignore-missing",
    "--follow",
    "--full-history",
    "--dense",
    "--sparse",
    "--simplify-merges",
    "--ancestry-path",
    "--show-pulls",
    "--simplify-by-decoration",
    "--topo-order",
    "--date-order",
    "--author-date-order",
    "--reverse",
    "--do-walk",
    "--no-walk",
    "--use-mailmap",
    "--mailmap",
    "--clear-decorations",
};

// Options that choose commits with a value, given as "--name=value" or as
// the next argument.
constexpr std::string_view kWalkValueOptions[] = {
    "-n",
    "--max-count",
    "--skip",
    "--since",
    "--after",
    "--since-as-filter",
    "--until",
    "--before",
    "--author",
    "--committer",
    "--grep",
    "--min-parents",
    "--max-parents",
    "--exclude",
    "--glob",
    "--exclude-hidden",
    "--decorate-refs",
    "--decorate-refs-exclude",
};

// Options whose value can only be attached with "=".
constexpr std::string_view kWalkAttachedOptions[] = {
    "--branches", "--tags", "--remotes", "--ancestry-path", "--no-walk",
};

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return c >= '0' && c <= '9';
  });
}

}  // namespace

std::string RefusedArgument(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    // Paths, and revisions given as data, follow; none is an option.
    if (arg == "--" || arg == "--end-of-options") {
      return "";
    }
    if (!arg.starts_with("-") || arg == "-" || AllDigits(arg.substr(1)) ||
        Contains(kWalkFlags, arg)) {
      continue;
    }
    if (arg.starts_with("-n") && AllDigits(arg.substr(2))) {
      continue;
    }
    std::string_view name = arg.substr(0, arg.find('='));
    if (name.size() < arg.size() && (Contains(kWalkValueOptions, name) ||
                                     Contains(kWalkAttachedOptions, name))) {
      continue;
    }
    if (Contains(kWalkValueOptions, arg)) {
      ++i;
      continue;
    }
    return "plimsy log: unsupported option '" + std::string(arg) +
           "' (only revisions, paths and options that choose commits are "
           "taken)";
  }
  return "";
}

}  // namespace plimsy
