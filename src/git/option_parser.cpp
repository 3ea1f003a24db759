#include "git/option_parser.h"

namespace plimsy {
namespace {

// A long name found in a table.
struct LongMatch {
  OptionRead::Outcome outcome = OptionRead::Outcome::kUnknown;
  OptionUse use;
};

// Finds `name`, a word without its two dashes, in `table`. An exact name
// wins at once; otherwise the one option it abbreviates, if there is just
// one.
LongMatch FindLong(std::span<const OptionEntry> table,
                   std::string_view name,
                   bool abbreviations) {
  const std::string_view key = name.substr(0, name.find('='));
  LongMatch found;
  auto abbreviates = [&found](const OptionEntry& entry, bool negated) {
    found.outcome = found.use.entry == nullptr ? OptionRead::Outcome::kRead
                                               : OptionRead::Outcome::kFails;
    found.use.entry = &entry;
    found.use.negated = negated;
  };
  for (const OptionEntry& entry : table) {
    const std::string_view long_name = entry.long_name;
    if (long_name.empty()) {
      continue;
    }
    if (name.starts_with(long_name)) {
      const std::string_view rest = name.substr(long_name.size());
      if (rest.empty() || rest.front() == '=') {
        return {OptionRead::Outcome::kRead,
                {&entry, false,
                 rest.empty() ? std::nullopt : std::optional(rest.substr(1))}};
      }
      continue;
    }
    if (abbreviations && long_name.starts_with(key)) {
      abbreviates(entry, false);
      continue;
    }
    if (!entry.negatable) {
      continue;
    }
    // "--n", "--no" and "--no-" abbreviate every negated option.
    if (std::string_view("no-").starts_with(name)) {
      abbreviates(entry, true);
      continue;
    }
    if (!name.starts_with("no-")) {
      continue;
    }
    const std::string_view negated = name.substr(3);
    if (negated.starts_with(long_name)) {
      const std::string_view rest = negated.substr(long_name.size());
      if (rest.empty()) {
        return {OptionRead::Outcome::kRead, {&entry, true, std::nullopt}};
      }
      if (rest.front() == '=') {
        return {OptionRead::Outcome::kFails, {}};
      }
      continue;
    }
    if (long_name.starts_with(negated)) {
      abbreviates(entry, true);
    }
  }
  // An abbreviation keeps the value after its "=".
  if (found.outcome == OptionRead::Outcome::kRead && !found.use.negated &&
      key.size() < name.size()) {
    found.use.value = name.substr(key.size() + 1);
  }
  return found;
}

const OptionEntry* FindShort(std::span<const OptionEntry> table, char letter) {
  for (const OptionEntry& entry : table) {
    if (entry.short_name == letter) {
      return &entry;
    }
  }
  return nullptr;
}

// Gives `read`'s last option the next word as its value; a failure when
// there is none.
void TakeNextWord(OptionRead& read, std::span<const std::string_view> words) {
  if (words.size() < 2) {
    read.outcome = OptionRead::Outcome::kFails;
    return;
  }
  read.uses.back().value = words[1];
  read.words = 2;
}

OptionRead ReadLong(std::span<const OptionEntry> table,
                    std::span<const std::string_view> words,
                    bool abbreviations) {
  const LongMatch match = FindLong(table, words[0].substr(2), abbreviations);
  OptionRead read;
  read.outcome = match.outcome;
  if (read.outcome != OptionRead::Outcome::kRead) {
    return read;
  }
  read.uses.push_back(match.use);
  const OptionUse& use = match.use;
  const OptionValue value = use.negated ? OptionValue::kNone : use.entry->value;
  if (value == OptionValue::kNone && use.value) {
    read.outcome = OptionRead::Outcome::kFails;
  } else if (value == OptionValue::kRequired && !use.value) {
    TakeNextWord(read, words);
  }
  return read;
}

// A bundle of letters: each letter without a value lets the next one
// follow; the first that takes one ends the bundle with it.
OptionRead ReadShort(std::span<const OptionEntry> table,
                     std::span<const std::string_view> words) {
  OptionRead read;
  read.outcome = OptionRead::Outcome::kRead;
  std::string_view letters = words[0].substr(1);
  while (!letters.empty()) {
    const OptionEntry* entry = FindShort(table, letters.front());
    if (entry == nullptr) {
      return {};
    }
    letters.remove_prefix(1);
    read.uses.push_back({entry, false, std::nullopt});
    if (entry->value == OptionValue::kNone) {
      continue;
    }
    if (!letters.empty()) {
      read.uses.back().value = letters;
    } else if (entry->value == OptionValue::kRequired) {
      TakeNextWord(read, words);
    }
    break;
  }
  return read;
}

}  // namespace

OptionRead ReadOptionWord(std::span<const OptionEntry> table,
                          std::span<const std::string_view> words,
                          bool abbreviations) {
  if (words[0].starts_with("--")) {
    return ReadLong(table, words, abbreviations);
  }
  return ReadShort(table, words);
}

}  // namespace plimsy
