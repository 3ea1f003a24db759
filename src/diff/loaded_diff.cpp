#include "diff/loaded_diff.h"

#include <utility>

#include "diff/file_labels.h"
#include "diff/pairing.h"

namespace plimsy {
namespace {

// The list's entry of `file`: set in under the description it belongs to.
std::string Entry(const LoadedDiff& diff, const File& file) {
  const bool set_in = diff.grouped && file.status != FileStatus::kDescription;
  return (set_in ? "  " : "") + FileEntry(file);
}

void Append(LoadedDiff& diff, LoadedFile loaded) {
  diff.grouped =
      diff.grouped || loaded.part.file.status == FileStatus::kDescription;
  diff.names.push_back(Entry(diff, loaded.part.file));
  diff.files.push_back(std::move(loaded.part.file));
  diff.split_rows.push_back(std::move(loaded.split_rows));
  diff.render_caches.emplace_back();
  diff.ends.push_back(loaded.end);
}

// Joins a part to the last file: the hunk it goes on with, or whose last
// line it marks, is counted again; its other hunks came counted.
void Join(LoadedDiff& diff, LoadedFile loaded) {
  File& file = diff.files.back();
  std::vector<int>& rows = diff.split_rows.back();
  diff.ends.back() = loaded.end;
  const std::size_t joined = file.hunks.size() - 1;
  const bool marks = loaded.part.marks_last_line;
  auto counted = loaded.split_rows.begin();
  const bool joins_hunk = JoinPart(file, std::move(loaded.part));
  if (joins_hunk) {
    ++counted;
  }
  if ((joins_hunk || marks) && joined < rows.size()) {
    rows[joined] = SplitRowCount(file.hunks[joined]);
  }
  rows.insert(rows.end(), counted, loaded.split_rows.end());
  diff.names.back() = Entry(diff, file);
  diff.render_caches.back() = RenderCache();
}

}  // namespace

void ClearDiff(LoadedDiff& diff) {
  diff.load.reset();
  diff.loading = false;
  diff.files.clear();
  diff.names = diff.leading;
  diff.split_rows.clear();
  diff.render_caches.clear();
  diff.ends.clear();
  diff.grouped = false;
}

std::function<void()> NextLoadWake(LoadedDiff& diff,
                                   const Poster& post,
                                   std::function<void()> take) {
  const int request = diff.request + 1;
  return PostingWake(post, [take = std::move(take), &diff, request] {
    if (diff.request == request) {
      take();
    }
  });
}

void StartLoad(LoadedDiff& diff, std::unique_ptr<DiffFeed> load) {
  ClearDiff(diff);
  ++diff.request;
  diff.load = std::move(load);
  diff.loading = true;
}

bool TakeLoaded(LoadedDiff& diff, const std::function<void(LoadEnd)>& ended) {
  if (diff.load == nullptr) {
    return false;
  }
  DiffFeed::Update update = diff.load->Take();
  if (update.empty()) {
    return false;
  }
  for (LoadedFile& loaded : update.records) {
    if (loaded.part.joins && !diff.files.empty()) {
      Join(diff, std::move(loaded));
    } else {
      Append(diff, std::move(loaded));
    }
  }
  if (update.ended) {
    diff.loading = false;
    diff.load.reset();
    if (ended) {
      ended({update.status, std::move(update.error)});
    }
  }
  return true;
}

void SettleLoad(LoadedDiff& diff,
                bool briefly,
                const std::function<void(LoadEnd)>& ended) {
  if (diff.load != nullptr) {
    diff.load->WaitForEnd(briefly ? DiffFeed::Clock::now() + kSettleTime
                                  : DiffFeed::Clock::time_point::max());
    TakeLoaded(diff, ended);
  }
}

void TakeFirst(LoadedDiff& diff,
               const std::function<void(LoadEnd)>& ended,
               DiffFeed::Clock::time_point deadline) {
  if (diff.load != nullptr) {
    diff.load->WaitForFirst(deadline);
    TakeLoaded(diff, ended);
  }
}

int StepEntry(const LoadedDiff& diff, int from, bool forward) {
  const int count = static_cast<int>(diff.files.size());
  for (int i = from + (forward ? 1 : -1); i >= 0 && i < count;
       i += forward ? 1 : -1) {
    if (!diff.grouped || diff.files[i].status == FileStatus::kDescription) {
      return i;
    }
  }
  return -1;
}

const File* FileAt(const LoadedDiff& diff, int index) {
  if (index < 0 || index >= static_cast<int>(diff.files.size())) {
    return nullptr;
  }
  return &diff.files[index];
}

}  // namespace plimsy
