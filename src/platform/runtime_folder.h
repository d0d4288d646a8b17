#pragma once

#include <string>

namespace orv {

// The folder of the files that live only while the user is logged in: the
// virtual serial ports the program publishes and the names under which its
// links find them. $XDG_RUNTIME_DIR/orvelle when that variable names an
// absolute path to an existing folder of this user; else /tmp/orvelle-UID,
// the one fallback every process of the user agrees on. Not created here:
// whoever creates it makes it 0700 and checks that it is the user's own.
std::string ProgramRuntimeFolder();

// The same with the environment given: null stands for an unset variable.
std::string ProgramRuntimeFolder(const char* xdgRuntimeDir);

}  // namespace orv
