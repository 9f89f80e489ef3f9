#include "app/startup.h"

#include <gtest/gtest.h>

#include <memory>

#include "data/trace_file.h"
#include "support/fake_prompter.h"
#include "support/mem_text.h"
#include "support/temp_dir.h"

namespace ws {
namespace {

using test::FakePrompter;
using test::TempDir;

const std::string kOptions =
    "Port:\r\nCOM2\r\nTable rows:\r\n20\r\nFontSize:\r\n10\r\nRange of measure:\r\n1.50\r\n"
    "Baud Rate:\r\n57600\r\n";
const std::string& kTemp = test::kGapScan;

TEST(StartUp, ReadsSettingsAndTheWorkingFileFromTheStartFolder) {
    TempDir dir;
    dir.Write("options.sav", kOptions);
    dir.Write("temp.mem", kTemp);
    auto ws = std::make_unique<Workspace>();
    FakePrompter prompter;
    StartUp(*ws, prompter, dir.str());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(ws->ReliefDir, dir.str());
    EXPECT_EQ(ws->BaudRate, 57600);
    EXPECT_EQ(ws->PointCount, 3);
}

TEST(StartUp, FirstRunShowsBothMessagesAndUsesDefaults) {
    TempDir dir;
    auto ws = std::make_unique<Workspace>();
    ws->PointCount = 5;
    ws->Regime = 255;
    FakePrompter prompter;
    StartUp(*ws, prompter, dir.str());
    EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{"Ошибка при вводе из файла options.sav",
                                                          "Отсутствует файл temp.mem"}));
    EXPECT_EQ(ws->PortName, "COM2");  // no name in the file: the second button
    EXPECT_EQ(ws->BaudRate, 2400);
    EXPECT_EQ(ws->PointCount, 0);
    EXPECT_EQ(ws->Regime, 0);
}

// Writing both files on the way out is the main window test's (every way of leaving).
TEST(ShutDown, MissingHomeDirReportsBothFailures) {
    TempDir dir;
    auto ws = std::make_unique<Workspace>();
    ws->HomeDir = dir.File("removed-while-running");
    FakePrompter prompter;
    ShutDown(*ws, prompter);
    EXPECT_EQ(prompter.Texts(),
              (std::vector<std::string>{"Ошибка при закрытии файла options.sav",
                                        "Ошибка при закрытии файла, пожалуйста поворите."}));
}

}  // namespace
}  // namespace ws
