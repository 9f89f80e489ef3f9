#include "data/folder_scan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "data/trace_file.h"
#include "support/fake_prompter.h"
#include "support/mem_text.h"
#include "support/temp_dir.h"

namespace ws {
namespace {

using test::FakePrompter;
using test::TempDir;

std::string Scan(int points, float value, int regime = 255) {
    std::string s = "Regime:\r\n" + std::to_string(regime) + "\r\nTotal quantity of points:\r\n " +
                    std::to_string(points) + " \r\nData:\r\n";
    for (int i = 0; i < points; ++i)
        s += std::to_string(value + static_cast<float>(i) * 0.01f).substr(0, 5) + "\r\n";
    return s;
}

class FolderScanTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ws = test::WorkspaceWith({9.0f, 9.5f});
        ws->CurrentFileName = "downloaded, not saved";
    }
    TempDir dir;
    FakePrompter prompter;
    std::unique_ptr<Workspace> ws;
};

TEST(SortFileNames, ByteOrderCaseSensitivePrefixFirst) {
    std::vector<std::string> names{"b.mem", "a.mem", "A.mem", "ab.mem", "a.mem2"};
    SortFileNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"A.mem", "a.mem", "a.mem2", "ab.mem", "b.mem"}));
    std::vector<std::string> prefix{"trace10.mem", "trace1.mem", "trace1"};
    SortFileNames(prefix);
    EXPECT_EQ(prefix.front(), "trace1");
}

TEST_F(FolderScanTest, ReadsSortedFilesIntoTheReliefSetAndKeepsTheRecord) {
    dir.Write("b.mem", Scan(300, 5.0f));
    dir.Write("A.mem", Scan(250, 6.0f));
    dir.Write("a.mem", Scan(400, 7.0f));
    dir.Write("notes.txt", "not a trace");
    ASSERT_TRUE(ScanFolder(*ws, prompter, dir.str()));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(ws->ReliefFileCount, 3);
    EXPECT_EQ(ws->ReliefFileNames[1], "A.mem");
    EXPECT_EQ(ws->ReliefFileNames[2], "a.mem");
    EXPECT_EQ(ws->ReliefFileNames[3], "b.mem");
    EXPECT_EQ(ws->ReliefMinPoints, 250);
    EXPECT_FLOAT_EQ(ws->ReliefGrid[1][0], 6.0f);
    EXPECT_FLOAT_EQ(ws->ReliefGrid[2][0], 7.0f);
    EXPECT_FLOAT_EQ(ws->ReliefSource[2][249], ws->ReliefGrid[3][249]);
    // The trace the user was looking at is still there.
    EXPECT_EQ(ws->PointCount, 2);
    EXPECT_FLOAT_EQ(ws->Thickness[1], 9.5f);
    EXPECT_EQ(ws->CurrentFileName, "downloaded, not saved");
}

TEST_F(FolderScanTest, TrailingSeparatorDoesNotMatter) {
    dir.Write("x.mem", Scan(10, 5.0f));
    ASSERT_TRUE(ScanFolder(*ws, prompter, dir.str() + "/"));
    EXPECT_EQ(ws->ReliefFileCount, 1);
}

TEST_F(FolderScanTest, EmptyFolderSaysNoFiles) {
    ws->ReliefFileCount = 4;
    EXPECT_FALSE(ScanFolder(*ws, prompter, dir.str()));
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"нет файлов"});
    EXPECT_EQ(ws->ReliefFileCount, 0);
}

TEST_F(FolderScanTest, UnreadableOrMissingFolderSaysNoFiles) {
    EXPECT_FALSE(ScanFolder(*ws, prompter, dir.File("does-not-exist")));
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"нет файлов"});
}

TEST_F(FolderScanTest, TakesAtMostTenFiles) {
    for (int i = 0; i < 12; ++i)
        dir.Write("t" + std::to_string(10 + i) + ".mem", Scan(20, 5.0f));
    ASSERT_TRUE(ScanFolder(*ws, prompter, dir.str()));
    EXPECT_EQ(ws->ReliefFileCount, 10);
    EXPECT_EQ(ws->ReliefFileNames[10], "t19.mem");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(FolderScanTest, UpperCaseExtensionCountsAndFoldersDoNot) {
    dir.Write("UP.MEM", Scan(10, 5.0f));
    std::filesystem::create_directory(dir.path() / "sub.mem");
    ASSERT_TRUE(ScanFolder(*ws, prompter, dir.str()));
    EXPECT_EQ(ws->ReliefFileCount, 1);
}

TEST_F(FolderScanTest, SingleReadingsLastMeansNoRelief) {
    dir.Write("a.mem", Scan(10, 5.0f));
    dir.Write("b.mem", Scan(10, 5.0f, 0));
    EXPECT_FALSE(ScanFolder(*ws, prompter, dir.str()));
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Неверный формат в файле b.mem"});
    EXPECT_EQ(ws->ReliefFileCount, 2);
}

TEST_F(FolderScanTest, OnePointFilesMeanNoRelief) {
    dir.Write("a.mem", Scan(1, 5.0f));
    dir.Write("b.mem", Scan(1, 5.0f));
    EXPECT_FALSE(ScanFolder(*ws, prompter, dir.str()));
    EXPECT_EQ(prompter.shown.size(), 2u);
}

TEST_F(FolderScanTest, UnreadableFileIsReportedAndLeftOut) {
    dir.Write("a.mem", Scan(10, 5.0f));
    dir.Write("b.mem", "Regime:\r\n255\r\nTotal quantity of points:\r\n 50 \r\nData:\r\n1.00\r\n");
    dir.Write("c.mem", Scan(12, 6.0f));
    ASSERT_TRUE(ScanFolder(*ws, prompter, dir.str()));
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Ошибка при вводе из файла b.mem"});
    EXPECT_EQ(ws->ReliefFileCount, 2);
    EXPECT_EQ(ws->ReliefFileNames[1], "a.mem");
    EXPECT_EQ(ws->ReliefFileNames[2], "c.mem");
    EXPECT_EQ(ws->ReliefMinPoints, 10);
    EXPECT_FLOAT_EQ(ws->ReliefGrid[2][0], 6.0f);
}

TEST_F(FolderScanTest, FilterAppliesToTheFolderTracesToo) {
    dir.Write("a.mem", "Regime:\r\n255\r\nx\r\n5\r\nData:\r\n10\r\n10\r\n12\r\n10\r\n10\r\n");
    ws->FilterOn = true;
    ASSERT_TRUE(ScanFolder(*ws, prompter, dir.str()));
    EXPECT_FLOAT_EQ(ws->ReliefGrid[1][2], 10.0f);
}

}  // namespace
}  // namespace ws
