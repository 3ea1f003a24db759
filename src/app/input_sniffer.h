#ifndef PLIMSY_APP_INPUT_SNIFFER_H_
#define PLIMSY_APP_INPUT_SNIFFER_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "diff/strip_colour.h"

namespace plimsy {

// What standard input holds, as far as its first bytes tell.
enum class InputKind {
  kEmpty,
  // A line that starts a file's diff.
  kDiff,
  // Anything else: a log, a help text.
  kText,
};

// Tells a diff from other text by the first 256 KiB of a text that arrives
// in pieces: a diff has a line there that starts a file's diff, colour
// sequences aside. The pieces tell what the whole would.
class InputSniffer {
 public:
  // Reads the next piece; the kind as soon as what was read tells it.
  std::optional<InputKind> Read(std::string_view piece);
  // The kind of a text that ends after what was read.
  InputKind Finish() const;

 private:
  ColourStripper stripper_;
  // The start of the current line, colour sequences taken out.
  std::string line_;
  std::size_t read_ = 0;
};

}  // namespace plimsy

#endif  // PLIMSY_APP_INPUT_SNIFFER_H_
