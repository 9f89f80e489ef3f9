#pragma once
#include <QDialog>

namespace ws {

// frmAbout: the program's name, version and purpose, centred, closed by its button.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace ws
