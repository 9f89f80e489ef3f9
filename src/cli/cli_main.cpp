#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cli/cli.h"
#include "ui/qt_surface.h"
#include "ui/qt_windows.h"

namespace {

// Standard error is the tool's own channel: scripts read its messages. The toolkit's notes and
// warnings (a missing runtime folder, a font it substitutes) are not the tool's and stay out;
// only its critical errors, which end or spoil the command, are passed on.
void ToolkitMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "wallscan-cli: %s\n", text.toLocal8Bit().constData());
}

void PrintOverview() {
    std::printf(
        "Использование: wallscan-cli КОМАНДА [ПАРАМЕТРЫ]\n"
        "Usage: wallscan-cli COMMAND [OPTIONS]\n\nCommands:\n");
    for (const auto& c : ws::cli::Commands())
        std::printf("  %-10s %s\n", c.name, c.summary);
    std::printf("\nwallscan-cli COMMAND --help shows the options of one command.\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintOverview();
        return ws::cli::kUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintOverview();
        return ws::cli::kOk;
    }
    if (name == "--version") {
        std::printf("wallscan-cli %s\n", WALLSCAN_VERSION);
        return ws::cli::kOk;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const auto& c : ws::cli::Commands()) {
        if (name != c.name)
            continue;
        for (const auto& a : args) {
            if (a == "--help" || a == "-h") {
                std::fputs(c.help, stdout);
                return ws::cli::kOk;
            }
        }
        std::unique_ptr<QGuiApplication> gui;
        if (c.needsGui) {
            // Pictures are rendered off screen: a display is neither needed nor used.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            qInstallMessageHandler(ToolkitMessages);
            gui = std::make_unique<QGuiApplication>(argc, argv);
            ws::InstallTranslations(*gui);
            // The same per-user settings as the program (the COM1/COM2 device mapping).
            QGuiApplication::setOrganizationName(QStringLiteral("WallScan"));
            QGuiApplication::setApplicationName(QStringLiteral("WallScan"));
            ws::InstallFontSubstitutes();
        }
        return c.run(args);
    }
    std::fprintf(stderr, "wallscan-cli: неизвестная команда \"%s\" (wallscan-cli --help)\n",
                 name.c_str());
    return ws::cli::kUsage;
}
