#include <cstddef>
#include <cstdint>

#include "read_diff.h"

// The parsing of parse_diff_fuzzer without the drawing, which costs the
// most there: many more inputs a second reach the parser.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plimsy::fuzz::ParseEveryWay(data, size);
  return 0;
}
