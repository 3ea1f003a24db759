#include "sys/fd.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace plimsy {
namespace {

struct Pipe {
  Fd read;
  Fd write;
};

Pipe MakePipe() {
  int fds[2];
  EXPECT_EQ(pipe2(fds, O_CLOEXEC), 0);
  return {Fd(fds[0]), Fd(fds[1])};
}

// What each descriptor holds before one ReadDescriptor call, and what the
// call should give.
struct ReadCase {
  const char* name;
  std::string data;
  bool data_ended;
  bool stopped;
  std::string side_data;
  bool side_ended;
  int timeout_ms;
  ReadResult result;
  std::string out;
  std::string side_out;
};

TEST(ReadDescriptorTest, ReadsStopsEndsAndServesTheSide) {
  const ReadCase cases[] = {
      {"data", "text", false, false, "", false, -1, ReadResult::kData, "text",
       ""},
      {"data then its end", "text", true, false, "", false, -1,
       ReadResult::kData, "text", ""},
      {"end", "", true, false, "", false, -1, ReadResult::kEnded, "", ""},
      {"nothing yet", "", false, false, "", false, 0, ReadResult::kTimedOut, "",
       ""},
      {"stop before data", "text", false, true, "", false, -1,
       ReadResult::kStopped, "", ""},
      {"side served first", "text", false, false, "side", false, -1,
       ReadResult::kData, "text", "side"},
      // The side is served to its end and no longer watched.
      {"side ended while waiting", "", false, false, "side", true, 0,
       ReadResult::kTimedOut, "", "side"},
      {"side ended, then the end", "", true, false, "side", true, -1,
       ReadResult::kEnded, "", "side"},
  };
  for (const ReadCase& c : cases) {
    Pipe data = MakePipe();
    Pipe stop = MakePipe();
    Pipe side = MakePipe();
    ASSERT_TRUE(WriteAll(data.write.get(), c.data));
    ASSERT_TRUE(WriteAll(side.write.get(), c.side_data));
    if (c.data_ended) {
      data.write.Reset();
    }
    if (c.side_ended) {
      side.write.Reset();
    }
    if (c.stopped) {
      ASSERT_TRUE(WriteAll(stop.write.get(), "x"));
    }
    std::string side_out;
    const SideRead serve_side = {side.read.get(), [&side, &side_out] {
                                   char buffer[64];
                                   const ssize_t n = read(
                                       side.read.get(), buffer, sizeof(buffer));
                                   if (n <= 0) {
                                     side.read.Reset();
                                   } else {
                                     side_out.append(buffer, n);
                                   }
                                   return side.read.get();
                                 }};
    std::string out;
    EXPECT_EQ(ReadDescriptor(data.read.get(), out, stop.read.get(),
                             c.timeout_ms, serve_side),
              c.result)
        << c.name;
    EXPECT_EQ(out, c.out) << c.name;
    EXPECT_EQ(side_out, c.side_out) << c.name;
  }
}

}  // namespace
}  // namespace plimsy
