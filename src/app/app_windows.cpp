#include "app/app_windows.h"

#include "app/about_dialog.h"
#include "link/gauge_link.h"
#include "link/port_names.h"
#include "link/port_settings_dialog.h"
#include "link/progress_window.h"
#include "link/qt_serial_port.h"
#include "profile/profile_window.h"
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
    return -1;
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

void AppWindows::ShowTable() {}

void AppWindows::ShowRelief() {}

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
}

}  // namespace ws
