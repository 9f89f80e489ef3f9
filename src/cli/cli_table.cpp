#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "cli/cli.h"
#include "data/numbers.h"
#include "data/record.h"
#include "data/text.h"
#include "table/results_table.h"

namespace ws::cli {
namespace {

int Usage(const char* why, const std::string& what) {
    return UsageError("table", why, what);
}

bool AllDigits(const std::string& s, size_t maxLength) {
    return !s.empty() && s.size() <= maxLength &&
           s.find_first_not_of("0123456789") == std::string::npos;
}

// "DD/MM/YYYY", a real calendar day.
bool ParseDate(const std::string& text, CalendarDate& date) {
    if (text.size() != 10 || text[2] != '/' || text[5] != '/')
        return false;
    const std::string d = text.substr(0, 2), m = text.substr(3, 2), y = text.substr(6, 4);
    if (!AllDigits(d, 2) || !AllDigits(m, 2) || !AllDigits(y, 4))
        return false;
    date = {std::stoi(d), std::stoi(m), std::stoi(y)};
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > kDays[date.month - 1])
        return false;
    const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
    return !(date.month == 2 && date.day == 29 && !leap);
}

}  // namespace

int RunTable(const Args& args) {
    std::string file, templ;
    std::vector<std::pair<double, double>> marks;
    int32_t rows = 36;
    float threshold = 0.0f;
    long page = 1;
    bool all = false, pageGiven = false;
    CalendarDate date = Today();
    for (ArgCursor words(args); words.Next();) {
        const std::string& a = words.Word();
        std::string v;
        auto value = [&] { return words.Value(v); };
        if (a == "--template") {
            if (!value() || v.empty())
                return Usage("нет имени шаблона после ", a);
            templ = v;
        } else if (a == "--rows") {
            if (!value() || !AllDigits(v, 9))
                return Usage("--rows ждет целое 0..999999999, получено ", v);
            rows = std::stoi(v);
        } else if (a == "--threshold") {
            const bool given = value();
            // A negative threshold is accepted as the window's box takes it (nothing is flagged).
            const std::string digits = !v.empty() && v[0] == '-' ? v.substr(1) : v;
            const bool number = given && !digits.empty() && digits.size() <= 12 &&
                                digits.find_first_not_of("0123456789.") == std::string::npos &&
                                digits.find_first_of("0123456789") != std::string::npos;
            if (!number)
                return Usage("--threshold ждет толщину в мм, получено ", v);
            threshold = static_cast<float>(NumericPrefix(v));
        } else if (a == "--mark") {
            double from = 0, to = 0;
            if (!value() || !ParseRange(v, from, to))
                return Usage("--mark ждет FROM-TO в мм, получено ", v);
            marks.emplace_back(from, to);
        } else if (a == "--page") {
            if (!value() || !AllDigits(v, 6) || std::stol(v) < 1)
                return Usage("--page ждет номер страницы 1..999999, получено ", v);
            page = std::stol(v);
            pageGiven = true;
        } else if (a == "--all") {
            all = true;
        } else if (a == "--date") {
            if (!value() || !ParseDate(v, date))
                return Usage("--date ждет дату DD/MM/YYYY, получено ", v);
        } else if (const int taken = TakeFile("table", a, file); taken != kOk) {
            return taken;
        }
    }
    if (file.empty())
        return Usage("не указан файл", "");
    if (all && pageGiven)
        return Usage("--page и --all вместе не бывают", "");

    auto ws = std::make_unique<Workspace>();
    if (!LoadForCli(*ws, file, false))
        return kFailed;
    std::error_code ec;
    ws->HomeDir = PathToUtf8(std::filesystem::current_path(ec));
    ws->ProgramDir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
    ws->TableRows = rows;
    ws->RangeOfMeasure = threshold;
    ws->DecimalSeparator = ".";
    ws->DateSeparator = "/";
    if (ws->Regime == kRegimeScan) {
        for (int32_t i = 0; i < ws->PointCount; ++i) {
            bool marked = marks.empty();
            for (const auto& [from, to] : marks)
                marked = marked || (kPointSpacingMm * i >= from && kPointSpacingMm * i <= to);
            ws->PointMark[static_cast<size_t>(i)] = marked ? -1 : 0;
        }
    }

    TemplateReader reader = FolderTemplateReader(*ws);
    if (!templ.empty())
        reader = [templ](const std::string&, TemplateText& out, std::string& error) {
            return ReadTemplateFile(templ, out, error);
        };
    ResultsTable table(*ws, reader, [date] { return date; });

    auto report = [&](ResultsTable::Outcome outcome) {
        if (outcome == ResultsTable::Outcome::NoInformation)
            std::fprintf(stderr, "Нет информации!\nwallscan-cli table: %s: нет отмеченных точек\n",
                         file.c_str());
        else if (outcome == ResultsTable::Outcome::Failed)
            std::fprintf(stderr, "wallscan-cli table: %s\n", table.Error().c_str());
        return kFailed;
    };
    ResultsTable::Outcome outcome = table.Load();
    if (outcome != ResultsTable::Outcome::Rendered)
        return report(outcome);

    std::string out;
    if (all) {
        out = table.PageText();
        // Stop at the last page, or at once when a page does not move on (no rows on it):
        // the same page again would never end.
        while (!table.DataExhausted && table.PageStart[static_cast<size_t>(table.PageIndex) + 1] !=
                                           table.PageStart[static_cast<size_t>(table.PageIndex)]) {
            outcome = table.Forward();
            if (outcome == ResultsTable::Outcome::Unchanged)
                break;
            if (outcome != ResultsTable::Outcome::Rendered)
                return report(outcome);
            out += "\f\r\n" + table.PageText();
        }
    } else {
        for (long k = 1; k < page; ++k) {
            outcome = table.Forward();
            if (outcome == ResultsTable::Outcome::Unchanged) {
                std::fprintf(
                    stderr,
                    "wallscan-cli table: страниц всего %d; показана последняя, как в окне\n",
                    table.PageIndex + 1);
                break;
            }
            if (outcome != ResultsTable::Outcome::Rendered)
                return report(outcome);
        }
        out = table.PageText();
    }
    if (!WriteStdout(out)) {
        std::fprintf(stderr, "wallscan-cli table: не удалось вывести протокол\n");
        return kFailed;
    }
    return kOk;
}

}  // namespace ws::cli
