#pragma once
// Folders of the running program and of its user, each with a trailing '/'.
#include <string>

namespace plat {

// The folder the program's executable lies in (the data files lie beside
// it); the working directory when it cannot be found.
std::string ProgramFolder();
// The user's documents folder when it exists; "" when it does not.
std::string DocumentsFolder();
// The process's working directory ("" when it cannot be read).
std::string CurrentDirectory();
// The folder part of a path, with its trailing '/' ("" for a bare name).
std::string FolderOf(const std::string& path);
// The name part of a path (everything after the last '/').
std::string FileNameOf(const std::string& path);

} // namespace plat
