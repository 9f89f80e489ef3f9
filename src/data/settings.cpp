#include "data/settings.h"

#include <filesystem>
#include <fstream>

#include "data/atomic_file.h"
#include "data/numbers.h"
#include "data/text.h"
#include "ui/prompter.h"

namespace ws {

std::string SettingsFilePath(const Workspace& ws) {
    return PathToUtf8(PathFromUtf8(ws.HomeDir) / kSettingsFileName);
}

std::string FormatSettingsFile(const Workspace& ws) {
    std::string out;
    out += "Port:\r\n" + Utf8ToCp1251(ws.PortName) + "\r\n";
    out += "Table rows:\r\n" + std::to_string(ws.TableRows) + "\r\n";
    out += "FontSize:\r\n" + std::to_string(ws.PrintFontSize) + "\r\n";
    out += "Range of measure:\r\n" + FixedPoint(ws.RangeOfMeasure, 2) + "\r\n";
    out += "Baud Rate:\r\n" + std::to_string(ws.BaudRate) + "\r\n";
    return out;
}

namespace {

bool ReadSettings(Workspace& ws, const std::string& path) {
    const auto p = PathFromUtf8(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(p, ec))
        return false;
    std::ifstream in(p, std::ios::binary);
    if (!in)
        return false;
    return ParseSettingsStream(ws, in);
}

}  // namespace

bool ParseSettingsStream(Workspace& ws, std::istream& in) {
    std::string line;
    if (!ReadTextLine(in, line) || !ReadTextLine(in, line))
        return false;
    ws.PortName = Cp1251ToUtf8(line);
    if (!ReadTextLine(in, line) || !ReadTextLine(in, line))
        return false;
    const auto rows = RoundToInt32(NumericPrefix(line));
    if (!rows)
        return false;
    ws.TableRows = *rows;
    if (!ReadTextLine(in, line) || !ReadTextLine(in, line))
        return false;
    const auto font = RoundToInt16(NumericPrefix(line));
    if (!font)
        return false;
    ws.PrintFontSize = *font;
    if (!ReadTextLine(in, line) || !ReadTextLine(in, line))
        return false;
    const auto range = ToSingle(NumericPrefix(line));
    if (!range)
        return false;
    ws.RangeOfMeasure = *range;
    if (!ReadTextLine(in, line) || !ReadTextLine(in, line))
        return false;
    const auto baud = RoundToInt32(NumericPrefix(line));
    if (!baud)
        return false;
    ws.BaudRate = *baud;
    return true;
}

bool LoadSettings(Workspace& ws, Prompter& prompter) {
    if (ReadSettings(ws, SettingsFilePath(ws)))
        return true;
    prompter.Message("Ошибка при вводе из файла options.sav", MsgIcon::Exclamation, "Text Editor");
    return false;
}

bool SaveSettings(const Workspace& ws, Prompter& prompter) {
    if (WriteFileAtomically(SettingsFilePath(ws), FormatSettingsFile(ws)))
        return true;
    prompter.Message("Ошибка при закрытии файла options.sav", MsgIcon::Exclamation);
    return false;
}

}  // namespace ws
