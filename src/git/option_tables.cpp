#include "git/option_tables.h"

#include <iterator>
#include <vector>

namespace plimsy {
namespace {

using enum OptionValue;

constexpr OptionEntry kDiffOptions[] = {
    {"patch", 'p'},
    {"no-patch", 's'},
    {"", 'u'},
    {"unified", 'U', kOptional},
    {"function-context", 'W', kNone, true},
    {"raw"},
    {"patch-with-raw"},
    {"patch-with-stat"},
    {"numstat"},
    {"shortstat"},
    {"dirstat", 'X', kOptional},
    {"cumulative"},
    {"dirstat-by-file", '\0', kOptional},
    {"check"},
    {"summary"},
    {"name-only"},
    {"name-status"},
    {"stat", '\0', kOptional},
    {"stat-width", '\0', kRequired},
    {"stat-name-width", '\0', kRequired},
    {"stat-graph-width", '\0', kRequired},
    {"stat-count", '\0', kRequired},
    {"compact-summary", '\0', kNone, true},
    {"binary"},
    {"full-index", '\0', kNone, true},
    {"color", '\0', kOptional, true},
    {"ws-error-highlight", '\0', kRequired},
    {"", 'z'},
    {"abbrev", '\0', kOptional, true},
    {"src-prefix", '\0', kRequired},
    {"dst-prefix", '\0', kRequired},
    {"line-prefix", '\0', kRequired},
    {"no-prefix"},
    {"inter-hunk-context", '\0', kRequired},
    {"output-indicator-new", '\0', kRequired},
    {"output-indicator-old", '\0', kRequired},
    {"output-indicator-context", '\0', kRequired},
    {"break-rewrites", 'B', kOptional},
    {"find-renames", 'M', kOptional},
    {"irreversible-delete", 'D'},
    {"find-copies", 'C', kOptional},
    {"find-copies-harder", '\0', kNone, true},
    {"no-renames"},
    {"rename-empty", '\0', kNone, true},
    {"follow", '\0', kNone, true},
    {"", 'l', kRequired},
    {"minimal", '\0', kNone, true},
    {"ignore-all-space", 'w'},
    {"ignore-space-change", 'b'},
    {"ignore-space-at-eol"},
    {"ignore-cr-at-eol"},
    {"ignore-blank-lines"},
    {"ignore-matching-lines", 'I', kRequired, true},
    {"indent-heuristic", '\0', kNone, true},
    {"patience"},
    {"histogram"},
    {"diff-algorithm", '\0', kRequired},
    {"anchored", '\0', kRequired},
    {"word-diff", '\0', kOptional},
    {"word-diff-regex", '\0', kRequired},
    {"color-words", '\0', kOptional},
    {"color-moved", '\0', kOptional, true},
    {"color-moved-ws", '\0', kRequired, true},
    {"relative", '\0', kOptional, true},
    {"text", 'a', kNone, true},
    {"", 'R'},
    {"exit-code", '\0', kNone, true},
    {"quiet", '\0', kNone, true},
    {"ext-diff", '\0', kNone, true},
    {"textconv", '\0', kNone, true},
    {"ignore-submodules", '\0', kOptional},
    {"submodule", '\0', kOptional},
    {"ita-invisible-in-index"},
    {"ita-visible-in-index"},
    {"", 'S', kRequired},
    {"", 'G', kRequired},
    {"pickaxe-all"},
    {"pickaxe-regex"},
    {"", 'O', kRequired},
    {"rotate-to", '\0', kRequired},
    {"skip-to", '\0', kRequired},
    {"find-object", '\0', kRequired},
    {"diff-filter", '\0', kRequired},
    {"output", '\0', kRequired},
};

constexpr OptionEntry kLogOptions[] = {
    {"quiet", 'q', kNone, true},
    {"source", '\0', kNone, true},
    {"use-mailmap", '\0', kNone, true},
    {"mailmap", '\0', kNone, true},
    {"clear-decorations"},
    {"decorate-refs", '\0', kRequired, true},
    {"decorate-refs-exclude", '\0', kRequired, true},
    {"decorate", '\0', kOptional, true},
    {"", 'L', kRequired},
};

}  // namespace

std::span<const OptionEntry> DiffOptions() {
  return kDiffOptions;
}

std::span<const OptionEntry> NoIndexOptions() {
  static const std::vector<OptionEntry> options = [] {
    std::vector<OptionEntry> all = {{"no-index"}};
    all.insert(all.end(), std::begin(kDiffOptions), std::end(kDiffOptions));
    return all;
  }();
  return options;
}

std::span<const OptionEntry> LogOptions() {
  return kLogOptions;
}

}  // namespace plimsy
