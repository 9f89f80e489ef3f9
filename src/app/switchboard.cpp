#include "app/switchboard.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

#include "app/app_windows.h"
#include "app/startup.h"
#include "data/folder_scan.h"
#include "data/text.h"
#include "data/trace_file.h"
#include "ui/file_picker.h"
#include "ui/prompter.h"
#include "ui/qt_windows.h"

namespace ws {
namespace {

const FileFilter kMemFilter{"Mem Files (*.mem)", "*.mem", "mem"};

QString Indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

// Image1: the gauge's probe over a wall; Image2: a wall section with a pit.
QPixmap Pictogram(bool section) {
    QPixmap pm(64, 48);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (section) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        for (int x = 2; x < 62; x += 4) {
            const int pit = (x > 26 && x < 40) ? 10 - std::abs(x - 33) : 0;
            p.fillRect(x, 6, 3, 30 - pit, QColor(192, 192, 192));
        }
        p.fillRect(30, 6, 3, 36, QColor(255, 0, 0));
    } else {
        p.setBrush(QColor(70, 90, 120));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(18, 2, 28, 20, 4, 4);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(28, 22, 8, 12);
        p.setBrush(QColor(150, 150, 150));
        p.drawRect(2, 36, 60, 10);
        p.setPen(QPen(QColor(0, 160, 0), 2));
        p.drawLine(32, 34, 32, 46);
    }
    return pm;
}

}  // namespace

Switchboard::Switchboard(Workspace& ws, AppWindows& windows, Prompter& prompter, FilePicker& picker,
                         QWidget* parent)
    : QMainWindow(parent), ws_(ws), windows_(windows), prompter_(prompter), picker_(picker) {
    setObjectName(QStringLiteral("Switchboard"));
    setWindowTitle(QString::fromUtf8(kProductName));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(9);
    setFont(font);
    BuildControls();
    BuildMenus();
}

void Switchboard::BuildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Frame3"));
    auto* outer = new QVBoxLayout(central);

    auto makeButton = [&](int i, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), central);
        b->setObjectName(QStringLiteral("Command%1").arg(i));
        b->setMinimumHeight(30);
        command_[static_cast<size_t>(i)] = b;
        return b;
    };

    auto* top = new QHBoxLayout;
    auto* image1 = new QLabel(central);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(Pictogram(false));
    auto* title = new QLabel(QStringLiteral("<b>%1</b><br>ультразвуковой толщиномер")
                                 .arg(QString::fromUtf8(kProductName)),
                             central);
    title->setAlignment(Qt::AlignCenter);
    auto* image2 = new QLabel(central);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setPixmap(Pictogram(true));
    top->addWidget(image1);
    top->addWidget(title, 1);
    top->addWidget(image2);
    outer->addLayout(top);

    auto* line1 = new QFrame(central);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    outer->addWidget(line1);

    auto* row = new QHBoxLayout;
    // Device: download, port, speed.
    auto* frame1 = new QGroupBox(QStringLiteral("Прибор"), central);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* f1 = new QVBoxLayout(frame1);
    f1->addWidget(makeButton(1, "Ввод из прибора"));
    auto* portSpeed = new QHBoxLayout;
    auto* frame6 = new QGroupBox(QStringLiteral("Порт"), frame1);
    frame6->setObjectName(QStringLiteral("Frame6"));
    auto* f6 = new QVBoxLayout(frame6);
    for (int i = 1; i <= 2; ++i) {
        auto* r = new QRadioButton(QStringLiteral("COM%1").arg(i), frame6);
        r->setObjectName(Indexed("COM", i));
        com_[static_cast<size_t>(i)] = r;
        f6->addWidget(r);
        connect(r, &QRadioButton::clicked, this, [this, i] { ComClick(i); });
    }
    f6->addStretch();
    auto* frame5 = new QGroupBox(QStringLiteral("Cкорость"), frame1);  // Latin C, as always
    frame5->setObjectName(QStringLiteral("Frame5"));
    auto* f5 = new QVBoxLayout(frame5);
    const char* speeds[] = {"", " 2400", " 9600", "57600"};
    for (int i = 1; i <= 3; ++i) {
        auto* r = new QRadioButton(QString::fromUtf8(speeds[i]), frame5);
        r->setObjectName(Indexed("Baud", i));
        baud_[static_cast<size_t>(i)] = r;
        f5->addWidget(r);
        connect(r, &QRadioButton::clicked, this, [this, i] { BaudClick(i); });
    }
    portSpeed->addWidget(frame6);
    portSpeed->addWidget(frame5);
    f1->addLayout(portSpeed);
    row->addWidget(frame1);

    auto* frame2 = new QGroupBox(QStringLiteral("Ввести/Вывести"), central);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* f2 = new QVBoxLayout(frame2);
    f2->addWidget(makeButton(2, "Открыть файл"));
    f2->addWidget(makeButton(3, "Сохранить файл"));
    f2->addStretch();
    row->addWidget(frame2);

    auto* frame4 = new QGroupBox(QStringLiteral("Смотреть/Выйти"), central);
    frame4->setObjectName(QStringLiteral("Frame4"));
    auto* f4 = new QVBoxLayout(frame4);
    f4->addWidget(makeButton(4, "Просмотр"));
    f4->addWidget(makeButton(5, "Поверхность"));
    f4->addWidget(makeButton(6, "Выход"));
    f4->addStretch();
    row->addWidget(frame4);
    outer->addLayout(row);

    auto* line2 = new QFrame(central);
    line2->setObjectName(QStringLiteral("Line2"));
    line2->setFrameShape(QFrame::HLine);
    line2->setFrameShadow(QFrame::Sunken);
    outer->addWidget(line2);

    connect(command_[1], &QPushButton::clicked, this, &Switchboard::Command1Click);
    connect(command_[2], &QPushButton::clicked, this, &Switchboard::Command2Click);
    connect(command_[3], &QPushButton::clicked, this, &Switchboard::Command3Click);
    connect(command_[4], &QPushButton::clicked, this, &Switchboard::Command4Click);
    connect(command_[5], &QPushButton::clicked, this, &Switchboard::Command5Click);
    connect(command_[6], &QPushButton::clicked, this, &Switchboard::Command6Click);
    setCentralWidget(central);
}

void Switchboard::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
    file->setObjectName(QStringLiteral("mnuFile"));
    const char* fileCaptions[] = {"Ввод из &прибора", "&Открыть файл", "&Сохранить файл", "В&ыход"};
    for (int i = 0; i < 4; ++i) {
        if (i == 3) {
            file->addSeparator();
            // The survey archive: every download and saved trace, found again by object.
            QAction* archive = file->addAction(QStringLiteral("&Архив замеров..."));
            archive->setObjectName(QStringLiteral("mnuFileArchive"));
            connect(archive, &QAction::triggered, this, [this] { windows_.ShowArchive(this); });
            QAction* import = file->addAction(QStringLiteral("&Импорт в архив..."));
            import->setObjectName(QStringLiteral("mnuFileImport"));
            connect(import, &QAction::triggered, this,
                    [this] { windows_.ImportIntoArchive(this); });
            file->addSeparator();
#ifndef _WIN32
            // Elsewhere than Windows, COM1 and COM2 are mapped onto the system's devices.
            QAction* ports = file->addAction(QStringLiteral("Настройка по&ртов..."));
            ports->setObjectName(QStringLiteral("mnuFilePorts"));
            connect(ports, &QAction::triggered, this, [this] { windows_.ShowPortSettings(this); });
            file->addSeparator();
#endif
        }
        QAction* a = file->addAction(QString::fromUtf8(fileCaptions[i]));
        a->setObjectName(Indexed("mnuFileItem", i));
        fileItem_[static_cast<size_t>(i)] = a;
    }
    connect(fileItem_[0], &QAction::triggered, this, &Switchboard::Command1Click);
    connect(fileItem_[1], &QAction::triggered, this, &Switchboard::Command2Click);
    connect(fileItem_[2], &QAction::triggered, this, &Switchboard::Command3Click);
    connect(fileItem_[3], &QAction::triggered, this, &Switchboard::Command6Click);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&Вид"));
    view->setObjectName(QStringLiteral("mnuView"));
    const char* viewCaptions[] = {"П&оказать результат", "Включить ф&ильтр", "&График поверхности"};
    for (int i = 0; i < 3; ++i) {
        QAction* a = view->addAction(QString::fromUtf8(viewCaptions[i]));
        a->setObjectName(Indexed("mnuViewItem", i));
        viewItem_[static_cast<size_t>(i)] = a;
    }
    connect(viewItem_[0], &QAction::triggered, this, &Switchboard::Command4Click);
    connect(viewItem_[1], &QAction::triggered, this, &Switchboard::FilterToggle);
    connect(viewItem_[2], &QAction::triggered, this, &Switchboard::Command5Click);
    view->addSeparator();
    QAction* map = view->addAction(QStringLiteral("&Карта толщин..."));
    map->setObjectName(QStringLiteral("mnuViewMap"));
    connect(map, &QAction::triggered, this, [this] {
        // The folder is chosen as for "Поверхность", and remembered the same way.
        const std::string folder = picker_.ChooseFolder("Выбрать каталог", ws_.ReliefDir);
        if (folder.empty()) {
            prompter_.Message("Каталог не выбран");
            return;
        }
        ws_.ReliefDir = folder;
        windows_.ShowMap(folder);
    });

    QAction* about = menuBar()->addAction(QStringLiteral("Об &авторах"));
    about->setObjectName(QStringLiteral("mnuAbout"));
    connect(about, &QAction::triggered, this, [this] { windows_.ShowAbout(this); });
}

void Switchboard::Load(const std::string& currentDir) {
    StartUp(ws_, prompter_, currentDir);
    UpdateFilterCaption();
    const int port = PortIndexFor(ws_.PortName);
    com_[static_cast<size_t>(port)]->setChecked(true);
    ComClick(port);
    BaudClick(ws_.BaudIndex);
    adjustSize();
    CenterOnScreen(*this);
}

void Switchboard::ComClick(int index) {
    ws_.PortName = com_[static_cast<size_t>(index)]->text().toStdString();
}

void Switchboard::BaudClick(int index) {
    ws_.BaudIndex = static_cast<int16_t>(index);
    ws_.BaudRate = BaudRateFor(ws_.BaudIndex);
    for (int i = 1; i <= 3; ++i)
        baud_[static_cast<size_t>(i)]->setChecked(i == index);
}

void Switchboard::Command1Click() {
    // A second click while the gauge is still sending would start a download inside the
    // running one; the first one finishes first.
    if (downloading_)
        return;
    downloading_ = true;
    command_[1]->setEnabled(false);
    fileItem_[0]->setEnabled(false);
    const int16_t r = windows_.DownloadFromGauge();
    command_[1]->setEnabled(true);
    fileItem_[0]->setEnabled(true);
    downloading_ = false;
    // The program was closed while the gauge was sending: the download was given up and the
    // files are written; nothing more is said or shown.
    if (exited_)
        return;
    if (r < 1 || ws_.PointCount < 1) {
        prompter_.Message("Нет связи!");
        return;
    }
    windows_.ShowCurrentTrace();
}

void Switchboard::Command2Click() {
    OpenTraceFile(picker_.OpenFile("Открыть файл", kMemFilter));
}

void Switchboard::OpenTraceFile(const std::string& path) {
    ws_.DialogFileName = path;
    if (ws_.DialogFileName.empty())
        return;
    // A file that could not be read leaves the old trace in place: showing it now would
    // present it as the file just chosen.
    if (LoadTrace(ws_, prompter_, ws_.DialogFileName) && ws_.PointCount > 0)
        windows_.ShowCurrentTrace();
}

void Switchboard::Command3Click() {
    ws_.DialogFileName = picker_.SaveFile("Сохранить файл", kMemFilter);
    if (!ws_.DialogFileName.empty() && SaveTrace(ws_, prompter_, ws_.DialogFileName))
        windows_.FileSavedTrace(ws_.DialogFileName);
}

void Switchboard::Command4Click() {
    if (ws_.PointCount > 0)
        windows_.ShowCurrentTrace();
}

void Switchboard::Command5Click() {
    OpenReliefFolder(picker_.ChooseFolder("Выбрать каталог", ws_.ReliefDir));
}

void Switchboard::OpenReliefFolder(const std::string& folder) {
    if (folder.empty()) {
        prompter_.Message("Каталог не выбран");
        return;
    }
    ws_.ReliefDir = folder;
    if (ScanFolder(ws_, prompter_, folder))
        windows_.ShowRelief();
}

void Switchboard::OpenPath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path p = PathFromUtf8(path);
    if (std::filesystem::is_directory(p, ec)) {
        OpenReliefFolder(path);
        return;
    }
    // The dialog never returns a name that is gone; a name from outside may be (a stale
    // desktop shortcut, a typo), and opening nothing without a word would look like a hang.
    if (!std::filesystem::exists(p, ec)) {
        prompter_.Message("Файл не найден:\n" + path, MsgIcon::Exclamation);
        return;
    }
    OpenTraceFile(path);
}

void Switchboard::OpenFromOutside(const std::string& path) {
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    if (!path.empty())
        OpenWhenFree(path);
}

void Switchboard::OpenWhenFree(const std::string& path) {
    // A download in progress or an open box runs its own event loop: replacing the record
    // under it would mix two traces. Ask again shortly; the path waits its turn.
    if (exited_)
        return;
    if (downloading_ || QApplication::activeModalWidget()) {
        QTimer::singleShot(300, this, [this, path] { OpenWhenFree(path); });
        return;
    }
    OpenPath(path);
}

void Switchboard::Command6Click() {
    Exit();
    close();
}

void Switchboard::FilterToggle() {
    ws_.FilterOn = !ws_.FilterOn;
    UpdateFilterCaption();
}

void Switchboard::UpdateFilterCaption() {
    viewItem_[1]->setText(ws_.FilterOn ? QStringLiteral("Выключить  фильтр")
                                       : QStringLiteral("Включить  фильтр"));
}

void Switchboard::Exit() {
    if (exited_)
        return;
    exited_ = true;
    // A download still running would keep the port, spin on after the event loop is gone and
    // write temp.mem behind the exit's back: it ends first, and the record is kept as it stands.
    if (downloading_)
        windows_.AbortDownload();
    ShutDown(ws_, prompter_);
    windows_.CloseAll();
    emit ExitRequested();
}

void Switchboard::closeEvent(QCloseEvent* event) {
    Exit();
    event->accept();
}

void Switchboard::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        UpdateFilterCaption();
    QMainWindow::changeEvent(event);
}

}  // namespace ws
