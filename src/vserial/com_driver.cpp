#include "vserial/com_driver.h"

#include <fcntl.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>
#include <new>

namespace orv {
namespace {

// One write, kept whole until it has been read or dropped.
struct Block {
  std::unique_ptr<char[]> bytes;
  std::uint32_t length = 0;
};

// The one driver instance of the library. The writer's and the reader's
// calls arrive on different threads, so every entry point that touches the
// queue or the open contexts holds the lock.
struct Driver {
  std::mutex mutex;
  std::uint32_t readerContext = 0;
  std::uint32_t writerContext = 0;
  std::deque<Block> queue;
  std::uint32_t readOffset = 0;  // bytes of the front block already delivered
  std::size_t queuedBytes = 0;   // unread bytes over all blocks

  void Clear() {
    queue.clear();
    readOffset = 0;
    queuedBytes = 0;
  }

  void DropFront() {
    queuedBytes -= queue.front().length - readOffset;
    queue.pop_front();
    readOffset = 0;
  }
};

Driver& TheDriver() {
  static Driver driver;
  return driver;
}

// The library's description, kept in the binary where tools that list
// strings find it.
[[maybe_unused]] __attribute__((used)) const char kDriverDescription[] =
    "Virtual Serial Port Driver";

}  // namespace

std::size_t ComQueuedBytes() {
  Driver& d = TheDriver();
  std::lock_guard lock(d.mutex);
  return d.queuedBytes;
}

std::size_t ComQueuedBlocks() {
  Driver& d = TheDriver();
  std::lock_guard lock(d.mutex);
  return d.queue.size();
}

}  // namespace orv

using orv::kComDeviceContext;
using orv::kComReaderContext;
using orv::kComWriterContext;

extern "C" {

std::uint32_t COM_Init(const char* /*registryContext*/) {
  orv::Driver& d = orv::TheDriver();
  std::lock_guard lock(d.mutex);
  d.Clear();
  return kComDeviceContext;
}

int COM_Deinit(std::uint32_t deviceContext) {
  if (deviceContext != kComDeviceContext) return 0;
  orv::Driver& d = orv::TheDriver();
  std::lock_guard lock(d.mutex);
  d.Clear();
  return 1;
}

std::uint32_t COM_Open(std::uint32_t deviceContext, std::uint32_t access, std::uint32_t shareMode) {
  if (deviceContext != kComDeviceContext) return 0;
  const bool writer = access == static_cast<std::uint32_t>(O_WRONLY) && shareMode == 0;
  orv::Driver& d = orv::TheDriver();
  std::lock_guard lock(d.mutex);
  std::uint32_t& side = writer ? d.writerContext : d.readerContext;
  if (side != 0) return 0;
  side = writer ? kComWriterContext : kComReaderContext;
  d.Clear();
  return side;
}

int COM_Close(std::uint32_t openContext) {
  orv::Driver& d = orv::TheDriver();
  std::lock_guard lock(d.mutex);
  std::uint32_t* side = nullptr;
  if (openContext == kComReaderContext && d.readerContext == openContext) side = &d.readerContext;
  if (openContext == kComWriterContext && d.writerContext == openContext) side = &d.writerContext;
  if (side == nullptr) return 0;
  d.Clear();
  *side = 0;
  return 1;
}

ssize_t COM_Read(std::uint32_t openContext, void* buffer, std::size_t size) {
  orv::Driver& d = orv::TheDriver();
  std::lock_guard lock(d.mutex);
  if (openContext != kComReaderContext || d.readerContext != openContext) return -1;
  if (buffer == nullptr && size != 0) return -1;
  size = std::min<std::size_t>(size, std::numeric_limits<ssize_t>::max());
  char* out = static_cast<char*>(buffer);
  std::size_t delivered = 0;
  while (size > 0 && !d.queue.empty()) {
    const orv::Block& front = d.queue.front();
    const std::size_t left = front.length - d.readOffset;
    if (size < left) {
      std::memcpy(out + delivered, front.bytes.get() + d.readOffset, size);
      d.readOffset += static_cast<std::uint32_t>(size);
      d.queuedBytes -= size;
      delivered += size;
      break;
    }
    std::memcpy(out + delivered, front.bytes.get() + d.readOffset, left);
    delivered += left;
    size -= left;
    d.DropFront();
  }
  return static_cast<ssize_t>(delivered);
}

ssize_t COM_Write(std::uint32_t openContext, const void* bytes, std::size_t count) {
  orv::Driver& d = orv::TheDriver();
  std::lock_guard lock(d.mutex);
  if (openContext != kComWriterContext || d.writerContext != openContext) return -1;
  if (count == 0) return 0;  // an empty block would stall the reader's walk
  if (bytes == nullptr || count > std::numeric_limits<std::uint32_t>::max()) return -1;
  orv::Block block;
  block.bytes.reset(new (std::nothrow) char[count]);
  if (!block.bytes) return -1;
  std::memcpy(block.bytes.get(), bytes, count);
  block.length = static_cast<std::uint32_t>(count);
  try {
    d.queue.push_back(std::move(block));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  d.queuedBytes += count;
  // Nobody is draining: keep the newest data, drop the oldest whole writes.
  while (d.queuedBytes > orv::kComQueueByteLimit && d.queue.size() > 1) d.DropFront();
  return static_cast<ssize_t>(count);
}

std::int64_t COM_Seek(std::uint32_t openContext, std::int64_t /*amount*/, int /*type*/) {
  orv::Driver& d = orv::TheDriver();
  std::lock_guard lock(d.mutex);
  const bool open = (openContext == kComReaderContext && d.readerContext == openContext) ||
                    (openContext == kComWriterContext && d.writerContext == openContext);
  return open ? 0 : -1;
}

int COM_IOControl(std::uint32_t openContext, std::uint32_t /*code*/, const void* /*input*/,
                  std::size_t /*inputLength*/, void* output, std::size_t outputLength,
                  std::size_t* returnedLength) {
  {
    orv::Driver& d = orv::TheDriver();
    std::lock_guard lock(d.mutex);
    const bool open = (openContext == kComReaderContext && d.readerContext == openContext) ||
                      (openContext == kComWriterContext && d.writerContext == openContext);
    if (!open) return 0;
  }
  if (output != nullptr && outputLength > 0) std::memset(output, 0, outputLength);
  if (returnedLength != nullptr) *returnedLength = 0;
  return 1;
}

void COM_PowerUp(std::uint32_t /*deviceContext*/) {}

void COM_PowerDown(std::uint32_t /*deviceContext*/) {}

}  // extern "C"
