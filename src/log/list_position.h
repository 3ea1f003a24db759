#ifndef PLIMSY_LOG_LIST_POSITION_H_
#define PLIMSY_LOG_LIST_POSITION_H_

#include <cstddef>
#include <string>

namespace plimsy::log {

// Where the selection is in the list, "87 of 81 966", counted from 1 and
// with thousands grouped; the total is "1 200+" while the list is still
// `growing`.
std::string ListPosition(int selected, std::size_t total, bool growing);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_LIST_POSITION_H_
