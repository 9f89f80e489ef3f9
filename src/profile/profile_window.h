#pragma once
#include <QMainWindow>
#include <functional>
#include <memory>

#include "data/record.h"
#include "profile/profile_view.h"
#include "ui/qt_surface.h"

class QAction;
class QLabel;
class QMenu;
class QToolButton;

namespace ws {

class FilePicker;
class Prompter;
struct PrintServices;

class ProfileCanvas;

// Form1: the wall section of the current thickness scan.
class ProfileWindow : public QMainWindow {
    Q_OBJECT

  public:
    struct Hooks {
        std::function<void()> openTable;    // "П&ротокол"
        std::function<void()> showAbout;    // "&Об авторах"
        std::function<void()> openStats;    // "&Статистика"
        std::function<void()> makeReport;   // "Отчёт..."
        std::function<void()> printReport;  // "Печать отчёта"
    };
    ProfileWindow(Workspace& ws, Prompter& prompter, FilePicker& picker, PrintServices& print,
                  Hooks hooks, QWidget* parent = nullptr);
    ~ProfileWindow() override;

    // The load sequence: marks cleared, zoom 1, the trace drawn.
    void Load();

    ProfileView& View() { return view_; }
    ImageSurface& Picture() { return surface_; }

    // Commands, shared by the menus, the buttons and tests.
    void ForwardClick();
    void BackClick();
    void ViewItemClick(int index);
    void PrintClick();
    void SavePdfClick();
    void SavePngClick();
    // Draws the sheet again as it stands (the thresholds changed).
    void RedrawSheet();
    // Shows point `index` at the centre of a sheet zoomed `zoom` times.
    void ShowPoint(int index, int zoom);

    // Mouse, in window units (twips); used by the canvas.
    void Press(Qt::MouseButton button, QPointF twips, QPoint globalPos);
    void Move(QPointF twips);
    void Release();

  signals:
    // The marks may have changed: a marking ended, they were cleared, or the window loaded.
    void marksChanged();

  private:
    void BuildMenus();
    void UpdateCaptions();
    void UpdateLabels();
    void Repaint();

    Workspace& ws_;
    Prompter& prompter_;
    FilePicker& picker_;
    PrintServices& print_;
    Hooks hooks_;
    ProfileView view_;
    ImageSurface surface_;
    ProfileCanvas* canvas_ = nullptr;
    QLabel* valx_ = nullptr;
    QLabel* valy_ = nullptr;
    QLabel* xsel_ = nullptr;
    QLabel* ysel_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QAction* viewItem_[8] = {};
};

}  // namespace ws
