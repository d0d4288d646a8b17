#pragma once

#include <cstddef>

namespace orv {

// Asks the kernel to back a large buffer with huge pages before it is first
// written: a document or track of megabytes otherwise costs thousands of
// page faults, which on virtual machines take longer than the work done in
// the memory. A hint only; buffers under two megabytes are left alone.
void AdviseLargeBuffer(void* data, size_t bytes);

}  // namespace orv
