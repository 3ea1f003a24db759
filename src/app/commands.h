#ifndef PLIMSY_APP_COMMANDS_H_
#define PLIMSY_APP_COMMANDS_H_

namespace plimsy {

// Each command takes the arguments that follow its command word.
int PrintHelp(int argc, const char** argv);
int PrintVersion(int argc, const char** argv);
int GitFallback(int argc, const char** argv);

// Chooses the command from argv[1] and returns its exit status.
int Dispatch(int argc, const char** argv);

}  // namespace plimsy

#endif  // PLIMSY_APP_COMMANDS_H_
