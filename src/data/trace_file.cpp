#include "data/trace_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "data/atomic_file.h"
#include "data/conditioning.h"
#include "data/numbers.h"
#include "data/text.h"
#include "ui/prompter.h"

namespace fs = std::filesystem;

namespace ws {

TraceReadResult ReadTraceFile(const std::string& path, const Trace& base, bool filterOn) {
    TraceReadResult result;
    const fs::path p = PathFromUtf8(path);
    std::error_code ec;
    if (!fs::exists(p, ec)) {
        result.status = TraceReadStatus::Missing;
        return result;
    }
    result.status = TraceReadStatus::Error;
    if (fs::is_directory(p, ec)) {
        result.problem = "это каталог, а не файл";
        return result;
    }
    std::ifstream in(p, std::ios::binary);
    if (!in) {
        result.problem = "файл не открывается (нет доступа)";
        return result;
    }
    return ParseTraceStream(in, base, filterOn);
}

TraceReadResult ParseTraceStream(std::istream& in, const Trace& base, bool filterOn) {
    TraceReadResult result;
    result.status = TraceReadStatus::Error;
    Trace t = base;
    std::string line;
    auto next = [&](const char* what) {
        if (ReadTextLine(in, line))
            return true;
        result.problem = std::string("файл кончается до ") + what;
        return false;
    };
    if (!next("строки режима") || !next("строки режима"))
        return result;
    const auto regime = RoundToInt16(NumericPrefix(line));
    if (!regime) {
        result.problem = "режим не помещается в 16 бит";
        return result;
    }
    t.Regime = *regime == kRegimeScan ? kRegimeScan : 0;
    if (!next("числа точек") || !next("числа точек"))
        return result;
    const auto count = RoundToInt32(NumericPrefix(line));
    if (!count) {
        result.problem = "число точек не помещается в 32 бита";
        return result;
    }
    t.PointCount = (*count < 0 || *count > kMaxFilePoints) ? 0 : *count;
    if (!next("строки данных"))
        return result;
    for (int i = 0; i < t.PointCount; ++i) {
        if (!ReadTextLine(in, line)) {
            result.problem = "в файле " + CountedNoun(i, "точка", "точки", "точек") + " из " +
                             std::to_string(t.PointCount) + " объявленных";
            return result;
        }
        const auto value = ToSingle(NumericPrefix(line));
        if (!value) {
            result.problem = "значение точки " + std::to_string(i) + " слишком велико";
            return result;
        }
        t.Thickness[static_cast<size_t>(i)] = *value;
    }
    if (in.bad()) {
        result.problem = "ошибка чтения";
        return result;
    }
    ConditionTrace(t, filterOn);
    result.trace = t;
    result.status = TraceReadStatus::Ok;
    return result;
}

std::string FormatTraceFile(const Trace& trace) {
    const int n = std::clamp(trace.PointCount, 0, kPointSlots);
    std::string out;
    out.reserve(64 + static_cast<size_t>(n) * 8);
    out += "Regime:\r\n";
    out += std::to_string(trace.Regime) + "\r\n";
    out += "Total quantity of points:\r\n";
    out += " " + std::to_string(trace.PointCount) + " \r\n";
    out += "Data:\r\n";
    for (int i = 0; i < n; ++i)
        out += FixedPoint(trace.Thickness[static_cast<size_t>(i)], 2) + "\r\n";
    return out;
}

bool LoadTrace(Workspace& ws, Prompter& prompter, const std::string& name) {
    const TraceReadResult r = ReadTraceFile(name, ws.CurrentTrace(), ws.FilterOn);
    if (r.status == TraceReadStatus::Missing)
        return false;
    if (r.status == TraceReadStatus::Error) {
        prompter.Message("Ошибка при вводе из файла", MsgIcon::Exclamation, "Text Editor");
        return false;
    }
    ws.CurrentFileName = name;
    ws.StoreTrace(r.trace);
    return true;
}

std::string WorkingFilePath(const Workspace& ws) {
    return PathToUtf8(PathFromUtf8(ws.HomeDir) / kWorkingFileName);
}

bool SaveTrace(Workspace& ws, Prompter& prompter, const std::string& name) {
    const bool working = name == kWorkingFileName;
    std::error_code ec;
    if (!working && fs::exists(PathFromUtf8(name), ec)) {
        if (!prompter.AskYesNo("Файл уже существует. Перезаписать?"))
            return false;
    }
    const std::string path = working ? WorkingFilePath(ws) : name;
    if (!WriteFileAtomically(path, FormatTraceFile(ws.CurrentTrace()))) {
        prompter.Message("Ошибка при закрытии файла, пожалуйста поворите.", MsgIcon::Exclamation);
        return false;
    }
    ws.CurrentFileName = name;
    return true;
}

}  // namespace ws
