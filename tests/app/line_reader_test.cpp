#include "app/line_reader.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace orv {
namespace {

using namespace std::string_literals;

// An anonymous in-memory file holding `bytes`, read from its start.
class MemoryFile {
 public:
  explicit MemoryFile(const std::string& bytes) : fd_(memfd_create("line_reader_test", 0)) {
    EXPECT_GE(fd_, 0);
    EXPECT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    lseek(fd_, 0, SEEK_SET);
  }
  ~MemoryFile() { close(fd_); }
  int fd() const { return fd_; }

 private:
  int fd_;
};

std::vector<std::string> ReadAll(const std::string& bytes, size_t block, size_t max_line) {
  MemoryFile file(bytes);
  LineReader reader(file.fd(), block, max_line);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.Next(line)) lines.emplace_back(line);
  EXPECT_FALSE(reader.ReadFailed());
  return lines;
}

struct LineCase {
  const char* legend;
  std::string input;
  std::vector<std::string> lines;
  size_t max_line = LineReader::kDefaultMaxLineBytes;
};

TEST(LineReader, HandsOnLinesWithCrLfWhateverTheBlockSize) {
  const LineCase cases[] = {
      {"CR LF kept", "$GPA*00\r\n$GPB\r\n", {"$GPA*00\r\n", "$GPB\r\n"}},
      {"LF only gets CR LF", "$GPA\n$GPB\n", {"$GPA\r\n", "$GPB\r\n"}},
      {"mixed line ends", "a\nb\r\nc\n", {"a\r\n", "b\r\n", "c\r\n"}},
      {"last line without LF as it is", "a\r\nb", {"a\r\n", "b"}},
      {"last line ending in a bare CR", "a\r", {"a\r"}},
      {"empty file", "", {}},
      {"empty lines", "\n\r\n\n", {"\r\n", "\r\n", "\r\n"}},
      {"NUL bytes pass through", "$G\0PS\n\0\r\n"s, {"$G\0PS\r\n"s, "\0\r\n"s}},
      {"CR inside a line stays", "a\rb\n", {"a\rb\r\n"}},
      {"only the CR before LF is the line end", "a\r\r\n", {"a\r\r\n"}},
      {"overlong line cut to the cap", "0123456789\nok\n", {"01234567\r\n", "ok\r\n"}, 8},
      {"line of exactly the cap", "01234567\r\nok\n", {"01234567\r\n", "ok\r\n"}, 8},
      {"one over the cap with CR LF", "012345678\r\n", {"01234567\r\n"}, 8},
      {"CR within the cap is text", "0123456\r9\n", {"0123456\r\r\n"}, 8},
      {"overlong last line without LF", "0123456789abc", {"01234567"}, 8},
  };
  for (const auto& c : cases) {
    for (size_t block : {1, 2, 3, 5, 16, 4096}) {
      SCOPED_TRACE(std::string(c.legend) + ", block " + std::to_string(block));
      EXPECT_EQ(ReadAll(c.input, block, c.max_line), c.lines);
    }
  }
}

TEST(LineReader, BinaryFileWithoutLineEndsKeepsOnlyTheCap) {
  std::string binary(3 * 1024 * 1024, '\x7f');
  binary += "\n$GPOK\n";
  const auto lines = ReadAll(binary, 64 * 1024, 4096);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 4096u + 2);
  EXPECT_EQ(lines[1], "$GPOK\r\n");
}

TEST(LineReader, ReadErrorEndsTheInputAndIsReported) {
  LineReader reader(-1);
  std::string_view line;
  EXPECT_FALSE(reader.Next(line));
  EXPECT_TRUE(reader.ReadFailed());
}

}  // namespace
}  // namespace orv
