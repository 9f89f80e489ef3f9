#include "app/app_windows.h"

#include "app/about_dialog.h"
#include "data/atomic_file.h"
#include "data/trace_file.h"
#include "link/gauge_link.h"
#include "link/port_names.h"
#include "link/port_settings_dialog.h"
#include "link/progress_window.h"
#include "link/qt_serial_port.h"
#include "profile/profile_window.h"
#include "relief/relief_window.h"
#include "table/editor_window.h"
#include "ui/qt_printer.h"

namespace ws {

AppWindows::AppWindows(Workspace& ws, Prompter& prompter, FilePicker& picker)
    : ws_(ws),
      prompter_(prompter),
      picker_(picker),
      printer_(std::make_unique<QtPrinter>()),
      printing_(std::make_unique<PrintServices>(
          PrintServices{*printer_, prompter, picker, &MakePdfPrinter})) {}

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
    return result;
}

void AppWindows::ShowCurrentTrace() {
    if (ws_.Regime == kRegimeScan)
        ShowProfile();
    else
        ShowTable();
}

void AppWindows::ShowProfile() {
    // A window already open only comes to the front: its marks and zoom stay.
    if (!form1_) {
        ProfileWindow::Hooks hooks;
        hooks.openTable = [this] { ShowTable(); };
        hooks.showAbout = [this] { ShowAbout(form1_); };
        form1_ = new ProfileWindow(ws_, prompter_, picker_, *printing_, std::move(hooks));
        form1_->setAttribute(Qt::WA_DeleteOnClose);
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

void AppWindows::CloseAll() {
    if (progress_)
        progress_->hide();
    if (form1_)
        form1_->close();
    if (relief_)
        relief_->close();
    if (editor_)
        editor_->close();
}

}  // namespace ws
