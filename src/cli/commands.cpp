#include "cli/commands.h"

#include <iterator>
#include <ostream>

namespace orv::cli {

// Each command lives in its own file; add its row here.
namespace {
const Command kCommands[] = {
    {"version", "print the program version",
     "Usage: orvelle-cli version\nPrints the program version.\n",
     [](const Args&, Io& io) {
       io.out << "orvelle-cli 7.9.85\n";
       return kExitOk;
     }},
};
}  // namespace

std::span<const Command> Commands() { return {std::begin(kCommands), std::end(kCommands)}; }

}  // namespace orv::cli
