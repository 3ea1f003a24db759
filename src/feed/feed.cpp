#include "feed/feed.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace plimsy {

std::function<void()> PostingWake(const Poster& post,
                                  std::function<void()> task) {
  if (!post) {
    return {};
  }
  return [post, task = std::move(task)] { post(task); };
}

std::string StoppedMessage(int status, std::string_view error) {
  const std::string_view first = error.substr(0, error.find('\n'));
  if (first.empty()) {
    return "git stopped: exit status " + std::to_string(status);
  }
  return "git stopped: " + std::string(first);
}

}  // namespace plimsy
