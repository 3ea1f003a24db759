#include "log/screen.h"

#include <iostream>

namespace plimsy::log {

int main(int, const char**) {
  std::cout << "plimsy log is not available yet" << std::endl;
  return 0;
}

}  // namespace plimsy::log
