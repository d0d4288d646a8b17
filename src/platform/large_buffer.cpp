#include "platform/large_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace orv {

void AdviseLargeBuffer(void* data, size_t bytes) {
  static const auto kPage = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  constexpr size_t kWorthIt = 2u << 20;
  if (bytes < kWorthIt) return;
  const auto begin = (reinterpret_cast<uintptr_t>(data) + kPage - 1) & ~(kPage - 1);
  const auto end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kPage - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace orv
