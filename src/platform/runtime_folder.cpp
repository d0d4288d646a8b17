#include "platform/runtime_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace orv {
namespace {

// A runtime folder the session handed over is used only when it is really
// this user's: under sudo or su it may still name the invoking user's one.
bool IsOwnFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid();
}

}  // namespace

std::string ProgramRuntimeFolder() {
  return ProgramRuntimeFolder(std::getenv("XDG_RUNTIME_DIR"));
}

std::string ProgramRuntimeFolder(const char* xdgRuntimeDir) {
  std::string_view given = xdgRuntimeDir != nullptr ? xdgRuntimeDir : "";
  while (given.size() > 1 && given.back() == '/') given.remove_suffix(1);
  if (!given.empty() && given.front() == '/') {
    const std::string folder(given);
    if (IsOwnFolder(folder)) return (folder == "/" ? "" : folder) + "/orvelle";
  }
  return "/tmp/orvelle-" + std::to_string(getuid());
}

}  // namespace orv
