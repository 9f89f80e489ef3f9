#include <QApplication>
#include <QDir>
#include <QLocale>
#include <memory>

#include "app/app_windows.h"
#include "app/switchboard.h"
#include "data/record.h"
#include "ui/qt_file_picker.h"
#include "ui/qt_prompter.h"
#include "ui/qt_surface.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("WallScan"));
    QApplication::setOrganizationName(QStringLiteral("WallScan"));
    ws::InstallFontSubstitutes();

    // The record is large (the relief set alone is half a megabyte): keep it off the stack.
    auto workspace = std::make_unique<ws::Workspace>();
    workspace->ProgramDir =
        QDir::toNativeSeparators(QApplication::applicationDirPath()).toStdString();
    const QLocale locale = QLocale::system();
    workspace->DecimalSeparator = locale.decimalPoint().toStdString();
    // The separator between day and month in the user's short date format.
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    for (const QChar c : shortDate) {
        if (c == QLatin1Char('.') || c == QLatin1Char('/') || c == QLatin1Char('-')) {
            workspace->DateSeparator = QString(c).toStdString();
            break;
        }
    }

    ws::QtPrompter prompter;
    ws::QtFilePicker picker;
    ws::AppWindows windows(*workspace, prompter, picker);
    ws::Switchboard board(*workspace, windows, prompter, picker);
    prompter.SetOwner(&board);
    picker.SetOwner(&board);
    board.Load(QDir::toNativeSeparators(QDir::currentPath()).toStdString());
    board.show();
    QObject::connect(&board, &ws::Switchboard::ExitRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    return app.exec();
}
