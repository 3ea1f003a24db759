#include "git/arguments.h"

#include <algorithm>
#include <string_view>

namespace plimsy::diff {
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

}  // namespace plimsy::diff
