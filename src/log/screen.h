#ifndef PLIMSY_LOG_SCREEN_H_
#define PLIMSY_LOG_SCREEN_H_

namespace plimsy::log {

// The commit browser; its arguments are ignored.
int main(int argc, const char** argv);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_SCREEN_H_
