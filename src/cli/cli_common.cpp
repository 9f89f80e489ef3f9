#include <cstdio>
#include <fstream>
#include <iostream>

#include "cli/cli.h"
#include "data/numbers.h"
#include "data/record.h"
#include "data/text.h"
#include "data/trace_file.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace ws::cli {

void StderrPrompter::Message(const std::string& text, MsgIcon, const std::string&) {
    ++count;
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool StderrPrompter::AskYesNo(const std::string& text, const std::string&) {
    ++count;
    std::fprintf(stderr, "%s Нет\n", text.c_str());
    return false;
}

bool LoadForCli(Workspace& ws, const std::string& path, bool filterOn) {
    const TraceReadResult r = ReadTraceFile(path, ws.CurrentTrace(), filterOn);
    if (r.status == TraceReadStatus::Missing) {
        std::fprintf(stderr, "wallscan-cli: %s: файл не найден\n", path.c_str());
        return false;
    }
    if (r.status == TraceReadStatus::Error) {
        std::fprintf(stderr, "Ошибка при вводе из файла\nwallscan-cli: %s: %s\n", path.c_str(),
                     r.problem.c_str());
        return false;
    }
    ws.FilterOn = filterOn;
    ws.StoreTrace(r.trace);
    ws.CurrentFileName = path;
    return true;
}

int UsageError(const char* command, const char* why, const std::string& what) {
    std::fprintf(stderr, "wallscan-cli %s: %s%s (wallscan-cli %s --help)\n", command, why,
                 what.c_str(), command);
    return kUsage;
}

int TakeFile(const char* command, const std::string& arg, std::string& file) {
    if (!arg.empty() && arg[0] == '-')
        return UsageError(command, "неизвестный параметр ", arg);
    if (!file.empty())
        return UsageError(command, "лишний аргумент ", arg);
    file = arg;
    return kOk;
}

bool ParseThickness(const std::string& text, float& out) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos ||
        text.find_first_of("0123456789") == std::string::npos)
        return false;
    const auto v = ToSingle(NumericPrefix(text));
    if (!v || !(*v > 0.0f) || *v > 1000.0f)
        return false;
    out = *v;
    return true;
}

bool ParsePoints(const std::string& text, bool allowNegative, int& out) {
    const size_t digits = !text.empty() && text[0] == '-' && allowNegative ? 1 : 0;
    if (text.size() <= digits || text.size() > digits + 5 ||
        text.find_first_not_of("0123456789", digits) != std::string::npos)
        return false;
    const int v = std::stoi(text);
    if (v < -kPointSlots || v > kPointSlots)
        return false;
    out = v;
    return true;
}

bool ParsePoints(const std::string& text, bool allowNegative, std::optional<int>& out) {
    int v = 0;
    if (!ParsePoints(text, allowNegative, v))
        return false;
    out = v;
    return true;
}

bool ParseRange(const std::string& text, double& from, double& to) {
    const size_t dash = text.find('-', 1);
    if (dash == std::string::npos)
        return false;
    const std::string a = text.substr(0, dash), b = text.substr(dash + 1);
    auto isNumber = [](const std::string& s) {
        return !s.empty() && s.find_first_not_of("0123456789.") == std::string::npos &&
               s.find_first_of("0123456789") != std::string::npos;
    };
    if (!isNumber(a) || !isNumber(b))
        return false;
    from = NumericPrefix(a);
    to = NumericPrefix(b);
    return from <= to;
}

bool WriteStdout(const std::string& bytes) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return written == bytes.size() && std::fflush(stdout) == 0;
}

bool WriteOutput(const std::string& path, const std::string& bytes) {
    if (path.empty() || path == "-")
        return WriteStdout(bytes);
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "wallscan-cli: %s: не удалось записать файл\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace ws::cli
