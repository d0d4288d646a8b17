#include <clocale>
#include <csignal>
#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
  // Behave as a desktop program in the user's locale; number text in files
  // and on the terminal is written locale-independently regardless.
  std::setlocale(LC_ALL, "");
  // A peer that hangs up (socket, pipe, virtual port) must end a link with its
  // write error report, not kill the process.
  std::signal(SIGPIPE, SIG_IGN);
  orv::cli::Io io{std::cin, std::cout, std::cerr};
  return orv::cli::Run(orv::cli::Args(argv + 1, argv + argc), io);
}
