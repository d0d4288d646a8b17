#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace orv::cli {

// Streams of one invocation; tests pass string streams.
struct Io {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

using Args = std::vector<std::string>;
using CommandFn = int (*)(const Args& args, Io& io);

struct Command {
  std::string_view name;
  std::string_view summary;  // one line for the tool's --help
  std::string_view usage;    // the command's own --help text
  CommandFn run;
};

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Runs one command line (args excludes the program name).
int Run(const Args& args, Io& io);

// Prints "orvelle-cli NAME: MESSAGE" and the usage hint to io.err; returns kExitUsage.
int UsageError(const Command& command, std::string_view message, Io& io);

bool IsHelpFlag(std::string_view arg);

}  // namespace orv::cli
