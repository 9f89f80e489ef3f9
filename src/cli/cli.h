#pragma once
// wallscan-cli: the program's procedures for scripts and batch work.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history/dated_scan.h"
#include "ui/prompter.h"

namespace ws {
struct Workspace;
struct Trace;
struct DownloadFacts;
class SurveyArchive;
}  // namespace ws

namespace ws::cli {

// Exit statuses shared by every command.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* summary;
    const char* help;  // full usage text
    bool needsGui;     // renders pictures or pages: needs a (headless) GUI application
    int (*run)(const Args& args);
};

// Every command, in the order --help lists them.
const std::vector<Command>& Commands();

// The program's messages go to standard error; questions are answered No.
class StderrPrompter : public Prompter {
  public:
    void Message(const std::string& text, MsgIcon icon, const std::string& title) override;
    bool AskYesNo(const std::string& text, const std::string& title) override;
    int count = 0;
};

// Loads a .mem file the way "Открыть файл" does (gap filling, the filter when asked and the
// file is a scan). On failure prints the program's message and the reason on standard error.
bool LoadForCli(Workspace& ws, const std::string& path, bool filterOn);

// Says on standard error what is wrong with the command line of `command`; returns kUsage.
int UsageError(const char* command, const char* why, const std::string& what = {});
// An argument that is no option of `command`: the one file it takes, or a usage error
// (an unknown option, a second file). Returns kOk when it was taken as the file.
int TakeFile(const char* command, const std::string& arg, std::string& file);

// "FROM-TO" in millimetres; false when it is not two numbers with FROM <= TO.
bool ParseRange(const std::string& text, double& from, double& to);
// A thickness for --tmin and --tnom: a plain number above 0 and at most 1000 mm.
bool ParseThickness(const std::string& text, float& out);
// A whole number of points (negative only when allowed) within the record's length.
bool ParsePoints(const std::string& text, bool allowNegative, int& out);
bool ParsePoints(const std::string& text, bool allowNegative, std::optional<int>& out);

// Walks a command's words: each option in turn, and the word after it for an option that takes
// one, so every command reads its arguments the same way.
class ArgCursor {
  public:
    explicit ArgCursor(const Args& args) : args_(args) {}
    // Moves to the next word; false past the last one.
    bool Next() {
        if (next_ >= args_.size())
            return false;
        word_ = &args_[next_++];
        return true;
    }
    const std::string& Word() const { return *word_; }
    // Takes the word after the current option; false when there is none.
    bool Value(std::string& into) {
        if (next_ >= args_.size())
            return false;
        into = args_[next_++];
        return true;
    }

  private:
    const Args& args_;
    size_t next_ = 0;
    const std::string* word_ = nullptr;
};

// Writes bytes to standard output unchanged (no newline translation on Windows).
bool WriteStdout(const std::string& bytes);
// Writes bytes to a file, or to standard output when the name is empty or "-".
bool WriteOutput(const std::string& path, const std::string& bytes);

// The commands.
int RunDump(const Args& args);
int RunCsv(const Args& args);
int RunProfile(const Args& args);
int RunDownload(const Args& args);
int RunRelief(const Args& args);
int RunTable(const Args& args);
int RunArchive(const Args& args);
int RunStats(const Args& args);
int RunMap(const Args& args);
int RunCompare(const Args& args);
int RunReport(const Args& args);

// A scan named on the command line: a .mem file, or "#ID" of the survey archive (opened on
// first use, in `archiveDir` or the user's). Says on standard error why it cannot be used:
// missing, unreadable, not a thickness scan.
std::optional<ws::InspectionScan> LoadScanArgument(const char* command, const std::string& arg,
                                                   const std::string& archiveDir,
                                                   std::unique_ptr<ws::SurveyArchive>& archive);

// Files a downloaded trace in the survey archive (the default folder when `archiveDir` is
// empty), saying on standard error where it went or why it did not.
bool FileDownloadInArchive(const std::string& archiveDir, const ws::Trace& trace,
                           const std::vector<uint8_t>& raw, const ws::DownloadFacts& facts);

// The CSV text of a trace (exposed for tests).
std::string FormatCsv(const ws::Trace& trace, bool localeRu);

}  // namespace ws::cli
