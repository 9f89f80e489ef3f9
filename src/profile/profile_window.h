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
        std::function<void()> openTable;  // "П&ротокол"
        std::function<void()> showAbout;  // "&Об авторах"
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

    // Mouse, in window units (twips); used by the canvas.
    void Press(Qt::MouseButton button, QPointF twips, QPoint globalPos);
    void Move(QPointF twips);
    void Release();

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
