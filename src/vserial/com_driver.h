#pragma once

// The virtual serial port driver: a byte queue between one writer (the
// program's playback) and one reader (another program). These ten functions
// are the whole interface of the driver library; its host calls them when a
// side opens, closes, writes or reads.
//
// Contexts are fixed 32-bit values so that a caller holding a stale or
// foreign value is refused rather than trusted.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

extern "C" {

// Clears the queue; returns the device context. The registry context of the
// service registration is not used.
std::uint32_t COM_Init(const char* registryContext);
// 0 for a wrong device context; else clears the queue and returns 1.
int COM_Deinit(std::uint32_t deviceContext);
// `access` is an open(2) access mode. Exactly O_WRONLY with share mode 0
// opens the writer; anything else opens the reader. Returns the side's open
// context, or 0 for a wrong device context or a side that is already open.
// Every successful open clears the queue.
std::uint32_t COM_Open(std::uint32_t deviceContext, std::uint32_t access, std::uint32_t shareMode);
// 0 unless `openContext` is an open side; else clears the queue, closes the
// side and returns 1.
int COM_Close(std::uint32_t openContext);
// Reader only (-1 otherwise). Never waits: 0 when nothing is queued, else up
// to `size` bytes, which may span the end of one write and the start of the
// next.
ssize_t COM_Read(std::uint32_t openContext, void* buffer, std::size_t size);
// Writer only (-1 otherwise). Queues the bytes as one block and returns
// `count`; -1 when the block cannot be allocated. A zero count queues nothing.
ssize_t COM_Write(std::uint32_t openContext, const void* bytes, std::size_t count);
// 0 for either open context, -1 otherwise; nothing moves.
std::int64_t COM_Seek(std::uint32_t openContext, std::int64_t amount, int type);
// Every control request on an open side succeeds with zeroed output, so a
// reader that configures the line or asks for status gets on with reading.
// 0 when the context is not an open side.
int COM_IOControl(std::uint32_t openContext, std::uint32_t code, const void* input,
                  std::size_t inputLength, void* output, std::size_t outputLength,
                  std::size_t* returnedLength);
void COM_PowerUp(std::uint32_t deviceContext);
void COM_PowerDown(std::uint32_t deviceContext);

}  // extern "C"

namespace orv {

// Returned by COM_Init, required by COM_Deinit and COM_Open.
inline constexpr std::uint32_t kComDeviceContext = 0xAB5B095Fu;
// The open contexts of the two sides; 0 means "not open".
inline constexpr std::uint32_t kComReaderContext = 0x3C4367FEu;
inline constexpr std::uint32_t kComWriterContext = 0xD1B2B0DAu;

// Share mode bits of COM_Open; the writer must ask for none of them.
inline constexpr std::uint32_t kComShareRead = 0x1u;
inline constexpr std::uint32_t kComShareWrite = 0x2u;

// Past this many unread bytes the oldest whole blocks are dropped, so that a
// playback running for days with nobody reading keeps a bounded footprint.
inline constexpr std::size_t kComQueueByteLimit = std::size_t{1} << 20;

// Unread bytes and blocks in the queue, for the host's status and for tests.
std::size_t ComQueuedBytes();
std::size_t ComQueuedBlocks();

}  // namespace orv
