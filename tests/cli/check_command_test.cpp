#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "cli/cli.h"
#include "track_fixture.h"

namespace orv::cli {
namespace {

using namespace testing;

Result RunCheck(const Args& args, const std::string& input = "") {
  Args all{"check"};
  all.insert(all.end(), args.begin(), args.end());
  return RunCli(all, input);
}

constexpr char kGga[] = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

TEST(CheckCommand, ReportsEveryLineAndSummarises) {
  const std::string input = std::string(kGga) +
                            "$GPGLL,4916.45,N,12311.12,W,225444,A*32\r\n"  // wrong checksum
                            "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48\n"  // LF only
                            "$POVR000,,*2B\r\n"                            // unknown, fine
                            "$GPGSV,2,3,08,01,40,083,46*4C\r\n"            // number above total
                            "\r\n"
                            "$GPGGA,1*";  // last line without LF
  const Result r = RunCheck({"-"}, input);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "1 good good 14 GGA At 12:35.19 PM UTC, you were at Latitude 48  7.03800 North, "
            "Longitude 11 31.00000 East, based upon a GPS fix, 8 satellites are in use.\n"
            "2 good bad 6 GLL\n"
            "3 bad good 8 VTG\n"
            "4 good good 2 000\n"
            "5 good good 7 GSV\n"
            "6 bad unset 0 \\x0a\n"  // field 0 of a bare CR LF is the LF

            "7 bad unset 1 GGA\n"
            "summary: 7 lines, 5 rejected\n"
            "  000 1\n"
            "  GGA 1\n");
}

TEST(CheckCommand, JsonEscapesControlAndNonAsciiBytes) {
  const std::string input =
      "$GP\"\\\x01,x*00\r\n"    // quote, backslash and a control byte in the address
      "$GP\xc3\xa9\xff,*\r\n"   // UTF-8 e-acute, then a byte that is not UTF-8
      "$GP\xe2\x82\xac*\r\n" +  // the euro sign, three bytes
      std::string(kGga);
  const Result r = RunCheck({"--json", "-"}, input);
  EXPECT_EQ(r.status, 0);
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line,
            R"({"line":1,"framing":"good","checksum":"bad","fields":1,"mnemonic":"\"\\\u0001",)"
            R"("rejected":true})");
  std::getline(lines, line);
  EXPECT_EQ(line,
            R"({"line":2,"framing":"good","checksum":"bad","fields":1,"mnemonic":"\u00e9\u00ff",)"
            R"("rejected":true})");
  std::getline(lines, line);
  EXPECT_EQ(line, R"({"line":3,"framing":"good","checksum":"bad","fields":0,)"
                  R"("mnemonic":"\u20ac","rejected":true})");
  std::getline(lines, line);
  EXPECT_EQ(
      line.substr(0, 101),
      R"({"line":4,"framing":"good","checksum":"good","fields":14,"mnemonic":"GGA","rejected":false,"text":"At)");
  std::getline(lines, line);
  EXPECT_EQ(line, R"({"summary":{"lines":4,"rejected":3,"sentences":{"GGA":1}}})");
  EXPECT_FALSE(std::getline(lines, line));
}

TEST(CheckCommand, BadInputIsReportedNotFatal) {
  std::string input = "$" + std::string(100000, 'A') + "\r\n";
  input += std::string("\0\0\0\n", 4);
  input += "$*\r\n";
  input += "$" + std::string(5000, ',') + "*\r\n";
  const Result r = RunCheck({"-"}, input);
  EXPECT_EQ(r.status, 0);
  // Without a star the address runs on into the CR LF.
  EXPECT_EQ(r.out,
            "1 bad unset 0 A\\x0d\\x0a\n"
            "2 bad unset 0 -\n"
            "3 good good 0 -\n"
            "4 bad good 5000 -\n"
            "summary: 4 lines, 3 rejected\n"
            "  - 1\n");
  EXPECT_EQ(RunCheck({"-"}, "").out, "summary: 0 lines, 0 rejected\n");
}

struct ArgumentCase {
  const char* legend;
  Args args;
  int status;
  const char* errContains;
};

TEST(CheckCommand, ArgumentErrorsGoToStderrWithAStatus) {
  const ArgumentCase cases[] = {
      {"missing file", {"/no/such/file.nmea"}, 1, "cannot open '/no/such/file.nmea'"},
      {"directory", {"/"}, 1, "cannot read '/': it is a directory"},
      {"no file", {}, 2, "missing FILE"},
      {"two files", {"a", "b"}, 2, "only one FILE"},
      {"unknown option", {"--xml", "-"}, 2, "unknown option '--xml'"},
  };
  for (const ArgumentCase& c : cases) {
    const Result r = RunCheck(c.args);
    EXPECT_EQ(r.status, c.status) << c.legend;
    EXPECT_EQ(r.out, "") << c.legend;
    EXPECT_NE(r.err.find(c.errContains), std::string::npos) << c.legend << ": " << r.err;
  }
  const Result help = RunCheck({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: orvelle-cli check [--json] FILE\n", 0), 0u);
}

TEST(CheckCommand, TheBuiltProgramChecksTheSampleDrive) {
  const std::string command =
      std::string(ORV_CLI_PATH) + " check " + ORV_SOURCE_DIR + "/samples/sample-drive.nmea";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0);
  EXPECT_NE(output.find("\nsummary: 2400 lines, 0 rejected\n  GGA 300\n"), std::string::npos);
}

}  // namespace
}  // namespace orv::cli
