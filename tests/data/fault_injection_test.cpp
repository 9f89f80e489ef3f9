// Writers under real faults: a read-only file, a missing folder, a full disk, a disk that fails
// the flush, the process killed mid-save. After each the old file is whole and readable, and the
// user was told.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
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

namespace fs = std::filesystem;
using test::FakePrompter;
using test::ReadFile;
using test::TempDir;

const std::string kOldTrace =
    "Regime:\r\n255\r\nTotal quantity of points:\r\n 2 \r\nData:\r\n6.00\r\n6.10\r\n";
const std::string kOldSettings =
    "Port:\r\nCOM2\r\nTable rows:\r\n36\r\nFontSize:\r\n12\r\nRange of measure:\r\n0.00\r\n"
    "Baud Rate:\r\n9600\r\n";
const std::string kSaveFailed = "Ошибка при закрытии файла, пожалуйста поворите.";

std::unique_ptr<Workspace> BigTrace(const TempDir& dir) {
    auto ws = std::make_unique<Workspace>();
    ws->HomeDir = dir.str();
    ws->Regime = 255;
    ws->PointCount = 4000;
    ws->Thickness.fill(8.0f);
    ws->PortName = "COM1";
    ws->CurrentFileName = "old.mem";
    return ws;
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
    EXPECT_EQ(fs::path(events[2].substr(6)), dir.path());
}

#ifndef _WIN32
// A file the owner made private stays private after a save, and a name that is a symbolic link
// stays a link: the file it points to gets the new contents.
TEST(AtomicWrite, PermissionsAndSymbolicLinksAreKept) {
    const auto kPrivate = fs::perms::owner_read | fs::perms::owner_write;
    TempDir dir;
    dir.Write("real/a.mem", kOldTrace);
    fs::permissions(dir.path() / "real/a.mem", kPrivate, fs::perm_options::replace);
    fs::create_symlink(dir.path() / "real/a.mem", dir.path() / "link.mem");
    auto ws = BigTrace(dir);
    ws->PointCount = 3;
    FakePrompter prompter;
    prompter.answers = {true};
    ASSERT_TRUE(SaveTrace(*ws, prompter, dir.File("link.mem")));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.path() / "link.mem")));
    EXPECT_NE(ReadFile(dir.File("real/a.mem")).find(" 3 \r\n"), std::string::npos);
    EXPECT_EQ(fs::status(dir.path() / "real/a.mem").permissions(), kPrivate);
}

// Each way a save can fail: the user is told, the old file (if any) is whole, the record keeps
// its old name and no temporary file is left behind.
TEST(FaultInjection, FailedSavesKeepTheOldFileAndSaySo) {
    static rlimit sizeLimit;
    getrlimit(RLIMIT_FSIZE, &sizeLimit);
    const struct {
        const char* why;
        std::string name;  // under the test's folder; temp.mem is the working file
        std::function<void(const TempDir&)> fault;
    } cases[] = {
        {"a read-only file", "a.mem",
         [](const TempDir& d) { fs::permissions(d.File("a.mem"), fs::perms::owner_read); }},
        {"a missing folder", "no/such/folder/x.mem", nullptr},
        {"the flush to disk fails", "temp.mem", [](const TempDir&) { failFlush = true; }},
        // A file-size limit plays a disk with 100 bytes left: the write itself fails.
        {"a full disk", "temp.mem",
         [](const TempDir&) {
             signal(SIGXFSZ, SIG_IGN);
             const rlimit full{100, sizeLimit.rlim_max};
             setrlimit(RLIMIT_FSIZE, &full);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TempDir dir;
        dir.Write("temp.mem", kOldTrace);
        dir.Write("a.mem", kOldTrace);
        auto ws = BigTrace(dir);
        FakePrompter prompter;
        prompter.answers = {true};  // yes, overwrite
        if (c.fault)
            c.fault(dir);
        const std::string name = c.name == "temp.mem" ? c.name : dir.File(c.name);
        const bool saved = SaveTrace(*ws, prompter, name);
        failFlush = false;
        setrlimit(RLIMIT_FSIZE, &sizeLimit);
        EXPECT_FALSE(saved);
        ASSERT_FALSE(prompter.shown.empty());
        EXPECT_EQ(prompter.Texts().back(), kSaveFailed);
        EXPECT_EQ(ws->CurrentFileName, "old.mem");
        EXPECT_EQ(ReadFile(dir.File("temp.mem")), kOldTrace);
        EXPECT_EQ(ReadFile(dir.File("a.mem")), kOldTrace);
        for (const auto& e : fs::recursive_directory_iterator(dir.path()))
            EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos) << e.path();
    }
}

using test::InChild;

// Both writers share the atomic write, and the trace writer's failures are the table's above:
// the settings writer shows that a save cut short by a kill leaves the old file.
TEST(FaultInjection, KilledInTheMiddleOfSavingLeavesTheOldFileWhole) {
    TempDir dir;
    dir.Write("options.sav", kOldSettings);
    const int code = InChild([&] {
        BeforeAtomicCommit = [](const std::string&) { raise(SIGKILL); };
        auto ws = BigTrace(dir);
        FakePrompter prompter;
        SaveSettings(*ws, prompter);
    });
    EXPECT_EQ(code, 128 + SIGKILL);
    EXPECT_EQ(ReadFile(dir.File("options.sav")), kOldSettings);
}
#endif

}  // namespace
}  // namespace ws
