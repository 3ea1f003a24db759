#include "app/input_sniffer.h"

#include "diff/diff.h"

namespace plimsy {
namespace {

constexpr std::size_t kHeadLimit = 256 * 1024;
// Enough of a line to tell whether it opens a file's section.
constexpr std::size_t kLineStart = 16;

}  // namespace

std::optional<InputKind> InputSniffer::Read(std::string_view piece) {
  piece = piece.substr(0, kHeadLimit - read_);
  read_ += piece.size();
  std::string plain;
  stripper_.Strip(piece, plain);
  for (const char c : plain) {
    if (c == '\n') {
      if (StartsFileSection(line_)) {
        return InputKind::kDiff;
      }
      line_.clear();
    } else if (line_.size() < kLineStart) {
      line_.push_back(c);
    }
  }
  if (read_ == kHeadLimit) {
    return InputKind::kText;
  }
  return std::nullopt;
}

InputKind InputSniffer::Finish() const {
  if (StartsFileSection(line_)) {
    return InputKind::kDiff;
  }
  return read_ == 0 ? InputKind::kEmpty : InputKind::kText;
}

}  // namespace plimsy
