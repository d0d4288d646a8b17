#include "cli/cli.h"

#include <ostream>

#include "cli/commands.h"

namespace orv::cli {
namespace {

void PrintToolHelp(std::ostream& out) {
  out << "Usage: orvelle-cli COMMAND [ARGS...]\n"
         "GPS track recorder and navigator, command-line front end.\n\n"
         "Commands:\n";
  for (const Command& c : Commands()) {
    out << "  " << c.name;
    for (size_t i = c.name.size(); i < 12; ++i) out << ' ';
    out << c.summary << "\n";
  }
  out << "\nRun 'orvelle-cli COMMAND --help' for a command's arguments.\n";
}

}  // namespace

bool IsHelpFlag(std::string_view arg) { return arg == "--help" || arg == "-h"; }

int UsageError(const Command& command, std::string_view message, Io& io) {
  io.err << "orvelle-cli " << command.name << ": " << message << "\n"
         << "Run 'orvelle-cli " << command.name << " --help' for usage.\n";
  return kExitUsage;
}

int Run(const Args& args, Io& io) {
  if (args.empty()) {
    PrintToolHelp(io.err);
    return kExitUsage;
  }
  if (IsHelpFlag(args[0])) {
    PrintToolHelp(io.out);
    return kExitOk;
  }
  for (const Command& c : Commands()) {
    if (c.name != args[0]) continue;
    Args rest(args.begin() + 1, args.end());
    for (const std::string& a : rest) {
      if (IsHelpFlag(a)) {
        io.out << c.usage;
        return kExitOk;
      }
    }
    return c.run(rest, io);
  }
  io.err << "orvelle-cli: unknown command '" << args[0] << "'\n"
         << "Run 'orvelle-cli --help' for the list of commands.\n";
  return kExitUsage;
}

}  // namespace orv::cli
