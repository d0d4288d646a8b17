#pragma once

#include <span>

#include "cli/cli.h"

namespace orv::cli {

// The table of subcommands, in the order --help lists them.
std::span<const Command> Commands();

}  // namespace orv::cli
