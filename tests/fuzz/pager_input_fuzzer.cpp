#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "app/input_sniffer.h"
#include "diff/strip_colour.h"

// What the pager reads on standard input, arbitrary bytes: the colour
// sequences taken out, and the sniffing that tells a diff from other text.
// Both read the input in pieces, cut where its own bytes say, and must
// come to what they make of it whole.
namespace {

plimsy::InputKind Sniff(plimsy::InputSniffer& sniffer, std::string_view text) {
  if (const std::optional<plimsy::InputKind> kind = sniffer.Read(text)) {
    return *kind;
  }
  return sniffer.Finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string whole;
  plimsy::ColourStripper().Strip(text, whole);
  plimsy::InputSniffer whole_sniffer;
  const plimsy::InputKind kind = Sniff(whole_sniffer, text);

  plimsy::ColourStripper stripper;
  plimsy::InputSniffer sniffer;
  std::string stripped;
  std::optional<plimsy::InputKind> sniffed;
  for (size_t pos = 0, n = 0; pos < size; pos += n) {
    n = 1 + data[pos] % 16;
    const std::string_view piece = text.substr(pos, n);
    stripper.Strip(piece, stripped);
    if (!sniffed) {
      sniffed = sniffer.Read(piece);
    }
  }
  if (stripped != whole) {
    std::fprintf(stderr, "stripping in pieces gave another text\n");
    std::abort();
  }
  if (sniffed.value_or(sniffer.Finish()) != kind) {
    std::fprintf(stderr, "sniffing in pieces gave another kind\n");
    std::abort();
  }
  return 0;
}
