#include "profile/stats_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "data/numbers.h"
#include "profile/stats_view.h"
#include "ui/prompter.h"

namespace ws {
namespace {

// The histogram's picture, in pixels.
constexpr int kHistWidth = 460, kHistHeight = 200;

QString Value(float v) {
    return v > 0.0f ? QString::fromStdString(FormatMask(v, "##0.00", ".")) : QString();
}

}  // namespace

StatsWindow::StatsWindow(Workspace& ws, Prompter& prompter, ThresholdStore store, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ws_(ws),
      prompter_(prompter),
      store_(std::move(store)),
      histogram_(kHistWidth, kHistHeight, ScreenDpi()) {
    setObjectName(QStringLiteral("frmStats"));
    setWindowTitle(QStringLiteral("Статистика"));
    auto* column = new QVBoxLayout(this);

    auto* form = new QFormLayout;
    nominal_ = new QLineEdit(this);
    nominal_->setObjectName(QStringLiteral("txtNominal"));
    minAllowed_ = new QLineEdit(this);
    minAllowed_->setObjectName(QStringLiteral("txtMinAllowed"));
    for (QLineEdit* e : {nominal_, minAllowed_}) {
        e->setFixedWidth(80);
        connect(e, &QLineEdit::editingFinished, this, &StatsWindow::ApplyThresholds);
    }
    form->addRow(QStringLiteral("Номинальная толщина, мм"), nominal_);
    form->addRow(QStringLiteral("Минимально допустимая, мм"), minAllowed_);
    column->addLayout(form);
    where_ = new QLabel(this);
    where_->setObjectName(QStringLiteral("lblWhere"));
    column->addWidget(where_);

    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("tblStats"));
    table_->setColumnCount(2);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Вся трасса"), QStringLiteral("Выделенная часть")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setMinimumHeight(345);
    column->addWidget(table_, 1);

    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("Picture"));
    picture_->setFixedSize(kHistWidth, kHistHeight);
    column->addWidget(picture_);
    resize(kHistWidth + 64, 660);
}

StatsWindow::~StatsWindow() {
    // The boxes report a focus loss while Qt deletes them, after this window's members.
    for (QLineEdit* e : {nominal_, minAllowed_})
        e->disconnect(this);
}

void StatsWindow::Reload() {
    const std::optional<Thresholds> object = store_.load ? store_.load() : std::nullopt;
    if (object) {
        ws_.NominalThickness = object->nominal;
        ws_.MinAllowedThickness = object->minAllowed;
    }
    nominal_->setText(Value(ws_.NominalThickness));
    minAllowed_->setText(Value(ws_.MinAllowedThickness));
    where_->setText(object ? QStringLiteral("Пороги объекта из архива замеров")
                           : QStringLiteral("Пороги действуют до конца сеанса"));
    Refresh();
}

void StatsWindow::Refresh() {
    const Thresholds th{ws_.NominalThickness, ws_.MinAllowedThickness};
    const Stats whole = StatsOfRecord(ws_, false, th);
    const Stats part = StatsOfRecord(ws_, true, th);
    const auto a = StatsLines(whole, ws_.DecimalSeparator);
    const auto b = StatsLines(part, ws_.DecimalSeparator);
    table_->setRowCount(static_cast<int>(a.size()));
    for (size_t i = 0; i < a.size(); ++i) {
        const int r = static_cast<int>(i);
        table_->setVerticalHeaderItem(r, new QTableWidgetItem(QString::fromUtf8(a[i].label)));
        table_->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(a[i].value)));
        // Nothing marked: the column stays empty rather than showing zeros.
        const QString v = part.points > 0 ? QString::fromStdString(b[i].value) : QString();
        table_->setItem(r, 1, new QTableWidgetItem(v));
    }

    const int64_t n = std::clamp<int64_t>(ws_.PointCount, 0, kPointSlots);
    std::vector<bool> marked(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i)
        marked[static_cast<size_t>(i)] = ws_.PointMark[static_cast<size_t>(i)] != 0;
    const ws::Histogram all = MakeHistogram(ws_.Thickness.data(), n, nullptr);
    const ws::Histogram sel = MakeHistogram(ws_.Thickness.data(), n, &marked);
    histogram_.Clear(kWhite);
    histogram_.SetFont("MS Sans Serif", 8);
    DrawHistogram(histogram_, all, sel, th, ws_.DecimalSeparator);
    picture_->setPixmap(QPixmap::fromImage(histogram_.Image()));
}

void StatsWindow::ApplyThresholds() {
    auto read = [](QLineEdit* e, float& out) {
        const std::string t = e->text().trimmed().toStdString();
        if (t.empty()) {
            out = 0.0f;
            return true;
        }
        if (t.find_first_not_of("0123456789.,") != std::string::npos)
            return false;
        std::string dot = t;
        std::replace(dot.begin(), dot.end(), ',', '.');
        const auto v = ToSingle(NumericPrefix(dot));
        // A wall is never thicker than a metre: anything more is a slip of the keyboard.
        if (!v || *v < 0.0f || *v > 1000.0f)
            return false;
        out = *v;
        return true;
    };
    Thresholds th;
    if (!read(nominal_, th.nominal) || !read(minAllowed_, th.minAllowed)) {
        prompter_.Message("Недопустимое значение", MsgIcon::Exclamation);
        nominal_->setText(Value(ws_.NominalThickness));
        minAllowed_->setText(Value(ws_.MinAllowedThickness));
        return;
    }
    if (th == Thresholds{ws_.NominalThickness, ws_.MinAllowedThickness})
        return;
    if (store_.save && !store_.save(th)) {
        // The object keeps its old values; showing others would mislead.
        nominal_->setText(Value(ws_.NominalThickness));
        minAllowed_->setText(Value(ws_.MinAllowedThickness));
        return;
    }
    ws_.NominalThickness = th.nominal;
    ws_.MinAllowedThickness = th.minAllowed;
    Refresh();
    emit thresholdsChanged();
}

}  // namespace ws
