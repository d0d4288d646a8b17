#pragma once

#include <cstddef>
#include <string>

namespace orv {

// The program's side of the port: it opens its own virtual port write-only,
// as the driver's single writer, and never reads from it.

// Connects to the writer endpoint of port `index` in `directory` and waits
// for the host to accept. Returns a descriptor to write to, or -1 with errno
// set: ENOENT or ECONNREFUSED when the port is not registered, EBUSY when
// another writer holds it, ETIMEDOUT when the host does not answer.
int OpenVirtualPortWriter(const std::string& directory, int index);

// The same in this session's port directory.
int OpenVirtualPortWriter(int index);

// Writes `size` bytes as one driver write (longer writes are cut into the
// largest pieces the endpoint takes). Blocks while the host is busy. False
// with errno set when the host has gone.
bool WriteToVirtualPort(int fd, const void* bytes, std::size_t size);

}  // namespace orv
