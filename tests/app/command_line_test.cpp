// The arguments of `wallscan`: what each command line asks for.

#include "app/command_line.h"

#include <gtest/gtest.h>

namespace ws {
namespace {

using Action = CommandLine::Action;

struct Case {
    std::vector<std::string> args;
    Action action;
    std::string path;
    std::string error;  // a part of the message that must appear
};

class CommandLineTest : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLineTest, Parses) {
    const Case& c = GetParam();
    const CommandLine line = ParseCommandLine(c.args);
    EXPECT_EQ(line.action, c.action);
    EXPECT_EQ(line.path, c.path);
    if (c.error.empty())
        EXPECT_EQ(line.error, "");
    else
        EXPECT_NE(line.error.find(c.error), std::string::npos) << line.error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineTest,
    ::testing::Values(Case{{}, Action::Run, "", ""},
                      Case{{"/data/scan 1.mem"}, Action::Run, "/data/scan 1.mem", ""},
                      Case{{"-h"}, Action::Help, "", ""},
                      // Help wins over everything else on the line, even a mistake.
                      Case{{"--bogus", "--version", "--help"}, Action::Help, "", "--bogus"},
                      Case{{"a.mem", "--version"}, Action::Version, "a.mem", ""},
                      Case{{"--bogus"}, Action::Error, "", "неизвестный параметр --bogus"},
                      Case{{"-x", "a.mem"}, Action::Error, "a.mem", "-x"},
                      Case{{"a.mem", "b.mem"}, Action::Error, "a.mem", "лишний аргумент b.mem"},
                      Case{{""}, Action::Error, "", "пустое имя файла"},
                      // After "--" a name may start with a dash.
                      Case{{"--", "-scan.mem"}, Action::Run, "-scan.mem", ""},
                      Case{{"-"}, Action::Run, "-", ""},
                      // The toolkit's own options are its business, with their values.
                      Case{{"-platform", "offscreen", "a.mem"}, Action::Run, "a.mem", ""},
                      Case{{"-style=fusion", "a.mem"}, Action::Run, "a.mem", ""},
                      Case{{"-qwindowtitle", "--help"}, Action::Run, "", ""},
                      Case{{"-platform"}, Action::Run, "", ""},
                      Case{{"-stylex", "a.mem"}, Action::Error, "a.mem", "-stylex"}));

}  // namespace
}  // namespace ws
