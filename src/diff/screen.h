#ifndef PLIMSY_DIFF_SCREEN_H_
#define PLIMSY_DIFF_SCREEN_H_

namespace plimsy::diff {

// The diff viewer; takes the arguments that follow "diff", which are handed
// on to git diff.
int main(int argc, const char** argv);

}  // namespace plimsy::diff

#endif  // PLIMSY_DIFF_SCREEN_H_
