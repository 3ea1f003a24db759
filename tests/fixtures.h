#ifndef PLIMSY_TESTS_FIXTURES_H_
#define PLIMSY_TESTS_FIXTURES_H_

#include <string>

#include "support.h"

namespace plimsy::testing {

// A name git quotes whatever core.quotePath says: a tab, double quotes, a
// backslash and blanks.
inline const std::string kOddName = "tab\there \"q\" back\\slash.txt";
// A name git quotes with the default core.quotePath: non-ASCII bytes.
inline const std::string kUnicodeName = "docs/\u65E5\u672C\u8A9E.txt";

// The two commits of CommitEveryKindOfChange.
struct ChangeFixture {
  std::string before;
  std::string after;
};

// Commits two states into `repo` (which has diff.renames set to "copies",
// as a user may, so that plain `git diff` finds the copy). From the first
// to the second, in git's order of paths:
//   added.txt          added
//   copy.txt           copied from source.txt, 100% similar
//   kUnicodeName       added
//   gone.txt           deleted
//   image.bin          binary, changed
//   keep.txt           line 2 changed
//   new name.txt       renamed from "old name.txt", 100% similar
//   run.sh             mode 100644 -> 100755, content unchanged
//   source.txt         a line added at its end
//   kOddName           a line added
// The working tree is left clean.
ChangeFixture CommitEveryKindOfChange(TempRepo& repo);

}  // namespace plimsy::testing

#endif  // PLIMSY_TESTS_FIXTURES_H_
