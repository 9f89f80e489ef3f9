#pragma once
// The arguments of `wallscan`: one measurement file or folder to open, --help, --version.
// Plain C++ so the rules are tested without a display; main() runs the parse once before the
// toolkit starts (--help and --version must work where no display is) and once after it has
// taken its own options (-platform, -style ...) out of the list.

#include <string>
#include <vector>

namespace ws {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::string path;   // the file or folder to open; empty when none was given
    std::string error;  // for Error: what is wrong, ready for standard error
};

// `args` are the arguments after the program's name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// What --help and --version print.
std::string HelpText();
std::string VersionText();

}  // namespace ws
