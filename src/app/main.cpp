#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <memory>

#include "app/app_windows.h"
#include "app/command_line.h"
#include "app/instance_link.h"
#include "app/switchboard.h"
#include "data/record.h"
#include "survey/archive_location.h"
#include "survey/survey_archive.h"
#include "ui/qt_file_picker.h"
#include "ui/qt_prompter.h"
#include "ui/qt_surface.h"
#include "ui/qt_windows.h"

namespace {

// The path as the running program must see it: its own current folder may be another one.
// A file manager may pass a file:// address instead of a path.
QString AbsolutePath(const std::string& given) {
    if (given.empty())
        return {};
    QString path = QString::fromStdString(given);
    if (path.startsWith(QLatin1String("file:")))
        path = QUrl(path).toLocalFile();
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

int Answer(const ws::CommandLine& line) {
    if (line.action == ws::CommandLine::Action::Help) {
        std::fputs(ws::HelpText().c_str(), stdout);
        return 0;
    }
    if (line.action == ws::CommandLine::Action::Version) {
        std::fputs(ws::VersionText().c_str(), stdout);
        return 0;
    }
    std::fprintf(stderr, "wallscan: %s (wallscan --help)\n", line.error.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // --help, --version and usage errors answer before the toolkit starts: it needs a display.
    const ws::CommandLine early =
        ws::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (early.action != ws::CommandLine::Action::Run)
        return Answer(early);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("WallScan"));
    QApplication::setOrganizationName(QStringLiteral("WallScan"));
    ws::InstallFontSubstitutes();
    ws::InstallTranslations(app);

    // The toolkit has taken its own options (-platform, -style ...) out of its list by now; its
    // list is also right on Windows, where argv holds names in the ANSI code page.
    std::vector<std::string> args;
    for (const QString& a : QApplication::arguments().mid(1))
        args.push_back(a.toStdString());
    const ws::CommandLine line = ws::ParseCommandLine(args);
    if (line.action != ws::CommandLine::Action::Run)
        return Answer(line);
    const QString path = AbsolutePath(line.path);
    ws::InstanceLink instance(ws::InstanceLink::DefaultName());
    if (instance.HandOver(path))
        return 0;
    // Two programs started at once: the one that won the name takes this path too.
    if (!instance.Listen() && instance.HandOver(path))
        return 0;

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
    // The survey archive in the user's data folder. When it cannot be opened the program runs
    // without it and says so once, after its window is up.
    ws::SurveyArchive archive;
    const ws::SurveyArchive::OpenResult archiveOpen = archive.Open(ws::DefaultArchiveFolder());
    ws::AppWindows windows(*workspace, prompter, picker);
    windows.SetArchive(archiveOpen.Ok ? &archive : nullptr, archiveOpen.Message);
    ws::Switchboard board(*workspace, windows, prompter, picker);
    prompter.SetOwner(&board);
    picker.SetOwner(&board);
    board.Load(QDir::toNativeSeparators(QDir::currentPath()).toStdString());
    board.show();
    if (!archiveOpen.Message.empty()) {
        QTimer::singleShot(0, &board, [&prompter, text = archiveOpen.Message] {
            prompter.Message(text, ws::MsgIcon::Exclamation, ws::kProductName);
        });
    }
    QObject::connect(&instance, &ws::InstanceLink::PathReceived, &board,
                     [&board](const QString& p) { board.OpenFromOutside(p.toStdString()); });
    if (!path.isEmpty())
        QTimer::singleShot(0, &board, [&board, path] { board.OpenPath(path.toStdString()); });
    QObject::connect(&board, &ws::Switchboard::ExitRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    return app.exec();
}
