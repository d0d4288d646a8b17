#include "comm/fd_byte_stream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ostream>

namespace orv {
namespace {

// Makes a connected pair: [0] is written to, [1] is the reading side.
using PairMaker = bool (*)(int ends[2]);

struct HungUpCase {
  const char* legend;
  PairMaker makePair;
};

void PrintTo(const HungUpCase& row, std::ostream* out) {
  *out << row.legend;
}

// What the child tells its parent through its exit status.
enum ChildVerdict : int {
  kFailedWithEpipe = 0,
  kWriteDidNotFail = 1,
  kOtherError = 2,
  kNoPair = 3
};

// In a child whose SIGPIPE has its default action and is not blocked, as in
// a program that never touched it: writes to a descriptor whose reader has
// gone. A raised SIGPIPE would end the child by that signal.
int WriteToHungUpPeerInChild(PairMaker makePair) {
  signal(SIGPIPE, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  int ends[2];
  if (!makePair(ends)) return kNoPair;
  fcntl(ends[0], F_SETFL, fcntl(ends[0], F_GETFL) | O_NONBLOCK);
  close(ends[1]);
  FdByteStream stream(ends[0], ECONNRESET);
  const IoResult result = stream.Write("$GPGLL,4807.038,N,01131.000,E,123519,A,A*5D\r\n");
  if (result.status != IoStatus::kFailed) return kWriteDidNotFail;
  return result.error == EPIPE ? kFailedWithEpipe : kOtherError;
}

class FdByteStreamHungUpTest : public testing::TestWithParam<HungUpCase> {};

TEST_P(FdByteStreamHungUpTest, WriteFailsWithEpipeAndRaisesNoSignal) {
  const pid_t child = fork();
  ASSERT_GE(child, 0) << std::strerror(errno);
  if (child == 0) _exit(WriteToHungUpPeerInChild(GetParam().makePair));
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_FALSE(WIFSIGNALED(status)) << "ended by signal " << WTERMSIG(status);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kFailedWithEpipe);
}

INSTANTIATE_TEST_SUITE_P(
    Peers, FdByteStreamHungUpTest,
    testing::Values(
        // A Bluetooth connection or gpsd's TCP connection.
        HungUpCase{"stream_socket",
                   [](int ends[2]) { return socketpair(AF_UNIX, SOCK_STREAM, 0, ends) == 0; }},
        // The writer endpoint of the program's own virtual port.
        HungUpCase{"seqpacket_socket",
                   [](int ends[2]) { return socketpair(AF_UNIX, SOCK_SEQPACKET, 0, ends) == 0; }},
        // A named pipe given as the port: pipes have no send flag.
        HungUpCase{"pipe",
                   [](int ends[2]) {
                     int fds[2];
                     if (pipe(fds) != 0) return false;
                     ends[0] = fds[1];
                     ends[1] = fds[0];
                     return true;
                   }}),
    [](const testing::TestParamInfo<HungUpCase>& info) { return std::string(info.param.legend); });

}  // namespace
}  // namespace orv
