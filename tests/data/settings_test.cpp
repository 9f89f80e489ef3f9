#include "data/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

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
    }
    void Write(const std::string& text) { dir.Write("options.sav", text); }
    void ExpectMessage() {
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].text, "Ошибка при вводе из файла options.sav");
        EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(prompter.shown[0].title, "Text Editor");
    }
    TempDir dir;
    FakePrompter prompter;
    std::unique_ptr<Workspace> ws;
};

TEST_F(SettingsTest, WritesTheTenLines) {
    ws->PortName = "COM2";
    ws->TableRows = 40;
    ws->PrintFontSize = 10;
    ws->RangeOfMeasure = 1.005f;  // binary 1.00499999...: must still be written rounded up
    ws->BaudRate = 57600;
    ASSERT_TRUE(SaveSettings(*ws, prompter));
    EXPECT_EQ(ReadFile(dir.File("options.sav")),
              "Port:\r\nCOM2\r\nTable rows:\r\n40\r\nFontSize:\r\n10\r\nRange of measure:\r\n"
              "1.01\r\nBaud Rate:\r\n57600\r\n");
}

TEST_F(SettingsTest, ReadsBackWhatItWrote) {
    ws->PortName = "COM1";
    ws->TableRows = 12;
    ws->PrintFontSize = 8;
    ws->RangeOfMeasure = 2.5f;
    ws->BaudRate = 9600;
    ASSERT_TRUE(SaveSettings(*ws, prompter));
    auto other = std::make_unique<Workspace>();
    other->HomeDir = dir.str();
    ASSERT_TRUE(LoadSettings(*other, prompter));
    EXPECT_EQ(other->PortName, "COM1");
    EXPECT_EQ(other->TableRows, 12);
    EXPECT_EQ(other->PrintFontSize, 8);
    EXPECT_FLOAT_EQ(other->RangeOfMeasure, 2.5f);
    EXPECT_EQ(other->BaudRate, 9600);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(SettingsTest, LabelsAreNotComparedAndValuesRoundHalfToEven) {
    Write("x\nCOM2\ny\n36\nz\n12.5\nw\n2\nv\n9600.4\n");
    ASSERT_TRUE(LoadSettings(*ws, prompter));
    EXPECT_EQ(ws->PrintFontSize, 12);
    EXPECT_EQ(ws->BaudRate, 9600);
    Write(
        "Port:\r\nCOM2\r\nTable rows:\r\n36\r\nFontSize:\r\n12.7\r\nR:\r\n2.00\r\nB:\r\n2400\r\n");
    ASSERT_TRUE(LoadSettings(*ws, prompter));
    EXPECT_EQ(ws->PrintFontSize, 13);
}

TEST_F(SettingsTest, MissingFileShowsTheMessageAndKeepsDefaults) {
    ws->TableRows = 36;
    ASSERT_FALSE(LoadSettings(*ws, prompter));
    ExpectMessage();
    EXPECT_EQ(ws->TableRows, 36);
}

TEST_F(SettingsTest, FileEndingAfterLineSixKeepsWhatWasRead) {
    ws->RangeOfMeasure = 0.0f;
    ws->BaudRate = 2400;
    Write("Port:\r\nCOM2\r\nTable rows:\r\n20\r\nFontSize:\r\n10\r\n");
    ASSERT_FALSE(LoadSettings(*ws, prompter));
    ExpectMessage();
    EXPECT_EQ(ws->PortName, "COM2");
    EXPECT_EQ(ws->TableRows, 20);
    EXPECT_EQ(ws->PrintFontSize, 10);
    EXPECT_EQ(ws->RangeOfMeasure, 0.0f);
    EXPECT_EQ(ws->BaudRate, 2400);
}

TEST_F(SettingsTest, ValuesThatDoNotFitStopTheReadWithTheMessage) {
    ws->PrintFontSize = 12;
    Write("Port:\r\nCOM1\r\nRows:\r\n5\r\nFont:\r\n99999\r\nR:\r\n1\r\nB:\r\n2400\r\n");
    ASSERT_FALSE(LoadSettings(*ws, prompter));
    ExpectMessage();
    EXPECT_EQ(ws->TableRows, 5);
    EXPECT_EQ(ws->PrintFontSize, 12);
}

TEST_F(SettingsTest, GarbageAndEmptyFilesKeepTheDefaults) {
    std::string garbage;
    for (int i = 0; i < 5000; ++i) {
        const char c = static_cast<char>((i * 31) & 0xFF);
        garbage += c == '\r' || c == '\n' ? 'x' : c;
    }
    for (const std::string& bytes : {std::string(), garbage, std::string(4 << 20, '7')}) {
        ws->TableRows = 36;
        ws->PortName = "COM1";
        prompter.shown.clear();
        Write(bytes);
        EXPECT_FALSE(LoadSettings(*ws, prompter)) << bytes.size();
        ExpectMessage();
        EXPECT_EQ(ws->TableRows, 36);
    }
}

TEST_F(SettingsTest, FailedWriteKeepsTheOldFileAndSaysSo) {
    Write("old settings");
    std::filesystem::permissions(dir.File("options.sav"), std::filesystem::perms::owner_read);
    EXPECT_FALSE(SaveSettings(*ws, prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Ошибка при закрытии файла options.sav");
    EXPECT_EQ(prompter.shown[0].title, "WallScan");
    EXPECT_EQ(ReadFile(dir.File("options.sav")), "old settings");
    ws->HomeDir = dir.File("gone");
    EXPECT_FALSE(SaveSettings(*ws, prompter));
}

}  // namespace
}  // namespace ws
