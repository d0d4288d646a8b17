#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv {

// The user's documents folder, where recorded tracks go: XDG_DOCUMENTS_DIR
// from "user-dirs.dirs" in the user's configuration folder, else
// $HOME/Documents. The folder is created when it is missing. Returns no
// value when there is no home folder or the folder cannot be made; the
// caller shows its message.
std::optional<std::string> FindDocumentsFolder();

// The same with the environment given: null stands for an unset variable.
std::optional<std::string> FindDocumentsFolder(const char* home, const char* xdgConfigHome);

// The XDG_DOCUMENTS_DIR entry of a user-dirs.dirs text with $HOME expanded,
// or no value when it has none or the entry is not of the two allowed forms
// ("$HOME/..." or an absolute path).
std::optional<std::string> DocumentsDirFromUserDirs(std::string_view userDirsText,
                                                    std::string_view home);

// "folder/name", with exactly one slash between the two.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace orv
