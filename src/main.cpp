#include "app/commands.h"

int main(int argc, const char** argv) {
  return plimsy::Dispatch(argc, argv);
}
