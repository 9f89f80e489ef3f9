#include "relief/relief_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <cmath>

#include "relief/printf_window.h"
#include "relief/traces_dialog.h"
#include "ui/file_picker.h"
#include "ui/prompter.h"
#include "ui/qt_printer.h"
#include "ui/qt_windows.h"

namespace ws {
namespace {

double PxToTwips(int px) {
    return px * 1440.0 / ScreenDpi();
}

QRect Twips(double left, double top, double width, double height) {
    return QRect(TwipsToPx(left), TwipsToPx(top), std::max(1, TwipsToPx(width)),
                 std::max(1, TwipsToPx(height)));
}

struct ViewItem {
    const char* button;
    const char* caption;
};
// The "Вид" menu in its item order, with the button each item stands for.
constexpr ViewItem kViewItems[] = {
    {"Command14", "Быстро назад"},
    {"Command10", "Назад"},
    {"Command12", "Следующий файл"},
    {"Command13", "Предыдущий файл"},
    {"Command11", "Вперед"},
    {"Command15", "Быстро вперед"},
    {"Command1", "По часовой вокруг вертикальной оси"},
    {"Command2", "Против часовой вокруг вертикальной оси"},
    {"Command3", "По часовой вокруг продольной оси"},
    {"Command4", "Против часовой вокруг продольной оси"},
    {"Command8", "Увеличить"},
    {"Command7", "Уменьшить"},
    {"Command9", "Спрятать трассы"},
};

}  // namespace

ReliefCanvasWidget::ReliefCanvasWidget(ImageSurface& image, QWidget* parent)
    : QWidget(parent), image_(image) {
    setObjectName("Picture2");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReliefCanvasWidget::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.drawImage(0, 0, image_.Image());
}

void ReliefCanvasWidget::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton && onRightButton)
        onRightButton(e->globalPosition().toPoint());
}

ReliefWindow::ReliefWindow(const Workspace& ws, Prompter& prompter, FilePicker& picker,
                           Printer& printer, QWidget* parent)
    : QMainWindow(parent),
      ws_(ws),
      prompter_(prompter),
      picker_(picker),
      printer_(printer),
      services_{printer, prompter, picker,
                [](const std::string& path) { return MakePdfPrinter(path); }},
      view_(ws),
      canvas_(100, 100, ScreenDpi()) {
    setObjectName("Block");
    setWindowTitle(QString::fromUtf8("Рельеф"));
    setAttribute(Qt::WA_DeleteOnClose);
    central_ = new QWidget(this);
    setCentralWidget(central_);

    QFont small = font();
    small.setPointSizeF(7);

    // Buttons first, so that the menu items can trigger them.
    AddButton("Command14", "«", "Быстро назад");
    AddButton("Command10", "‹", "Назад");
    AddButton("Command11", "›", "Вперед");
    AddButton("Command15", "»", "Быстро вперед");
    AddButton("Command12", "▼", "Следующий файл");
    AddButton("Command13", "▲", "Предыдущий файл");
    AddButton("Command1", "↻", "По часовой вокруг вертикальной оси");
    AddButton("Command2", "↺", "Против часовой вокруг вертикальной оси");
    AddButton("Command3", "⤵", "По часовой вокруг продольной оси");
    AddButton("Command4", "⤴", "Против часовой вокруг продольной оси");
    AddButton("Command8", "+", "Увеличить");
    AddButton("Command7", "−", "Уменьшить");
    AddButton("Command16", "↕", "Раздвинуть трассы");
    AddButton("Command17", "⇕", "Сдвинуть трассы");
    AddButton("Command9", "☰", "Спрятать трассы");
    AddButton("Command5", "", "Печать")->setIcon(PrinterIcon());
    AddButton("Command6", "✕", "Выход");
    auto on = [this](const char* name, auto fn) {
        connect(findChild<QToolButton*>(name), &QToolButton::clicked, this, fn);
    };
    auto nav = [this](NavCommand c) {
        view_.Navigate(c);
        SyncWidgets();
    };
    on("Command14", [nav] { nav(NavCommand::FastBack); });
    on("Command10", [nav] { nav(NavCommand::Back); });
    on("Command11", [nav] { nav(NavCommand::Forward); });
    on("Command15", [nav] { nav(NavCommand::FastForward); });
    on("Command12", [nav] { nav(NavCommand::NextFile); });
    on("Command13", [nav] { nav(NavCommand::PrevFile); });
    on("Command1", [this] {
        view_.RotateTheta(10);
        SyncWidgets();
    });
    on("Command2", [this] {
        view_.RotateTheta(-10);
        SyncWidgets();
    });
    on("Command3", [this] {
        view_.RotatePhi(-3);
        SyncWidgets();
    });
    on("Command4", [this] {
        view_.RotatePhi(3);
        SyncWidgets();
    });
    on("Command8", [this] {
        if (view_.ZoomIn())
            SyncWidgets();
    });
    on("Command7", [this] {
        if (view_.ZoomOut())
            SyncWidgets();
    });
    on("Command16", [this] {
        if (view_.WiderSpacing()) {
            FillLegendLabels();
            SyncWidgets();
        }
    });
    on("Command17", [this] {
        if (view_.NarrowerSpacing()) {
            FillLegendLabels();
            SyncWidgets();
        }
    });
    on("Command9", [this] { Command9_Click(); });
    on("Command5", [this] { Command5_Click(); });
    on("Command6", [this] { close(); });

    QMenu* file = menuBar()->addMenu(QString::fromUtf8("Файл"));
    file->setObjectName("mnuFile");
    QAction* print =
        file->addAction(QString::fromUtf8("Печать"), this, [this] { Command5_Click(); });
    print->setObjectName("mnuFilePrint");
    QAction* pdf = file->addAction(QString::fromUtf8("Сохранить страницу как PDF..."), this,
                                   [this] { SavePicture(true); });
    pdf->setObjectName("mnuFileSavePdf");
    QAction* png = file->addAction(QString::fromUtf8("Сохранить страницу как PNG..."), this,
                                   [this] { SavePicture(false); });
    png->setObjectName("mnuFileSavePng");
    file->addSeparator();
    QAction* quit = file->addAction(QString::fromUtf8("Выход"), this, [this] { close(); });
    quit->setObjectName("mnuFileExit");
    viewMenu_ = menuBar()->addMenu(QString::fromUtf8("Вид"));
    viewMenu_->setObjectName("mnuView");
    for (int i = 0; i < 13; ++i) {
        QAction* a = viewMenu_->addAction(QString::fromUtf8(kViewItems[i].caption));
        a->setObjectName(QString("mnuViewItem(%1)").arg(i));
        QToolButton* b = findChild<QToolButton*>(kViewItems[i].button);
        connect(a, &QAction::triggered, b, &QToolButton::click);
    }
    // A menu-bar item of its own that shows the about window at once, as in the main window.
    AddAboutItem(*menuBar(), QString::fromUtf8("Об авторах"), [this] {
        if (onAbout)
            onAbout(this);
    });

    picture1_ = new QWidget(central_);
    picture1_->setObjectName("Picture1");
    picture1_->setAutoFillBackground(true);
    picture2_ = new ReliefCanvasWidget(canvas_, picture1_);
    picture2_->onRightButton = [this](QPoint global) { viewMenu_->popup(global); };
    vscroll_ = new QScrollBar(Qt::Vertical, central_);
    vscroll_->setObjectName("VScroll1");
    hscroll_ = new QScrollBar(Qt::Horizontal, central_);
    hscroll_->setObjectName("HScroll1");
    connect(vscroll_, &QScrollBar::valueChanged, this, &ReliefWindow::VScroll1_Change);
    connect(hscroll_, &QScrollBar::valueChanged, this, &ReliefWindow::HScroll1_Change);

    auto label = [this, &small](const QString& name, const QString& text) {
        auto* l = new QLabel(text, central_);
        l->setObjectName(name);
        l->setFont(small);
        return l;
    };
    for (int i = 0; i < 10; ++i) {
        label1_[i] = label(QString("Label1(%1)").arg(i), {});
        label2_[i] = label(QString("Label2(%1)").arg(i), {});
        label2_[i]->setAutoFillBackground(true);
        label7_[i] = label(QString("Label7(%1)").arg(i), {});
        label8_[i] = label(QString("Label8(%1)").arg(i), {});
    }
    const char* headers[6] = {"мин.", "макс.", "мин.", "макс.", "файл", "файл"};
    for (int i = 0; i < 6; ++i)
        label3_[i] = label(QString("Label3(%1)").arg(i), QString::fromUtf8(headers[i]));
    label5_ = label("Label5", QString::fromUtf8("Толщина, мм"));
    label4_ = label("Label4", QString::fromUtf8("Координата, мм"));
    label6_ = label("Label6", QString::fromUtf8("Файл"));
    auto box = [this, &small](const char* name) {
        auto* t = new QLineEdit(central_);
        t->setObjectName(name);
        t->setReadOnly(true);
        t->setFont(small);
        return t;
    };
    text1_ = box("Text1");
    text2_ = box("Text2");
    text3_ = box("Text3");

    view_.SetCanvas(&canvas_);
    view_.OnCanvasResize = [this](double w, double h) {
        const int wPx = std::max(1, static_cast<int>(std::lround(w / canvas_.UnitsPerPixelX())));
        const int hPx = std::max(1, static_cast<int>(std::lround(h / canvas_.UnitsPerPixelY())));
        const QImage& img = canvas_.Image();
        if (img.width() != wPx || img.height() != hPx)
            canvas_.Resize(wPx, hPx);
    };
}

ReliefWindow::~ReliefWindow() {
    if (printf_)
        printf_->close();
}

void ReliefWindow::closeEvent(QCloseEvent* event) {
    // The print window shows this window's picture; it goes with it at once, not whenever the
    // deferred delete of this window comes round.
    if (printf_)
        printf_->close();
    QMainWindow::closeEvent(event);
}

QToolButton* ReliefWindow::AddButton(const char* name, const QString& glyph, const QString& tip) {
    auto* b = new QToolButton(central_);
    b->setObjectName(name);
    b->setText(glyph);
    b->setToolTip(tip);
    return b;
}

void ReliefWindow::Layout() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const double formW = PxToTwips(avail.width());
    const double formH = PxToTwips(avail.height()) - 500;
    move(avail.topLeft());
    const double frameH = PxToTwips(frameGeometry().height() - geometry().height()) +
                          PxToTwips(menuBar()->sizeHint().height());
    resize(avail.width(),
           std::max(200, TwipsToPx(formH) - (frameGeometry().height() - geometry().height())));
    const double vsW = PxToTwips(style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    const double pic1W = formW - 1.5 * vsW;
    // The form's outer height includes its title bar and menu, which the client has not.
    const double pic1H = std::max(1500.0, formH - 2500 - std::max(0.0, frameH - 600));
    picture1_->setGeometry(Twips(0, 500, pic1W, pic1H));
    vscroll_->setGeometry(Twips(pic1W + 10, 500, vsW, pic1H));
    hscroll_->setGeometry(Twips(0, pic1H + 500, pic1W, vsW));
    view_.Frame.Picture1Width = TwipsToPx(pic1W) * 1440.0 / ScreenDpi();
    view_.Frame.Picture1Height = TwipsToPx(pic1H) * 1440.0 / ScreenDpi();
    // The legend's column headers stand 180 twips above its first row: the band starts far
    // enough down that they clear the horizontal scroll bar instead of lying on its track.
    legendBandTop_ = static_cast<int>(std::lround(vsW + pic1H + 200));

    int x = 0;
    const char* order[] = {"Command14", "Command10", "Command11", "Command15", "Command12",
                           "Command13", "Command1",  "Command2",  "Command3",  "Command4",
                           "Command8",  "Command7",  "Command16", "Command17", "Command9",
                           "Command5",  "Command6"};
    for (const char* name : order) {
        findChild<QToolButton*>(name)->setGeometry(Twips(x, 0, 480, 480));
        x += 500;
    }

    const double top = legendBandTop_;
    for (int k = 1; k <= 10; ++k) {
        const int r = k <= 5 ? k : k - 5;
        const double c = k <= 5 ? 0 : 3000;
        const double y = r * 140.0 + top + 500;
        label2_[k - 1]->setGeometry(Twips(c + 350, y + 30, 300, 110));
        PlaceText(label7_[k - 1], Twips(c + 750, y, 400, 140));
        PlaceText(label8_[k - 1], Twips(c + 1200, y, 400, 140));
        PlaceText(label1_[k - 1], Twips(c + 1700, y, 1000, 140));
    }
    const double hx[6] = {750, 1200, 3750, 4200, 1700, 4700};
    for (int i = 0; i < 6; ++i)
        PlaceText(label3_[i], Twips(hx[i], top + 500 - 180, 500, 180));
    label5_->setGeometry(Twips(6300, top + 500, 1200, 240));
    label4_->setGeometry(Twips(6300, top + 750, 1200, 240));
    label6_->setGeometry(Twips(6300, top + 1000, 1200, 240));
    text1_->setGeometry(Twips(7500, top + 500, 1500, 240));
    text2_->setGeometry(Twips(7500, top + 750, 1500, 240));
    text3_->setGeometry(Twips(7500, top + 1000, 1500, 240));
}

void ReliefWindow::PlaceText(QLabel* label, QRect box) {
    // The rows stand 140 twips apart, less than a line of the legend's font: a label that tall
    // cuts the descenders and underscores of a file name. It keeps its top and grows down to
    // the font's full height (it has no background, so it may overlap the row below).
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    box.setHeight(std::max(box.height(), label->fontMetrics().height() + 1));
    label->setGeometry(box);
}

bool ReliefWindow::Load() {
    Layout();
    view_.TraceSpacing = 1;
    if (!view_.BuildRelief()) {
        prompter_.Message("Нет нужных файлов");
        return false;
    }
    FillLegendLabels();
    SyncWidgets();
    return true;
}

void ReliefWindow::FillLegendLabels() {
    const int n = ws_.ReliefFileCount;
    for (int k = 1; k <= 10; ++k) {
        const LegendRow& row = view_.Legend[k];
        QPalette pal = label2_[k - 1]->palette();
        pal.setColor(QPalette::Window, QColor(row.Swatch.r, row.Swatch.g, row.Swatch.b));
        label2_[k - 1]->setPalette(pal);
        label7_[k - 1]->setText(QString::fromStdString(row.Min));
        label8_[k - 1]->setText(QString::fromStdString(row.Max));
        label1_[k - 1]->setText(QString::fromStdString(row.Name));
        for (QLabel* l : {label1_[k - 1], label2_[k - 1], label7_[k - 1], label8_[k - 1]})
            l->setVisible(row.Visible);
    }
    for (int i : {2, 3, 5})
        label3_[i]->setVisible(n > 5);
}

void ReliefWindow::SyncWidgets() {
    syncing_ = true;
    const CanvasFrame& f = view_.Frame;
    vscroll_->setRange(0, f.VMax);
    vscroll_->setPageStep(std::max(1, static_cast<int>(f.Picture1Height)));
    vscroll_->setSingleStep(100);
    vscroll_->setValue(f.VValue);
    vscroll_->setVisible(f.VVisible);
    hscroll_->setRange(0, f.HMax);
    hscroll_->setPageStep(std::max(1, static_cast<int>(f.Picture1Width)));
    hscroll_->setSingleStep(100);
    hscroll_->setValue(f.HValue);
    hscroll_->setVisible(f.HVisible);
    syncing_ = false;
    const QImage& img = canvas_.Image();
    picture2_->setGeometry(TwipsToPx(f.Left), TwipsToPx(f.Top), img.width(), img.height());
    picture2_->update();
    text1_->setText(QString::fromStdString(view_.Text1));
    text2_->setText(QString::fromStdString(view_.Text2));
    text3_->setText(QString::fromStdString(view_.Text3));
}

void ReliefWindow::Redraw() {
    view_.main();
    SyncWidgets();
}

void ReliefWindow::VScroll1_Change(int value) {
    if (syncing_)
        return;
    view_.VScrollChanged(value);
    SyncWidgets();
}

void ReliefWindow::HScroll1_Change(int value) {
    if (syncing_)
        return;
    view_.HScrollChanged(value);
    SyncWidgets();
}

void ReliefWindow::Command9_Click() {
    if (chooseTraces) {
        chooseTraces(view_);
    } else {
        TracesDialog dialog(view_, this);
        dialog.exec();
    }
    Redraw();
}

void ReliefWindow::Command5_Click() {
    if (!printf_) {
        printf_ = new PrintfWindow(services_, nullptr);
        printf_->setAttribute(Qt::WA_DeleteOnClose);
    }
    printf_->Compose(view_, canvas_.Image());
    printf_->show();
    printf_->raise();
}

void ReliefWindow::SavePicture(bool pdf) {
    const FileFilter filter =
        pdf ? FileFilter{"PDF (*.pdf)", "*.pdf", "pdf"} : FileFilter{"PNG (*.png)", "*.png", "png"};
    const std::string path = picker_.SaveFile("Сохранить страницу", filter, ws_.ReliefDir);
    if (path.empty())
        return;
    const QImage page = ComposeReliefImage(view_, canvas_.Image());
    if (pdf) {
        SavePagePdf(services_, path, true, [&page](Surface& s) { DrawImageFitted(s, page); });
    } else if (!page.save(QString::fromStdString(path), "PNG")) {
        prompter_.Message("Не удалось записать файл " + path, MsgIcon::Exclamation);
    }
}

}  // namespace ws
