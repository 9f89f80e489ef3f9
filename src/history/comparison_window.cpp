#include "history/comparison_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "history/comparison_view.h"
#include "ui/qt_windows.h"

namespace ws {
namespace {

// The picture, in pixels: wide enough for a 3 m scan to show its pits.
constexpr int kPictureWidth = 1000, kPictureHeight = 520;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

ComparisonWindow::ComparisonWindow(InspectionScan earlier, InspectionScan later,
                                   std::optional<double> tmin, std::string decimalSeparator,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window),
      earlier_(std::move(earlier)),
      later_(std::move(later)),
      tmin_(tmin && *tmin > 0 ? tmin : std::nullopt),
      sep_(std::move(decimalSeparator)),
      picture_(kPictureWidth, kPictureHeight, ScreenDpi()) {
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("Сравнение замеров"));
    auto* column = new QVBoxLayout(this);

    auto* heading = new QLabel(this);
    heading->setObjectName(QStringLiteral("lblScans"));
    std::string what = "Ранний: " + ScanCaption(earlier_) + "\nПоздний: " + ScanCaption(later_);
    if (!later_.Object.empty())
        what += "\nОбъект: " + later_.Object +
                (later_.Section.empty() ? "" : ", участок: " + later_.Section);
    heading->setText(Q(what));
    heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(heading);

    figures_ = new QLabel(this);
    figures_->setObjectName(QStringLiteral("lblFigures"));
    figures_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    figures_->setMinimumHeight(fontMetrics().height() * 6);
    figures_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    column->addWidget(figures_);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Сдвиг позднего замера, точек:"), this));
    shift_ = new QSpinBox(this);
    shift_->setObjectName(QStringLiteral("spnShift"));
    shift_->setRange(-kPointSlots, kPointSlots);
    shift_->setToolTip(QStringLiteral("Точка i раннего замера против точки i + сдвиг позднего"));
    row->addWidget(shift_);
    auto_ = new QPushButton(QStringLiteral("Авто"), this);
    auto_->setObjectName(QStringLiteral("cmdAuto"));
    auto_->setToolTip(QStringLiteral("Сдвиг, при котором профили совпадают лучше всего"));
    row->addWidget(auto_);
    row->addStretch();
    column->addLayout(row);

    canvas_ = new QLabel(this);
    canvas_->setObjectName(QStringLiteral("Picture"));
    canvas_->setFixedSize(kPictureWidth, kPictureHeight);
    column->addWidget(canvas_);

    connect(shift_, &QSpinBox::valueChanged, this, &ComparisonWindow::ShiftChanged);
    connect(auto_, &QPushButton::clicked, this, &ComparisonWindow::AutoClick);
    AutoClick();
    // Its size is known only once the layout has run: centring before would place it askew.
    adjustSize();
    CenterOnScreen(*this);
}

ComparisonWindow::~ComparisonWindow() = default;

void ComparisonWindow::ShiftChanged(int shift) {
    CompareOptions o;
    o.shift = shift;
    o.years = YearsBetween(earlier_, later_);
    o.tmin = tmin_;
    result_ = CompareScans({earlier_.Scan->Thickness.data(), earlier_.Scan->PointCount},
                           {later_.Scan->Thickness.data(), later_.Scan->PointCount}, o);
    Show();
}

void ComparisonWindow::AutoClick() {
    CompareOptions o;
    o.years = YearsBetween(earlier_, later_);
    o.tmin = tmin_;
    result_ = CompareScans({earlier_.Scan->Thickness.data(), earlier_.Scan->PointCount},
                           {later_.Scan->Thickness.data(), later_.Scan->PointCount}, o);
    if (result_.ok) {
        const QSignalBlocker block(shift_);
        shift_->setValue(result_.comparison.shift);
    }
    Show();
}

void ComparisonWindow::Show() {
    picture_.Clear(kWhite);
    picture_.SetFont("MS Sans Serif", 8);
    if (!result_.ok) {
        figures_->setText(Q(result_.error));
        picture_.MoveTo(300, 300);
        picture_.Print(result_.error);
        canvas_->setPixmap(QPixmap::fromImage(picture_.Image()));
        return;
    }
    // Two columns of "label: value"; an undefined figure shows a dash and why.
    const auto lines = ComparisonLines(result_.comparison, sep_);
    QString html = QStringLiteral("<table cellspacing=0 cellpadding=1><tr>");
    const size_t perColumn = (lines.size() + 1) / 2;
    for (size_t col = 0; col < 2; ++col) {
        html += QStringLiteral("<td valign=top style='padding-right:40px'><table>");
        for (size_t i = col * perColumn; i < std::min(lines.size(), (col + 1) * perColumn); ++i) {
            QString value = Q(lines[i].value);
            if (value.isEmpty()) {
                const std::string key = lines[i].key;
                const Comparison& c = result_.comparison;
                const bool noDates = !c.years || !(*c.years > 0);
                if (key == "years" || (noDates && key.rfind("rate", 0) == 0))
                    value = QStringLiteral("— (нет дат замеров)");
                else if (key == "remaining_life_years")
                    value = noDates ? QStringLiteral("— (нет дат замеров)")
                                    : QStringLiteral("— (утонения нет)");
                else
                    value = QStringLiteral("—");
            }
            html +=
                QStringLiteral(
                    "<tr><td>%1:</td><td align=right style='padding-left:12px'><b>%2</b></td></tr>")
                    .arg(QString::fromUtf8(lines[i].label), value.toHtmlEscaped());
        }
        html += QStringLiteral("</table></td>");
    }
    html += QStringLiteral("</tr></table>");
    figures_->setText(html);

    ComparisonPicture p;
    p.earlier = {earlier_.Scan->Thickness.data(), earlier_.Scan->PointCount};
    p.later = {later_.Scan->Thickness.data(), later_.Scan->PointCount};
    p.comparison = &result_.comparison;
    p.earlierLabel = "Ранний: " + ScanCaption(earlier_);
    p.laterLabel = "Поздний: " + ScanCaption(later_);
    p.decimalSeparator = sep_;
    DrawComparison(picture_, p);
    canvas_->setPixmap(QPixmap::fromImage(picture_.Image()));
}

}  // namespace ws
