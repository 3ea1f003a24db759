#ifndef PLIMSY_DIFF_STRIP_COLOUR_H_
#define PLIMSY_DIFF_STRIP_COLOUR_H_

#include <string>
#include <string_view>

namespace plimsy {

// Takes the terminal's control sequences (ESC, "[", parameters, a final
// byte), with which git colours a diff for its pager, out of a text that
// arrives in pieces.
class ColourStripper {
 public:
  // Appends `text` to `out` without its control sequences. A sequence cut
  // between two pieces goes whole; one broken by a byte that cannot be in
  // it ends there, and that byte is kept.
  void Strip(std::string_view text, std::string& out);

 private:
  enum class State { kText, kEscape, kSequence };
  State state_ = State::kText;
};

}  // namespace plimsy

#endif  // PLIMSY_DIFF_STRIP_COLOUR_H_
