#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QScrollBar>
#include <QToolButton>
#include <array>
#include <functional>
#include <memory>

#include "relief/printf_window.h"
#include "relief/relief_view.h"
#include "ui/printer.h"
#include "ui/qt_surface.h"

class QMenu;

namespace ws {

class Prompter;
class FilePicker;

// Picture2: shows the retained relief picture; the right button pops up "Вид".
class ReliefCanvasWidget : public QWidget {
    Q_OBJECT

  public:
    ReliefCanvasWidget(ImageSurface& image, QWidget* parent);
    std::function<void(QPoint)> onRightButton;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;

  private:
    ImageSurface& image_;
};

// Block: the relief of a folder's scans.
class ReliefWindow : public QMainWindow {
    Q_OBJECT

  public:
    ReliefWindow(const Workspace& ws, Prompter& prompter, FilePicker& picker, Printer& printer,
                 QWidget* parent = nullptr);
    ~ReliefWindow() override;
    // Builds the model and draws it; false (with the message) when there is nothing to show.
    bool Load();

    ReliefView& View() { return view_; }
    ImageSurface& CanvasImage() { return canvas_; }
    PrintfWindow* PrintWindow() { return printf_; }
    std::function<void(QWidget*)> onAbout;
    // Replaces the modal chooser in tests: returns after the choice was made.
    std::function<void(ReliefView&)> chooseTraces;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QToolButton* AddButton(const char* name, const QString& glyph, const QString& tip);
    void Layout();
    void PlaceText(QLabel* label, QRect box);
    void Redraw();       // full redraw (main) and the widgets after it
    void SyncWidgets();  // canvas position, scroll bars, readout
    void FillLegendLabels();
    void Command9_Click();
    void Command5_Click();
    void SavePicture(bool pdf);
    void VScroll1_Change(int value);
    void HScroll1_Change(int value);

    const Workspace& ws_;
    Prompter& prompter_;
    FilePicker& picker_;
    Printer& printer_;
    PrintServices services_;
    ReliefView view_;
    ImageSurface canvas_;
    QWidget* picture1_ = nullptr;
    ReliefCanvasWidget* picture2_ = nullptr;
    QScrollBar* vscroll_ = nullptr;
    QScrollBar* hscroll_ = nullptr;
    QLineEdit *text1_ = nullptr, *text2_ = nullptr, *text3_ = nullptr;
    std::array<QLabel*, 10> label1_{}, label2_{}, label7_{}, label8_{};
    std::array<QLabel*, 6> label3_{};
    QLabel *label4_ = nullptr, *label5_ = nullptr, *label6_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QWidget* central_ = nullptr;
    int legendBandTop_ = 0;
    bool syncing_ = false;
    QPointer<PrintfWindow> printf_;
};

}  // namespace ws
