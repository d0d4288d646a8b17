#pragma once

#include "cli/cli.h"

// The subcommands of "orvelle-cli db"; each takes the arguments after its own name.
namespace orv::cli {

int RunDbList(const Args& args, Io& io);
int RunDbRoute(const Args& args, Io& io);
int RunDbAddWaypoint(const Args& args, Io& io);
int RunDbAddRoute(const Args& args, Io& io);
int RunDbDeleteWaypoint(const Args& args, Io& io);
int RunDbDeleteRoute(const Args& args, Io& io);
int RunDbRenameWaypoint(const Args& args, Io& io);
int RunDbRenameRoute(const Args& args, Io& io);
int RunDbImportNmea(const Args& args, Io& io);
int RunDbSaveRoute(const Args& args, Io& io);
int RunDbNearest(const Args& args, Io& io);
int RunDbGuide(const Args& args, Io& io);
int RunDbAverage(const Args& args, Io& io);

}  // namespace orv::cli
