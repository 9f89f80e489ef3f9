#include "report/report_sheets.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "data/numbers.h"
#include "data/record.h"
#include "history/comparison_view.h"
#include "history/corrosion_rate.h"
#include "profile/profile_view.h"
#include "profile/stats_view.h"
#include "report/sheet_surfaces.h"

namespace ws {
namespace {

// Twips. The report's own text keeps this far from the printable edge.
constexpr double kMargin = 700;
// Room kept at the foot of every sheet for the footer.
constexpr double kFooterRoom = 700;
// The printout's sheet with its 1000-twip shift and the X labels under the plot.
constexpr double kProfileWidth = 17000, kProfileHeight = 10500;
// The table's own top margin and the room PrintTableText keeps at the foot of its sheet.
constexpr double kTableTop = 1000, kTableFoot = 500;

constexpr const char* kTextFont = "Times New Roman";
constexpr const char* kTableFont = "Courier New";
constexpr const char* kPictureFont = "MS Sans Serif";
constexpr Rgb kRule{120, 120, 120};
constexpr Rgb kHeaderFill{235, 235, 235};

enum class SheetKind { Title, Profile, Stats, Compare, Table };

struct Sheet {
    SheetKind kind;
    bool landscape;
    std::string text;  // a table sheet's lines
};

// UTF-8 characters of `text`, for shortening by whole characters.
size_t CharStart(const std::string& text, size_t from) {
    while (from < text.size() && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80)
        ++from;
    return from;
}

// The text as it fits `width`; a longer one loses its beginning (a path keeps its file name).
std::string Fit(Surface& s, const std::string& text, double width) {
    if (s.TextWidth(text) <= width)
        return text;
    size_t cut = 0;
    std::string shown;
    do {
        cut = CharStart(text, cut + 1);
        shown = "…" + text.substr(cut);
    } while (cut < text.size() && s.TextWidth(shown) > width);
    return shown;
}

void Text(Surface& s, double x, double y, const std::string& text) {
    s.MoveTo(x, y);
    s.Print(text);
}

// A table with ruled cells: the first row shaded when `header`. Returns the y below it.
double DrawTable(Surface& s, double x, double y, const std::vector<double>& widths,
                 const std::vector<std::vector<std::string>>& rows, bool header,
                 const std::vector<bool>& rightAligned = {}) {
    const double pad = 80, rowH = s.TextHeight() + 2 * 40;
    double total = 0;
    for (double w : widths)
        total += w;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (header && r == 0)
            s.FilledBox(x, y, x + total, y + rowH, kHeaderFill);
        double cx = x;
        for (size_t c = 0; c < widths.size() && c < rows[r].size(); ++c) {
            const std::string t = Fit(s, rows[r][c], widths[c] - 2 * pad);
            const bool right = c < rightAligned.size() && rightAligned[c] && !(header && r == 0);
            Text(s, right ? cx + widths[c] - pad - s.TextWidth(t) : cx + pad, y + 40, t);
            cx += widths[c];
        }
        s.Line(x, y, x + total, y, kRule);
        y += rowH;
    }
    s.Line(x, y, x + total, y, kRule);
    double cx = x;
    const double top = y - rowH * static_cast<double>(rows.size());
    for (size_t c = 0; c <= widths.size(); ++c) {
        s.Line(cx, top, cx, y, kRule);
        if (c < widths.size())
            cx += widths[c];
    }
    return y;
}

std::string Mm(float v, const std::string& sep) {
    return v > 0.0f ? FormatMask(v, "##0.00", sep) : std::string("не задана");
}

// The marked runs as coordinate ranges, "100–180, 400–402 мм".
std::string MarkedRanges(const Workspace& w) {
    std::string out;
    int runs = 0;
    for (int32_t i = 0; i < w.PointCount; ++i) {
        if (w.PointMark[static_cast<size_t>(i)] == 0)
            continue;
        int32_t j = i;
        while (j + 1 < w.PointCount && w.PointMark[static_cast<size_t>(j) + 1] != 0)
            ++j;
        if (++runs <= 4)
            out += (out.empty() ? "" : ", ") + std::to_string(kPointSpacingMm * i) + "–" +
                   std::to_string(kPointSpacingMm * j);
        i = j;
    }
    if (runs > 4)
        out += " и ещё " + std::to_string(runs - 4);
    return out.empty() ? "не выделена" : out + " мм";
}

class Composer {
  public:
    Composer(ReportPaper& paper, const ReportInput& in) : paper_(paper), in_(in) {}

    ReportOutcome Run();

  private:
    void Prepare();
    void RenderTable();
    void DrawTitle(Surface& s);
    void DrawProfile(Surface& s);
    void DrawStats(Surface& s);
    void DrawCompare(Surface& s);
    void DrawTableSheet(Surface& s, const std::string& text);
    void DrawFooter(Surface& s, int sheet);
    double Heading(Surface& s, const std::string& text, double y);

    ReportPaper& paper_;
    const ReportInput& in_;
    std::unique_ptr<Workspace> w_;  // the current trace with the report's marks
    bool scan_ = false, marked_ = false;
    std::string inspected_;  // dd.mm.yyyy or empty
    std::string reportDate_;
    std::optional<CompareResult> compare_;
    std::vector<std::string> tablePages_;
    std::vector<Sheet> sheets_;
    int tableFontSize_ = 12;
    ReportOutcome out_;
};

void Composer::Prepare() {
    const Trace& t = *in_.current.Scan;
    w_ = std::make_unique<Workspace>();
    w_->Regime = t.Regime;
    w_->PointCount = std::clamp<int32_t>(t.PointCount, 0, kPointSlots);
    w_->Thickness = t.Thickness;
    w_->CurrentFileName = in_.current.File;
    w_->NominalThickness = in_.thresholds.nominal;
    w_->MinAllowedThickness = in_.thresholds.minAllowed;
    w_->DecimalSeparator = in_.decimalSeparator;
    w_->DateSeparator = ".";
    w_->TableRows = in_.tableRows;
    w_->PrintFontSize = in_.printFontSize;
    // The protocol flags what lies below the minimum allowed thickness.
    w_->RangeOfMeasure = in_.thresholds.minAllowed;
    scan_ = w_->Regime == kRegimeScan;
    for (int32_t i = 0; i < w_->PointCount && static_cast<size_t>(i) < in_.marks.size(); ++i) {
        w_->PointMark[static_cast<size_t>(i)] = in_.marks[static_cast<size_t>(i)] != 0 ? -1 : 0;
        marked_ = marked_ || in_.marks[static_cast<size_t>(i)] != 0;
    }
    if (!scan_)
        marked_ = false;
    inspected_ =
        in_.current.InspectedOn.empty() ? std::string() : RussianDate(in_.current.InspectedOn);
    reportDate_ = FormatDate(in_.reportDate, ".");

    if (in_.previous && scan_) {
        CompareOptions o;
        o.shift = in_.previousShift;
        o.years = YearsBetween(*in_.previous, in_.current);
        if (in_.thresholds.minAllowed > 0.0f)
            o.tmin = in_.thresholds.minAllowed;
        const Trace& p = *in_.previous->Scan;
        compare_ =
            CompareScans({p.Thickness.data(), p.PointCount}, {t.Thickness.data(), t.PointCount}, o);
        if (!compare_->ok)
            out_.notes.push_back("Сравнение: " + compare_->error);
    }
}

void Composer::RenderTable() {
    // The table lists the marked part; with nothing marked, every reading, as a table whose
    // every reading is marked.
    auto tw = std::make_unique<Workspace>(*w_);
    if (scan_ && !marked_) {
        for (int32_t i = 0; i < tw->PointCount; ++i)
            tw->PointMark[static_cast<size_t>(i)] =
                tw->Thickness[static_cast<size_t>(i)] >= kReadingLimit ? -1 : 0;
    }
    const CalendarDate date = in_.reportDate;
    ResultsTable table(*tw, in_.templates, [date] { return date; });
    ResultsTable::Outcome outcome = table.Load();
    if (outcome == ResultsTable::Outcome::Failed) {
        out_.notes.push_back("Протокол не составлен: " + table.Error());
        return;
    }
    if (outcome != ResultsTable::Outcome::Rendered) {
        out_.notes.push_back("Протокол: нет измерений");
        return;
    }
    tablePages_.push_back(table.PageText());
    auto listsPoints = [&](int32_t start) {
        for (int32_t i = std::max(start, 0); i < tw->PointCount; ++i)
            if (tw->PointMark[static_cast<size_t>(i)] != 0)
                return true;
        return false;
    };
    // The last page, or a page that does not move on (no rows on it), ends the table.
    while (!table.DataExhausted && table.PageStart[static_cast<size_t>(table.PageIndex) + 1] !=
                                       table.PageStart[static_cast<size_t>(table.PageIndex)]) {
        const int32_t start = table.PageStart[static_cast<size_t>(table.PageIndex) + 1];
        outcome = table.Forward();
        if (outcome != ResultsTable::Outcome::Rendered)
            break;
        // A page after the last listed point holds the template's fixed lines only.
        if (!listsPoints(start))
            break;
        tablePages_.push_back(table.PageText());
    }
}

double Composer::Heading(Surface& s, const std::string& text, double y) {
    s.SetFont(kTextFont, 14);
    s.SetForeColor(kBlack);
    Text(s, kMargin, y, text);
    const double below = y + s.TextHeight() + 60;
    s.SetFont(kTextFont, 10);
    return below;
}

void Composer::DrawFooter(Surface& s, int sheet) {
    s.SetFont(kTextFont, 9);
    s.SetForeColor(kBlack);
    const double y = s.Height() - kFooterRoom + 150;
    s.Line(kMargin, y - 60, s.Width() - kMargin, y - 60, kRule);
    std::string what =
        in_.current.Object.empty() ? "Объект не указан" : "Объект: " + in_.current.Object;
    if (!in_.current.Section.empty())
        what += ", участок " + in_.current.Section;
    const std::string when = "Замер от " +
                             (inspected_.empty() ? std::string("(дата не указана)") : inspected_) +
                             "     " + SheetCaption(sheet, static_cast<int>(sheets_.size()));
    const double whenX = s.Width() - kMargin - s.TextWidth(when);
    Text(s, kMargin, y, Fit(s, what, whenX - kMargin - 300));
    Text(s, whenX, y, when);
}

void Composer::DrawTitle(Surface& s) {
    const double width = s.Width() - 2 * kMargin;
    s.SetFont(kTextFont, 10);
    const std::string page = SheetCaption(1, static_cast<int>(sheets_.size()));
    Text(s, s.Width() - kMargin - s.TextWidth(page), kMargin, page);
    s.SetFont(kTextFont, 18);
    const std::string title = "Отчёт о контроле толщины стенки";
    double y = kMargin + 600;
    Text(s, (s.Width() - s.TextWidth(title)) / 2, y, title);
    y += s.TextHeight() + 500;

    s.SetFont(kTextFont, 11);
    const Trace& t = *in_.current.Scan;
    int64_t readings = 0;
    for (int32_t i = 0; i < w_->PointCount; ++i)
        readings += t.Thickness[static_cast<size_t>(i)] >= kReadingLimit;
    auto orNot = [](const std::string& v, const char* none) {
        return v.empty() ? std::string(none) : v;
    };
    std::vector<std::vector<std::string>> rows = {
        {"Объект", orNot(in_.current.Object, "не указан")},
        {"Участок", orNot(in_.current.Section, "не указан")},
        {"Исполнитель", orNot(in_.current.Inspector, "не указан")},
        {"Дата замера", orNot(inspected_, "не указана")},
        {"Получен", orNot(in_.current.Origin, "неизвестно")},
        {"Файл замера", orNot(in_.current.File, "отсутствует")},
    };
    if (in_.current.EntryId != 0)
        rows.push_back({"Запись архива", "№ " + std::to_string(in_.current.EntryId)});
    rows.push_back({"Точек / с измерением", std::to_string(w_->PointCount) + " / " +
                                                std::to_string(readings) +
                                                (scan_ ? " (шаг 2 мм)" : " (отдельные замеры)")});
    rows.push_back({"Номинальная толщина, мм", Mm(in_.thresholds.nominal, in_.decimalSeparator)});
    rows.push_back(
        {"Минимально допустимая толщина, мм", Mm(in_.thresholds.minAllowed, in_.decimalSeparator)});
    if (scan_)
        rows.push_back({"Выделенная часть", MarkedRanges(*w_)});
    rows.push_back({"Предыдущий замер",
                    in_.previous ? ScanCaption(*in_.previous) : std::string("не сравнивался")});
    rows.push_back({"Дата отчёта", reportDate_});
    rows.push_back({"Листов в отчёте", std::to_string(sheets_.size())});
    y = DrawTable(s, kMargin, y, {width * 0.38, width * 0.62}, rows, false);

    // The answer the client reads first: how thin, how much below the limit, how fast.
    y += 500;
    y = Heading(s, "Итоги", y);
    s.SetFont(kTextFont, 11);
    const Stats whole = StatsOfTrace(t.Thickness.data(), w_->PointCount, in_.thresholds);
    const std::string& sep = in_.decimalSeparator;
    std::vector<std::vector<std::string>> results;
    if (whole.min) {
        std::string at = FormatMask(*whole.min, "##0.00", sep);
        if (scan_ && whole.minAtMm)
            at += " (координата " + FormatMask(*whole.minAtMm, "###0", sep) + " мм)";
        results.push_back({"Наименьшая толщина, мм", at});
    } else {
        results.push_back({"Наименьшая толщина, мм", "измерений нет"});
    }
    if (whole.tmin)
        results.push_back({"Ниже минимально допустимой",
                           std::to_string(whole.belowTmin) + " изм." +
                               (scan_ ? ", " + std::to_string(whole.belowTminMm) + " мм" : "")});
    if (compare_ && compare_->ok) {
        const Comparison& c = compare_->comparison;
        auto or_ = [&](const std::optional<double>& v, const char* mask, const char* none) {
            return v ? FormatMask(*v, mask, sep) : std::string(none);
        };
        results.push_back({"Наибольшая потеря, мм", or_(c.maxLoss, "##0.000", "—")});
        results.push_back({"Скорость коррозии, мм/год",
                           c.rateMax ? FormatMask(*c.rateMax, "##0.000", sep) + " наибольшая, " +
                                           or_(c.rateMean, "##0.000", "—") + " средняя"
                                     : std::string("не определена (нет дат замеров)")});
        if (c.tmin)
            results.push_back({"Остаточный ресурс, лет",
                               or_(c.remainingLifeYears, "##0.0",
                                   c.rateMax ? "не ограничен (утонения нет)" : "не определён")});
    }
    y = DrawTable(s, kMargin, y, {width * 0.42, width * 0.58}, results, false);

    y += 500;
    y = Heading(s, "Содержание", y);
    s.SetFont(kTextFont, 11);
    std::vector<std::vector<std::string>> contents;
    int firstTable = 0, lastTable = 0;
    for (size_t k = 1; k < sheets_.size(); ++k) {
        const int n = static_cast<int>(k) + 1;
        switch (sheets_[k].kind) {
            case SheetKind::Profile:
                contents.push_back({"Лист " + std::to_string(n), "Профиль стенки"});
                break;
            case SheetKind::Stats:
                contents.push_back(
                    {"Лист " + std::to_string(n), "Статистика толщины и гистограмма"});
                break;
            case SheetKind::Compare:
                contents.push_back({"Лист " + std::to_string(n),
                                    "Сравнение с предыдущим замером, скорость коррозии"});
                break;
            case SheetKind::Table:
                if (firstTable == 0)
                    firstTable = n;
                lastTable = n;
                break;
            default:
                break;
        }
    }
    if (firstTable != 0) {
        const std::string which = marked_ ? "выделенная часть" : "все измерения";
        contents.push_back({firstTable == lastTable ? "Лист " + std::to_string(firstTable)
                                                    : "Листы " + std::to_string(firstTable) + "–" +
                                                          std::to_string(lastTable),
                            "Протокол измерений (" + which + ")"});
    }
    y = DrawTable(s, kMargin, y, {width * 0.2, width * 0.8}, contents, false);
    if (!out_.notes.empty()) {
        y += 300;
        s.SetFont(kTextFont, 10);
        for (const std::string& note : out_.notes) {
            size_t from = 0;
            while (from <= note.size()) {
                size_t end = note.find('\n', from);
                if (end == std::string::npos)
                    end = note.size();
                Text(s, kMargin, y, Fit(s, note.substr(from, end - from), width));
                y += s.TextHeight();
                from = end + 1;
            }
        }
    }
}

void Composer::DrawProfile(Surface& s) {
    ProfileView view(*w_);
    view.Today = [this] { return reportDate_; };
    NullSurface window(8800, 6500);
    view.Load(window);
    // The load clears the marks; they come back run by run, as dragging over them would.
    for (int32_t i = 0; i < w_->PointCount; ++i) {
        if (in_.marks.size() <= static_cast<size_t>(i) || in_.marks[static_cast<size_t>(i)] == 0)
            continue;
        int32_t j = i;
        while (static_cast<size_t>(j) + 1 < in_.marks.size() && j + 1 < w_->PointCount &&
               in_.marks[static_cast<size_t>(j) + 1] != 0)
            ++j;
        view.MarkRange(2.0 * i, 2.0 * j);
        i = j;
    }
    view.Redraw(window);
    // The printout's own geometry, shrunk as a whole only where the sheet's printable area and
    // the footer leave less room than the page it was made for.
    const double room = s.Height() - kFooterRoom;
    const double scale = std::min({1.0, s.Width() / kProfileWidth, room / kProfileHeight});
    RegionSurface region(s, 0, 0, s.Width() / scale, room / scale, scale);
    region.SetFont(kPictureFont, 8.25);
    view.PrintProfile(region, view.ComputeRange());
}

void Composer::DrawStats(Surface& s) {
    const double width = s.Width() - 2 * kMargin;
    double y = Heading(s, "Статистика толщины стенки", kMargin);
    const Thresholds th = in_.thresholds;
    std::string limits = th.minAllowed > 0.0f || th.nominal > 0.0f
                             ? "Номинальная толщина " + Mm(th.nominal, in_.decimalSeparator) +
                                   " мм, минимально допустимая " +
                                   Mm(th.minAllowed, in_.decimalSeparator) + " мм"
                             : std::string("Номинальная и минимально допустимая толщины не заданы");
    Text(s, kMargin, y, limits);
    y += s.TextHeight() + 200;

    const int64_t n = w_->PointCount;
    std::vector<bool> include(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i)
        include[static_cast<size_t>(i)] = w_->PointMark[static_cast<size_t>(i)] != 0;
    const Stats whole = StatsOfTrace(w_->Thickness.data(), n, th);
    const Stats part = StatsOfPart(w_->Thickness.data(), n, include, th);
    const auto a = StatsLines(whole, in_.decimalSeparator);
    const auto b = StatsLines(part, in_.decimalSeparator);
    std::vector<std::vector<std::string>> rows = {
        {"Показатель", "Вся трасса", marked_ ? "Выделенная часть" : "Выделенная часть (нет)"}};
    for (size_t i = 0; i < a.size(); ++i) {
        const std::string pv = marked_ && i < b.size() ? b[i].value : std::string();
        rows.push_back({a[i].label, a[i].value.empty() ? "—" : a[i].value,
                        marked_ ? (pv.empty() ? "—" : pv) : std::string()});
    }
    s.SetFont(kTextFont, 10);
    y = DrawTable(s, kMargin, y, {width * 0.5, width * 0.25, width * 0.25}, rows, true,
                  {false, true, true});

    y += 400;
    y = Heading(s, "Распределение толщины", y);
    const std::string legend =
        marked_ ? "Серым — вся трасса, красным — выделенная часть." : "Измерения всей трассы.";
    Text(s, kMargin, y, legend);
    y += s.TextHeight() + 100;
    const double bottom = s.Height() - kFooterRoom - 200;
    const double height = std::min(bottom - y, width * 0.55);
    if (height < 1500)
        return;
    const ws::Histogram all = MakeHistogram(w_->Thickness.data(), n, nullptr);
    const ws::Histogram sel = MakeHistogram(w_->Thickness.data(), n, &include);
    RegionSurface region(s, kMargin, y, width, height);
    region.SetFont(kPictureFont, 8);
    DrawHistogram(region, all, marked_ ? sel : ws::Histogram{}, th, in_.decimalSeparator);
    s.SetFont(kTextFont, 10);
}

void Composer::DrawCompare(Surface& s) {
    const double width = s.Width() - 2 * kMargin;
    double y = Heading(s, "Сравнение с предыдущим замером", kMargin);
    const InspectionScan& prev = *in_.previous;
    // An archive entry is named by its number and date; where it came from is said too.
    auto line = [](const InspectionScan& scan) {
        return scan.EntryId != 0 ? ScanCaption(scan) + " — " + scan.Origin : ScanCaption(scan);
    };
    Text(s, kMargin, y, Fit(s, "Ранний: " + line(prev), width));
    y += s.TextHeight();
    Text(s, kMargin, y, Fit(s, "Поздний: " + line(in_.current), width));
    y += s.TextHeight() + 200;
    if (!compare_ || !compare_->ok) {
        Text(s, kMargin, y, compare_ ? compare_->error : std::string("Сравнение не выполнено"));
        return;
    }
    const Comparison& c = compare_->comparison;
    const auto lines = ComparisonLines(c, in_.decimalSeparator);
    const size_t half = (lines.size() + 1) / 2;
    std::vector<std::vector<std::string>> rows;
    for (size_t i = 0; i < half; ++i) {
        auto value = [&](size_t k) {
            if (k >= lines.size())
                return std::string();
            return lines[k].value.empty() ? std::string("—") : lines[k].value;
        };
        rows.push_back({lines[i].label, value(i),
                        i + half < lines.size() ? lines[i + half].label : "", value(i + half)});
    }
    y = DrawTable(s, kMargin, y, {width * 0.32, width * 0.13, width * 0.38, width * 0.17}, rows,
                  false, {false, true, false, true});
    y += 150;
    const std::string note =
        "Потеря — ранняя толщина минус поздняя в одной точке стенки; координата — по позднему "
        "замеру. Скорость — потеря за год между датами замеров.";
    Text(s, kMargin, y, Fit(s, note, width));
    y += s.TextHeight() + 150;
    const double height = s.Height() - kFooterRoom - 150 - y;
    if (height < 1500)
        return;
    ComparisonPicture p;
    const Trace& e = *prev.Scan;
    const Trace& l = *in_.current.Scan;
    p.earlier = {e.Thickness.data(), e.PointCount};
    p.later = {l.Thickness.data(), l.PointCount};
    p.comparison = &c;
    p.earlierLabel = "Ранний: " + ScanCaption(prev);
    p.laterLabel = "Поздний: " + ScanCaption(in_.current);
    p.decimalSeparator = in_.decimalSeparator;
    RegionSurface region(s, kMargin, y, width, height);
    region.SetFont(kPictureFont, 8);
    DrawComparison(region, p);
    s.SetFont(kTextFont, 10);
}

void Composer::DrawTableSheet(Surface& s, const std::string& text) {
    RegionSurface region(s, 0, 0, s.Width(), s.Height() - kFooterRoom);
    PrintTableText(region, text, kTableFont, tableFontSize_);
}

ReportOutcome Composer::Run() {
    if (!in_.current.Scan || in_.current.Scan->PointCount < 1) {
        out_.error = "В замере нет точек: отчёт не составлен";
        return out_;
    }
    Prepare();
    RenderTable();

    Surface* first = paper_.NextSheet(false);
    if (!first) {
        out_.error = "Не удалось начать документ";
        return out_;
    }
    // How many lines of the protocol a portrait sheet holds, in the printer's own font metrics.
    // A template page that would spill a line or two onto a sheet of its own is printed a point
    // or two smaller (not below 8), so that each page of the table stays one sheet.
    size_t longest = 1;
    for (const std::string& page : tablePages_)
        longest = std::max<size_t>(longest, std::count(page.begin(), page.end(), '\n') + 1);
    const double usable = first->Height() - kFooterRoom - kTableTop - kTableFoot;
    size_t perSheet = 1;
    tableFontSize_ = in_.printFontSize;
    for (int size = std::max<int>(in_.printFontSize, 1); size >= 1; --size) {
        first->SetFont(kTableFont, size);
        const double lineH = std::max(first->TextHeight(), 1.0);
        tableFontSize_ = size;
        perSheet = static_cast<size_t>(std::max(1.0, std::floor((usable - 1) / lineH)));
        if (perSheet >= longest || size <= std::min<int>(8, in_.printFontSize))
            break;
    }

    sheets_.push_back({SheetKind::Title, false, {}});
    if (scan_)
        sheets_.push_back({SheetKind::Profile, true, {}});
    sheets_.push_back({SheetKind::Stats, false, {}});
    if (in_.previous && scan_)
        sheets_.push_back({SheetKind::Compare, true, {}});
    for (const std::string& page : tablePages_) {
        // Lines without their ends; the page's own last line end adds no line.
        std::vector<std::string> lines;
        size_t from = 0;
        while (from < page.size()) {
            size_t end = page.find('\n', from);
            if (end == std::string::npos)
                end = page.size();
            std::string line = page.substr(from, end - from);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(std::move(line));
            from = end + 1;
        }
        for (size_t k = 0; k < lines.size(); k += perSheet) {
            std::string chunk;
            for (size_t m = k; m < std::min(lines.size(), k + perSheet); ++m)
                chunk += (m > k ? "\r\n" : "") + lines[m];
            sheets_.push_back({SheetKind::Table, false, std::move(chunk)});
        }
    }

    for (size_t k = 0; k < sheets_.size(); ++k) {
        Surface* s = k == 0 ? first : paper_.NextSheet(sheets_[k].landscape);
        if (!s) {
            out_.error = "Не удалось начать лист " + std::to_string(k + 1);
            return out_;
        }
        s->SetForeColor(kBlack);
        s->SetLineWidth(1);
        switch (sheets_[k].kind) {
            case SheetKind::Title:
                DrawTitle(*s);
                break;
            case SheetKind::Profile:
                DrawProfile(*s);
                break;
            case SheetKind::Stats:
                DrawStats(*s);
                break;
            case SheetKind::Compare:
                DrawCompare(*s);
                break;
            case SheetKind::Table:
                DrawTableSheet(*s, sheets_[k].text);
                break;
        }
        s->SetLineWidth(1);
        DrawFooter(*s, static_cast<int>(k) + 1);
    }
    if (!paper_.Finish()) {
        out_.error = "Не удалось записать документ";
        return out_;
    }
    out_.ok = true;
    out_.sheets = static_cast<int>(sheets_.size());
    return out_;
}

}  // namespace

ReportOutcome ComposeReport(ReportPaper& paper, const ReportInput& input) {
    Composer composer(paper, input);
    return composer.Run();
}

std::vector<int16_t> MarksFromRanges(int32_t pointCount,
                                     const std::vector<std::pair<double, double>>& rangesMm) {
    const int32_t n = std::clamp<int32_t>(pointCount, 0, kPointSlots);
    std::vector<int16_t> marks(static_cast<size_t>(n), 0);
    for (int32_t i = 0; i < n; ++i) {
        const double mm = static_cast<double>(kPointSpacingMm) * i;
        for (const auto& [from, to] : rangesMm)
            if (mm >= from && mm <= to)
                marks[static_cast<size_t>(i)] = -1;
    }
    return marks;
}

std::string SheetCaption(int sheet, int sheets) {
    return "Лист " + std::to_string(sheet) + " из " + std::to_string(sheets);
}

}  // namespace ws
