#include "table/results_table.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "data/atomic_file.h"
#include "data/numbers.h"
#include "data/text.h"

namespace ws {
namespace {

// A page is text for a screen and a printer; past this a template or the rows box is wrong.
constexpr size_t kPageMaxBytes = 16 * 1024 * 1024;

constexpr size_t kWidthT = 9, kWidthL = 5, kWidthN = 5, kWidthA = 8;

std::string PadLeft(std::string text, size_t width) {
    if (text.size() < width)
        text.insert(0, width - text.size(), ' ');
    return text;
}

bool IsRowMarker(const std::string& line) {
    return line.find('&') != std::string::npos;
}

std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

std::string TooBig(const std::string& path) {
    return "Шаблон протокола " + path + " слишком велик (больше " +
           std::to_string(kTemplateMaxBytes / 1024) + " КБ): это не шаблон.";
}

}  // namespace

void PrintTableText(Surface& page, std::string_view text, const std::string& fontName,
                    double fontSize) {
    constexpr double kMargin = 1000;
    page.SetFont(fontName, fontSize);
    page.SetCurrentY(kMargin);
    bool sheetEmpty = true;
    for (;;) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!sheetEmpty && page.CurrentY() + page.TextHeight() > page.Height() - kMargin / 2) {
            // Blank lines at the end of the text are no reason to feed another sheet.
            if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
                break;
            // A surface with one sheet only goes on printing below its foot.
            if (page.NewPage()) {
                page.SetCurrentY(kMargin);
                sheetEmpty = true;
            }
        }
        page.SetCurrentX(kMargin);
        page.Print(line);
        sheetEmpty = false;
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
}

CalendarDate Today() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local)
        return {};
    return {local->tm_mday, local->tm_mon + 1, local->tm_year + 1900};
}

std::string FormatDate(const CalendarDate& date, const std::string& separator) {
    return FormatMask(std::clamp(date.day, 0, 99), "00", "") + separator +
           FormatMask(std::clamp(date.month, 0, 99), "00", "") + separator +
           FormatMask(std::clamp(date.year, 0, 9999), "0000", "");
}

std::string FormatThreshold(float value) {
    if (!std::isfinite(value))
        return "0.00";
    return FixedPoint(value, 2);
}

std::string FormatThicknessField(float thickness, float threshold,
                                 const std::string& decimalSeparator) {
    std::string number;
    if (!std::isfinite(thickness))
        number = "?";
    else if (thickness >= 100.0f)
        number = FormatMask(thickness, "#0.0", decimalSeparator) + " ";
    else
        number = FormatMask(thickness, "#0.00", decimalSeparator);
    return PadLeft(std::move(number), 6) + (thickness < threshold ? " *" : "  ");
}

bool ReadTemplateFile(const std::string& path, TemplateText& out, std::string& error) {
    const std::filesystem::path p = PathFromUtf8(path);
    std::error_code ec;
    if (!std::filesystem::exists(p, ec)) {
        error = "Не найден шаблон протокола " + path + ".";
        return false;
    }
    const auto size = std::filesystem::file_size(p, ec);
    if (!ec && size > kTemplateMaxBytes) {
        error = TooBig(path);
        return false;
    }
    std::string bytes, reason;
    if (!ReadWholeFile(path, bytes, kTemplateMaxBytes, &reason)) {
        error = "Не удалось прочитать шаблон протокола " + path +
                (reason.empty() ? std::string(".") : ": " + reason);
        return false;
    }
    return ParseTemplateText(std::move(bytes), path, out, error);
}

bool ParseTemplateText(std::string bytes, const std::string& path, TemplateText& out,
                       std::string& error) {
    if (bytes.size() > kTemplateMaxBytes) {
        error = TooBig(path);
        return false;
    }
    if (bytes.find('\0') != std::string::npos) {
        error = "Шаблон протокола " + path + " не текстовый файл.";
        return false;
    }
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        bytes.erase(0, 3);
    const bool beyondAscii = std::any_of(
        bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    // A template edited on Linux is most likely UTF-8; the renderer counts widths in
    // single-byte characters.
    if (beyondAscii && IsValidUtf8(bytes))
        bytes = Utf8ToCp1251(bytes);
    out.lines = SplitLines(bytes);
    out.path = path;
    if (out.lines.empty()) {
        error = "Шаблон протокола " + path + " пуст.";
        return false;
    }
    return true;
}

std::vector<std::string> TemplateFolders(const Workspace& ws) {
    std::vector<std::string> folders;
    if (!ws.HomeDir.empty())
        folders.push_back(ws.HomeDir);
    if (!ws.ProgramDir.empty()) {
        const std::filesystem::path program = PathFromUtf8(ws.ProgramDir);
        folders.push_back(PathToUtf8(program / "share"));
        folders.push_back(PathToUtf8((program.parent_path() / "share" / "wallscan")));
    }
    return folders;
}

TemplateReader FolderTemplateReader(const Workspace& ws) {
    return [&ws](const std::string& name, TemplateText& out, std::string& error) {
        const std::vector<std::string> folders = TemplateFolders(ws);
        for (const std::string& folder : folders) {
            const std::filesystem::path path = PathFromUtf8(folder) / PathFromUtf8(name);
            std::error_code ec;
            if (std::filesystem::exists(path, ec))
                return ReadTemplateFile(PathToUtf8(path), out, error);
        }
        error = "Не найден шаблон протокола " + name + ".";
        if (!folders.empty()) {
            error += "\nИскали в папках:";
            for (const std::string& folder : folders)
                error += "\n" + folder;
        }
        return false;
    };
}

ResultsTable::ResultsTable(Workspace& ws, TemplateReader reader,
                           std::function<CalendarDate()> today)
    : PageStart(101, 0), ws_(ws), reader_(std::move(reader)), today_(std::move(today)) {}

int32_t ResultsTable::Points() const {
    return std::clamp<int32_t>(ws_.PointCount, 0, kPointSlots);
}

std::string ResultsTable::TemplateName() const {
    return ws_.Regime == kRegimeScan ? kScanTemplate : kReadingsTemplate;
}

ResultsTable::Outcome ResultsTable::Load() {
    const int32_t n = Points();
    MarkedCount = 0;
    for (int32_t i = 0; i < n; ++i) {
        // Single readings: every reading is listed, a slot without one is not.
        if (ws_.Regime != kRegimeScan)
            ws_.PointMark[i] = ws_.Thickness[i] >= 0.001f ? -1 : 0;
        if (ws_.PointMark[i] == -1)
            ++MarkedCount;
    }
    PageStart.assign(101, 0);
    PageIndex = 0;
    NextPoint = 0;
    rendered_ = false;
    if (MarkedCount < 1)
        return Outcome::NoInformation;
    if (!FileScan(TemplateName()))
        return Outcome::Failed;
    PageStart[1] = NextPoint;
    return Outcome::Rendered;
}

ResultsTable::Outcome ResultsTable::ShowTablePage() {
    if (PageStart.size() < static_cast<size_t>(PageIndex) + 2)
        PageStart.resize(static_cast<size_t>(PageIndex) + 2, 0);
    const int32_t before = NextPoint;
    NextPoint = PageStart[PageIndex];
    if (!FileScan(TemplateName())) {
        NextPoint = before;
        return Outcome::Failed;
    }
    PageStart[PageIndex + 1] = NextPoint;
    return Outcome::Rendered;
}

ResultsTable::Outcome ResultsTable::Forward() {
    if (MarkedCount < 1)
        return Outcome::NoInformation;
    // The page shown never rendered (its template was missing): try it again, so that a
    // repaired template shows up without reopening the window.
    if (!rendered_)
        return ShowTablePage();
    if (DataExhausted || PageIndex + 1 >= kMaxTablePages)
        return Outcome::Unchanged;
    ++PageIndex;
    const Outcome outcome = ShowTablePage();
    if (outcome == Outcome::Failed)
        --PageIndex;
    return outcome;
}

ResultsTable::Outcome ResultsTable::Back() {
    if (PageIndex <= 0)
        return Outcome::Unchanged;
    --PageIndex;
    const int32_t before = NextPoint;
    NextPoint = PageStart[PageIndex];
    if (!FileScan(TemplateName())) {
        ++PageIndex;
        NextPoint = before;
        return Outcome::Failed;
    }
    return Outcome::Rendered;
}

ResultsTable::Outcome ResultsTable::Restart() {
    PageIndex = 0;
    NextPoint = 0;
    PageStart[0] = 0;
    return ShowTablePage();
}

bool ResultsTable::FileScan(const std::string& name) {
    TemplateText text;
    std::string error;
    if (!reader_ || !reader_(name, text, error)) {
        error_ = error.empty() ? "Не найден шаблон протокола " + name + "." : error;
        return false;
    }
    // The operator must find the file that needs mending: several folders are searched.
    const std::string& shown = text.path.empty() ? name : text.path;
    if (IsRowMarker(text.lines.back())) {
        error_ = "Шаблон протокола " + shown +
                 " испорчен: после последней строки с \"&\" нет строки таблицы.";
        return false;
    }
    const int32_t startPoint = NextPoint;
    const bool startExhausted = DataExhausted;
    date_ = Utf8ToCp1251(FormatDate(today_ ? today_() : Today(), ws_.DateSeparator));
    decimalSeparator_ = Utf8ToCp1251(ws_.DecimalSeparator);
    const int32_t rows = std::clamp<int32_t>(ws_.TableRows, 0, kMaxRowsPerBlock);

    DataExhausted = false;
    std::string out;
    for (size_t i = 0; i < text.lines.size() && out.size() <= kPageMaxBytes; ++i) {
        if (!IsRowMarker(text.lines[i])) {
            InRowBlock = false;
            out += printstr(text.lines[i]);
            out += "\r\n";
            continue;
        }
        InRowBlock = true;
        const std::string& row = text.lines[++i];
        for (int32_t r = 0; r < rows && InRowBlock && out.size() <= kPageMaxBytes; ++r) {
            out += printstr(row);
            out += "\r\n";
        }
    }
    if (out.size() > kPageMaxBytes) {
        NextPoint = startPoint;
        DataExhausted = startExhausted;
        InRowBlock = false;
        error_ = "Страница протокола по шаблону " + shown +
                 " получается больше 16 МБ: проверьте шаблон и число строк в таблице.";
        return false;
    }
    page_ = Cp1251ToUtf8(out);
    error_.clear();
    rendered_ = true;
    return true;
}

std::string ResultsTable::FieldN() {
    if (NextPoint >= Points()) {
        DataExhausted = true;
        return std::string(kWidthN, ' ');
    }
    const double number = ws_.Regime == kRegimeScan ? 2.0 * NextPoint + 2 : NextPoint + 1.0;
    return PadLeft(FormatMask(number, "####0", decimalSeparator_), kWidthN);
}

std::string ResultsTable::FieldA() {
    std::string field;
    if (NextPoint >= Points() || NextPoint < 0) {
        DataExhausted = true;
        field.assign(kWidthA, ' ');
    } else {
        field =
            FormatThicknessField(ws_.Thickness[NextPoint], ws_.RangeOfMeasure, decimalSeparator_);
    }
    if (NextPoint < INT32_MAX)
        ++NextPoint;
    return field;
}

std::string ResultsTable::printstr(const std::string& s) {
    const int32_t n = Points();
    std::string result;
    size_t pos = 0;
    for (;;) {
        if (InRowBlock) {
            if (MarkedCount > 0)
                while (NextPoint < n && ws_.PointMark[NextPoint] != -1)
                    ++NextPoint;
            if (NextPoint >= n) {
                InRowBlock = false;
                DataExhausted = true;
                return result;
            }
        }
        const size_t dollar = s.find('$', pos);
        if (dollar == std::string::npos)
            return result + s.substr(pos);
        result.append(s, pos, dollar - pos);
        const char code = dollar + 1 < s.size() ? s[dollar + 1] : '\0';
        size_t width = 0;
        switch (code) {
            case 'T':
                result += date_;
                width = kWidthT;
                break;
            case 'L':
                result += FormatMask(ws_.Regime == kRegimeScan ? 2.0 * Points() + 2 : MarkedCount,
                                     "####0", decimalSeparator_);
                width = kWidthL;
                break;
            case 'N':
                result += FieldN();
                width = kWidthN;
                break;
            case 'A':
                result += FieldA();
                width = kWidthA;
                break;
            default:
                // Not a field: the "$" is ordinary text, and so is what follows it.
                result += '$';
                pos = dollar + 1;
                continue;
        }
        pos = std::min(s.size(), dollar + width);
    }
}

}  // namespace ws
