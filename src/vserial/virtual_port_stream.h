#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "comm/byte_stream.h"
#include "comm/fd_byte_stream.h"

namespace orv {

// The program's own virtual port as the device of a serial destination: the
// writer endpoint of the port, opened write-only as the driver's single
// writer. Each Write reaches the driver as one write (cut only past the
// largest message the endpoint takes); nothing is ever read from it.
class VirtualPortStream : public FdByteStream {
 public:
  // Null with `error` set: ENOENT or ECONNREFUSED when port `index` is not
  // registered, EBUSY when another writer has it.
  static std::unique_ptr<VirtualPortStream> Open(const std::string& directory, int index,
                                                 int& error);
  // In this session's port directory.
  static std::unique_ptr<VirtualPortStream> Open(int index, int& error);

  IoResult Write(std::string_view bytes) override;
  bool TakesReceiverCommands() const override { return false; }

 private:
  explicit VirtualPortStream(int fd);
};

}  // namespace orv
