// Writers under real faults: a full disk, a folder pulled away mid-save, the process killed
// mid-save. After each the old file is whole and readable, and the user was told.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "data/atomic_file.h"
#include "data/settings.h"
#include "data/trace_file.h"
#include "support/fake_prompter.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace ws {
namespace {

using test::FakePrompter;
using test::ReadFile;
using test::TempDir;

const std::string kOldTrace =
    "Regime:\r\n255\r\nTotal quantity of points:\r\n 2 \r\nData:\r\n6.00\r\n6.10\r\n";
const std::string kOldSettings =
    "Port:\r\nCOM2\r\nTable rows:\r\n36\r\nFontSize:\r\n12\r\nRange of measure:\r\n0.00\r\n"
    "Baud Rate:\r\n9600\r\n";

std::unique_ptr<Workspace> BigTrace(const TempDir& dir) {
    auto ws = std::make_unique<Workspace>();
    ws->HomeDir = dir.str();
    ws->Regime = 255;
    ws->PointCount = 4000;
    for (int i = 0; i < 4000; ++i)
        ws->Thickness[static_cast<size_t>(i)] = 8.0f;
    ws->PortName = "COM1";
    return ws;
}

void ExpectOldFilesWhole(const TempDir& dir) {
    EXPECT_EQ(ReadFile(dir.File("temp.mem")), kOldTrace);
    EXPECT_EQ(ReadFile(dir.File("options.sav")), kOldSettings);
    auto ws = std::make_unique<Workspace>();
    ws->HomeDir = dir.str();
    FakePrompter p;
    EXPECT_TRUE(LoadTrace(*ws, p, dir.File("temp.mem")));
    EXPECT_EQ(ws->PointCount, 2);
    EXPECT_TRUE(LoadSettings(*ws, p));
}

TEST(FaultInjection, FolderPulledAwayBetweenTheCheckAndTheRename) {
    TempDir dir;
    dir.Write("sub/a.mem", kOldTrace);
    auto ws = BigTrace(dir);
    FakePrompter prompter;
    prompter.answers = {true};
    static std::filesystem::path victim;
    victim = dir.path() / "sub";
    BeforeAtomicCommit = [](const std::string&) {
        std::error_code ec;
        std::filesystem::remove_all(victim, ec);
    };
    const bool saved = SaveTrace(*ws, prompter, dir.File("sub/a.mem"));
    BeforeAtomicCommit = nullptr;
    EXPECT_FALSE(saved);
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].text, "Ошибка при закрытии файла, пожалуйста поворите.");
}

#ifndef _WIN32

// Runs `body` in a child process and returns how it ended: the exit code, or 128 + signal.
template <typename F>
int InChild(F body) {
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(FaultInjection, FullDiskKeepsTheOldFilesAndTellsTheUser) {
    TempDir dir;
    dir.Write("temp.mem", kOldTrace);
    dir.Write("options.sav", kOldSettings);
    const int code = InChild([&] {
        // A file-size limit plays a disk with 100 bytes left.
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        auto ws = BigTrace(dir);
        FakePrompter prompter;
        const bool traceSaved = SaveTrace(*ws, prompter, "temp.mem");
        const bool settingsSaved = SaveSettings(*ws, prompter);  // short: fits the limit
        const bool told =
            prompter.shown.size() == 1 &&
            prompter.shown[0].text == "Ошибка при закрытии файла, пожалуйста поворите.";
        _exit(!traceSaved && settingsSaved && told ? 0 : 1);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadFile(dir.File("temp.mem")), kOldTrace);
    // No half-written temporary is left behind either.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 2);
}

TEST(FaultInjection, KilledInTheMiddleOfSavingLeavesTheOldFilesWhole) {
    TempDir dir;
    dir.Write("temp.mem", kOldTrace);
    dir.Write("options.sav", kOldSettings);
    for (int victim = 0; victim < 2; ++victim) {
        const int code = InChild([&] {
            BeforeAtomicCommit = [](const std::string&) { raise(SIGKILL); };
            auto ws = BigTrace(dir);
            FakePrompter prompter;
            if (victim == 0)
                SaveTrace(*ws, prompter, "temp.mem");
            else
                SaveSettings(*ws, prompter);
        });
        EXPECT_EQ(code, 128 + SIGKILL);
        ExpectOldFilesWhole(dir);
    }
}

TEST(FaultInjection, ReadOnlyFolderRefusesTheSaveAndKeepsTheFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    dir.Write("temp.mem", kOldTrace);
    std::filesystem::permissions(
        dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    auto ws = BigTrace(dir);
    FakePrompter prompter;
    EXPECT_FALSE(SaveTrace(*ws, prompter, "temp.mem"));
    EXPECT_EQ(prompter.shown.size(), 1u);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadFile(dir.File("temp.mem")), kOldTrace);
}

#endif

}  // namespace
}  // namespace ws
