#include "ui/display_text.h"

#include <cstddef>
#include <cstdint>

namespace plimsy {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
constexpr std::string_view kTab = "  ";

// What one step of decoding found at the current position.
struct Step {
  // Bytes consumed.
  size_t length = 1;
  // The bytes are a complete, valid sequence (kept unless it encodes a
  // control character).
  bool valid = false;
  // The sequence encodes a control character (C0, DEL or C1).
  bool control = false;
};

bool InRange(uint8_t byte, uint8_t low, uint8_t high) {
  return byte >= low && byte <= high;
}

// Decodes the sequence starting at `bytes[i]`. An invalid sequence ends
// before the first byte that cannot continue it, so each maximal invalid
// subpart takes exactly one step.
Step Decode(std::string_view bytes, size_t i) {
  const auto lead = static_cast<uint8_t>(bytes[i]);
  if (lead < 0x80) {
    return {1, true, lead < 0x20 || lead == 0x7F};
  }
  size_t needed = 0;
  // The range the first continuation byte must lie in; later ones are
  // always 80..BF.
  uint8_t low = 0x80;
  uint8_t high = 0xBF;
  if (InRange(lead, 0xC2, 0xDF)) {
    needed = 1;
  } else if (lead == 0xE0) {
    needed = 2;
    low = 0xA0;
  } else if (lead == 0xED) {
    needed = 2;
    high = 0x9F;
  } else if (InRange(lead, 0xE1, 0xEF)) {
    needed = 2;
  } else if (lead == 0xF0) {
    needed = 3;
    low = 0x90;
  } else if (lead == 0xF4) {
    needed = 3;
    high = 0x8F;
  } else if (InRange(lead, 0xF1, 0xF3)) {
    needed = 3;
  } else {
    return {1, false, false};
  }
  size_t length = 1;
  for (size_t k = 0; k < needed; ++k, ++length) {
    if (i + length >= bytes.size()) {
      return {length, false, false};
    }
    const auto next = static_cast<uint8_t>(bytes[i + length]);
    if (!InRange(next, k == 0 ? low : 0x80, k == 0 ? high : 0xBF)) {
      return {length, false, false};
    }
  }
  // C1 controls U+0080..U+009F are encoded as C2 80..C2 9F.
  const bool c1 = lead == 0xC2 && static_cast<uint8_t>(bytes[i + 1]) <= 0x9F;
  return {length, true, c1};
}

}  // namespace

std::string DisplayText(std::string_view bytes) {
  size_t i = 0;
  Step step;
  while (i < bytes.size()) {
    step = Decode(bytes, i);
    if (!step.valid || step.control) {
      break;
    }
    i += step.length;
  }
  if (i == bytes.size()) {
    return std::string(bytes);
  }

  std::string out;
  out.reserve(bytes.size() + 16);
  out.append(bytes.substr(0, i));
  while (i < bytes.size()) {
    step = Decode(bytes, i);
    if (!step.valid) {
      out.append(kReplacement);
    } else if (step.control) {
      if (bytes[i] == '\t') {
        out.append(kTab);
      }
    } else {
      out.append(bytes.substr(i, step.length));
    }
    i += step.length;
  }
  return out;
}

}  // namespace plimsy
