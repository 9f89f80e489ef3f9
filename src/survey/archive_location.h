#pragma once
// Where the survey archive lives: the user's data folder, the same for the program and
// wallscan-cli.

#include <string>

namespace ws {

// ~/.local/share/WallScan on Linux (XDG_DATA_HOME honoured), %LOCALAPPDATA%\WallScan on
// Windows. Does not create it.
std::string DefaultArchiveFolder();

}  // namespace ws
