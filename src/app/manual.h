#ifndef PLIMSY_APP_MANUAL_H_
#define PLIMSY_APP_MANUAL_H_

namespace plimsy {

// Opens the manual page plimsy(1) with man: the page installed with this
// executable (<prefix>/share/man/man1 beside <prefix>/bin), else the one
// man finds. When man or the page is missing, prints the usage text
// instead. Returns 0.
int ShowManual();

}  // namespace plimsy

#endif  // PLIMSY_APP_MANUAL_H_
