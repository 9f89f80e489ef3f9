#include "data/trace_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "support/fake_prompter.h"
#include "support/mem_text.h"
#include "support/temp_dir.h"

namespace ws {
namespace {

using test::FakePrompter;
using test::MemText;
using test::ReadFile;
using test::TempDir;

class TraceFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A trace already in memory: a load that fails must not lose it.
        ws = test::WorkspaceWith({7.0f, 7.1f, 7.2f, 7.3f});
        ws->HomeDir = dir.str();
        ws->CurrentFileName = "old.mem";
        prompter.shown.clear();
    }
    TempDir dir;
    FakePrompter prompter;
    std::unique_ptr<Workspace> ws;
};

// Files that load: what the record holds afterwards at one point, and no message.
TEST_F(TraceFileTest, FilesThatLoad) {
    std::string garbage;
    for (int i = 0; i < 100000; ++i)
        garbage += static_cast<char>((i * 7919) & 0xFF);
    const std::string scan = MemText(255, {"5.00", "0.00", "5.20"});
    const std::string spike = MemText(255, {"10", "10", "12", "10", "10"});
    const struct {
        const char* why;
        std::string bytes;
        bool filter;
        int regime, count, index;
        float value;
    } cases[] = {
        {"a scan: its gap is filled", scan, false, 255, 3, 1, 5.10f},
        {"the filter is off unless switched on", spike, false, 255, 5, 2, 12.0f},
        {"switched on, it takes the spike", spike, true, 255, 5, 2, 10.0f},
        {"single readings are never filtered", MemText(0, {"10", "10", "12", "10", "10"}), true, 0,
         5, 2, 12.0f},
        {"a regime other than 255 is single readings", MemText(254, {"3"}), false, 0, 1, 0, 3.0f},
        {"above 255 as well", MemText(256, {"3"}), false, 0, 1, 0, 3.0f},
        // Counts out of range load as empty and leave the values.
        {"a count past 4100", MemText(255, {"1.00"}, "4101"), false, 255, 0, 0, 7.0f},
        {"a negative count", MemText(255, {"1.00"}, "-1"), false, 255, 0, 0, 7.0f},
        {"1e999 is the number 1 and some text", MemText(255, {"1e999"}), false, 255, 1, 0, 1.0f},
        {"a label line of ten megabytes",
         "Regime:\r\n255\r\n" + std::string(10'000'000, '5') + "\r\n2\r\nData:\r\n1\r\n2\r\n",
         false, 255, 2, 1, 2.0f},
        {"binary garbage reads as no points", garbage, false, 0, 0, 0, 7.0f},
    };
    for (const auto& c : cases) {
        SetUp();
        ws->FilterOn = c.filter;
        const std::string path = dir.Write("ok.mem", c.bytes);
        ASSERT_TRUE(LoadTrace(*ws, prompter, path)) << c.why;
        EXPECT_EQ(ws->Regime, c.regime) << c.why;
        EXPECT_EQ(ws->PointCount, c.count) << c.why;
        EXPECT_FLOAT_EQ(ws->Thickness[static_cast<size_t>(c.index)], c.value) << c.why;
        EXPECT_EQ(ws->CurrentFileName, path) << c.why;
        EXPECT_TRUE(prompter.shown.empty()) << c.why;
    }
}

// Files that do not load are refused whole: the record in memory stays as it was. The user is
// told, except about a name that does not exist, where the caller knows better what to say.
TEST_F(TraceFileTest, FilesThatDoNotLoadLeaveTheRecordWhole) {
    std::filesystem::create_directory(dir.path() / "folder.mem");
    const struct {
        const char* why;
        const char* name;  // x.mem is written with `bytes`
        std::string bytes;
        bool told;
    } cases[] = {
        {"empty", "x.mem", "", true},
        {"ends before the count", "x.mem", "Regime:\r\n255\r\nTotal quantity of points:\r\n", true},
        {"truncated data", "x.mem", MemText(255, {"5.00", "5.10"}, "3"), true},
        {"regime overflows 16 bits", "x.mem", MemText(40000, {"1"}), true},
        {"count overflows 32 bits", "x.mem", MemText(255, {"1"}, "1000000000000"), true},
        {"beyond the float range", "x.mem", MemText(255, {std::string(60, '9').c_str()}), true},
        {"a folder", "folder.mem", "", true},
        {"a missing name", "nope.mem", "", false},
    };
    for (const auto& c : cases) {
        SetUp();
        if (c.name == std::string("x.mem"))
            dir.Write(c.name, c.bytes);
        EXPECT_FALSE(LoadTrace(*ws, prompter, dir.File(c.name))) << c.why;
        EXPECT_EQ(ws->Regime, kRegimeScan) << c.why;
        EXPECT_EQ(ws->PointCount, 4) << c.why;
        EXPECT_FLOAT_EQ(ws->Thickness[3], 7.3f) << c.why;
        EXPECT_EQ(ws->CurrentFileName, "old.mem") << c.why;
        EXPECT_EQ(prompter.Texts(), c.told ? std::vector<std::string>{"Ошибка при вводе из файла"}
                                           : std::vector<std::string>{})
            << c.why;
    }
}

// The working file is overwritten without a question and lives in the home folder.
TEST_F(TraceFileTest, WorkingFileIsWrittenInTheExactLayoutWithoutAsking) {
    dir.Write("temp.mem", "old");
    ws->PointCount = 2;
    ASSERT_TRUE(SaveTrace(*ws, prompter, "temp.mem"));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(ReadFile(dir.File("temp.mem")),
              "Regime:\r\n255\r\nTotal quantity of points:\r\n 2 \r\nData:\r\n7.00\r\n7.10\r\n");
}

TEST_F(TraceFileTest, OverwriteAsksAndNoKeepsTheFile) {
    const auto path = dir.Write("exists.mem", "precious");
    ASSERT_FALSE(SaveTrace(*ws, prompter, path));
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Файл уже существует. Перезаписать?"});
    EXPECT_EQ(ReadFile(path), "precious");
    EXPECT_EQ(ws->CurrentFileName, "old.mem");
    prompter.answers.push_back(true);
    ASSERT_TRUE(SaveTrace(*ws, prompter, path));
    EXPECT_NE(ReadFile(path), "precious");
    EXPECT_EQ(ws->CurrentFileName, path);
}

TEST_F(TraceFileTest, SaveAndLoadGiveBackTheTraceToAHundredth) {
    // A full download: 4100 points, more than older files ever held.
    ws->Regime = 255;
    ws->PointCount = 4100;
    for (int i = 0; i < 4100; ++i)
        ws->Thickness[static_cast<size_t>(i)] = 3.0f + static_cast<float>(i % 700) * 0.01f;
    const auto path = dir.File("big.mem");
    ASSERT_TRUE(SaveTrace(*ws, prompter, path));
    auto copy = std::make_unique<Workspace>();
    ASSERT_TRUE(LoadTrace(*copy, prompter, path));
    EXPECT_EQ(copy->PointCount, 4100);
    EXPECT_EQ(FormatTraceFile(copy->CurrentTrace()), ReadFile(path));
}

}  // namespace
}  // namespace ws
