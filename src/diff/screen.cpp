#include "diff/screen.h"

#include <iostream>

namespace plimsy::diff {

int main(int, const char**) {
  std::cout << "plimsy diff is not available yet" << std::endl;
  return 0;
}

}  // namespace plimsy::diff
