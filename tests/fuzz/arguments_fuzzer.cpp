#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "git/arguments.h"
#include "git/option_tables.h"
#include "git/revision_options.h"

// Reads arbitrary bytes as a command line, a word a line, for `plimsy diff`
// and `plimsy log`. Neither decision may fail, and neither may change when
// an option that git takes with its value attached or in the next word
// ("--author=x", "--author x") is written the other way.
namespace {

// "--name" of every option that takes its value either way.
const std::set<std::string, std::less<>>& EitherWay() {
  static const std::set<std::string, std::less<>> names = [] {
    std::set<std::string, std::less<>> all;
    for (const auto table : {plimsy::DiffOptions(), plimsy::LogOptions()}) {
      for (const plimsy::OptionEntry& entry : table) {
        if (entry.value == plimsy::OptionValue::kRequired &&
            !entry.long_name.empty()) {
          all.insert("--" + std::string(entry.long_name));
        }
      }
    }
    for (const plimsy::RevisionOption& option : plimsy::RevisionOptions()) {
      if (option.form == plimsy::RevisionForm::kValue) {
        all.emplace(option.name);
      }
    }
    return all;
  }();
  return names;
}

void Check(bool same, const char* what) {
  if (!same) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> words;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    words.emplace_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  // A value that starts with a dash is read apart from its option in
  // places: "--" ends the walk's options, and git log reads its own
  // options among the walk's values.
  std::vector<std::string> apart;
  for (const std::string& word : words) {
    const size_t equals = word.find('=');
    if (equals != std::string::npos &&
        EitherWay().contains(word.substr(0, equals)) &&
        !word.substr(equals + 1).starts_with('-')) {
      apart.push_back(word.substr(0, equals));
      apart.push_back(word.substr(equals + 1));
    } else {
      apart.push_back(word);
    }
  }
  Check(plimsy::RefusedArgument(words).empty() ==
            plimsy::RefusedArgument(apart).empty(),
        "the walk takes a value apart otherwise");
  // git looks for "--no-index" up to the first word that is no option, which
  // a value apart can be.
  if (std::ranges::find(words, "--no-index") == words.end()) {
    Check(plimsy::AsksForAnotherFormat(words) ==
              plimsy::AsksForAnotherFormat(apart),
          "the diff takes a value apart otherwise");
  }
  return 0;
}
