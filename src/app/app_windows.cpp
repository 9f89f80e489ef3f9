#include "app/app_windows.h"

#include "app/about_dialog.h"

namespace ws {

AppWindows::AppWindows(Workspace& ws, Prompter& prompter, FilePicker& picker)
    : ws_(ws), prompter_(prompter), picker_(picker) {}

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

void AppWindows::ShowProfile() {}

void AppWindows::ShowTable() {}

void AppWindows::ShowRelief() {}

void AppWindows::ShowAbout(QWidget* owner) {
    AboutDialog about(owner);
    about.exec();
}

void AppWindows::ShowPortSettings(QWidget* owner) {}

void AppWindows::CloseAll() {}

}  // namespace ws
