#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "nmea/line_limits.h"

namespace orv {

// The program's own "$POVR..." lines: the head of recorded track files and
// of the navigation database, and the serial writer's keep-alive.

// A head line is written only while its text (from "$" up to and including
// "*") stays below this length; checksum and CR LF then follow, and the line
// stays within the writing limit.
inline constexpr size_t kHeadLineLengthLimit = kMaxWriteLineLength - 4;

// Completes "$...*" with the checksum and CR LF. Nothing when the text is 78
// characters or longer, or is not of the form "$...*".
std::optional<std::string> FinishHeadLine(std::string_view textEndingInStar);

// "$POVRPVD,Orvelle Recorder 7 Beta,v7.9.85*hh" CR LF: product and version.
std::string ProductLine();
// "$POVRCRT,..." CR LF: the maker's rights notice.
std::string MakerLine();
// "$POVRSRC," source name [",Channel:%d" when channel is not 0] "*hh" CR LF.
std::optional<std::string> SourceLine(std::string_view sourceName, int channel = 0);
// "$POVR000,,*hh" CR LF: the placeholder the serial writer sends.
std::string PlaceholderLine();
// "$POVRWRG,WARNING!," text "*hh" CR LF.
std::optional<std::string> WarningLine(std::string_view text);

// The texts of the warning lines at the head of the navigation database.
inline constexpr std::array<std::string_view, 5> kDatabaseWarningTexts = {
    "Please!,Do NOT change or delete this file!",
    "The file contains the DATA BASE of -",
    "- Navigation System.",
    "If you definitely removed the software from system,-",
    "-, you could remove the file too.",
};

}  // namespace orv
