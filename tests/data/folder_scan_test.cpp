#include "data/folder_scan.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/fake_prompter.h"
#include "support/mem_text.h"
#include "support/temp_dir.h"

namespace ws {
namespace {

using test::FakePrompter;
using test::TempDir;

// A scan of `points` readings rising by 0.01 mm from `first`.
std::string Scan(int points, float first, int regime = 255) {
    std::vector<float> v;
    for (int i = 0; i < points; ++i)
        v.push_back(first + static_cast<float>(i) * 0.01f);
    return test::MemOf(regime, v);
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

// The files come in byte order (upper case first), so the relief's rows follow their names.
TEST_F(FolderScanTest, ReadsSortedFilesIntoTheReliefSetAndKeepsTheRecord) {
    dir.Write("b.mem", Scan(300, 5.0f));
    dir.Write("A.mem", Scan(250, 6.0f));
    dir.Write("a.mem", Scan(400, 7.0f));
    dir.Write("notes.txt", "not a trace");
    ASSERT_TRUE(ScanFolder(*ws, prompter, dir.str() + "/"));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(ws->ReliefFileCount, 3);
    for (const auto& [k, name] : {std::pair{1, "A.mem"}, {2, "a.mem"}, {3, "b.mem"}})
        EXPECT_EQ(ws->ReliefFileNames[static_cast<size_t>(k)], name);
    EXPECT_EQ(ws->ReliefMinPoints, 250);
    EXPECT_FLOAT_EQ(ws->ReliefGrid[1][0], 6.0f);
    // The trace the user was looking at is still there.
    EXPECT_EQ(ws->PointCount, 2);
    EXPECT_EQ(ws->CurrentFileName, "downloaded, not saved");
}

// Which files a folder gives, whether a relief can be drawn, and what the user is told.
TEST_F(FolderScanTest, FoldersAndWhatTheyGive) {
    using Files = std::vector<std::pair<std::string, std::string>>;
    Files twelve;
    for (int i = 10; i < 22; ++i)
        twelve.emplace_back("t" + std::to_string(i) + ".mem", Scan(20, 5.0f));
    const struct {
        const char* why;
        Files files;
        bool ok;
        int count;
        const char* last;  // the last file taken
        std::vector<std::string> told;
    } cases[] = {
        {"an empty folder", {}, false, 0, "", {"нет файлов"}},
        {"only a folder named like a trace", {{"sub.mem/x", ""}}, false, 0, "", {"нет файлов"}},
        {"the first ten names only", twelve, true, 10, "t19.mem", {}},
        {"an upper-case extension", {{"UP.MEM", Scan(10, 5.0f)}}, true, 1, "UP.MEM", {}},
        {"single readings last",
         {{"a.mem", Scan(10, 5.0f)}, {"b.mem", Scan(10, 5.0f, 0)}},
         false,
         2,
         "b.mem",
         {"Неверный формат в файле b.mem"}},
        {"one point per file",
         {{"a.mem", Scan(1, 5.0f)}, {"b.mem", Scan(1, 5.0f)}},
         false,
         2,
         "b.mem",
         {"Неверный формат в файле a.mem", "Неверный формат в файле b.mem"}},
        {"an unreadable file is left out",
         {{"a.mem", Scan(10, 5.0f)},
          {"b.mem", test::MemText(255, {"1.00"}, "50")},
          {"c.mem", Scan(12, 6.0f)}},
         true,
         2,
         "c.mem",
         {"Ошибка при вводе из файла b.mem"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TempDir folder;
        for (const auto& [name, bytes] : c.files)
            folder.Write(name, bytes);
        ws->ReliefFileCount = 4;
        prompter.shown.clear();
        EXPECT_EQ(ScanFolder(*ws, prompter, folder.str()), c.ok);
        EXPECT_EQ(ws->ReliefFileCount, c.count);
        EXPECT_EQ(ws->ReliefFileNames[static_cast<size_t>(c.count)], c.last);
        EXPECT_EQ(prompter.Texts(), c.told);
    }
    EXPECT_FALSE(ScanFolder(*ws, prompter, dir.File("does-not-exist")));
    EXPECT_EQ(prompter.Texts().back(), "нет файлов");
}

TEST_F(FolderScanTest, FilterAppliesToTheFolderTracesToo) {
    dir.Write("a.mem", test::MemText(255, {"10", "10", "12", "10", "10"}));
    ws->FilterOn = true;
    ASSERT_TRUE(ScanFolder(*ws, prompter, dir.str()));
    EXPECT_FLOAT_EQ(ws->ReliefGrid[1][2], 10.0f);
}

}  // namespace
}  // namespace ws
