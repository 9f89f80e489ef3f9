#include "app/command_line.h"

#include <set>

namespace ws {
namespace {

// The toolkit's own options (it takes them out of the list itself, after the first parse):
// those followed by a value, then the switches. Written with one dash; the toolkit takes two
// as well, and "-style=fusion" forms.
const std::set<std::string> kToolkitValueOptions = {"-platform",      "-platformpluginpath",
                                                    "-platformtheme", "-plugin",
                                                    "-style",         "-stylesheet",
                                                    "-session",       "-display",
                                                    "-geometry",      "-qwindowgeometry",
                                                    "-qwindowicon",   "-qwindowtitle",
                                                    "-title",         "-name",
                                                    "-visual",        "-ncols",
                                                    "-cmap",          "-qmljsdebugger"};
const std::set<std::string> kToolkitSwitches = {"-reverse", "-widgetcount", "-nograb",
                                                "-dograb",  "-sync",        "-testability"};

// 0 when `a` is no toolkit option, else how many arguments it takes up (1 or 2).
int ToolkitOption(std::string a) {
    if (a.rfind("--", 0) == 0)
        a.erase(0, 1);
    const size_t eq = a.find('=');
    if (eq != std::string::npos)
        return kToolkitValueOptions.count(a.substr(0, eq)) ? 1 : 0;
    if (kToolkitSwitches.count(a))
        return 1;
    return kToolkitValueOptions.count(a) ? 2 : 0;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool help = false, version = false, optionsEnd = false;
    std::string error;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const int toolkit = optionsEnd ? 0 : ToolkitOption(a);
        if (toolkit > 0) {
            i += static_cast<size_t>(toolkit - 1);
        } else if (!optionsEnd && a == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && (a == "--help" || a == "-h" || a == "-?")) {
            help = true;
        } else if (!optionsEnd && a == "--version") {
            version = true;
        } else if (!optionsEnd && a.size() > 1 && a[0] == '-') {
            if (error.empty())
                error = "неизвестный параметр " + a;
        } else if (a.empty()) {
            // A launcher that expands a missing file to "" would otherwise open the current
            // folder as a relief.
            if (error.empty())
                error = "пустое имя файла";
        } else if (!line.path.empty()) {
            if (error.empty())
                error = "лишний аргумент " + a + " (открывается один файл или каталог)";
        } else {
            line.path = a;
        }
    }
    // Help and version answer whatever else is on the line, as users expect of them.
    if (help)
        line.action = CommandLine::Action::Help;
    else if (version)
        line.action = CommandLine::Action::Version;
    else if (!error.empty())
        line.action = CommandLine::Action::Error;
    line.error = error;
    return line;
}

std::string HelpText() {
    return "Использование: wallscan [ФАЙЛ.mem | КАТАЛОГ]\n"
           "Usage: wallscan [FILE.mem | FOLDER]\n"
           "\n"
           "Starts WallScan, the desktop companion of the ultrasonic wall-thickness gauge.\n"
           "\n"
           "  FILE.mem   open the measurement file as \"Открыть файл\" does and show it\n"
           "  FOLDER     show the relief of the folder's .mem files as \"Поверхность\" does\n"
           "  --help     show this help and exit\n"
           "  --version  show the version and exit\n"
           "\n"
           "When WallScan is already running, FILE or FOLDER opens in the running program\n"
           "and this command exits at once.\n"
           "\n"
           "WallScan keeps its settings (options.sav) and the last trace (temp.mem) in the\n"
           "folder it was started from. The protocol templates docway.prn and docizm.prn are\n"
           "taken from that folder first, then from the program's share folder.\n"
           "\n"
           "Exit status: 0 done, 2 bad usage.\n";
}

std::string VersionText() {
    return std::string("wallscan ") + WALLSCAN_VERSION + "\n";
}

}  // namespace ws
