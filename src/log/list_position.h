#ifndef PLIMSY_LOG_LIST_POSITION_H_
#define PLIMSY_LOG_LIST_POSITION_H_

#include <cstddef>
#include <string>

namespace plimsy::log {

// `number` with its thousands grouped, "81 966".
std::string Grouped(std::size_t number);

// Where the selection is in the list, "87 of 81 966", counted from 1 and
// with thousands grouped; the total is "1 200+" while the list is still
// `growing`.
std::string ListPosition(int selected, std::size_t total, bool growing);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_LIST_POSITION_H_
