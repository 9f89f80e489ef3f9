#include "ui/qt_prompter.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace ws {
namespace {
QMessageBox::Icon ToQt(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}
}  // namespace

QWidget* QtPrompter::VisibleOwner() const {
    // Before the main window is shown (the start-up messages) a box owned by it would open at
    // its unplaced corner; without an owner the box is centred on the screen.
    return owner_ && owner_->isVisible() ? owner_.data() : nullptr;
}

void QtPrompter::Message(const std::string& text, MsgIcon icon, const std::string& title) {
    QMessageBox box(ToQt(icon), QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, VisibleOwner());
    box.exec();
}

bool QtPrompter::AskYesNo(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                    VisibleOwner());
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    return box.exec() == QMessageBox::Yes;
}

}  // namespace ws
