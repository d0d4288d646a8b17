#include "platform/qt_settings_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace orv {
namespace {

namespace fs = std::filesystem;

constexpr SettingsHive kUser = SettingsHive::kCurrentUser;
constexpr SettingsHive kMachine = SettingsHive::kLocalMachine;
constexpr const char* kGpsKey = "System\\CurrentControlSet\\GPS Intermediate Driver";
constexpr const char* kMultiplexerKey =
    "System\\CurrentControlSet\\GPS Intermediate Driver\\Multiplexer";

std::string ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class QtSettingsFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    // Memory-backed when the machine has it: every write is synced to disk.
    std::string base = fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = base + "/orv-qt-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    paths_ = {(folder_ / "config" / "orvelle" / "settings.ini").string(),
              (folder_ / "etc" / "settings.ini").string()};
  }
  void TearDown() override { fs::remove_all(folder_); }

  void WriteMachineFile(const std::string& text) {
    fs::create_directories(fs::path(paths_.localMachine).parent_path());
    std::ofstream(paths_.localMachine, std::ios::binary) << text;
  }

  fs::path folder_;
  SettingsFilePaths paths_;
};

TEST_F(QtSettingsFiles, ReadsAHandWrittenMachineFile) {
  // The shape the package installs, plus entries a person may get wrong.
  WriteMachineFile(
      "[System]\n"
      "CurrentControlSet\\GPS%20Intermediate%20Driver\\IsEnabled=dword:00000001\n"
      "CurrentControlSet\\GPS%20Intermediate%20Driver\\Multiplexer\\DriverInterface="
      "gpsd://127.0.0.1:2947\n"
      "CurrentControlSet\\GPS%20Intermediate%20Driver\\UpperHex=dword:0000002A\n"
      "CurrentControlSet\\GPS%20Intermediate%20Driver\\ShortDword=dword:12\n"
      "CurrentControlSet\\GPS%20Intermediate%20Driver\\OddHex=hex:123\n"
      "CurrentControlSet\\GPS%20Intermediate%20Driver\\BadHex=hex:zz\n"
      "CurrentControlSet\\GPS%20Intermediate%20Driver\\List=a,b\n"
      "CurrentControlSet\\GPS%20Intermediate%20Driver\\QtBytes=@ByteArray(AB)\n");
  QtSettingsStore store(paths_);
  EXPECT_EQ(store.ReadDword(kMachine, kGpsKey, "IsEnabled"), 1u);
  EXPECT_EQ(store.ReadText(kMachine, kMultiplexerKey, "DriverInterface"), "gpsd://127.0.0.1:2947");
  EXPECT_EQ(store.ReadDword(kMachine, kGpsKey, "UpperHex"), 42u);
  for (const char* broken : {"ShortDword", "OddHex", "BadHex", "List"}) {
    EXPECT_FALSE(store.ReadDword(kMachine, kGpsKey, broken)) << broken;
    EXPECT_FALSE(store.ReadText(kMachine, kGpsKey, broken)) << broken;
    EXPECT_FALSE(store.ReadBinary(kMachine, kGpsKey, broken)) << broken;
  }
  EXPECT_EQ(store.ReadBinary(kMachine, kGpsKey, "QtBytes"), (std::vector<std::uint8_t>{'A', 'B'}));
  // The user hive is a different file.
  EXPECT_FALSE(store.ReadDword(kUser, kGpsKey, "IsEnabled"));
}

TEST_F(QtSettingsFiles, NeverWritesTheMachineFile) {
  const std::string original = "[System]\nIsEnabled=dword:00000001\n";
  WriteMachineFile(original);
  QtSettingsStore store(paths_);
  EXPECT_FALSE(store.WriteDword(kMachine, "System", "IsEnabled", 0));
  EXPECT_FALSE(store.DeleteKey(kMachine, "System"));
  EXPECT_EQ(ReadWholeFile(paths_.localMachine), original);
  EXPECT_FALSE(fs::exists(paths_.currentUser));
}

TEST_F(QtSettingsFiles, CreatesTheUserFolderOnFirstWrite) {
  QtSettingsStore store(paths_);
  ASSERT_TRUE(store.WriteDword(kUser, "Software\\A", "V", 5));
  EXPECT_TRUE(fs::is_regular_file(paths_.currentUser));
  EXPECT_NE(ReadWholeFile(paths_.currentUser).find("dword:00000005"), std::string::npos);
}

TEST_F(QtSettingsFiles, AnUnwritablePlaceFailsTheWriteAndKeepsNothing) {
  // The settings folder's parent is a plain file, so no folder can be made.
  std::ofstream(folder_ / "config") << "not a folder";
  QtSettingsStore store(paths_);
  EXPECT_FALSE(store.WriteDword(kUser, "Software\\A", "V", 5));
  EXPECT_FALSE(store.WriteText(kUser, "Software\\A", "T", "x"));
  EXPECT_FALSE(store.ReadDword(kUser, "Software\\A", "V"));
  EXPECT_FALSE(store.ReadText(kUser, "Software\\A", "T"));
}

TEST_F(QtSettingsFiles, NoFileAtAllReadsAsMissingAndRefusesWrites) {
  QtSettingsStore store(SettingsFilePaths{"", ""});
  EXPECT_FALSE(store.ReadDword(kUser, "Software\\A", "V"));
  EXPECT_FALSE(store.WriteDword(kUser, "Software\\A", "V", 1));
  EXPECT_FALSE(store.DeleteKey(kUser, "Software\\A"));
}

// Two processes of the program writing at the same moment must not lose each
// other's values: every write re-reads and merges under the file lock.
TEST_F(QtSettingsFiles, TwoProcessesWritingAtOnceKeepEveryValue) {
  constexpr int kWritesPerProcess = 150;
  constexpr const char* kKey = "Software\\Orvelle Records2010\\Concurrent Writers";
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  pid_t children[2];
  for (int child = 0; child < 2; ++child) {
    children[child] = fork();
    ASSERT_GE(children[child], 0);
    if (children[child] == 0) {
      close(go[1]);
      char start;
      if (read(go[0], &start, 1) < 0) _exit(2);  // returns 0 once the parent closes it
      QtSettingsStore store(paths_);
      bool allWritten = true;
      for (int i = 0; i < kWritesPerProcess; ++i) {
        std::string name = "Writer" + std::to_string(child) + "_" + std::to_string(i);
        allWritten &= store.WriteDword(kUser, kKey, name, static_cast<std::uint32_t>(i));
        // Both also keep rewriting one shared value, as two instances would.
        allWritten &= store.WriteText(kUser, kKey, "Shared", name);
      }
      _exit(allWritten ? 0 : 1);
    }
  }
  close(go[0]);
  close(go[1]);  // both children start now
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a write reported failure";
  }

  QtSettingsStore store(paths_);
  int missing = 0;
  for (int child = 0; child < 2; ++child) {
    for (int i = 0; i < kWritesPerProcess; ++i) {
      std::string name = "Writer" + std::to_string(child) + "_" + std::to_string(i);
      if (store.ReadDword(kUser, kKey, name) != static_cast<std::uint32_t>(i)) ++missing;
    }
  }
  EXPECT_EQ(missing, 0);
  auto shared = store.ReadText(kUser, kKey, "Shared");
  ASSERT_TRUE(shared);
  EXPECT_TRUE(*shared == "Writer0_" + std::to_string(kWritesPerProcess - 1) ||
              *shared == "Writer1_" + std::to_string(kWritesPerProcess - 1))
      << *shared;
  // Replaced through a temporary file and a rename: no temporary or lock
  // file is left beside it.
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(fs::path(paths_.currentUser).parent_path())) {
    left.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(left, std::vector<std::string>{"settings.ini"});
}

TEST(SettingsFilePaths, FollowTheXdgRulesAndTheOverride) {
  struct Case {
    const char* legend;
    const char* home;
    const char* xdgConfigHome;
    const char* systemOverride;
    SettingsFilePaths expected;
  };
  const Case cases[] = {
      {"home only",
       "/home/ann",
       nullptr,
       nullptr,
       {"/home/ann/.config/orvelle/settings.ini", "/etc/orvelle/settings.ini"}},
      {"xdg wins",
       "/home/ann",
       "/cfg",
       nullptr,
       {"/cfg/orvelle/settings.ini", "/etc/orvelle/settings.ini"}},
      {"relative xdg ignored",
       "/home/ann",
       "cfg",
       nullptr,
       {"/home/ann/.config/orvelle/settings.ini", "/etc/orvelle/settings.ini"}},
      {"empty xdg ignored",
       "/home/ann",
       "",
       nullptr,
       {"/home/ann/.config/orvelle/settings.ini", "/etc/orvelle/settings.ini"}},
      {"no home", nullptr, nullptr, nullptr, {"", "/etc/orvelle/settings.ini"}},
      {"system override",
       "/home/ann",
       nullptr,
       "/tmp/sys.ini",
       {"/home/ann/.config/orvelle/settings.ini", "/tmp/sys.ini"}},
      {"empty override ignored",
       "/home/ann",
       nullptr,
       "",
       {"/home/ann/.config/orvelle/settings.ini", "/etc/orvelle/settings.ini"}},
  };
  for (const Case& c : cases) {
    SettingsFilePaths paths = SettingsFilePathsFrom(c.home, c.xdgConfigHome, c.systemOverride);
    EXPECT_EQ(paths.currentUser, c.expected.currentUser) << c.legend;
    EXPECT_EQ(paths.localMachine, c.expected.localMachine) << c.legend;
  }
}

}  // namespace
}  // namespace orv
