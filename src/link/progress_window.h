#pragma once
#include <QDialog>
#include <functional>

#include "link/gauge_link.h"
#include "ui/qt_surface.h"

class QLabel;
class QPushButton;

namespace ws {

// Progress: "Вводятся данные", a 20-box bar, the percentage and Cancel.
class ProgressWindow : public QDialog, public ProgressDisplay {
    Q_OBJECT

  public:
    explicit ProgressWindow(QWidget* parent = nullptr);
    void Open() override;
    void Close() override;
    Surface& Bar() override { return bar_; }
    void SetText(const std::string& text) override;
    // What Cancel does; set by whoever owns the download.
    std::function<void()> onCancel;

  protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

  private:
    ImageSurface bar_;
    QLabel* picture_ = nullptr;
    QLabel* label_ = nullptr;
};

}  // namespace ws
