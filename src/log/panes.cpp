#include "log/panes.h"

#include <utility>

namespace plimsy::log {
namespace {

// The commit list grows faster than the window past its first cells, so
// that a wide window shows a whole title of 60 characters beside the
// graph, the hash, the date and the author, while the content keeps a
// third of any window.
constexpr WidthRule kCommitsRule = {.share = 0.7,
                                    .kept = 47,
                                    .least = 18,
                                    .most = 130,
                                    .most_share = 0.56};
// Of what the commit list leaves.
constexpr WidthRule kFilesRule = {.share = 0.25,
                                  .least = 25,
                                  .most = 40,
                                  .most_share = 0.35};

}  // namespace

PaneRowParts Panes(State& state,
                   ftxui::Component commits_pane,
                   ftxui::Component files_pane,
                   ftxui::Component content_pane) {
  return PaneRow({{std::move(commits_pane), kCommitsRule, &state.commits_width},
                  {std::move(files_pane), kFilesRule},
                  {std::move(content_pane)}});
}

}  // namespace plimsy::log
