#include "data/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "support/fake_prompter.h"
#include "support/temp_dir.h"

namespace ws {
namespace {

using test::FakePrompter;
using test::ReadFile;
using test::TempDir;

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ws = std::make_unique<Workspace>();
        ws->HomeDir = dir.str();
        ws->PortName = "COM1";
        ws->TableRows = 36;
        ws->PrintFontSize = 12;
        ws->BaudRate = 2400;
        prompter.shown.clear();
    }
    TempDir dir;
    FakePrompter prompter;
    std::unique_ptr<Workspace> ws;
};

TEST_F(SettingsTest, WritesTheTenLinesAndReadsThemBack) {
    ws->PortName = "COM2";
    ws->TableRows = 40;
    ws->PrintFontSize = 10;
    ws->RangeOfMeasure = 1.005f;  // binary 1.00499999...: must still be written rounded up
    ws->BaudRate = 57600;
    ASSERT_TRUE(SaveSettings(*ws, prompter));
    EXPECT_EQ(ReadFile(dir.File("options.sav")),
              "Port:\r\nCOM2\r\nTable rows:\r\n40\r\nFontSize:\r\n10\r\nRange of measure:\r\n"
              "1.01\r\nBaud Rate:\r\n57600\r\n");
    SetUp();
    ASSERT_TRUE(LoadSettings(*ws, prompter));
    EXPECT_EQ(ws->PrintFontSize, 10);
    EXPECT_FLOAT_EQ(ws->RangeOfMeasure, 1.01f);
}

// What a read leaves in the record, starting from COM1, 36 rows, font 12, 2400 baud. A read
// that stops keeps what it had read so far and says so.
TEST_F(SettingsTest, Reading) {
    const struct {
        const char* why;
        std::optional<std::string> bytes;  // none: no file
        bool ok;
        const char* port;
        int rows, font, baud;
    } cases[] = {
        {"labels are not compared; halves round to even",
         "x\nCOM2\ny\n19.5\nz\n12.5\nw\n2\nv\n9600.4\n", true, "COM2", 20, 12, 9600},
        {"no file", std::nullopt, false, "COM1", 36, 12, 2400},
        {"the file ends after line six",
         "Port:\r\nCOM2\r\nTable rows:\r\n20\r\nFontSize:\r\n10\r\n", false, "COM2", 20, 10, 2400},
        {"a font size that does not fit",
         "P:\r\nCOM2\r\nR:\r\n5\r\nF:\r\n99999\r\nR:\r\n1\r\nB:\r\n9600\r\n", false, "COM2", 5, 12,
         2400},
        {"empty", "", false, "COM1", 36, 12, 2400},
        {"garbage", std::string("\xff\xfe\0\x80\x1b\x01", 6), false, "COM1", 36, 12, 2400},
        {"one line of four megabytes", std::string(4 << 20, '7'), false, "COM1", 36, 12, 2400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        SetUp();
        std::filesystem::remove(dir.File("options.sav"));
        if (c.bytes)
            dir.Write("options.sav", *c.bytes);
        EXPECT_EQ(LoadSettings(*ws, prompter), c.ok);
        EXPECT_EQ(ws->PortName, c.port);
        EXPECT_EQ(ws->TableRows, c.rows);
        EXPECT_EQ(ws->PrintFontSize, c.font);
        EXPECT_EQ(ws->BaudRate, c.baud);
        EXPECT_EQ(prompter.Texts(),
                  c.ok ? std::vector<std::string>{}
                       : std::vector<std::string>{"Ошибка при вводе из файла options.sav"});
    }
}

}  // namespace
}  // namespace ws
