#include "vserial/virtual_port_records.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "vserial/virtual_port_paths.h"

namespace orv {
namespace {

// Files another process wrote, or that were cut short, must never be taken
// for a live host's record.
TEST(VirtualPortRecords, OnlyWholeWellFormedRecordsAreRead) {
  struct LockCase {
    const char* legend;
    std::string text;
    std::optional<HostLockRecord> expected;
  };
  const LockCase lockCases[] = {
      {"as written", FormatHostLockRecord({4242, 0x0ABCDEF}), HostLockRecord{4242, 0x0ABCDEF}},
      {"empty file (a host that died while writing)", "", std::nullopt},
      {"no newline", "4242 77", std::nullopt},
      {"token 0", "4242 0\n", std::nullopt},
      {"pid 0", "0 77\n", std::nullopt},
      {"negative pid", "-5 77\n", std::nullopt},
      {"trailing text", "4242 77\nxx", std::nullopt},
      {"token beyond 32 bits", "4242 99999999999\n", std::nullopt},
      {"words", "pid token\n", std::nullopt},
  };
  for (const LockCase& c : lockCases) {
    EXPECT_EQ(ParseHostLockRecord(c.text), c.expected) << c.legend;
  }

  struct StateCase {
    const char* legend;
    std::string text;
    std::optional<VirtualPortState> expected;
  };
  const StateCase stateCases[] = {
      {"as written", FormatVirtualPortState({true, false}), VirtualPortState{true, false}},
      {"both open", "reader 1\nwriter 1\n", VirtualPortState{true, true}},
      {"sides swapped", "writer 1\nreader 0\n", std::nullopt},
      {"not a flag", "reader 2\nwriter 0\n", std::nullopt},
      {"cut short", "reader 1\n", std::nullopt},
  };
  for (const StateCase& c : stateCases) {
    EXPECT_EQ(ParseVirtualPortState(c.text), c.expected) << c.legend;
  }
}

TEST(VirtualPortNames, OnlyTheTenVirtualPortNamesHaveAnIndex) {
  struct NameCase {
    const char* name;
    std::optional<int> index;
  };
  const NameCase cases[] = {
      {"COM0:", 0},
      {"COM9:", 9},
      {"COM10:", std::nullopt},
      {"COM5", std::nullopt},
      {"GPD5:", std::nullopt},
      {"com5:", std::nullopt},
      {"COMx:", std::nullopt},
      {"", std::nullopt},
  };
  for (const NameCase& c : cases) EXPECT_EQ(VirtualPortIndexOf(c.name), c.index) << c.name;
  EXPECT_TRUE(IsOwnVirtualPort("COM5:", 5));
  EXPECT_FALSE(IsOwnVirtualPort("COM5:", -1));
  EXPECT_FALSE(IsOwnVirtualPort("COM5:", 4));
}

}  // namespace
}  // namespace orv
