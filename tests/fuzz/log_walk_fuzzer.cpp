#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "log/walk.h"
#include "log/walk_feed.h"

// Reads arbitrary bytes as the records of git's walk: whole, one record,
// and the decorations of one; and through the walk's parser in pieces cut
// where the input's own bytes say, which must give the records the whole
// gives.
namespace {

bool Same(const plimsy::log::WalkRecord& a, const plimsy::log::WalkRecord& b) {
  const plimsy::Commit& x = a.commit;
  const plimsy::Commit& y = b.commit;
  return x.hash == y.hash && x.title == y.title && x.tree == y.tree &&
         x.authors == y.authors && x.description == y.description &&
         x.committers == y.committers && x.parents == y.parents &&
         a.walk_parents == b.walk_parents && a.labels == b.labels;
}

std::vector<plimsy::log::WalkRecord> TakeAll(plimsy::log::WalkParser& parser) {
  std::vector<plimsy::log::WalkRecord> records;
  parser.Take(records, parser.ready());
  return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  plimsy::Commit commit;
  std::vector<std::string> walk_parents;
  std::vector<plimsy::log::RefLabel> labels;
  plimsy::log::ParseLogRecord(text, commit, walk_parents, labels);
  plimsy::log::ParseDecorations(text);

  plimsy::log::WalkParser whole;
  whole.Read(text);
  whole.Finish();
  const std::vector<plimsy::log::WalkRecord> expected = TakeAll(whole);

  plimsy::log::WalkParser pieces;
  std::vector<plimsy::log::WalkRecord> read;
  for (size_t pos = 0, n = 0; pos < size; pos += n) {
    n = 1 + data[pos] % 32;
    pieces.Read(text.substr(pos, n));
    // Taken now and then, as the screen takes what it needs.
    if (data[pos] % 4 == 0) {
      for (plimsy::log::WalkRecord& record : TakeAll(pieces)) {
        read.push_back(std::move(record));
      }
    }
  }
  pieces.Finish();
  for (plimsy::log::WalkRecord& record : TakeAll(pieces)) {
    read.push_back(std::move(record));
  }
  if (read.size() != expected.size() ||
      !std::equal(read.begin(), read.end(), expected.begin(), Same)) {
    std::fprintf(stderr, "reading in pieces gave other records\n");
    std::abort();
  }
  return 0;
}
