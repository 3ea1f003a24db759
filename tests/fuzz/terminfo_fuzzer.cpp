#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sys/terminfo.h"

// Reads arbitrary bytes as a compiled terminfo entry, whose counts and
// offsets the file itself gives: whatever they say, reading must stay
// within the bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plimsy::EntryCursorAddressing(
      std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
