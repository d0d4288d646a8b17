#include "platform/documents_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace orv {

namespace {

bool IsSet(const char* value) {
  return value != nullptr && *value != '\0';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// The value of a shell-style assignment: a double-quoted text in which a
// backslash takes the next character literally.
std::optional<std::string> UnquoteValue(std::string_view text) {
  if (text.size() < 2 || text.front() != '"') return std::nullopt;
  std::string value;
  for (std::size_t i = 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      if (!TrimBlanks(text.substr(i + 1)).empty()) return std::nullopt;
      return value;
    }
    if (c == '\\') {
      if (++i == text.size()) return std::nullopt;
      c = text[i];
    }
    value += c;
  }
  return std::nullopt;  // no closing quote
}

}  // namespace

std::optional<std::string> DocumentsDirFromUserDirs(std::string_view userDirsText,
                                                    std::string_view home) {
  constexpr std::string_view kEntry = "XDG_DOCUMENTS_DIR";
  std::optional<std::string> found;
  std::size_t start = 0;
  while (start < userDirsText.size()) {
    std::size_t end = userDirsText.find('\n', start);
    if (end == std::string_view::npos) end = userDirsText.size();
    std::string_view line = TrimBlanks(userDirsText.substr(start, end - start));
    start = end + 1;
    if (!line.starts_with(kEntry)) continue;
    line = TrimBlanks(line.substr(kEntry.size()));
    if (!line.starts_with('=')) continue;
    auto value = UnquoteValue(TrimBlanks(line.substr(1)));
    if (!value) continue;
    // Only "$HOME/..." and absolute paths are allowed; a later line wins, as
    // when the file is sourced by a shell.
    for (std::string_view homeVariable : {"$HOME", "${HOME}"}) {
      if (value->starts_with(homeVariable) &&
          (value->size() == homeVariable.size() || (*value)[homeVariable.size()] == '/')) {
        if (home.empty()) break;
        found = std::string(home) + value->substr(homeVariable.size());
        break;
      }
    }
    if (value->starts_with('/')) found = *value;
  }
  if (found) {
    while (found->size() > 1 && found->back() == '/') found->pop_back();
  }
  return found;
}

std::optional<std::string> FindDocumentsFolder(const char* home, const char* xdgConfigHome) {
  if (!IsSet(home)) return std::nullopt;
  std::string configFolder = IsSet(xdgConfigHome) && xdgConfigHome[0] == '/'
                                 ? std::string(xdgConfigHome)
                                 : JoinPath(home, ".config");
  std::optional<std::string> folder;
  std::ifstream userDirs(JoinPath(configFolder, "user-dirs.dirs"), std::ios::binary);
  if (userDirs) {
    std::ostringstream text;
    text << userDirs.rdbuf();
    folder = DocumentsDirFromUserDirs(text.str(), home);
  }
  if (!folder) folder = JoinPath(home, "Documents");

  std::error_code error;
  std::filesystem::create_directories(*folder, error);
  if (!std::filesystem::is_directory(*folder, error)) return std::nullopt;
  return folder;
}

std::optional<std::string> FindDocumentsFolder() {
  return FindDocumentsFolder(std::getenv("HOME"), std::getenv("XDG_CONFIG_HOME"));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  while (name.starts_with('/')) name.remove_prefix(1);
  std::string path(folder);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path.empty()) return std::string(name);
  if (path != "/") path += '/';
  path += name;
  return path;
}

}  // namespace orv
