#include "app/app_windows.h"

#include <QDesktopServices>
#include <QScreen>
#include <QUrl>
#include <algorithm>
#include <ctime>

#include "app/about_dialog.h"
#include "data/atomic_file.h"
#include "data/trace_file.h"
#include "history/comparison_window.h"
#include "link/gauge_link.h"
#include "link/port_names.h"
#include "link/port_settings_dialog.h"
#include "link/progress_window.h"
#include "link/qt_serial_port.h"
#include "map/map_window.h"
#include "profile/profile_window.h"
#include "profile/stats_window.h"
#include "relief/relief_window.h"
#include "report/report_action.h"
#include "survey/archive_window.h"
#include "survey/survey_archive.h"
#include "table/editor_window.h"
#include "ui/file_picker.h"
#include "ui/prompter.h"
#include "ui/qt_printer.h"

namespace ws {

AppWindows::AppWindows(Workspace& ws, Prompter& prompter, FilePicker& picker)
    : ws_(ws),
      prompter_(prompter),
      picker_(picker),
      printer_(std::make_unique<QtPrinter>()),
      printing_(std::make_unique<PrintServices>(
          PrintServices{*printer_, prompter, picker, &MakePdfPrinter})) {
    openDocument = [](const std::string& path) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    };
}

AppWindows::~AppWindows() = default;

int16_t AppWindows::DownloadFromGauge() {
    if (!link_) {
        port_ = std::make_unique<QtSerialPort>();
        pump_ = std::make_unique<QtEventPump>();
        progress_ = std::make_unique<ProgressWindow>();
        link_ = std::make_unique<GaugeLink>(ws_, *port_, *pump_, prompter_, *progress_);
        progress_->onCancel = [this] { link_->CancelClicked(); };
    }
    if (link_->Busy())
        return 0;
    // The mapping may have been changed in the port settings since the last download.
    link_->Device = DeviceFor(ws_.PortName, LoadPortMap());
    const int16_t result = link_->DownloadFromGauge();
    // A silent line leaves the old trace in the record; the caller must not show it as new.
    if (!link_->Received())
        return 0;
    // The received trace exists nowhere else until the program exits; a crash or a power cut
    // before that would lose the scan, so the working file gets it now. The exit writes it
    // again, with its own message if that fails.
    WriteFileAtomically(WorkingFilePath(ws_), FormatTraceFile(ws_.CurrentTrace()));
    FileDownloadInArchive();
    return result;
}

void AppWindows::SetArchive(SurveyArchive* archive, std::string problem) {
    archive_ = archive;
    archiveProblem_ = std::move(problem);
}

bool AppWindows::ArchiveAvailable() {
    if (archive_ && archive_->IsOpen())
        return true;
    prompter_.Message(archiveProblem_.empty() ? "Архив замеров недоступен." : archiveProblem_,
                      MsgIcon::Exclamation);
    return false;
}

void AppWindows::FileDownloadInArchive() {
    // Every download that brought data, whole or broken off, is kept with the bytes as they
    // came; nothing is asked now, the description is written later in the archive window.
    if (!archive_ || !archive_->IsOpen())
        return;
    DownloadFacts facts;
    facts.Port = ws_.PortName;
    facts.Device = link_->Device;
    facts.Baud = ws_.BaudRate;
    facts.ExpectedBytes = link_->ExpectedBytes;
    facts.ReceivedBytes = link_->RxCount;
    facts.LineErrors = link_->LineErrors;
    const FileResult r = archive_->FileDownload(ws_.CurrentTrace(), link_->Raw, facts,
                                                static_cast<int64_t>(std::time(nullptr)));
    if (!r.Ok()) {
        prompter_.Message("Замер не записан в архив: " + r.Error +
                              "\nОн остаётся в памяти программы и в temp.mem.",
                          MsgIcon::Exclamation);
        return;
    }
    ws_.ArchiveEntryId = r.Id;
    if (archiveWindow_)
        archiveWindow_->Reload();
}

void AppWindows::FileSavedTrace(const std::string& path) {
    if (!archive_ || !archive_->IsOpen())
        return;
    // The bytes SaveTrace has just written: the same record, the same layout.
    const FileResult r = archive_->FileSaved(FormatTraceFile(ws_.CurrentTrace()), path,
                                             static_cast<int64_t>(std::time(nullptr)));
    if (!r.Ok()) {
        prompter_.Message("Файл сохранён, но в архив не записан: " + r.Error, MsgIcon::Exclamation);
        return;
    }
    ws_.ArchiveEntryId = r.Id;
    if (archiveWindow_)
        archiveWindow_->Reload();
}

void AppWindows::ShowArchive(QWidget*) {
    if (!ArchiveAvailable())
        return;
    if (!archiveWindow_) {
        ArchiveWindow::Hooks hooks;
        hooks.showTrace = [this] { ShowCurrentTrace(); };
        hooks.compare = [this](int64_t a, int64_t b) { ShowComparison(a, b); };
        hooks.report = [this](int64_t id) { MakeEntryReport(id); };
        archiveWindow_ = new ArchiveWindow(*archive_, ws_, prompter_, picker_, std::move(hooks));
        archiveWindow_->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        archiveWindow_->Reload();
    }
    archiveWindow_->show();
    archiveWindow_->raise();
    archiveWindow_->activateWindow();
}

void AppWindows::ImportIntoArchive(QWidget*) {
    if (!ArchiveAvailable())
        return;
    std::string path;
    if (prompter_.AskYesNo("Взять в архив все файлы .mem одной папки?\n"
                           "«Нет» — выбрать один файл.",
                           "Импорт в архив")) {
        path = picker_.ChooseFolder("Импорт в архив: папка с файлами .mem", ws_.ReliefDir);
    } else {
        path = picker_.OpenFile("Импорт в архив", FileFilter{"Mem Files (*.mem)", "*.mem", "mem"});
    }
    if (path.empty())
        return;
    const ImportReport r = archive_->Import({path});
    std::string text = "Добавлено в архив: " + std::to_string(r.Added) +
                       "\nУже были в архиве: " + std::to_string(r.Known);
    if (!r.Problems.empty()) {
        text += "\nНе приняты (" + std::to_string(r.Problems.size()) + "):";
        // A folder of hundreds of bad files must not make a box taller than the screen.
        const size_t shown = std::min<size_t>(r.Problems.size(), 10);
        for (size_t i = 0; i < shown; ++i)
            text += "\n" + r.Problems[i];
        if (shown < r.Problems.size())
            text += "\n...";
    }
    prompter_.Message(text, r.Problems.empty() ? MsgIcon::Information : MsgIcon::Exclamation,
                      "Импорт в архив");
    if (archiveWindow_)
        archiveWindow_->Reload();
}

void AppWindows::AbortDownload() {
    if (link_)
        link_->Abort();
}

void AppWindows::ShowCurrentTrace() {
    if (ws_.Regime == kRegimeScan)
        ShowProfile();
    else
        ShowTable();
}

void AppWindows::ShowProfile() {
    // A trace of an archived object is judged by that object's thresholds: its lines are on the
    // profile from the first picture, not only once the statistics window has read them.
    const bool objectThresholds = ApplyObjectThresholds();
    // A window already open only comes to the front: its marks and zoom stay.
    if (form1_ && objectThresholds)
        form1_->RedrawSheet();
    if (!form1_) {
        ProfileWindow::Hooks hooks;
        hooks.openTable = [this] { ShowTable(); };
        hooks.showAbout = [this] { ShowAbout(form1_); };
        hooks.openStats = [this] { ShowStats(); };
        hooks.makeReport = [this] { MakeReport(); };
        hooks.printReport = [this] { PrintRecordReport(); };
        form1_ = new ProfileWindow(ws_, prompter_, picker_, *printing_, std::move(hooks));
        form1_->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(form1_, &ProfileWindow::marksChanged, form1_, [this] {
            if (stats_)
                stats_->Reload();
        });
        form1_->Load();
    }
    form1_->show();
    form1_->raise();
    form1_->activateWindow();
}

void AppWindows::ShowTable() {
    // A window already open only comes to the front: its page and edits stay.
    if (!editor_) {
        EditorWindow::Hooks hooks;
        hooks.showAbout = [this] { ShowAbout(editor_); };
        editor_ = new EditorWindow(ws_, prompter_, picker_, *printing_, FolderTemplateReader(ws_),
                                   std::move(hooks));
        editor_->setAttribute(Qt::WA_DeleteOnClose);
        editor_->Load();
    }
    editor_->show();
    editor_->raise();
    editor_->activateWindow();
}

void AppWindows::ShowRelief() {
    // Each folder scan brings a new relief set: the window starts afresh from it.
    if (relief_)
        delete relief_.data();
    if (!reliefPrinter_)
        reliefPrinter_ = std::make_unique<QtPrinter>();
    auto* block = new ReliefWindow(ws_, prompter_, picker_, *reliefPrinter_);
    block->onAbout = [this](QWidget* owner) { ShowAbout(owner); };
    relief_ = block;
    if (!block->Load()) {
        delete block;
        return;
    }
    block->show();
    block->raise();
    block->activateWindow();
}

void AppWindows::ShowAbout(QWidget* owner) {
    AboutDialog about(owner);
    about.exec();
}

void AppWindows::ShowPortSettings(QWidget* owner) {
    PortSettingsDialog dialog(LoadPortMap(), owner);
    if (dialog.exec() == QDialog::Accepted)
        SavePortMap(dialog.Result());
}

void AppWindows::ShowStats() {
    if (!stats_) {
        stats_ = new StatsWindow(ws_, prompter_, ObjectThresholds());
        stats_->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(stats_, &StatsWindow::thresholdsChanged, stats_, [this] {
            if (form1_)
                form1_->RedrawSheet();
        });
        // Beside the profile viewer, where the screen leaves room; else over its right edge.
        if (form1_) {
            const QRect f = form1_->frameGeometry();
            const QRect free = form1_->screen()->availableGeometry();
            const int x = std::min(f.right() + 8, free.right() - stats_->width());
            const int y = std::min(f.top(), free.bottom() - stats_->height() - 40);
            stats_->move(std::max(free.left(), x), std::max(free.top(), y));
        }
    }
    stats_->Reload();
    stats_->show();
    stats_->raise();
    stats_->activateWindow();
}

bool AppWindows::ApplyObjectThresholds() {
    const auto th = ObjectThresholds().load();
    if (!th)
        return false;
    ws_.NominalThickness = th->nominal;
    ws_.MinAllowedThickness = th->minAllowed;
    return true;
}

ThresholdStore AppWindows::ObjectThresholds() {
    ThresholdStore store;
    store.load = [this]() -> std::optional<Thresholds> {
        if (!archive_ || ws_.ArchiveEntryId == 0)
            return std::nullopt;
        const auto object = archive_->ObjectOfEntry(ws_.ArchiveEntryId);
        if (!object)
            return std::nullopt;
        return Thresholds{static_cast<float>(object->NominalMm.value_or(0.0)),
                          static_cast<float>(object->MinAllowedMm.value_or(0.0))};
    };
    store.save = [this](const Thresholds& th) {
        if (!archive_ || ws_.ArchiveEntryId == 0)
            return true;  // no object to keep them: the session holds them
        const auto object = archive_->ObjectOfEntry(ws_.ArchiveEntryId);
        if (!object)
            return true;
        auto value = [](float v) { return v > 0.0f ? std::optional<double>(v) : std::nullopt; };
        if (!archive_->SetObjectThresholds(object->Id, value(th.nominal), value(th.minAllowed))) {
            prompter_.Message("Не удалось записать пороги объекта в архив", MsgIcon::Exclamation);
            return false;
        }
        return true;
    };
    return store;
}

void AppWindows::ShowMap(const std::string& folder) {
    // Each folder brings a new map: the window starts afresh from it.
    if (map_)
        delete map_.data();
    MapWindow::Hooks hooks;
    hooks.openScan = [this](const std::string& path, int index) { OpenScanAt(path, index); };
    hooks.showAbout = [this] { ShowAbout(map_); };
    auto* window = new MapWindow(ws_, prompter_, picker_, *printing_, std::move(hooks));
    window->setAttribute(Qt::WA_DeleteOnClose);
    map_ = window;
    if (!window->Load(folder)) {
        delete window;
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void AppWindows::OpenScanAt(const std::string& path, int index) {
    ws_.DialogFileName = path;
    if (!LoadTrace(ws_, prompter_, path) || ws_.Regime != kRegimeScan || ws_.PointCount < 1)
        return;
    // An open viewer shows the previous trace: it loads the new one afresh (marks cleared).
    if (form1_)
        form1_->Load();
    ShowProfile();
    form1_->ShowPoint(index, 4);
}

void AppWindows::ShowComparison(int64_t firstId, int64_t secondId) {
    if (!ArchiveAvailable())
        return;
    std::string error;
    auto a = ScanFromArchive(*archive_, firstId, error);
    auto b = a ? ScanFromArchive(*archive_, secondId, error) : std::nullopt;
    if (!a || !b) {
        prompter_.Message("Сравнение невозможно: " + error, MsgIcon::Exclamation);
        return;
    }
    for (const InspectionScan* s : {&*a, &*b}) {
        if (s->Scan->Regime != kRegimeScan || s->Scan->PointCount < 1) {
            prompter_.Message("Сравниваются только трассы сканирования: запись № " +
                                  std::to_string(s->EntryId) + " — отдельные замеры",
                              MsgIcon::Exclamation);
            return;
        }
    }
    OrderByDate(*a, *b);
    const std::optional<double> tmin = b->MinAllowedMm;
    // Each pair gets its own window; the previous comparison gives way.
    if (comparison_)
        delete comparison_.data();
    comparison_ = new ComparisonWindow(std::move(*a), std::move(*b), tmin, ws_.DecimalSeparator);
    comparison_->setAttribute(Qt::WA_DeleteOnClose);
    comparison_->show();
    comparison_->raise();
    comparison_->activateWindow();
}

void AppWindows::MakeReport() {
    SaveReport(ReportOfRecord(ws_, archive_ && archive_->IsOpen() ? archive_ : nullptr), prompter_,
               picker_, openDocument);
}

void AppWindows::PrintRecordReport() {
    PrintReport(ReportOfRecord(ws_, archive_ && archive_->IsOpen() ? archive_ : nullptr), prompter_,
                picker_, openDocument);
}

void AppWindows::MakeEntryReport(int64_t id) {
    if (!ArchiveAvailable())
        return;
    ReportInput in;
    std::string error;
    if (!ReportOfEntry(ws_, *archive_, id, in, error)) {
        prompter_.Message("Отчёт не составлен: " + error, MsgIcon::Exclamation);
        return;
    }
    SaveReport(in, prompter_, picker_, openDocument);
}

void AppWindows::CloseAll() {
    if (comparison_)
        comparison_->close();
    if (progress_)
        progress_->hide();
    if (form1_)
        form1_->close();
    if (relief_)
        relief_->close();
    if (editor_)
        editor_->close();
    if (archiveWindow_)
        archiveWindow_->close();
    if (stats_)
        stats_->close();
    if (map_)
        map_->close();
}

}  // namespace ws
