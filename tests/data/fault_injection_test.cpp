// Writers under real faults: a full disk, a folder pulled away mid-save, the process killed
// mid-save. After each the old file is whole and readable, and the user was told.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/atomic_file.h"
#include "data/settings.h"
#include "data/trace_file.h"
#include "support/child_process.h"
#include "support/fake_prompter.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace {
bool failFlush = false;
}  // namespace

// The C library's flush, replaced in this test program so a test can play a disk that takes
// the write but fails when the data is forced out (a full thin volume, a share gone away).
extern "C" int fsync(int fd) {
    if (failFlush) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(syscall(SYS_fsync, fd));
}
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

// Every writer's file reaches the disk before it replaces the old one, and the folder holding the
// rename after it: a power cut then leaves the old file or the new one, never an empty one.
TEST(AtomicWrite, TheFileIsOnDiskBeforeTheRenameAndTheFolderAfter) {
    TempDir dir;
    static std::vector<std::string> events;
    events.clear();
    AfterFlushToDisk = [](const std::string& p) { events.push_back("flush " + p); };
    BeforeAtomicCommit = [](const std::string& p) { events.push_back("rename " + p); };
    auto ws = BigTrace(dir);
    FakePrompter prompter;
    const bool ok = SaveSettings(*ws, prompter);
    AfterFlushToDisk = nullptr;
    BeforeAtomicCommit = nullptr;
    ASSERT_TRUE(ok);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].substr(0, 6), "flush ");
    EXPECT_EQ(events[1], "rename " + events[0].substr(6));  // the same temporary file
    EXPECT_EQ(std::filesystem::path(events[2].substr(6)), dir.path());
}

#ifndef _WIN32
// A file the owner made private stays private after a save, and a name that is a symbolic link
// stays a link: the file it points to gets the new contents.
TEST(AtomicWrite, PermissionsAndSymbolicLinksAreKept) {
    namespace fs = std::filesystem;
    TempDir dir;
    dir.Write("real/a.mem", kOldTrace);
    fs::permissions(dir.path() / "real/a.mem", fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::replace);
    fs::create_symlink(dir.path() / "real/a.mem", dir.path() / "link.mem");
    auto ws = BigTrace(dir);
    FakePrompter prompter;
    prompter.answers = {true, true};
    ASSERT_TRUE(SaveTrace(*ws, prompter, dir.File("real/a.mem")));
    EXPECT_EQ(fs::status(dir.path() / "real/a.mem").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    ws->PointCount = 3;
    ASSERT_TRUE(SaveTrace(*ws, prompter, dir.File("link.mem")));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.path() / "link.mem")));
    EXPECT_NE(ReadFile(dir.File("real/a.mem")).find(" 3 \r\n"), std::string::npos);
    EXPECT_EQ(fs::status(dir.path() / "real/a.mem").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    // A dangling link is followed too: the file appears where it points.
    fs::create_symlink(dir.path() / "real/new.mem", dir.path() / "dangling.mem");
    ASSERT_TRUE(WriteFileAtomically(dir.File("dangling.mem"), "x"));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.path() / "dangling.mem")));
    EXPECT_EQ(ReadFile(dir.File("real/new.mem")), "x");
}
#endif

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

using test::InChild;

TEST(FaultInjection, AFailedFlushFailsTheSaveAndKeepsTheOldFile) {
    TempDir dir;
    dir.Write("temp.mem", kOldTrace);
    auto ws = BigTrace(dir);
    FakePrompter prompter;
    failFlush = true;
    const bool saved = SaveTrace(*ws, prompter, "temp.mem");
    failFlush = false;
    EXPECT_FALSE(saved);
    EXPECT_EQ(prompter.Texts(),
              std::vector<std::string>{"Ошибка при закрытии файла, пожалуйста поворите."});
    EXPECT_EQ(ReadFile(dir.File("temp.mem")), kOldTrace);
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
