#include <string>
#include <string_view>

#include "feed/feed.h"

namespace plimsy {

std::string StoppedMessage(int status, std::string_view error) {
  const std::string_view first = error.substr(0, error.find('\n'));
  if (first.empty()) {
    return "git stopped: exit status " + std::to_string(status);
  }
  return "git stopped: " + std::string(first);
}

}  // namespace plimsy
