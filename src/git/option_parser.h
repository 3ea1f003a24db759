#ifndef PLIMSY_GIT_OPTION_PARSER_H_
#define PLIMSY_GIT_OPTION_PARSER_H_

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// What git's own option parser, which reads the diff options and git log's
// own ones, makes of a word: the same rules, so that plimsy never takes a
// word for a value that git takes for an option, or the other way round.
namespace plimsy {

// How an option takes its value.
enum class OptionValue {
  kNone,
  // Attached ("--name=value", "-xvalue") or else the next word.
  kRequired,
  // Attached only; without it the option has none.
  kOptional,
};

// One entry of a table that git's option parser reads.
struct OptionEntry {
  // Without the dashes; empty for a letter alone.
  std::string_view long_name;
  char short_name = '\0';
  OptionValue value = OptionValue::kNone;
  // Whether "--no-<long_name>" undoes it.
  bool negatable = false;
};

// An option found in a word, with the value given to it.
struct OptionUse {
  const OptionEntry* entry = nullptr;
  // Given as "--no-<long_name>".
  bool negated = false;
  std::optional<std::string_view> value;
};

// What the parser makes of the word that starts a list of words.
struct OptionRead {
  enum class Outcome {
    // Every option of the word is in the table: `uses`.
    kRead,
    // A name or a letter the table lacks.
    kUnknown,
    // git stops there with an error: an abbreviation of more than one
    // option, a value given to an option that takes none, a missing value.
    kFails,
  };
  Outcome outcome = Outcome::kUnknown;
  std::vector<OptionUse> uses;
  // The words taken: two when the value is the next word.
  std::size_t words = 1;
};

// Reads `words[0]`, an option ("--name", "--name=value" or a bundle of
// letters such as "-pU5"), against `table`. A long name is found whole, or
// from its start alone (an abbreviation) when `abbreviations` holds and no
// other option starts the same way; a negated name ("--no-...") is always
// found from its start, as git does even where it takes no abbreviation.
OptionRead ReadOptionWord(std::span<const OptionEntry> table,
                          std::span<const std::string_view> words,
                          bool abbreviations);

}  // namespace plimsy

#endif  // PLIMSY_GIT_OPTION_PARSER_H_
