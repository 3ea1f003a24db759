#include "log/list_position.h"

namespace plimsy::log {

std::string Grouped(std::size_t number) {
  std::string digits = std::to_string(number);
  for (std::size_t at = digits.size(); at > 3; at -= 3) {
    digits.insert(at - 3, " ");
  }
  return digits;
}

std::string ListPosition(int selected, std::size_t total, bool growing) {
  return Grouped(static_cast<std::size_t>(selected) + 1) + " of " +
         Grouped(total) + (growing ? "+" : "");
}

}  // namespace plimsy::log
