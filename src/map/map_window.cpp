#include "map/map_window.h"

#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>
#include <filesystem>

#include "data/numbers.h"
#include "data/record.h"
#include "data/text.h"
#include "ui/file_picker.h"
#include "ui/printer.h"
#include "ui/prompter.h"
#include "ui/qt_windows.h"

namespace ws {

// The map: shows the retained picture; left drag pans, right drag selects, wheel zooms.
class MapCanvas : public QWidget {
  public:
    MapCanvas(MapWindow& owner, QWidget* parent) : QWidget(parent), owner_(owner) {
        setObjectName(QStringLiteral("Picture"));
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMinimumSize(400, 250);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, owner_.surface_.Image());
        if (selecting_) {
            p.setPen(QPen(Qt::black, 1, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(from_, to_).normalized());
        }
    }
    void resizeEvent(QResizeEvent*) override {
        owner_.surface_.Resize(width(), height());
        if (fitted_)
            owner_.Redraw();
        else
            owner_.FitClick();
        fitted_ = true;
    }
    void mousePressEvent(QMouseEvent* e) override {
        from_ = to_ = last_ = e->position().toPoint();
        if (e->button() == Qt::RightButton)
            selecting_ = true;
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPoint p = e->position().toPoint();
        if (e->buttons() & Qt::LeftButton) {
            owner_.PanBy(p - last_);
            last_ = p;
        } else if (selecting_) {
            to_ = p;
            update();
        }
        owner_.Hover(p);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (selecting_ && e->button() == Qt::RightButton) {
            selecting_ = false;
            to_ = e->position().toPoint();
            owner_.SelectRect(from_, to_);
            update();
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            owner_.OpenAt(e->position().toPoint());
    }
    void wheelEvent(QWheelEvent* e) override {
        // One notch (120) zooms by a quarter; trackpads send smaller steps.
        const double notches = e->angleDelta().y() / 120.0;
        if (notches != 0)
            owner_.Zoom(e->position().toPoint(), std::pow(1.25, notches));
        e->accept();
    }

  private:
    MapWindow& owner_;
    QPoint from_, to_, last_;
    bool selecting_ = false;
    bool fitted_ = false;
};

namespace {

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

// dd/mm/yyyy with the user's date separator, as the other pages print the date.
std::string Today(const std::string& separator) {
    return QDate::currentDate()
        .toString(QStringLiteral("dd/MM/yyyy"))
        .replace(QLatin1Char('/'), Text(separator))
        .toStdString();
}

std::string Number(float v) {
    return v > 0 ? FormatMask(v, "##0.00", ".") : std::string();
}

}  // namespace

MapWindow::MapWindow(Workspace& ws, Prompter& prompter, FilePicker& picker, PrintServices& print,
                     Hooks hooks, QWidget* parent)
    : QMainWindow(parent),
      ws_(ws),
      prompter_(prompter),
      picker_(picker),
      print_(print),
      hooks_(std::move(hooks)),
      surface_(400, 250, ScreenDpi()) {
    setObjectName(QStringLiteral("frmMap"));
    setWindowTitle(QStringLiteral("Карта толщин"));
    view_ = std::make_unique<MapView>(load_.model);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    auto* strip = new QHBoxLayout;
    auto field = [&](const char* label, const char* name) {
        strip->addWidget(new QLabel(QString::fromUtf8(label), central));
        auto* e = new QLineEdit(central);
        e->setObjectName(QString::fromLatin1(name));
        e->setFixedWidth(70);
        connect(e, &QLineEdit::editingFinished, this, &MapWindow::ApplyStrip);
        strip->addWidget(e);
        strip->addSpacing(12);
        return e;
    };
    nominal_ = field("Номинальная, мм", "txtNominal");
    minAllowed_ = field("Мин. допустимая, мм", "txtMinAllowed");
    spacing_ = field("Шаг между сканами, мм", "txtSpacing");
    auto* fit = new QPushButton(QStringLiteral("Исходный"), central);
    fit->setObjectName(QStringLiteral("cmdFit"));
    connect(fit, &QPushButton::clicked, this, &MapWindow::FitClick);
    strip->addWidget(fit);
    strip->addStretch(1);
    column->addLayout(strip);

    auto* row = new QHBoxLayout;
    canvas_ = new MapCanvas(*this, central);
    row->addWidget(canvas_, 1);
    stats_ = new QTableWidget(central);
    stats_->setObjectName(QStringLiteral("tblStats"));
    stats_->setColumnCount(2);
    stats_->setHorizontalHeaderLabels({QStringLiteral("Вся карта"), QStringLiteral("Выделение")});
    stats_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    stats_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    stats_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    stats_->setMinimumWidth(430);
    row->addWidget(stats_);
    column->addLayout(row, 1);
    readout_ = new QLabel(QStringLiteral(" "), central);
    readout_->setObjectName(QStringLiteral("lblReadout"));
    column->addWidget(readout_);
    setCentralWidget(central);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
    QAction* png = file->addAction(QStringLiteral("Сохранить как PN&G..."));
    png->setObjectName(QStringLiteral("mnuFileSavePng"));
    connect(png, &QAction::triggered, this, &MapWindow::SavePngClick);
    QAction* pdf = file->addAction(QStringLiteral("Сохранить как PD&F..."));
    pdf->setObjectName(QStringLiteral("mnuFileSavePdf"));
    connect(pdf, &QAction::triggered, this, &MapWindow::SavePdfClick);
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("В&ыход"));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    AddAboutItem(*menuBar(), QStringLiteral("&Об авторах"), hooks_.showAbout);
    resize(1220, 720);
}

MapWindow::~MapWindow() {
    // The boxes outlive this window's members (Qt deletes children last) and report a focus
    // loss while they go: they must not reach the view by then.
    for (QLineEdit* e : {nominal_, minAllowed_, spacing_})
        e->disconnect(this);
}

bool MapWindow::Load(const std::string& folder) {
    load_ = LoadMapFolder(folder, ws_.FilterOn);
    if (load_.noFiles) {
        prompter_.Message("нет файлов");
        return false;
    }
    if (!load_.skipped.empty())
        prompter_.Message(SkippedMessage(load_.skipped), MsgIcon::Exclamation);
    if (load_.model.Rows() == 0)
        return false;
    view_ = std::make_unique<MapView>(load_.model);
    limits_ = {ws_.NominalThickness, ws_.MinAllowedThickness};
    view_->SetThresholds(limits_);
    nominal_->setText(Text(Number(limits_.nominal)));
    minAllowed_->setText(Text(Number(limits_.minAllowed)));
    spacing_->setText(QStringLiteral("10"));
    haveSelection_ = false;
    setWindowTitle(QStringLiteral("Карта толщин: ") + Text(folder));
    FitClick();
    CenterOnScreen(*this);
    return true;
}

double MapWindow::Upp() const {
    return surface_.UnitsPerPixelX();
}

MapLayout MapWindow::Layout() const {
    return MakeMapLayout(surface_.Width(), surface_.Height(), false);
}

void MapWindow::Redraw() {
    surface_.Clear(kWhite);
    surface_.SetFont("MS Sans Serif", 8);
    view_->Draw(surface_, Layout());
    canvas_->update();
}

void MapWindow::FitClick() {
    const MapLayout l = Layout();
    view_->Fit(l.PlotWidth(), l.PlotHeight());
    Redraw();
    ShowStats();
}

void MapWindow::ApplyStrip() {
    auto read = [&](QLineEdit* e, double& out) {
        const std::string t = e->text().trimmed().toStdString();
        out = t.empty() ? 0.0 : NumericPrefix(t);
        // A wall is never thicker than a metre; anything else is a typing slip.
        return std::isfinite(out) && out >= 0 && out <= 1000;
    };
    double nom = 0, tmin = 0, spacing = 0;
    if (!read(nominal_, nom) || !read(minAllowed_, tmin) || !read(spacing_, spacing) ||
        spacing <= 0) {
        prompter_.Message("Недопустимое значение", MsgIcon::Exclamation);
        nominal_->setText(Text(Number(limits_.nominal)));
        minAllowed_->setText(Text(Number(limits_.minAllowed)));
        spacing_->setText(Text(SingleText(static_cast<float>(view_->Spacing()))));
        return;
    }
    const Thresholds now{static_cast<float>(nom), static_cast<float>(tmin)};
    const bool changed = !(now == limits_) || spacing != view_->Spacing();
    limits_ = now;
    view_->SetThresholds(limits_);
    view_->SetSpacing(spacing);
    if (changed) {
        Redraw();
        ShowStats();
    }
}

void MapWindow::ShowStats() {
    const Stats all = load_.model.AllStats(limits_);
    const auto lines = StatsLines(all, ws_.DecimalSeparator);
    std::vector<StatsLine> sel;
    if (haveSelection_)
        sel = StatsLines(load_.model.RegionStats(sel_[0], sel_[1], sel_[2], sel_[3], limits_),
                         ws_.DecimalSeparator);
    stats_->setRowCount(static_cast<int>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) {
        const int r = static_cast<int>(i);
        stats_->setVerticalHeaderItem(r, new QTableWidgetItem(QString::fromUtf8(lines[i].label)));
        stats_->setItem(r, 0, new QTableWidgetItem(Text(lines[i].value)));
        stats_->setItem(r, 1,
                        new QTableWidgetItem(i < sel.size() ? Text(sel[i].value) : QString()));
    }
}

void MapWindow::Hover(QPoint px) {
    const MapLayout l = Layout();
    const auto cell = view_->CellAt(px.x() * Upp(), px.y() * Upp(), l);
    if (!cell) {
        readout_->setText(QStringLiteral(" "));
        return;
    }
    const float t = load_.model.Row(cell->row)[cell->col];
    const std::string value =
        t >= kReadingLimit ? FormatMask(t, "##0.00", ws_.DecimalSeparator) + " мм" : "нет контакта";
    readout_->setText(Text(load_.model.Name(cell->row) + "   " +
                           std::to_string(cell->col * kPointSpacingMm) + " мм   " + value));
}

void MapWindow::Zoom(QPoint px, double factor) {
    view_->ZoomAt(px.x() * Upp(), px.y() * Upp(), factor, Layout());
    Redraw();
}

void MapWindow::PanBy(QPoint deltaPx) {
    view_->Pan(deltaPx.x() * Upp(), deltaPx.y() * Upp());
    Redraw();
}

void MapWindow::SelectRect(QPoint from, QPoint to) {
    haveSelection_ = view_->CellsIn(from.x() * Upp(), from.y() * Upp(), to.x() * Upp(),
                                    to.y() * Upp(), Layout(), sel_[0], sel_[1], sel_[2], sel_[3]);
    ShowStats();
}

void MapWindow::OpenAt(QPoint px) {
    const auto cell = view_->CellAt(px.x() * Upp(), px.y() * Upp(), Layout());
    if (!cell || !hooks_.openScan)
        return;
    const std::filesystem::path path =
        PathFromUtf8(load_.model.folder) / PathFromUtf8(load_.model.Name(cell->row));
    hooks_.openScan(PathToUtf8(path), cell->col);
}

void MapWindow::SavePngClick() {
    const std::string path =
        picker_.SaveFile("Сохранить как PNG", FileFilter{"PNG (*.png)", "*.png", "png"});
    if (path.empty())
        return;
    // A landscape A4 page at 150 dpi.
    ImageSurface page(1754, 1240, 150);
    page.Clear(kWhite);
    view_->DrawPage(page, Today(ws_.DateSeparator));
    if (!page.Image().save(Text(path), "PNG"))
        prompter_.Message("Не удалось записать файл " + path, MsgIcon::Exclamation);
}

void MapWindow::SavePdfClick() {
    const std::string path =
        picker_.SaveFile("Сохранить как PDF", FileFilter{"PDF (*.pdf)", "*.pdf", "pdf"});
    if (path.empty())
        return;
    const std::string date = Today(ws_.DateSeparator);
    SavePagePdf(print_, path, true, [&](Surface& page) { view_->DrawPage(page, date); });
}

}  // namespace ws
