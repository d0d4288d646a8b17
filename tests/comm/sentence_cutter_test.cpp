#include "comm/sentence_cutter.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "nmea/nmea_parser.h"
#include "nmea/nmea_sentence.h"
#include "pty_support.h"

namespace orv {
namespace {

using Lines = std::vector<std::string>;

// A framed sentence of exactly `length` bytes: "$GNTXT," text "*hh" CR LF.
std::string SentenceOfLength(size_t length, char filler = 'x') {
  NmeaSentence sentence(std::string("$GNTXT,") + std::string(length - 12, filler));
  sentence.Finish();
  return sentence.Text();
}

Lines CutInChunks(std::string_view stream, size_t chunk) {
  SentenceCutter cutter;
  Lines lines;
  for (size_t at = 0; at < stream.size(); at += chunk) {
    cutter.Feed(stream.substr(at, chunk), [&](std::string_view line) { lines.emplace_back(line); });
  }
  return lines;
}

struct CutCase {
  const char* legend;
  std::string stream;
  Lines lines;
};

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";

class SentenceCutting : public ::testing::TestWithParam<CutCase> {};

TEST_P(SentenceCutting, HandsOnEachLineWhenTheNextDollarArrives) {
  const CutCase& c = GetParam();
  for (size_t chunk : {size_t{1}, size_t{7}, size_t{64}, size_t{4096}}) {
    EXPECT_EQ(CutInChunks(c.stream, chunk), c.lines) << c.legend << ", chunks of " << chunk;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SentenceCutting,
    ::testing::Values(
        CutCase{"leading garbage is skipped", "xx" + kGga + kRmc, {kGga}},
        CutCase{"the last line waits for the next dollar", kGga, {}},
        CutCase{"run-on sentences", kGga + kRmc + kGga + "$", {kGga, kRmc, kGga}},
        CutCase{"lines without line ends are cut at the dollar",
                "$GPGGA,1$GPRMC,2$",
                {"$GPGGA,1", "$GPRMC,2"}},
        CutCase{"a dollar alone is a line", "$$$", {"$", "$"}},
        CutCase{"90 characters without a dollar are skipped",
                std::string(90, 'x') + kGga + "$",
                {kGga}},
        CutCase{"a line of 128 characters is whole",
                SentenceOfLength(128) + "$",
                {SentenceOfLength(128)}},
        CutCase{"a line of 129 characters is dropped", SentenceOfLength(129) + kRmc + "$", {kRmc}},
        CutCase{"what follows an overlong line is skipped up to the next dollar",
                "$" + std::string(300, 'y') + "\r\n" + kRmc + "$",
                {kRmc}},
        CutCase{"bytes of any value pass through",
                std::string("$A\0\xff\r\n$", 7),
                {std::string("$A\0\xff\r\n", 6)}},
        CutCase{"nothing", "", {}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// A receiver's stream with noise: sentences of many lengths, some too long,
// garbage between them, CR LF lost here and there.
std::string NoisyStream() {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> length(12, 140);
  std::uniform_int_distribution<int> noise(0, 9);
  std::string stream;
  for (int i = 0; i < 400; ++i) {
    std::string sentence = SentenceOfLength(static_cast<size_t>(length(random)));
    switch (noise(random)) {
      case 0:
        stream += "\x01\x7f garbage ";
        break;
      case 1:
        sentence.resize(sentence.size() - 2);
        break;
      default:
        break;
    }
    stream += sentence;
  }
  return stream + "$";
}

TEST(SentenceCutter, ChunkingNeverChangesTheLines) {
  const std::string stream = NoisyStream();
  const Lines byteByByte = CutInChunks(stream, 1);
  // Every sentence up to the limit arrives; those above it do not.
  ASSERT_GT(byteByByte.size(), 300u);
  for (const std::string& line : byteByByte) {
    EXPECT_LE(line.size(), SentenceCutter::kMaxLineLength);
    EXPECT_EQ(line.front(), '$');
  }
  for (size_t chunk : {size_t{7}, size_t{64}, size_t{4096}, stream.size()}) {
    EXPECT_EQ(CutInChunks(stream, chunk), byteByByte) << "chunks of " << chunk;
  }
}

// Sentences of 83 to 128 bytes sent through a pseudo-terminal, read back one
// byte per read(2) as a receiving thread reads its port.
TEST(SentenceCutter, LongSentencesCrossAPseudoTerminalIntact) {
  test::PtyPair pty;
  ASSERT_TRUE(pty.IsOpen()) << pty.Error();

  Lines sent;
  std::string stream;
  for (size_t length = 83; length <= kMaxReadLineLength; ++length) {
    sent.push_back(SentenceOfLength(length, static_cast<char>('a' + length % 26)));
    stream += sent.back();
  }
  stream += "$";  // completes the last sentence

  SentenceCutter cutter;
  Lines received;
  size_t written = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (received.size() < sent.size()) {
    const int wait = test::MillisecondsUntil(deadline);
    ASSERT_GT(wait, 0) << "only " << received.size() << " of " << sent.size() << " arrived";
    pollfd fds[2] = {{pty.Slave(), POLLIN, 0},
                     {pty.Master(), static_cast<short>(written < stream.size() ? POLLOUT : 0), 0}};
    ASSERT_GE(poll(fds, 2, wait), 0) << errno;
    if ((fds[1].revents & POLLOUT) != 0) {
      const size_t piece = std::min<size_t>(stream.size() - written, 100);
      const ssize_t n = write(pty.Master(), stream.data() + written, piece);
      if (n > 0) written += static_cast<size_t>(n);
    }
    if ((fds[0].revents & POLLIN) != 0) {
      char byte;
      while (read(pty.Slave(), &byte, 1) == 1) {
        if (const auto line = cutter.Feed(byte)) received.emplace_back(*line);
      }
    }
  }

  EXPECT_EQ(received, sent);
  for (const std::string& line : received) {
    EXPECT_TRUE(NmeaParser::IsGoodSentence(line)) << line;
    EXPECT_EQ(NmeaSentence(line).IsChecksumBad(), NmeaBoolean::kFalse) << line;
  }
}

}  // namespace
}  // namespace orv
