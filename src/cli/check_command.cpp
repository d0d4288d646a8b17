#include "cli/check_command.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <map>
#include <ostream>
#include <string>

#include "nmea/gga_response.h"
#include "nmea/gll_response.h"
#include "nmea/gsa_response.h"
#include "nmea/gsv_response.h"
#include "nmea/nmea_parser.h"
#include "nmea/number_text.h"
#include "nmea/rmc_response.h"
#include "nmea/vtg_response.h"

namespace orv::cli {
namespace {

const Command kCheck{"check", kCheckSummary, kCheckUsage, RunCheckCommand};

constexpr char kHexDigits[] = "0123456789abcdef";

// The six GPS sentence objects behind one parser, as a track holds them.
class GpsSentences {
 public:
  GpsSentences() {
    for (NmeaResponse* r : {static_cast<NmeaResponse*>(&gga_), static_cast<NmeaResponse*>(&gll_),
                            static_cast<NmeaResponse*>(&gsa_), static_cast<NmeaResponse*>(&gsv_),
                            static_cast<NmeaResponse*>(&rmc_), static_cast<NmeaResponse*>(&vtg_)}) {
      parser_.AddResponse(*r);
    }
    parser_.SortResponses();
  }
  NmeaParser& Parser() { return parser_; }

 private:
  GgaResponse gga_;
  GllResponse gll_;
  GsaResponse gsa_;
  GsvResponse gsv_;
  RmcResponse rmc_;
  VtgResponse vtg_;
  NmeaParser parser_;
};

struct LineReport {
  bool framingGood = false;
  NmeaBoolean checksumBad = NmeaBoolean::kUnset;
  int fields = 0;
  std::string_view mnemonic;
  bool rejected = false;
  std::string description;
};

const char* ChecksumWord(NmeaBoolean checksumBad) {
  switch (checksumBad) {
    case NmeaBoolean::kTrue:
      return "bad";
    case NmeaBoolean::kFalse:
      return "good";
    default:
      return "unset";
  }
}

LineReport CheckLine(std::string_view line, GpsSentences& sentences) {
  NmeaParser& parser = sentences.Parser();
  LineReport report;
  // Dispatch frames the line, finds the GPS sentence object and lets it parse.
  const NmeaParser::Outcome outcome = parser.Dispatch(line);
  const NmeaSentence& sentence = parser.Sentence();
  report.framingGood = parser.IsGood();
  report.checksumBad = sentence.IsChecksumBad();
  report.fields = sentence.GetDataFieldCount();
  report.mnemonic = NmeaParser::MnemonicOf(sentence);
  report.rejected = !report.framingGood || report.checksumBad != NmeaBoolean::kFalse ||
                    outcome == NmeaParser::Outcome::kRejected;
  if (outcome == NmeaParser::Outcome::kAccepted) {
    report.description = parser.LastResponse()->PlainEnglish();
  }
  return report;
}

// Printable ASCII stays; anything else shows as \xNN so a terminal is safe.
void WritePlain(std::ostream& out, std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out << static_cast<char>(c);
    } else {
      const char escaped[] = {'\\', 'x', kHexDigits[c >> 4], kHexDigits[c & 0xf]};
      out.write(escaped, sizeof escaped);
    }
  }
}

// Length of a valid UTF-8 sequence at text[i] and its code point; 0 when invalid.
size_t DecodeUtf8(std::string_view text, size_t i, uint32_t& codePoint) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length = 0;
  uint32_t minimum = 0;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2, codePoint = lead & 0x1f, minimum = 0x80;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3, codePoint = lead & 0x0f, minimum = 0x800;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4, codePoint = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xc0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (byte(i + k) & 0x3f);
  }
  if (codePoint < minimum || codePoint > 0x10ffff || (codePoint >= 0xd800 && codePoint <= 0xdfff)) {
    return 0;
  }
  return length;
}

void WriteUnicodeEscape(std::string& out, uint32_t unit) {
  const char escaped[] = {'\\',
                          'u',
                          kHexDigits[(unit >> 12) & 0xf],
                          kHexDigits[(unit >> 8) & 0xf],
                          kHexDigits[(unit >> 4) & 0xf],
                          kHexDigits[unit & 0xf]};
  out.append(escaped, sizeof escaped);
}

// A JSON string of pure ASCII: control characters and everything beyond
// ASCII escaped; bytes that are not UTF-8 are taken as Latin-1.
void AppendJsonString(std::string& out, std::string_view text) {
  out.push_back('"');
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      uint32_t codePoint = 0;
      const size_t length = DecodeUtf8(text, i, codePoint);
      if (length == 0) {
        WriteUnicodeEscape(out, c);
        ++i;
        continue;
      }
      if (codePoint >= 0x10000) {
        codePoint -= 0x10000;
        WriteUnicodeEscape(out, 0xd800 + (codePoint >> 10));
        WriteUnicodeEscape(out, 0xdc00 + (codePoint & 0x3ff));
      } else {
        WriteUnicodeEscape(out, codePoint);
      }
      i += length;
      continue;
    }
    switch (c) {
      case '"':
        out.append("\\\"");
        break;
      case '\\':
        out.append("\\\\");
        break;
      case '\n':
        out.append("\\n");
        break;
      case '\r':
        out.append("\\r");
        break;
      case '\t':
        out.append("\\t");
        break;
      default:
        if (c < 0x20 || c == 0x7f) {
          WriteUnicodeEscape(out, c);
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
    ++i;
  }
  out.push_back('"');
}

void WriteTextReport(std::ostream& out, int64_t lineNumber, const LineReport& report) {
  std::string head;
  AppendInteger(head, lineNumber);
  head += report.framingGood ? " good " : " bad ";
  head += ChecksumWord(report.checksumBad);
  head += ' ';
  AppendInteger(head, report.fields);
  head += ' ';
  out << head;
  if (report.mnemonic.empty()) {
    out << '-';
  } else {
    WritePlain(out, report.mnemonic);
  }
  if (!report.description.empty()) out << ' ' << report.description;
  out << '\n';
}

void WriteJsonReport(std::ostream& out, int64_t lineNumber, const LineReport& report) {
  std::string json = "{\"line\":";
  AppendInteger(json, lineNumber);
  json += ",\"framing\":";
  json += report.framingGood ? "\"good\"" : "\"bad\"";
  json += ",\"checksum\":\"";
  json += ChecksumWord(report.checksumBad);
  json += "\",\"fields\":";
  AppendInteger(json, report.fields);
  json += ",\"mnemonic\":";
  AppendJsonString(json, report.mnemonic);
  json += ",\"rejected\":";
  json += report.rejected ? "true" : "false";
  if (!report.description.empty()) {
    json += ",\"text\":";
    AppendJsonString(json, report.description);
  }
  json += "}\n";
  out << json;
}

struct Totals {
  int64_t lines = 0;
  int64_t rejected = 0;
  std::map<std::string, int64_t> accepted;  // by mnemonic, sorted
};

void WriteTextSummary(std::ostream& out, const Totals& totals) {
  std::string text = "summary: ";
  AppendInteger(text, totals.lines);
  text += " lines, ";
  AppendInteger(text, totals.rejected);
  text += " rejected\n";
  out << text;
  for (const auto& [mnemonic, count] : totals.accepted) {
    out << "  ";
    WritePlain(out, mnemonic.empty() ? "-" : mnemonic);
    std::string number = " ";
    AppendInteger(number, count);
    out << number << '\n';
  }
}

void WriteJsonSummary(std::ostream& out, const Totals& totals) {
  std::string json = "{\"summary\":{\"lines\":";
  AppendInteger(json, totals.lines);
  json += ",\"rejected\":";
  AppendInteger(json, totals.rejected);
  json += ",\"sentences\":{";
  bool first = true;
  for (const auto& [mnemonic, count] : totals.accepted) {
    if (!first) json += ',';
    first = false;
    AppendJsonString(json, mnemonic);
    json += ':';
    AppendInteger(json, count);
  }
  json += "}}}\n";
  out << json;
}

int CheckStream(std::istream& in, bool json, Io& io, const std::string& name) {
  GpsSentences sentences;
  Totals totals;
  std::string line;
  // Each line is handed on with its LF (and CR), as a receiver delivers it.
  while (std::getline(in, line)) {
    if (!in.eof()) line.push_back('\n');
    ++totals.lines;
    const LineReport report = CheckLine(line, sentences);
    if (report.rejected) {
      ++totals.rejected;
    } else {
      ++totals.accepted[std::string(report.mnemonic)];
    }
    if (json) {
      WriteJsonReport(io.out, totals.lines, report);
    } else {
      WriteTextReport(io.out, totals.lines, report);
    }
  }
  if (in.bad()) {
    io.err << "orvelle-cli check: cannot read '" << name << "'\n";
    return kExitFailure;
  }
  if (json) {
    WriteJsonSummary(io.out, totals);
  } else {
    WriteTextSummary(io.out, totals);
  }
  return kExitOk;
}

}  // namespace

int RunCheckCommand(const Args& args, Io& io) {
  bool json = false;
  const std::string* file = nullptr;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      json = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError(kCheck, "unknown option '" + arg + "'", io);
    } else if (file != nullptr) {
      return UsageError(kCheck,
                        "only one FILE can be checked, got '" + *file + "' and '" + arg + "'", io);
    } else {
      file = &arg;
    }
  }
  if (file == nullptr) return UsageError(kCheck, "missing FILE (use - for standard input)", io);

  if (*file == "-") return CheckStream(io.in, json, io, "standard input");

  std::error_code error;
  if (std::filesystem::is_directory(*file, error)) {
    io.err << "orvelle-cli check: cannot read '" << *file << "': it is a directory\n";
    return kExitFailure;
  }
  std::ifstream stream(*file, std::ios::binary);
  if (!stream) {
    const int savedErrno = errno;
    io.err << "orvelle-cli check: cannot open '" << *file << "': " << std::strerror(savedErrno)
           << "\n";
    return kExitFailure;
  }
  return CheckStream(stream, json, io, *file);
}

}  // namespace orv::cli
