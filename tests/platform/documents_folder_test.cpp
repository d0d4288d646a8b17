#include "platform/documents_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace orv {
namespace {

namespace fs = std::filesystem;

TEST(DocumentsDirFromUserDirs, ReadsTheEntryInEitherAllowedForm) {
  struct Case {
    const char* legend;
    const char* text;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"home form", "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n", "/home/ann/Documents"},
      {"braced home", "XDG_DOCUMENTS_DIR=\"${HOME}/Dokumente\"\n", "/home/ann/Dokumente"},
      {"home itself", "XDG_DOCUMENTS_DIR=\"$HOME/\"\n", "/home/ann"},
      {"absolute", "XDG_DOCUMENTS_DIR=\"/data/docs\"\n", "/data/docs"},
      {"among others with comments",
       "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
       "  XDG_DOCUMENTS_DIR = \"$HOME/My Files\"  \r\nXDG_MUSIC_DIR=\"$HOME/Music\"\n",
       "/home/ann/My Files"},
      {"escaped quote", "XDG_DOCUMENTS_DIR=\"$HOME/say \\\"hi\\\"\"", "/home/ann/say \"hi\""},
      {"later line wins", "XDG_DOCUMENTS_DIR=\"/a\"\nXDG_DOCUMENTS_DIR=\"/b\"\n", "/b"},
      {"commented out", "#XDG_DOCUMENTS_DIR=\"/a\"\n", std::nullopt},
      {"relative path", "XDG_DOCUMENTS_DIR=\"Documents\"\n", std::nullopt},
      {"look-alike variable", "XDG_DOCUMENTS_DIR=\"$HOMEDIR/x\"\n", std::nullopt},
      {"unquoted", "XDG_DOCUMENTS_DIR=$HOME/Documents\n", std::nullopt},
      {"unterminated quote", "XDG_DOCUMENTS_DIR=\"$HOME/Documents\n", std::nullopt},
      {"longer entry name", "XDG_DOCUMENTS_DIRS=\"/a\"\n", std::nullopt},
      {"empty file", "", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DocumentsDirFromUserDirs(c.text, "/home/ann"), c.expected) << c.legend;
  }
}

TEST(JoinPath, PutsExactlyOneSlashBetween) {
  EXPECT_EQ(JoinPath("/home/ann/Documents", "Track.txt"), "/home/ann/Documents/Track.txt");
  EXPECT_EQ(JoinPath("/home/ann/Documents/", "/Track.txt"), "/home/ann/Documents/Track.txt");
  EXPECT_EQ(JoinPath("/", "Track.txt"), "/Track.txt");
  EXPECT_EQ(JoinPath("", "Track.txt"), "Track.txt");
}

class DocumentsFolderOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/orv-home-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home_ = pattern;
  }
  void TearDown() override { fs::remove_all(home_); }

  void WriteUserDirs(const fs::path& configFolder, const std::string& text) {
    fs::create_directories(configFolder);
    std::ofstream(configFolder / "user-dirs.dirs") << text;
  }

  fs::path home_;
};

TEST_F(DocumentsFolderOnDisk, FallsBackToDocumentsInHomeAndCreatesIt) {
  auto folder = FindDocumentsFolder(home_.c_str(), nullptr);
  ASSERT_TRUE(folder);
  EXPECT_EQ(*folder, (home_ / "Documents").string());
  EXPECT_TRUE(fs::is_directory(*folder));
}

TEST_F(DocumentsFolderOnDisk, TakesTheUserDirsEntryFromTheConfigFolderInForce) {
  WriteUserDirs(home_ / ".config", "XDG_DOCUMENTS_DIR=\"$HOME/Default Docs\"\n");
  WriteUserDirs(home_ / "xdg", "XDG_DOCUMENTS_DIR=\"$HOME/Xdg Docs\"\n");
  EXPECT_EQ(FindDocumentsFolder(home_.c_str(), nullptr), (home_ / "Default Docs").string());
  std::string xdg = (home_ / "xdg").string();
  EXPECT_EQ(FindDocumentsFolder(home_.c_str(), xdg.c_str()), (home_ / "Xdg Docs").string());
  EXPECT_TRUE(fs::is_directory(home_ / "Xdg Docs"));
  // A relative XDG_CONFIG_HOME is not valid and leaves the default in force.
  EXPECT_EQ(FindDocumentsFolder(home_.c_str(), "xdg"), (home_ / "Default Docs").string());
}

TEST_F(DocumentsFolderOnDisk, ReportsFailureWithoutHomeOrWhenTheFolderCannotBeMade) {
  EXPECT_FALSE(FindDocumentsFolder(nullptr, nullptr));
  EXPECT_FALSE(FindDocumentsFolder("", nullptr));
  std::ofstream(home_ / "Documents") << "a file where the folder should be";
  EXPECT_FALSE(FindDocumentsFolder(home_.c_str(), nullptr));
}

}  // namespace
}  // namespace orv
