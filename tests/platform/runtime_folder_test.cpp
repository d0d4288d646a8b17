#include "platform/runtime_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace orv {
namespace {

namespace fs = std::filesystem;

class RuntimeFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/orv_runtime_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    own_ = pattern;
    std::ofstream(own_ + "/file") << "x";
  }
  void TearDown() override { fs::remove_all(own_); }

  const std::string fallback_ = "/tmp/orvelle-" + std::to_string(getuid());
  std::string own_;
};

TEST_F(RuntimeFolderTest, TakesTheSessionFolderOnlyWhenItIsTheUsersOwn) {
  struct Case {
    const char* legend;
    std::optional<std::string> variable;  // nothing: unset
    std::string expected;
  };
  const Case cases[] = {
      {"unset", std::nullopt, fallback_},
      {"empty", "", fallback_},
      {"own folder", own_, own_ + "/orvelle"},
      {"own folder with trailing slashes", own_ + "//", own_ + "/orvelle"},
      {"relative path", "run/user", fallback_},
      {"missing folder", own_ + "/missing", fallback_},
      {"a file", own_ + "/file", fallback_},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    EXPECT_EQ(ProgramRuntimeFolder(c.variable ? c.variable->c_str() : nullptr), c.expected);
  }
}

TEST_F(RuntimeFolderTest, AnotherUsersFolderIsNotTaken) {
  // As root a folder is handed to another user; otherwise root's own "/"
  // is someone else's.
  std::string foreign = "/";
  if (getuid() == 0) {
    foreign = own_ + "/foreign";
    fs::create_directory(foreign);
    ASSERT_EQ(chown(foreign.c_str(), 65534, 65534), 0);
  }
  EXPECT_EQ(ProgramRuntimeFolder(foreign.c_str()), fallback_);
}

}  // namespace
}  // namespace orv
