#ifndef PLIMSY_TESTS_TERMINAL_SAFETY_H_
#define PLIMSY_TESTS_TERMINAL_SAFETY_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plimsy::testing {

// Checks what `ftxui::Screen::ToString` produced before it reaches a
// terminal. The screen's own colour and style sequences (ESC [ digits and
// semicolons m) are skipped; everything else must be valid UTF-8 with no
// control character (C0, DEL, C1) other than the carriage returns and line
// feeds between rows. Returns an empty string when the output is safe, else
// a description of the first offending byte. Header-only so that fuzz
// targets, which do not link the test support, can use it too.
inline std::string TerminalHazard(std::string_view output) {
  auto problem = [&](std::string_view what, size_t at) {
    return std::string(what) + " at byte " + std::to_string(at);
  };
  size_t i = 0;
  while (i < output.size()) {
    const auto byte = static_cast<uint8_t>(output[i]);
    if (byte == 0x1B) {
      size_t end = i + 1;
      if (end < output.size() && output[end] == '[') {
        ++end;
        while (end < output.size() &&
               ((output[end] >= '0' && output[end] <= '9') ||
                output[end] == ';')) {
          ++end;
        }
        if (end < output.size() && output[end] == 'm') {
          i = end + 1;
          continue;
        }
      }
      return problem("escape sequence other than SGR", i);
    }
    if (byte == '\r' || byte == '\n') {
      ++i;
      continue;
    }
    if (byte < 0x20 || byte == 0x7F) {
      return problem("control character", i);
    }
    if (byte < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    uint32_t code_point = 0;
    if ((byte & 0xE0) == 0xC0) {
      length = 2;
      code_point = byte & 0x1F;
    } else if ((byte & 0xF0) == 0xE0) {
      length = 3;
      code_point = byte & 0x0F;
    } else if ((byte & 0xF8) == 0xF0) {
      length = 4;
      code_point = byte & 0x07;
    } else {
      return problem("invalid UTF-8 lead byte", i);
    }
    if (i + length > output.size()) {
      return problem("truncated UTF-8 sequence", i);
    }
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<uint8_t>(output[i + k]);
      if ((next & 0xC0) != 0x80) {
        return problem("invalid UTF-8 continuation byte", i + k);
      }
      code_point = (code_point << 6) | (next & 0x3F);
    }
    constexpr uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code_point < kShortest[length]) {
      return problem("overlong UTF-8 sequence", i);
    }
    if (code_point > 0x10FFFF ||
        (code_point >= 0xD800 && code_point <= 0xDFFF)) {
      return problem("UTF-8 sequence outside Unicode scalar values", i);
    }
    if (code_point <= 0x9F) {
      return problem("C1 control character", i);
    }
    i += length;
  }
  return {};
}

}  // namespace plimsy::testing

#endif  // PLIMSY_TESTS_TERMINAL_SAFETY_H_
