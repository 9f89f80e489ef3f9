#include "link/progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/qt_windows.h"

namespace ws {

namespace {
// The bar's area in twips.
constexpr double kBarWidth = 4800, kBarHeight = 420;
}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent)
    : QDialog(parent), bar_(TwipsToPx(kBarWidth), TwipsToPx(kBarHeight), ScreenDpi()) {
    setObjectName(QStringLiteral("Progress"));
    setWindowTitle(QStringLiteral("Вводятся данные"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("Picture1"));
    picture_->setFixedSize(TwipsToPx(kBarWidth), TwipsToPx(kBarHeight));
    picture_->setFrameShape(QFrame::Panel);
    picture_->setFrameShadow(QFrame::Sunken);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("Label1"));
    label_->setAlignment(Qt::AlignCenter);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(cancel, &QPushButton::clicked, this, [this] {
        if (onCancel)
            onCancel();
    });
    layout->addWidget(picture_);
    layout->addWidget(label_);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
}

void ProgressWindow::Open() {
    // The bar still holds the last download's boxes; shown as it is, a new transfer would look
    // finished until its first box is drawn (and a short one, which draws none, throughout).
    bar_.Clear(kWhite);
    label_->clear();
    show();
    raise();
    CenterOnScreen(*this);
    picture_->setPixmap(QPixmap::fromImage(bar_.Image()));
}

void ProgressWindow::Close() {
    hide();
}

void ProgressWindow::reject() {
    // Esc would hide the window while the download goes on unseen; it closes when the
    // download ends, and Cancel is the operator's way to act on it.
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void ProgressWindow::SetText(const std::string& text) {
    label_->setText(QString::fromStdString(text));
    picture_->setPixmap(QPixmap::fromImage(bar_.Image()));
}

}  // namespace ws
