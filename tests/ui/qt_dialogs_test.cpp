// The toolkit's dialogs as the user meets them: in Russian, and placed where they can be seen.

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "ui/qt_prompter.h"
#include "ui/qt_windows.h"

namespace ws {

class QtDialogsTest : public QObject {
    Q_OBJECT

    // Runs `inspect` on the modal box once it is up, then closes it.
    static void WhenModal(std::function<void(QWidget*)> inspect) {
        QTimer::singleShot(0, [inspect] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) {
                WhenModal(inspect);
                return;
            }
            inspect(box);
            box->close();
        });
    }

  private slots:
    void initTestCase() { QVERIFY(InstallTranslations(*QCoreApplication::instance())); }

    void theToolkitSpeaksRussian() {
        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
        QFileDialog dialog(nullptr, QStringLiteral("Открыть файл"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
        QVERIFY(lookIn);
        QVERIFY2(!lookIn->text().contains(QStringLiteral("Look in")), qPrintable(lookIn->text()));
    }

    // Messages shown before the main window is (the start-up ones) open centred on the screen,
    // not at the hidden window's unplaced corner.
    void startUpMessagesAreCentred() {
        QWidget hiddenOwner;
        hiddenOwner.setGeometry(0, 0, 10, 10);
        QtPrompter prompter(&hiddenOwner);
        QRect where;
        WhenModal([&](QWidget* box) { where = box->frameGeometry(); });
        prompter.Message("Отсутствует файл temp.mem", MsgIcon::None, "");
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(!where.isEmpty());
        QVERIFY2(std::abs(where.center().x() - screen.center().x()) <= where.width() / 4 + 2 &&
                     std::abs(where.center().y() - screen.center().y()) <= where.height() / 4 + 2,
                 qPrintable(QStringLiteral("box centred at %1,%2")
                                .arg(where.center().x())
                                .arg(where.center().y())));
    }
};

}  // namespace ws

QTEST_MAIN(ws::QtDialogsTest)
#include "qt_dialogs_test.moc"
