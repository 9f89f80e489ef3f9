#pragma once
#include <QMainWindow>
#include <array>

#include "data/record.h"

class QAction;
class QPushButton;
class QRadioButton;

namespace ws {

class AppWindows;
class FilePicker;
class Prompter;

// The start window: download, open and save, show the trace, relief of a folder, exit; the
// port and speed choice.
class Switchboard : public QMainWindow {
    Q_OBJECT

  public:
    Switchboard(Workspace& ws, AppWindows& windows, Prompter& prompter, FilePicker& picker,
                QWidget* parent = nullptr);

    // The load sequence: start-up procedure, then the buttons from the settings, centred.
    void Load(const std::string& currentDir);

    // Control handlers, public so the menus, the buttons and tests share one path.
    void Command1Click();
    void Command2Click();
    void Command3Click();
    void Command4Click();
    void Command5Click();
    void Command6Click();
    void ComClick(int index);
    void BaudClick(int index);
    void FilterToggle();

    // A file or folder named from outside (the command line, a file manager, a program started
    // later): a folder opens as "Поверхность" does, anything else as "Открыть файл" does; the
    // path takes the place of the dialog's answer.
    void OpenPath(const std::string& path);
    // The same for a path handed over while the program runs: the window comes to the front
    // and the path opens as soon as no download or modal box is in progress.
    void OpenFromOutside(const std::string& path);

    // True once options.sav and temp.mem have been written at exit.
    bool HasExited() const { return exited_; }

  signals:
    void ExitRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void BuildControls();
    void BuildMenus();
    void UpdateFilterCaption();
    void OpenTraceFile(const std::string& path);
    void OpenReliefFolder(const std::string& folder);
    void OpenWhenFree(const std::string& path);
    void Exit();

    Workspace& ws_;
    AppWindows& windows_;
    Prompter& prompter_;
    FilePicker& picker_;
    std::array<QPushButton*, 7> command_{};  // Command1..Command6
    std::array<QRadioButton*, 3> com_{};     // COM(1), COM(2)
    std::array<QRadioButton*, 4> baud_{};    // Baud(1)..Baud(3)
    std::array<QAction*, 4> fileItem_{};     // mnuFileItem(0..3)
    std::array<QAction*, 3> viewItem_{};     // mnuViewItem(0..2)
    bool exited_ = false;
    bool downloading_ = false;
};

}  // namespace ws
