#include "app/about_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/prompter.h"
#include "ui/qt_windows.h"

namespace ws {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Об авторах"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* title =
        new QLabel(QStringLiteral("<b>%1</b> %2")
                       .arg(QString::fromUtf8(kProductName), QStringLiteral(WALLSCAN_VERSION)),
                   this);
    title->setObjectName(QStringLiteral("lblTitle"));
    auto* text =
        new QLabel(QStringLiteral("Программа ввода, просмотра и печати результатов\n"
                                  "сканирования толщины стенок ультразвуковым толщиномером.\n\n"
                                  "Ввод трасс из прибора по RS-232, профиль сечения стенки,\n"
                                  "протокол замеров, рельеф поверхности по десяти трассам.\n\n"
                                  "Разработчики: группа WallScan."),
                   this);
    text->setObjectName(QStringLiteral("lblDescription"));
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("cmdAbout"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addWidget(close, 0, Qt::AlignHCenter);
}

void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(*this);
}

}  // namespace ws
