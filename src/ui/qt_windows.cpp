#include "ui/qt_windows.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <QAction>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>

namespace ws {

void CenterOnScreen(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window.move(area.x() + (area.width() - window.frameGeometry().width()) / 2,
                area.y() + (area.height() - window.frameGeometry().height()) / 2);
}

QAction* AddAboutItem(QMenuBar& bar, const QString& caption, std::function<void()> show) {
    QAction* about = bar.addAction(caption);
    about->setObjectName(QStringLiteral("mnuAbout"));
    QObject::connect(about, &QAction::triggered, &bar, [show = std::move(show)] {
        if (show)
            show();
    });
    return about;
}

bool InstallTranslations(QCoreApplication& app) {
    const QStringList folders{
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    bool any = false;
    for (const char* name : {"qtbase_ru", "qtserialport_ru"}) {
        auto* translator = new QTranslator(&app);
        bool loaded = false;
        for (const QString& folder : folders)
            if ((loaded = translator->load(QString::fromLatin1(name), folder)))
                break;
        if (loaded && QCoreApplication::installTranslator(translator))
            any = true;
        else
            delete translator;
    }
    return any;
}

}  // namespace ws
