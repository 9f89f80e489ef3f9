#include "app/app_windows.h"

#include "app/about_dialog.h"
#include "relief/relief_window.h"
#include "ui/qt_printer.h"

namespace ws {

AppWindows::AppWindows(Workspace& ws, Prompter& prompter, FilePicker& picker)
    : ws_(ws), prompter_(prompter), picker_(picker) {}

AppWindows::~AppWindows() = default;

int16_t AppWindows::DownloadFromGauge() { return -1; }

void AppWindows::ShowCurrentTrace() {
    if (ws_.Regime == kRegimeScan)
        ShowProfile();
    else
        ShowTable();
}

void AppWindows::ShowProfile() {}

void AppWindows::ShowTable() {}

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

void AppWindows::ShowPortSettings(QWidget* owner) {}

void AppWindows::CloseAll() {
    if (relief_)
        relief_->close();
}

}  // namespace ws
