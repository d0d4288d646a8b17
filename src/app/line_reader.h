#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace orv {

// Cuts a file descriptor's bytes into lines, reading large blocks so that a day-long track
// file loads without a system call per line.
//
// Every line is handed on with its line end as a receiver sends it: a line ending in LF
// alone gets CR LF (files copied to or stored on Linux lose the CR), a line already ending
// in CR LF is unchanged, a last line without LF is handed on as it is. At most
// `max_line_bytes` of a line's text are kept; the rest of an overlong line (a binary file
// without LF for megabytes) is dropped, so memory stays bounded. The result never depends
// on the block size.
class LineReader {
 public:
  static constexpr size_t kDefaultBlockBytes = 256 * 1024;
  // Far above any sentence (82 characters), so only garbage is cut.
  static constexpr size_t kDefaultMaxLineBytes = 4096;

  // Does not take ownership of `fd`.
  explicit LineReader(int fd, size_t block_bytes = kDefaultBlockBytes,
                      size_t max_line_bytes = kDefaultMaxLineBytes);

  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next line, valid until the following call; false at the end of the input or after
  // a read error.
  bool Next(std::string_view& line);

  // True when reading stopped because read(2) failed rather than at the end of the file.
  bool ReadFailed() const { return read_failed_; }

 private:
  // Refills the block; false at the end of the input.
  bool Fill();
  // Appends raw bytes of the current line to the kept part, dropping what exceeds the cap.
  void Keep(const char* bytes, size_t count);
  // The kept line with its line end restored.
  std::string_view FinishKeptLine(bool ended_by_lf);

  int fd_;
  std::vector<char> block_;
  size_t begin_ = 0;  // first unread byte of the block
  size_t end_ = 0;    // one past the last valid byte of the block
  bool at_end_ = false;
  bool read_failed_ = false;

  size_t max_line_bytes_;
  // The kept part of a line that spans blocks or needs its line end rewritten; one byte
  // beyond the cap tells an overlong line from one of exactly the cap, two more hold CR LF.
  std::vector<char> line_;
  size_t line_size_ = 0;
  bool line_open_ = false;  // bytes of the current line have been kept
  bool last_byte_cr_ = false;
};

}  // namespace orv
