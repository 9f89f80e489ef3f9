#pragma once
#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QPushButton;

namespace ws {

class ReliefView;

// Traces: the modal chooser of the traces the relief draws.
class TracesDialog : public QDialog {
    Q_OBJECT

  public:
    TracesDialog(ReliefView& view, QWidget* parent = nullptr);

  private:
    void OKButton_Click();

    ReliefView& view_;
    std::array<QCheckBox*, 10> check1_{};
    std::array<QLabel*, 10> label1_{}, label2_{};
};

}  // namespace ws
