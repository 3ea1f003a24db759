#include "diff/strip_colour.h"

namespace plimsy {

void ColourStripper::Strip(std::string_view text, std::string& out) {
  constexpr char kEscape = '\x1b';
  size_t pos = 0;
  while (pos < text.size()) {
    switch (state_) {
      case State::kText: {
        const size_t escape = text.find(kEscape, pos);
        out.append(text.substr(pos, escape - pos));
        if (escape == std::string_view::npos) {
          return;
        }
        pos = escape + 1;
        state_ = State::kEscape;
        break;
      }
      case State::kEscape:
        if (text[pos] == '[') {
          ++pos;
          state_ = State::kSequence;
        } else {
          // Not a sequence of the kind git writes: kept as it was.
          out.push_back(kEscape);
          state_ = State::kText;
        }
        break;
      case State::kSequence: {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte >= 0x40 && byte <= 0x7e) {
          ++pos;
          state_ = State::kText;
        } else if (byte >= 0x20 && byte <= 0x3f) {
          ++pos;
        } else {
          state_ = State::kText;
        }
        break;
      }
    }
  }
}

}  // namespace plimsy
