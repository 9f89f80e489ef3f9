#include "profile/profile_window.h"

#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <algorithm>

#include "ui/file_picker.h"
#include "ui/printer.h"
#include "ui/prompter.h"
#include "ui/qt_windows.h"

namespace ws {

// The drawing area: shows the retained picture and hands the mouse to the window in twips.
class ProfileCanvas : public QWidget {
  public:
    ProfileCanvas(ProfileWindow& owner, ImageSurface& surface, QWidget* parent)
        : QWidget(parent), owner_(owner), surface_(surface) {
        setObjectName(QStringLiteral("Picture"));
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, surface_.Image());
    }
    void mousePressEvent(QMouseEvent* e) override {
        owner_.Press(e->button(), ToTwips(e->position()), e->globalPosition().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* e) override { owner_.Move(ToTwips(e->position())); }
    void mouseReleaseEvent(QMouseEvent*) override { owner_.Release(); }

  private:
    QPointF ToTwips(QPointF px) const {
        return {px.x() * surface_.UnitsPerPixelX(), px.y() * surface_.UnitsPerPixelY()};
    }
    ProfileWindow& owner_;
    ImageSurface& surface_;
};

namespace {

// The sheet in window units: what the window shows of the 10000 x 6500 virtual page.
constexpr double kCanvasWidth = 8800;
constexpr double kCanvasHeight = 6500;

QIcon Arrow(bool right) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 0, 128));
    p.setPen(Qt::NoPen);
    QPainterPath path;
    if (right) {
        path.moveTo(3, 2);
        path.lineTo(14, 8);
        path.lineTo(3, 14);
    } else {
        path.moveTo(13, 2);
        path.lineTo(2, 8);
        path.lineTo(13, 14);
    }
    path.closeSubpath();
    p.drawPath(path);
    return QIcon(pm);
}

}  // namespace

ProfileWindow::ProfileWindow(Workspace& ws, Prompter& prompter, FilePicker& picker,
                             PrintServices& print, Hooks hooks, QWidget* parent)
    : QMainWindow(parent),
      ws_(ws),
      prompter_(prompter),
      picker_(picker),
      print_(print),
      hooks_(std::move(hooks)),
      view_(ws),
      surface_(TwipsToPx(kCanvasWidth), TwipsToPx(kCanvasHeight), ScreenDpi()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("График результатов замеров"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8);
    setFont(font);

    canvas_ = new ProfileCanvas(*this, surface_, this);
    canvas_->setFixedSize(TwipsToPx(kCanvasWidth), TwipsToPx(kCanvasHeight));
    setCentralWidget(canvas_);

    auto* back = new QToolButton(canvas_);
    back->setObjectName(QStringLiteral("Back"));
    back->setText(QStringLiteral("Назад"));
    back->setToolTip(QStringLiteral("Предыдущий лист"));
    back->setIcon(Arrow(false));
    back->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    back->setGeometry(0, 0, TwipsToPx(670), TwipsToPx(555));
    connect(back, &QToolButton::clicked, this, &ProfileWindow::BackClick);
    auto* forward = new QToolButton(canvas_);
    forward->setObjectName(QStringLiteral("Forward"));
    forward->setText(QStringLiteral("Вперед"));
    forward->setToolTip(QStringLiteral("Следующий лист"));
    forward->setIcon(Arrow(true));
    forward->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    forward->setGeometry(TwipsToPx(680), 0, TwipsToPx(670), TwipsToPx(557));
    connect(forward, &QToolButton::clicked, this, &ProfileWindow::ForwardClick);

    auto makeLabel = [&](const char* name, ProfileView::LabelPlace place) {
        auto* l = new QLabel(canvas_);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(TwipsToPx(place.left), TwipsToPx(place.top), TwipsToPx(1215),
                       TwipsToPx(195));
        l->setStyleSheet(QStringLiteral("background: white; color: black;"));
        return l;
    };
    valx_ = makeLabel("Valx", ProfileView::kValx);
    valy_ = makeLabel("Valy", ProfileView::kValy);
    ysel_ = makeLabel("YSel", ProfileView::kYSel);
    xsel_ = makeLabel("XSel", ProfileView::kXSel);

    BuildMenus();
    // Drawing positions do not follow the window: it has a fixed size.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

ProfileWindow::~ProfileWindow() = default;

void ProfileWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* print = file->addAction(QStringLiteral("&Печать"));
    print->setObjectName(QStringLiteral("mnuFileItem(0)"));
    connect(print, &QAction::triggered, this, &ProfileWindow::PrintClick);
    QAction* pdf = file->addAction(QStringLiteral("Сохранить как PD&F..."));
    pdf->setObjectName(QStringLiteral("mnuFileSavePdf"));
    connect(pdf, &QAction::triggered, this, &ProfileWindow::SavePdfClick);
    QAction* png = file->addAction(QStringLiteral("Сохранить как PN&G..."));
    png->setObjectName(QStringLiteral("mnuFileSavePng"));
    connect(png, &QAction::triggered, this, &ProfileWindow::SavePngClick);
    QAction* report = file->addAction(QStringLiteral("&Отчёт..."));
    report->setObjectName(QStringLiteral("mnuFileReport"));
    connect(report, &QAction::triggered, this, [this] {
        if (hooks_.makeReport)
            hooks_.makeReport();
    });
    QAction* printReport = file->addAction(QStringLiteral("Печать отчё&та"));
    printReport->setObjectName(QStringLiteral("mnuFilePrintReport"));
    connect(printReport, &QAction::triggered, this, [this] {
        if (hooks_.printReport)
            hooks_.printReport();
    });
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("В&ыход"));
    quit->setObjectName(QStringLiteral("mnuFileItem(1)"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    viewMenu_ = menuBar()->addMenu(QStringLiteral("&Вид"));
    viewMenu_->setObjectName(QStringLiteral("mnuView"));
    const char* captions[] = {"Уве&личить",        "Уме&ньшить",    "&Исходный",
                              "О&тменить отметку", "П&ротокол",     "Диапазон: Min-Max",
                              "Включить &фильтр",  "Размах вручную"};
    for (int i = 0; i < 8; ++i) {
        viewItem_[i] = viewMenu_->addAction(QString::fromUtf8(captions[i]));
        viewItem_[i]->setObjectName(QStringLiteral("mnuViewItem(%1)").arg(i));
        connect(viewItem_[i], &QAction::triggered, this, [this, i] { ViewItemClick(i); });
    }
    viewMenu_->addSeparator();
    QAction* stats = viewMenu_->addAction(QStringLiteral("&Статистика"));
    stats->setObjectName(QStringLiteral("mnuViewStats"));
    connect(stats, &QAction::triggered, this, [this] {
        if (hooks_.openStats)
            hooks_.openStats();
    });
    AddAboutItem(*menuBar(), QStringLiteral("&Об авторах"), hooks_.showAbout);
}

void ProfileWindow::Load() {
    view_.Load(surface_);
    UpdateCaptions();
    UpdateLabels();
    Repaint();
    adjustSize();
    CenterOnScreen(*this);
    emit marksChanged();
}

void ProfileWindow::UpdateCaptions() {
    viewItem_[5]->setText(QString::fromStdString(view_.RangeCaption()));
    viewItem_[6]->setText(QString::fromStdString(view_.FilterCaption()));
    viewItem_[7]->setText(QString::fromStdString(view_.SpanCaption()));
}

void ProfileWindow::UpdateLabels() {
    valx_->setText(QString::fromStdString(view_.Valx));
    valy_->setText(QString::fromStdString(view_.Valy));
    xsel_->setText(QString::fromStdString(view_.XSel));
    ysel_->setText(QString::fromStdString(view_.YSel));
}

void ProfileWindow::Repaint() {
    canvas_->update();
}

void ProfileWindow::ForwardClick() {
    view_.Forward(surface_);
    Repaint();
}

void ProfileWindow::BackClick() {
    view_.Back(surface_);
    Repaint();
}

void ProfileWindow::ViewItemClick(int index) {
    switch (index) {
        case 0:
            view_.ZoomIn(surface_, prompter_);
            break;
        case 1:
            view_.ZoomOut(surface_);
            break;
        case 2:
            view_.Original(surface_);
            break;
        case 3:
            view_.ClearMarks(surface_);
            break;
        case 4:
            if (hooks_.openTable)
                hooks_.openTable();
            return;
        case 5:
            view_.ToggleRange(surface_);
            break;
        case 6:
            view_.ToggleFilter();
            break;
        case 7:
            view_.ToggleSpan(surface_);
            break;
        default:
            return;
    }
    UpdateCaptions();
    UpdateLabels();
    Repaint();
    if (index == 3)
        emit marksChanged();
}

void ProfileWindow::RedrawSheet() {
    view_.Redraw(surface_);
    Repaint();
}

void ProfileWindow::ShowPoint(int index, int zoom) {
    view_.Zoom = static_cast<int16_t>(std::clamp(zoom, 1, 16384));
    view_.CenterIndex = static_cast<int16_t>(std::clamp(index, 0, std::max(0, ws_.PointCount - 1)));
    RedrawSheet();
}

void ProfileWindow::PrintClick() {
    view_.Print(surface_, [this](SheetRange r) {
        PrintPage(print_, true, [&](Surface& page) { view_.PrintProfile(page, r); });
    });
    Repaint();
}

void ProfileWindow::SavePdfClick() {
    const std::string path =
        picker_.SaveFile("Сохранить как PDF", FileFilter{"PDF (*.pdf)", "*.pdf", "pdf"});
    if (path.empty())
        return;
    view_.Print(surface_, [&](SheetRange r) {
        SavePagePdf(print_, path, true, [&](Surface& page) { view_.PrintProfile(page, r); });
    });
    Repaint();
}

void ProfileWindow::SavePngClick() {
    const std::string path =
        picker_.SaveFile("Сохранить как PNG", FileFilter{"PNG (*.png)", "*.png", "png"});
    if (path.empty())
        return;
    // The window as it stands: the picture with its buttons and readout labels.
    const QImage image = canvas_->grab().toImage();
    if (!image.save(QString::fromStdString(path), "PNG"))
        prompter_.Message("Не удалось записать файл " + path, MsgIcon::Exclamation);
}

void ProfileWindow::Press(Qt::MouseButton button, QPointF twips, QPoint globalPos) {
    const int b = button == Qt::LeftButton ? 1 : (button == Qt::RightButton ? 2 : 4);
    if (view_.MousePress(b, static_cast<float>(twips.x()), static_cast<float>(twips.y())))
        viewMenu_->popup(globalPos);
}

void ProfileWindow::Move(QPointF twips) {
    const bool held = view_.MouseHeld;
    view_.MouseMove(surface_, static_cast<float>(twips.x()), static_cast<float>(twips.y()));
    UpdateLabels();
    if (held)
        Repaint();
}

void ProfileWindow::Release() {
    const bool marking = view_.MouseHeld;
    view_.MouseRelease(surface_);
    UpdateLabels();
    Repaint();
    if (marking)
        emit marksChanged();
}

}  // namespace ws
